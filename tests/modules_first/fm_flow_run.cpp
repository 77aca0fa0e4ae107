#include "fm_flow_run.h"


#include <chrono>
#include <thread>

namespace fm {

namespace {

const double kRunSeconds = 60;

std::string torvask() { return std::string(ZARN_BUILD_DIR) + "/bin/torvask"; }

std::vector<std::string> withInstall(std::vector<std::string> env) {
    env.push_back(std::string("ZARN_INSTALL=") + ZARN_BUILD_DIR + "/lib");
    return env;
}

}  // namespace

std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs) {
    std::string text = className + " " + instance + "\n";
    for (const std::string& input : inputs) text += "\t" + input + "\n";
    return text + "\n";
}

std::string stepper(const std::string& steps, const std::string& interval) {
    return module("Stepper", "stepper", {"steps \"" + steps + "\"", "interval \"" + interval + "\""});
}

std::string runSection(const std::string& out) {
    size_t begin = out.find("\nStepper running: ");
    if (begin == std::string::npos) return out;
    size_t end = out.find("Stop()\n", begin);
    if (end == std::string::npos) return out;
    return out.substr(begin + 1, end + 7 - begin - 1);
}

int countLines(const std::string& text, const std::string& line) {
    int count = 0;
    for (const std::string& each : tk::splitLines(text))
        if (each == line) ++count;
    return count;
}

int countText(const std::string& text, const std::string& piece) {
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++count;
    return count;
}

tk::ChildResult FlowRunTest::runFlow(const std::string& flow, const std::vector<std::string>& options) {
    tk::writeFile(work + "/flow.mivet", flow);
    std::vector<std::string> args = options;
    args.push_back("flow.mivet");
    return runTorvask(args);
}

std::unique_ptr<tk::Child> FlowRunTest::startFlow(const std::string& flow, const std::vector<std::string>& options) {
    tk::writeFile(work + "/flow.mivet", flow);
    std::vector<std::string> args = options;
    args.push_back("flow.mivet");
    return std::make_unique<tk::Child>(torvask(), args, withInstall({}), work, capture, tk::Input::Pipe);
}

tk::ChildResult FlowRunTest::runTorvask(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    return tk::run(torvask(), args, withInstall(env), work, capture, kRunSeconds);
}

std::string FlowRunTest::workFile(const std::string& name) const { return tk::readFile(work + "/" + name); }

bool FlowRunTest::waitForLines(const std::string& name, size_t lines, double seconds) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (tk::splitLines(workFile(name)).size() < lines) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace fm
