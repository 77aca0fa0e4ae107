#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <string>

#include "Corvane.h"

// A test module that holds a descriptor without close-on-exec, at the fixed
// number 57, for its lifetime, as careless code in a process might; child
// processes that other modules start must not see it.
class RtLeak : public Corvane {
public:
    explicit RtLeak(std::string& instanceName);
    ~RtLeak() override;

    int descriptor;
};

namespace {

const int kLeakedDescriptor = 57;

int openLeaked() {
    int fd = open("/dev/null", O_RDONLY);
    if (fd < 0) return -1;
    int leaked = dup2(fd, kLeakedDescriptor);
    close(fd);
    return leaked;
}

}  // namespace

RtLeak::RtLeak(std::string& instanceName) : Corvane(nullptr, "NoName"), descriptor(openLeaked()) {
    name = instanceName;
    std::cout << name + " holds descriptor " + std::to_string(descriptor) + "\n" << std::flush;
}

RtLeak::~RtLeak() {
    if (descriptor >= 0) close(descriptor);
}

CORVANE_MODULE(RtLeak)
