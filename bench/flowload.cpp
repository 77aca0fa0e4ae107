// Loads generated flows of 100, 1,000 and 10,000 instances, each connected to
// the one before and each given two literal values, and compares the time
// per instance with the time to merely read the same file and split it into
// tokens (the floor). The cost per instance must not grow with the flow.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Mesgrave.h"
#include "rounds.h"

namespace {

typedef std::chrono::steady_clock Clock;

std::string generateFlow(int instances) {
    std::string text;
    for (int i = 0; i < instances; ++i) {
        text += "MgFlowload n" + std::to_string(i) + "\n";
        if (i > 0) text += "\tin n" + std::to_string(i - 1) + " out\n";
        text += "\tscale \"" + std::to_string(i % 7) + "\"\n";
        text += "\toffset \"0.5\"\n\n";
    }
    text += "\n";
    for (int i = 0; i < instances; ++i) text += "*n" + std::to_string(i) + " " + std::to_string(i) + " 100 \n";
    return text;
}

// Seconds to load the file into a fresh manager.
double loadOnce(const std::string& path, size_t expected) {
    Mesgrave manager("");
    Clock::time_point start = Clock::now();
    manager.configureFromFile(path);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (manager.instances.size() != expected) {
        std::cerr << "flowload: " << manager.instances.size() << " instances instead of " << expected << std::endl;
        exit(1);
    }
    return seconds;
}

// Seconds to read the file line by line and split every line into tokens.
double tokenizeOnce(const std::string& path, size_t& tokens) {
    Clock::time_point start = Clock::now();
    std::ifstream in(path.c_str());
    std::string line, token;
    tokens = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        while (words >> token) ++tokens;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
    setenv("ZARN_INSTALL", FLOWLOAD_PLUGINS, 1);
    char pattern[] = "/tmp/flowload-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        perror("flowload: mkdtemp");
        return 1;
    }
    std::string dir = pattern;

    // The manager's own lines would drown the table.
    std::streambuf* console = std::cout.rdbuf(nullptr);
    struct Row {
        int instances;
        std::vector<bench::Result> results;
    };
    std::vector<Row> rows;
    for (int instances : {100, 1000, 10000}) {
        std::string path = dir + "/flow" + std::to_string(instances) + ".mivet";
        std::ofstream(path.c_str()) << generateFlow(instances);
        int repetitions = std::max(5, 50000 / instances);
        size_t tokens = 0;
        loadOnce(path, instances);
        // Microseconds per instance, over `repetitions` passes.
        auto perInstance = [&](auto pass) {
            double seconds = 0;
            for (int r = 0; r < repetitions; ++r) seconds += pass();
            return seconds / repetitions / instances * 1e6;
        };
        rows.push_back(
            {instances, bench::runRounds({
                            {"tokenize", [&] { return perInstance([&] { return tokenizeOnce(path, tokens); }); }},
                            {"load", [&] { return perInstance([&] { return loadOnce(path, instances); }); }},
                        })});
        unlink(path.c_str());
    }
    rmdir(dir.c_str());
    std::cout.rdbuf(console);

    std::printf("| %-9s | %-24s | %-24s | %-22s |\n", "instances", "load us/instance", "tokenize floor us/inst",
                "ratio");
    std::printf(
        "|-----------|--------------------------|------------------------"
        "--|------------------------|\n");
    for (const Row& row : rows)
        std::printf(
            "| %-9d | %-24s | %-24s | %-22s |\n", row.instances, bench::figureText(row.results[1].figure, 3).c_str(),
            bench::figureText(row.results[0].figure, 3).c_str(), bench::ratioText(row.results[1].ratio).c_str());
    std::printf("per-instance load at 10000 / at 100 (medians): %.2f\n",
                rows.back().results[1].figure.median / rows.front().results[1].figure.median);
    bench::printRoundsNote();
    return 0;
}
