// Records per second through Ambrel -> Drovin -> Histo under torvask with the
// test AIDA system, against a hand-written program that reads the same file,
// applies the same cut and counts the same bins (the floor), in
// interleaved rounds.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FeventWriter.h"
#include "analysis_floor.h"
#include "rounds.h"

extern char** environ;

namespace {

const long kRecords = 1000000;
const int kElements = 100;
const int kThreshold = 49;
const int kBins = 100;
const double kLow = 0, kHigh = 1000;
const int kRounds = 7;

// A double t, the int n (as a one-element vector<int>, since cuts apply to
// vectors) and a vector<short> v of 100 elements per record.
void writeEvents(const std::string& path) {
    fevent::Encoder bytes;
    bytes.putHeader({{"t", 10, 0, 0, 0}, {"n", 21, 100, 0, 100}, {"v", 20, kBins, kLow, kHigh}});
    fevent::OutputFile file;
    if (!file.open(path)) {
        std::perror(path.c_str());
        std::exit(1);
    }
    unsigned long state = 12345;
    auto next = [&state]() {
        state = state * 6364136223846793005ul + 1442695040888963407ul;
        return static_cast<unsigned>(state >> 33);
    };
    std::vector<int> n(1);
    std::vector<short> v(kElements);
    for (long r = 0; r < kRecords; ++r) {
        double t = r * 0.001;
        n[0] = static_cast<int>(next() % 100);
        for (short& x : v) x = static_cast<short>(next() % 1100);
        bytes.put(uint16_t(0));
        bytes.putValue(10, &t);
        bytes.put(uint16_t(1));
        bytes.putValue(21, &n);
        bytes.put(uint16_t(2));
        bytes.putValue(20, &v);
        bytes.put(fevent::kEventEnd);
        if (bytes.bytes().size() > (1u << 22)) {
            file.write(bytes.bytes());
            bytes.clear();
        }
    }
    file.write(bytes.bytes());
}

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs torvask on the flow in `dir`, its output to a file; the wall time.
double runFlow(const std::string& dir) {
    std::string build = ZARN_BUILD_DIR;
    std::string torvask = build + "/bin/torvask";
    std::vector<std::string> words = {torvask, "-a", ZARN_BENCH_AIDA, dir + "/flow.mivet"};
    std::vector<std::string> settings = {"ZARN_INSTALL=" + build + "/lib", "ZARN_TEST_AIDA_DUMP=" + dir + "/dump.txt",
                                         "PATH=/usr/bin:/bin"};
    std::vector<char*> argv, envp;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);
    for (std::string& s : settings) envp.push_back(&s[0]);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (dir + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, torvask.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    double took = seconds(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "torvask failed; see %s/out.txt\n", dir.c_str());
        std::exit(1);
    }
    return took;
}

// Entries plus out-of-range entries of the fullest histogram in the dump.
long filledInDump(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    long most = -1;
    while (std::getline(in, line)) {
        if (line.rfind("IHistogram1D ", 0) != 0) continue;
        size_t e = line.find(" entries="), x = line.find(" extra=");
        if (e == std::string::npos || x == std::string::npos) continue;
        most = std::max(most, std::atol(line.c_str() + e + 9) + std::atol(line.c_str() + x + 7));
    }
    return most;
}

}  // namespace

int main() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_analysis.XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror("mkdtemp");
        return 1;
    }
    std::string dir = pattern;
    std::string events = dir + "/events.fevent";
    writeEvents(events);
    std::ofstream(dir + "/flow.mivet") << "Ambrel src\n\tfilename \"" << events << "\"\n"
                                       << "Drovin cut\n\tfevent src Tavrel\n\tcut \"n > " << kThreshold << "\"\n"
                                       << "Histo h\n\ttavrel cut pass\n\tfill \"v\"\n\tbinning \"" << kBins << ' '
                                       << kLow << ' ' << kHigh << "\"\n";

    FloorCounts counts;
    long floorRecords = 0;
    std::vector<bench::Result> results = bench::runRounds(
        {{"floor", [&] { return bench::secondsOf([&] {
              floorRecords = runFloor(events, "n", kThreshold, "v", kBins, kLow, kHigh, counts);
          }); }},
         {"torvask", [&] { return runFlow(dir); }}},
        kRounds);
    long filled = filledInDump(dir + "/dump.txt");
    std::printf("%ld records of a double, an int and %d shorts; cut n > %d; %ld fills\n", kRecords, kElements,
                kThreshold, counts.fills);
    std::printf("\n| program | records/s | ratio |\n|---|---|---|\n");
    std::printf("| floor (hand-written reader, cut, bin array) | %.0f | floor |\n",
                kRecords / results[0].figure.median);
    std::printf("| torvask Ambrel -> Drovin -> Histo | %.0f | %s |\n", kRecords / results[1].figure.median,
                bench::ratioText(results[1].ratio).c_str());
    bench::printRoundsNote(kRounds);
    std::printf("check: floor read %ld records; the histogram holds %ld of %ld fills (%s)\n", floorRecords, filled,
                counts.fills, filled == counts.fills ? "same" : "DIFFERENT");
    std::remove(events.c_str());
    std::remove((dir + "/flow.mivet").c_str());
    std::remove((dir + "/dump.txt").c_str());
    std::remove((dir + "/out.txt").c_str());
    rmdir(dir.c_str());
    return filled == counts.fills ? 0 : 1;
}
