// The runner of a fuzz target when it is not built with libFuzzer (the normal compiler of the
// test suite): every file of the given corpus folders once, then, for the time given, inputs
// made by mutating them. It takes the libFuzzer options the test suite uses, so one command
// line runs both kinds of build:
//
//   fuzz_target [-max_total_time=SECONDS] [-seed=N] DIR_OR_FILE...
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void collect(const std::filesystem::path& path, std::vector<Bytes>& corpus) {
    if (std::filesystem::is_directory(path)) {
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file())
                corpus.push_back(readFile(entry.path()));
    } else if (std::filesystem::is_regular_file(path)) {
        corpus.push_back(readFile(path));
    }
}

// Flips, inserts, deletes, repeats or splices bytes: enough to leave the well-formed paths.
Bytes mutate(const std::vector<Bytes>& corpus, std::mt19937& rng) {
    Bytes b = corpus.empty() ? Bytes{} : corpus[rng() % corpus.size()];
    const int edits = 1 + int(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const size_t at = b.empty() ? 0 : rng() % b.size();
        switch (rng() % 6) {
        case 0:
            if (!b.empty())
                b[at] ^= uint8_t(1u << (rng() % 8));
            break;
        case 1:
            b.insert(b.begin() + long(at), uint8_t(rng()));
            break;
        case 2:
            if (!b.empty())
                b.erase(b.begin() + long(at),
                        b.begin() + long(std::min(b.size(), at + 1 + rng() % 16)));
            break;
        case 3:
            if (!b.empty())
                b[at] = uint8_t("\r\n=[]{}\t \xFF\x00\x06\x15"[rng() % 14]);
            break;
        case 4:
            if (!b.empty() && b.size() < 1 << 16) {
                const size_t len = std::min(b.size() - at, size_t(1 + rng() % 64));
                Bytes piece(b.begin() + long(at), b.begin() + long(at + len));
                b.insert(b.begin() + long(rng() % b.size()), piece.begin(), piece.end());
            }
            break;
        default:
            if (!corpus.empty()) {
                const Bytes& other = corpus[rng() % corpus.size()];
                if (!other.empty())
                    b.insert(b.begin() + long(at), other.begin() + long(rng() % other.size()),
                             other.end());
            }
            break;
        }
    }
    return b;
}
} // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    unsigned seed = 1;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("-max_total_time=", 0) == 0)
            seconds = std::stod(a.substr(16));
        else if (a.rfind("-seed=", 0) == 0)
            seed = unsigned(std::stoul(a.substr(6)));
        else if (a.rfind("-", 0) != 0)
            collect(a, corpus);
    }
    for (const Bytes& input : corpus)
        LLVMFuzzerTestOneInput(input.data(), input.size());
    std::mt19937 rng(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = long(corpus.size());
    while (std::chrono::steady_clock::now() < end) {
        const Bytes input = mutate(corpus, rng);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("Done %ld runs (%zu corpus inputs)\n", runs, corpus.size());
    return 0;
}
