#include "fuzz_driver.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

struct Options {
    double seconds = 10;
    uint64_t runs = 0;  // 0: bounded by time only
    uint64_t seed = 0;
    bool seedGiven = false;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--seconds=", 10) == 0) {
            options.seconds = std::strtod(arg + 10, nullptr);
        } else if (std::strncmp(arg, "--runs=", 7) == 0) {
            options.runs = std::strtoull(arg + 7, nullptr, 10);
        } else if (std::strncmp(arg, "--seed=", 7) == 0) {
            options.seed = std::strtoull(arg + 7, nullptr, 10);
            options.seedGiven = true;
        } else {
            std::fprintf(stderr, "usage: %s [--seconds=N] [--runs=N] [--seed=N]\n", argv[0]);
            std::exit(2);
        }
    }
    if (!(options.seconds > 0) || options.seconds > 3600) options.seconds = 10;
    return options;
}

// Random bytes mixed with dictionary fragments, short inputs more often than long.
std::string Generate(std::mt19937_64& rng, const std::vector<std::string>& dictionary) {
    std::uniform_int_distribution<int> pieceCount(0, 24);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> runLength(1, 8);
    std::string out;
    const int pieces = pieceCount(rng) * (kind(rng) == 0 ? 40 : 1);
    for (int p = 0; p < pieces; ++p) {
        const int k = kind(rng);
        if (k < 5 && !dictionary.empty()) {
            out += dictionary[std::uniform_int_distribution<size_t>(0, dictionary.size() - 1)(rng)];
        } else {
            const int n = runLength(rng);
            for (int i = 0; i < n; ++i) out.push_back(static_cast<char>(byte(rng)));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    const uint64_t seed = options.seedGiven
                              ? options.seed
                              : static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::printf("fuzz: seed %llu, %.1f s\n", static_cast<unsigned long long>(seed), options.seconds);
    std::fflush(stdout);

    std::mt19937_64 rng(seed);
    const std::vector<std::string> dictionary = FuzzDictionary();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);

    FuzzOneInput({});
    uint64_t runs = 1;
    while (options.runs == 0 || runs < options.runs) {
        FuzzOneInput(Generate(rng, dictionary));
        ++runs;
        if ((runs & 63) == 0 && std::chrono::steady_clock::now() >= deadline) break;
    }
    std::printf("fuzz: %llu inputs, no failure\n", static_cast<unsigned long long>(runs));
    return 0;
}
