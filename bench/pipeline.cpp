// Whole-process time of torvask running Stepper (interval 0) -> Gaussian ->
// Pennoch for 10^6 steps into a file, against a hand-written program that
// draws the same numbers and appends the same text with one flush per value.
// Both write into a scratch directory; their files must be equal.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rounds.h"

extern char** environ;

namespace {

const long kSteps = 1000000;

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs `args` in `dir` with standard output and error on /dev/null and
// returns the wall-clock seconds from start to exit; exits on failure.
double timedRun(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& dir) {
    std::vector<char*> argv, envp;
    std::vector<std::string> argWords = args, envWords = env;
    for (std::string& word : argWords) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    for (std::string& word : envWords) envp.push_back(&word[0]);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The children run in the scratch directory; spawn from there.
    char previous[4096];
    if (getcwd(previous, sizeof previous) == nullptr || chdir(dir.c_str()) != 0) {
        std::perror("chdir");
        std::exit(1);
    }
    pid_t pid;
    int failed = 0, status = 0;
    double took = bench::secondsOf([&] {
        failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        if (failed == 0) waitpid(pid, &status, 0);
    });
    posix_spawn_file_actions_destroy(&actions);
    if (chdir(previous) != 0) std::perror("chdir");
    if (failed != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
        std::exit(1);
    }
    return took;
}

std::string flowText(const std::string& file) {
    return "Stepper stepper\n\tsteps \"" + std::to_string(kSteps) +
           "\"\n\tinterval \"0\"\n\n"
           "Gaussian gauss\n\tstep stepper step\n\n"
           "Pennoch pennoch\n\tdata gauss data\n\tfilename \"" +
           file + "\"\n\n";
}

}  // namespace

int main() {
    char pattern[] = "/tmp/zarn-bench-pipeline-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = pattern;
    std::ofstream(dir + "/pipeline.mivet") << flowText("torvask.out");

    const std::vector<std::string> torvask = {PIPELINE_TORVASK, "pipeline.mivet"};
    const std::vector<std::string> hand = {PIPELINE_HAND, "hand.out", std::to_string(kSteps)};
    const std::vector<std::string> env = {std::string("ZARN_INSTALL=") + PIPELINE_PLUGINS};

    // Both append: each run starts from no file, and leaves it for the check.
    auto runInto = [&](const std::vector<std::string>& args, const char* out) {
        std::remove((dir + out).c_str());
        return timedRun(args, env, dir);
    };
    const int kPipelineRounds = 7;
    std::vector<bench::Result> results =
        bench::runRounds({{"hand-written C++ (fprintf %g, fflush)", [&] { return runInto(hand, "/hand.out"); }},
                          {"torvask Stepper -> Gaussian -> Pennoch", [&] { return runInto(torvask, "/torvask.out"); }}},
                         kPipelineRounds);
    std::string handText = readFile(dir + "/hand.out");
    bool equal = readFile(dir + "/torvask.out") == handText;
    long lines = std::count(handText.begin(), handText.end(), '\n');
    for (const char* name : {"/torvask.out", "/hand.out", "/pipeline.mivet"}) std::remove((dir + name).c_str());
    rmdir(dir.c_str());

    std::printf("%ld values per whole-process run; output files %s (%ld lines)\n\n", kSteps, equal ? "equal" : "DIFFER",
                lines);
    std::printf("| program | seconds | ratio |\n|---|---|---|\n");
    for (size_t k = 0; k < results.size(); ++k)
        std::printf("| %s | %s | %s |\n", results[k].name.c_str(), bench::figureText(results[k].figure, 3).c_str(),
                    k == 0 ? "floor" : bench::ratioText(results[k].ratio).c_str());
    bench::printRoundsNote(kPipelineRounds);
    return equal ? 0 : 1;
}
