// Runs a fuzz target over files instead of under libFuzzer: every file named on the command line,
// and every file in every folder named, is handed to LLVMFuzzerTestOneInput once. The sanitizer
// build replays the corpora with it, so that CI needs no fuzzing compiler; a failing input ends
// the run as it would end the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    bool readable = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path named(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(named, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(named, error)) {
                if (entry.is_regular_file()) {
                    readable = Replay(entry.path()) && readable;
                    ++replayed;
                }
            }
        } else {
            readable = Replay(named) && readable;
            ++replayed;
        }
    }
    std::printf("replayed %d inputs\n", replayed);
    return readable && replayed > 0 ? 0 : 1;
}
