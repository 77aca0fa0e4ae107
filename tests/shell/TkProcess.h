#ifndef ZARN_TESTS_SHELL_TKPROCESS_H
#define ZARN_TESTS_SHELL_TKPROCESS_H

#include <string>
#include <vector>

// Scratch directories, files and child processes for tests that run the
// programs of the build as processes.
namespace tk {

// A new private directory under the build tree's test-tmp, without
// trailing '/'. The first call of a process removes the directories that
// ended test processes left there.
std::string makeScratchDir();
// Removes a directory and everything below it; links are not followed.
void removeTree(const std::string& dir);

// A scratch directory that is removed with this object.
class ScratchDir {
public:
    ScratchDir() : dir(makeScratchDir()) {}
    ~ScratchDir() { removeTree(dir); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return dir; }

private:
    std::string dir;
};

// The folders of a test that runs a child: a scratch directory holding
// "work", where the child runs, and "capture", where its standard output
// and error go. Removed with this object; test fixtures derive from it.
class RunDirs {
public:
    RunDirs();
    ~RunDirs();
    RunDirs(const RunDirs&) = delete;
    RunDirs& operator=(const RunDirs&) = delete;

    const std::string scratch;
    const std::string work;
    const std::string capture;
};

void writeFile(const std::string& path, const std::string& text);
// The whole file, "" when it cannot be read.
std::string readFile(const std::string& path);
std::vector<std::string> splitLines(const std::string& text);
// The lines of `text` that begin with one of `prefixes`, each with its line feed.
std::string linesStartingWith(const std::string& text, const std::vector<std::string>& prefixes);

// What a child did. `exitStatus` is -1 unless the child exited normally;
// `termSignal` is the signal that ended it, else 0.
struct ChildResult {
    int exitStatus = -1;
    int termSignal = 0;
    bool timedOut = false;
    std::string out;
    std::string err;
};

// How the child's standard input is fed.
enum class Input { DevNull, Pipe };

// A child process of a test. Its standard output and error go to files,
// so a child can print as much as it likes while the test waits.
class Child {
public:
    // Starts `program` with `args` in `workDir` with exactly the variables
    // `env` ("NAME=value") plus PATH and the sanitizer settings of this
    // process. `captureDir` holds the output files.
    Child(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env,
          const std::string& workDir, const std::string& captureDir, Input input = Input::DevNull);
    // Kills and reaps a child that is still running.
    ~Child();

    bool started() const { return pid > 0; }
    // Writes to the child's standard input (Input::Pipe only).
    void send(const std::string& text);
    // Ends the child's standard input.
    void closeInput();
    // Sends `sig` to the child while it has not been reaped.
    void sendSignal(int sig);
    // Waits until the standard output so far holds `text`; false after
    // `seconds` or when the child ended without printing it. Each poll reads
    // only what was added since the last one.
    bool waitForOutput(const std::string& text, double seconds);
    // The standard output so far; each call reads only what was added.
    const std::string& outputSoFar();
    // Waits for the end of the child; after `seconds` it is killed and the
    // result says timedOut.
    ChildResult wait(double seconds);

    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    bool reap(bool block);
    // Appends what the child added to its standard output since the last call.
    void readNewOutput();
    int pid = -1;
    int outputFd = -1;
    std::string output;
    int inputFd = -1;
    int status = 0;
    bool reaped = false;
    std::string outPath;
    std::string errPath;
};

// Starts a child with standard input from /dev/null and waits for it.
ChildResult run(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& env, const std::string& workDir, const std::string& captureDir,
                double seconds = 60);

// Like run, after the shell commands `limits` (for example "ulimit -f 4"),
// which a child bash sets before it becomes `program`, as a user sets them
// (bash counts `ulimit -f` in KiB).
ChildResult runLimited(const std::string& limits, const std::string& program, const std::vector<std::string>& args,
                       const std::vector<std::string>& env, const std::string& workDir,
                       const std::string& captureDir, double seconds = 60);

}  // namespace tk

#endif
