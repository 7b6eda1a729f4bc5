#pragma once

#include <array>
#include <cstdint>
#include <limits>

// The xoshiro256++ generator of Blackman and Vigna, seeded through splitmix64: a few shifts and
// additions per 64 random bits, several times quicker than the Mersenne twister and as good for
// Monte Carlo work. A standard uniform random bit generator, so the standard and Boost
// distributions draw from it.
class Xoshiro256 {
public:
    using result_type = uint64_t;

    explicit Xoshiro256(uint64_t seed) {
        for (uint64_t& word : state) {
            seed += 0x9E3779B97F4A7C15u;
            uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            word = z ^ (z >> 31);
        }
    }

    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }

    result_type operator()() {
        const uint64_t result = Rotated(state[0] + state[3], 23) + state[0];
        const uint64_t t = state[1] << 17;
        state[2] ^= state[0];
        state[3] ^= state[1];
        state[1] ^= state[2];
        state[0] ^= state[3];
        state[2] ^= t;
        state[3] = Rotated(state[3], 45);
        return result;
    }

private:
    static uint64_t Rotated(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::array<uint64_t, 4> state{};
};
