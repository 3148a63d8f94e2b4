// Runs a fuzz target without a fuzzing engine: every input of its corpus (the files of the
// folders named after the round count), then a fixed number of deterministic mutations of
// them, so the sanitizer build checks every consumer of device input on odd input in every
// test run, and an input once found and kept in the corpus stays fixed. Built with clang's
// -fsanitize=fuzzer instead, the same targets run under libFuzzer (this file is then left
// out).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    long rounds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
    std::vector<std::filesystem::path> files;
    for (int i = 2; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());  // the same order, so the same mutations, each run
    std::vector<std::vector<uint8_t>> seeds{{}};
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::mt19937 rng(12345);
    for (const auto& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
    for (long i = 0; i < rounds; ++i) {
        std::vector<uint8_t> input = seeds[rng() % seeds.size()];
        int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = input.empty() ? 0 : rng() % input.size();
            switch (rng() % 5) {
                case 0:  // flip a byte
                    if (!input.empty()) input[at] = static_cast<uint8_t>(rng());
                    break;
                case 1:  // an interesting value: NUL, separator, digit, lead byte, top bit
                    if (!input.empty()) {
                        static const uint8_t kBytes[] = {0, ',', '0', '9', 0x1B, 0x7F, 0x80, 0xFF};
                        input[at] = kBytes[rng() % sizeof kBytes];
                    }
                    break;
                case 2:  // cut
                    input.resize(at);
                    break;
                case 3:  // insert
                    input.insert(input.begin() + static_cast<long>(at),
                                 static_cast<uint8_t>(rng()));
                    break;
                default:  // duplicate a run
                    if (!input.empty()) {
                        size_t n = 1 + rng() % 16;
                        std::vector<uint8_t> run(
                            input.begin() + static_cast<long>(at),
                            input.begin() + static_cast<long>(std::min(input.size(), at + n)));
                        input.insert(input.begin() + static_cast<long>(at), run.begin(), run.end());
                    }
                    break;
            }
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu corpus inputs and %ld mutations passed\n", files.size(), rounds);
    return 0;
}
