#ifndef ZARN_TESTS_MANAGER_MGTESTSUPPORT_H
#define ZARN_TESTS_MANAGER_MGTESTSUPPORT_H

#include <string>
#include <vector>

// Helpers of the manager tests: scratch directories, files, child processes.
namespace mgtest {

// A new private directory under $TMPDIR (or /tmp), without trailing '/'.
std::string makeScratchDir();
// Removes a directory and everything below it; links are not followed.
void removeTree(const std::string& dir);
void writeFile(const std::string& path, const std::string& text);
void makeDir(const std::string& path);
void makeLink(const std::string& target, const std::string& link);

std::vector<std::string> splitLines(const std::string& text);

struct ChildResult {
    int exitStatus;  // -1 when the child did not exit normally
    std::string output;  // its standard output
};

// Runs `program` with `args` in `workDir`, with exactly the variables `env`
// ("NAME=value") plus the sanitizer settings of this process.
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, const std::string& workDir);

}  // namespace mgtest

#endif
