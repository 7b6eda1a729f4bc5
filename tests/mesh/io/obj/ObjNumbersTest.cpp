#include "mesh/io/obj/ObjTextCursor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

long long Integer(const std::string& text, std::size_t* used = nullptr) {
    long long value = -7;
    const char* stop = ParseInteger(text.data(), text.data() + text.size(), value);
    if (used) {
        *used = stop ? static_cast<std::size_t>(stop - text.data()) : 0;
    }
    return stop ? value : -7;
}

} // namespace

TEST(ObjNumbers, IntegersOfEveryLengthWhereverTheTextEnds) {
    std::size_t used = 0;
    EXPECT_EQ(Integer("12345678/9", &used), 12345678);
    EXPECT_EQ(used, 8u);
    EXPECT_EQ(Integer("123456789012 ", &used), 123456789012);
    EXPECT_EQ(used, 12u);
    EXPECT_EQ(Integer("00000000000007"), 7);
    EXPECT_EQ(Integer("-42/1/1"), -42);
    EXPECT_EQ(Integer("+5"), 5);
    EXPECT_EQ(Integer("99999999999999999999999"), 1'000'000'000'000LL); // saturates
    EXPECT_EQ(Integer("/12345678", &used), -7);
    EXPECT_EQ(Integer("-", &used), -7);
    EXPECT_EQ(Integer(""), -7);
    const std::string tail = "7654321";
    EXPECT_EQ(Integer(tail, &used), 7654321); // shorter than a chunk
}

TEST(ObjNumbers, FloatsRoundLikeTheCLibrary) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        char text[64];
        const double number = (static_cast<double>(random()) - 2e9) / std::pow(10, random() % 12);
        std::snprintf(text, sizeof text, "%.*f 1.5 2.5 3.5\n", static_cast<int>(random() % 10),
                      number);
        float parsed = 0;
        const std::size_t used = ParseFloat(text, parsed);
        char* stop = nullptr;
        const float expected = std::strtof(text, &stop);
        ASSERT_EQ(used, static_cast<std::size_t>(stop - text)) << text;
        ASSERT_EQ(std::memcmp(&parsed, &expected, sizeof parsed), 0) << text;
    }
    float value = 0;
    EXPECT_EQ(ParseFloat("1e3 ", value), 3u);
    EXPECT_EQ(value, 1000.0f);
    EXPECT_EQ(ParseFloat("+.5", value), 3u);
    EXPECT_EQ(value, 0.5f);
    EXPECT_EQ(ParseFloat("-1e-60", value), 6u);
    EXPECT_EQ(value, 0.0f);
    // Beyond a float's range a number overflows or underflows by its size, not by the sign of
    // its exponent, as the C library reads it.
    for (const char* text : {"100000000000000000000000000000000000000000000000000e-5", "1e39",
                             "-0.0000000000000000000000000000000000000000000000000001e100",
                             "0.00000000000000000000000000000000000000000000000001e2", "-1e-60",
                             "123456789012345678901234567890123456789012345678901234.5e-10",
                             "0.0000001e-40", "9e999999999999"}) {
        const float expected = std::strtof(text, nullptr);
        ASSERT_EQ(ParseFloat(text, value), std::strlen(text)) << text;
        EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << text << " gave " << value;
    }
    EXPECT_EQ(ParseFloat("x1", value), 0u);
    EXPECT_EQ(ParseFloat("-", value), 0u);
}
