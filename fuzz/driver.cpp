// A small stand-alone fuzzing driver: runs every file of the seed folder,
// then mutates them at random for a bounded time. It has no coverage
// feedback; the sanitizers catch what goes wrong, and a time limit per input
// what is too slow.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/time.h>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> readSeeds(const std::string& folder) {
    std::vector<Bytes> seeds;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            seeds.emplace_back(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
        }
    }
    if (seeds.empty()) seeds.emplace_back();
    return seeds;
}

void mutate(Bytes& b, const std::vector<Bytes>& seeds, std::mt19937_64& rng) {
    auto pick = [&](size_t n) { return n == 0 ? 0 : size_t(rng() % n); };
    static const uint8_t interesting[] = {0,    1,    0x7f, 0x80, 0xff, ',', '"',
                                          '\r', '\n', ' ',  '\\', '{',  '}'};
    switch (rng() % 7) {
    case 0: // flip a bit
        if (!b.empty()) b[pick(b.size())] ^= uint8_t(1u << (rng() % 8));
        break;
    case 1: // put in an interesting byte
        b.insert(b.begin() + long(pick(b.size() + 1)), interesting[pick(sizeof interesting)]);
        break;
    case 2: // drop a run
        if (!b.empty()) {
            const size_t at = pick(b.size());
            b.erase(b.begin() + long(at), b.begin() + long(at + pick(b.size() - at) + 1));
        }
        break;
    case 3: // overwrite with a random byte
        if (!b.empty()) b[pick(b.size())] = uint8_t(rng());
        break;
    case 4: { // splice in part of another seed
        const Bytes& other = seeds[pick(seeds.size())];
        if (!other.empty()) {
            const size_t from = pick(other.size());
            const size_t len = pick(other.size() - from) + 1;
            b.insert(b.begin() + long(pick(b.size() + 1)), other.begin() + long(from),
                     other.begin() + long(from + len));
        }
        break;
    }
    case 5: // cut the end off
        b.resize(pick(b.size() + 1));
        break;
    default: // duplicate a run
        if (!b.empty()) {
            const size_t at = pick(b.size());
            const Bytes run(b.begin() + long(at), b.begin() + long(at + pick(b.size() - at) + 1));
            b.insert(b.begin() + long(pick(b.size() + 1)), run.begin(), run.end());
        }
    }
}

// An input that takes longer than this is a finding: the viewer runs its
// parsers on the user-interface thread. Processor time, not wall time, so
// that a busy machine makes no false findings.
int timeLimitSeconds = 2;
const Bytes* current = nullptr;

void tooSlow(int) {
    static const char message[] = "input took longer than the time limit; saved as slow-input\n";
    (void)!write(2, message, sizeof message - 1);
    const int fd = open("slow-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && current) (void)!write(fd, current->data(), current->size());
    _exit(70);
}

double slowest = 0; // processor seconds of the slowest input

double processorSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void runOne(const Bytes& input) {
    current = &input;
    const double start = processorSeconds();
    itimerval limit{};
    limit.it_value.tv_sec = timeLimitSeconds; // 0: no limit
    setitimer(ITIMER_PROF, &limit, nullptr);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    limit.it_value.tv_sec = 0;
    setitimer(ITIMER_PROF, &limit, nullptr);
    slowest = std::max(slowest, processorSeconds() - start);
    current = nullptr;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (arg == "--input-seconds" && i + 1 < argc)
            timeLimitSeconds = std::atoi(argv[++i]);
        else
            folder = arg;
    }
    const std::vector<Bytes> seeds = readSeeds(folder);
    // The first input also starts the application and loads the fonts: it
    // runs without the limit.
    LLVMFuzzerTestOneInput(seeds[0].data(), seeds[0].size());
    signal(SIGPROF, tooSlow);
    for (const Bytes& seed : seeds)
        runOne(seed);

    std::mt19937_64 rng(0x5eed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        Bytes input = seeds[rng() % seeds.size()];
        const int rounds = 1 + int(rng() % 8);
        for (int r = 0; r < rounds; ++r)
            mutate(input, seeds, rng);
        runOne(input);
        ++runs;
    }
    std::printf("%ld runs on %zu seeds, slowest %.2f s, no crash\n", runs, seeds.size(), slowest);
    return 0;
}
