// Runs a fuzz target without a fuzzing engine: every input of its corpus (the files of the
// folders given), and the empty one, so the sanitizer build checks every consumer of
// device input on the odd inputs libFuzzer kept, in every test run, and an input once
// found and kept in the corpus stays fixed. Built with clang's -fsanitize=fuzzer instead,
// the same targets run under libFuzzer (this file is then left out).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    LLVMFuzzerTestOneInput(nullptr, 0);
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> input{std::istreambuf_iterator<char>(in), {}};
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++count;
        }
    }
    std::printf("%zu inputs passed\n", count);
    return 0;
}
