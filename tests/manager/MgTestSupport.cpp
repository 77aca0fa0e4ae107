#include "MgTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace mgtest {

namespace {

void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

}  // namespace

void makeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) fail("mkdir " + path);
}

void makeLink(const std::string& target, const std::string& link) {
    if (symlink(target.c_str(), link.c_str()) != 0) fail("symlink " + link);
}

ChildResult runChild(const std::string& program, const std::vector<std::string>& args,
                     const std::vector<std::string>& env, const std::string& workDir) {
    tk::ScratchDir capture;
    tk::ChildResult child = tk::run(program, args, env, workDir, capture.path(), 120);
    return ChildResult{child.exitStatus, child.out};
}

}  // namespace mgtest
