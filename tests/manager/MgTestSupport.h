#ifndef ZARN_TESTS_MANAGER_MGTESTSUPPORT_H
#define ZARN_TESTS_MANAGER_MGTESTSUPPORT_H

#include <string>
#include <vector>

#include "TkProcess.h"

// Helpers of the manager tests: folders, links and driver processes.
// Scratch directories, files and child processes come from TkProcess.h.
namespace mgtest {

void makeDir(const std::string& path);
void makeLink(const std::string& target, const std::string& link);

struct ChildResult {
    int exitStatus;  // -1 when the child did not exit normally
    std::string output;  // its standard output
};

// Runs `program` with `args` in `workDir`, with exactly the variables `env`
// ("NAME=value") plus PATH and the sanitizer settings of this process; a
// child that runs past two minutes is killed (exit status -1).
ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, const std::string& workDir);

}  // namespace mgtest

#endif
