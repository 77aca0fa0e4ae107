#include "TkProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tk {

namespace {

const char kScratchPrefix[] = "zarn-tk-";

// Where scratch directories go: under the build tree, so that nothing a
// test leaves behind fills /tmp.
std::string scratchBase() {
    std::string base = std::string(ZARN_BUILD_DIR) + "/test-tmp";
    mkdir(base.c_str(), 0700);
    return base;
}

// The process id in a scratch directory's name "zarn-tk-<pid>-XXXXXX", or 0.
pid_t ownerOf(const std::string& name) {
    if (name.compare(0, sizeof kScratchPrefix - 1, kScratchPrefix) != 0) return 0;
    const char* digits = name.c_str() + sizeof kScratchPrefix - 1;
    char* end = nullptr;
    long pid = std::strtol(digits, &end, 10);
    return end != digits && *end == '-' && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// Removes the scratch directories of test processes that have ended
// without removing them (killed at a timeout, for example).
void removeStaleScratch(const std::string& base) {
    DIR* listing = opendir(base.c_str());
    if (!listing) return;
    std::vector<std::string> stale;
    while (dirent* entry = readdir(listing)) {
        pid_t owner = ownerOf(entry->d_name);
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) stale.push_back(base + "/" + entry->d_name);
    }
    closedir(listing);
    for (const std::string& dir : stale) removeTree(dir);
}

}  // namespace

std::string makeScratchDir() {
    static const std::string base = [] {
        std::string made = scratchBase();
        removeStaleScratch(made);
        return made;
    }();
    std::string pattern = base + "/" + kScratchPrefix + std::to_string(getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    return buffer.data();
}

void removeTree(const std::string& dir) {
    DIR* listing = opendir(dir.c_str());
    if (listing) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            std::string path = dir + "/" + name;
            struct stat info;
            if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                removeTree(path);
            else
                unlink(path.c_str());
        }
        closedir(listing);
    }
    rmdir(dir.c_str());
}

RunDirs::RunDirs() : scratch(makeScratchDir()), work(scratch + "/work"), capture(scratch + "/capture") {
    if (mkdir(work.c_str(), 0700) != 0 || mkdir(capture.c_str(), 0700) != 0) {
        removeTree(scratch);
        throw std::runtime_error("cannot make the folders in " + scratch);
    }
}

RunDirs::~RunDirs() { removeTree(scratch); }

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string linesStartingWith(const std::string& text, const std::vector<std::string>& prefixes) {
    std::string kept;
    for (const std::string& line : splitLines(text))
        for (const std::string& prefix : prefixes)
            if (line.compare(0, prefix.size(), prefix) == 0) {
                kept += line + "\n";
                break;
            }
    return kept;
}

namespace {

std::vector<std::string> childEnvironment(const std::vector<std::string>& env) {
    std::vector<std::string> result = env;
    const char* inherited[] = {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS", "TMPDIR"};
    for (const char* name : inherited) {
        const char* value = std::getenv(name);
        if (value) result.push_back(std::string(name) + "=" + value);
    }
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& words) {
    std::vector<char*> result;
    for (std::string& word : words) result.push_back(&word[0]);
    result.push_back(nullptr);
    return result;
}

}  // namespace

Child::Child(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env,
             const std::string& workDir, const std::string& captureDir, Input input)
    : outPath(captureDir + "/stdout"), errPath(captureDir + "/stderr") {
    std::vector<std::string> argWords{program};
    argWords.insert(argWords.end(), args.begin(), args.end());
    std::vector<std::string> envWords = childEnvironment(env);
    std::vector<char*> argv = pointers(argWords);
    std::vector<char*> envp = pointers(envWords);

    int in = -1, feed = -1;
    if (input == Input::Pipe) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return;
        in = ends[0];
        feed = ends[1];
    } else {
        in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in >= 0 && out >= 0 && err >= 0) {
        pid_t parent = getpid();
        pid = fork();
        if (pid == 0) {
            // Only async-signal-safe calls between fork and exec. A child
            // dies with the test, so a killed test leaves no writer behind.
            if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(126);
            if (chdir(workDir.c_str()) != 0) _exit(126);
            if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
    }
    if (in >= 0) close(in);
    if (out >= 0) close(out);
    if (err >= 0) close(err);
    if (pid > 0) {
        inputFd = feed;
        outputFd = open(outPath.c_str(), O_RDONLY | O_CLOEXEC);
    } else if (feed >= 0) {
        close(feed);
    }
}

Child::~Child() {
    closeInput();
    if (pid > 0 && !reaped) {
        kill(pid, SIGKILL);
        reap(true);
    }
    if (outputFd >= 0) close(outputFd);
}

void Child::send(const std::string& text) {
    if (inputFd < 0) return;
    // A child that has gone must fail the test, not kill it.
    signal(SIGPIPE, SIG_IGN);
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t written = write(inputFd, data, left);
        if (written <= 0) return;
        data += written;
        left -= written;
    }
}

void Child::closeInput() {
    if (inputFd >= 0) close(inputFd);
    inputFd = -1;
}

void Child::sendSignal(int sig) {
    if (pid > 0 && !reaped) kill(pid, sig);
}

bool Child::reap(bool block) {
    if (reaped) return true;
    pid_t done = waitpid(pid, &status, block ? 0 : WNOHANG);
    if (done == pid) reaped = true;
    return reaped;
}

void Child::readNewOutput() {
    if (outputFd < 0) return;
    char buffer[65536];
    ssize_t count;
    while ((count = read(outputFd, buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(count));
}

const std::string& Child::outputSoFar() {
    readNewOutput();
    return output;
}

bool Child::waitForOutput(const std::string& text, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    // Earlier output is searched once; then only the new part, with an
    // overlap for a text that straddles two reads.
    size_t from = 0;
    for (;;) {
        bool ended = pid <= 0 || reap(false);
        readNewOutput();
        if (output.find(text, from) != std::string::npos) return true;
        if (ended || std::chrono::steady_clock::now() >= deadline) return false;
        from = output.size() >= text.size() ? output.size() - text.size() + 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

ChildResult Child::wait(double seconds) {
    ChildResult result;
    if (pid <= 0) return result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!reap(false) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (!reaped) {
        result.timedOut = true;
        kill(pid, SIGKILL);
        reap(true);
    }
    closeInput();
    if (!result.timedOut && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (!result.timedOut && WIFSIGNALED(status)) result.termSignal = WTERMSIG(status);
    readNewOutput();
    result.out = outputFd >= 0 ? output : readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

ChildResult run(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& env, const std::string& workDir, const std::string& captureDir,
                double seconds) {
    Child child(program, args, env, workDir, captureDir);
    return child.wait(seconds);
}

ChildResult runLimited(const std::string& limits, const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& env, const std::string& workDir,
                       const std::string& captureDir, double seconds) {
    std::vector<std::string> shellArgs{"-c", limits + " && exec \"$0\" \"$@\"", program};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return run("/bin/bash", shellArgs, env, workDir, captureDir, seconds);
}

}  // namespace tk
