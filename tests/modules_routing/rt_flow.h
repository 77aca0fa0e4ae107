#ifndef ZARN_TESTS_MODULES_ROUTING_RT_FLOW_H
#define ZARN_TESTS_MODULES_ROUTING_RT_FLOW_H

#include <memory>
#include <string>
#include <vector>

#include "fm_flow_run.h"

namespace rt {

// The part of a standard output from the line `first` (without its line
// feed) through the next "Stop()" line; the whole output when there is no
// such part.
inline std::string section(const std::string& out, const std::string& first) {
    size_t begin = out.compare(0, first.size() + 1, first + "\n") == 0 ? 0 : out.find("\n" + first + "\n");
    if (begin == std::string::npos) return out;
    if (begin != 0) ++begin;
    size_t end = out.find("Stop()\n", begin);
    if (end == std::string::npos) return out;
    return out.substr(begin, end + 7 - begin);
}

// Runs torvask on flow texts like fm::FlowRunTest, with the test plug-ins
// found too.
class RoutingFlowTest : public fm::FlowRunTest {
protected:
    // Writes `flow` at `path` below the working directory and starts
    // `torvask -a "" <path>` there.
    std::unique_ptr<tk::Child> start(const std::string& flow, const std::string& path = "flow.mivet") {
        tk::writeFile(work + "/" + path, flow);
        std::string install = std::string("ZARN_INSTALL=") + ZARN_BUILD_DIR + "/lib:" + ZARN_TEST_PLUGINS;
        return std::make_unique<tk::Child>(std::string(ZARN_BUILD_DIR) + "/bin/torvask",
                                           std::vector<std::string>{"-a", "", path},
                                           std::vector<std::string>{install}, work, capture);
    }
    // Like start, and waits for the end of the run.
    tk::ChildResult run(const std::string& flow, const std::string& path = "flow.mivet") {
        return start(flow, path)->wait(60);
    }
    // Writes a file below the working directory.
    void file(const std::string& path, const std::string& text) { tk::writeFile(work + "/" + path, text); }
};

}  // namespace rt

#endif
