#include "TrFlow.h"

namespace tr {

tk::ChildResult TrFlowTest::run(const std::string& flow, const std::string& script) {
    tk::writeFile(work + "/script.txt", script);
    tk::writeFile(work + "/flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    tk::ChildResult result = tk::run(build + "/bin/torvask", {"-a", "", "flow.mivet"}, env, work, capture, 120);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    return result;
}

std::string scriptDriver() { return module("TrScript", "script", {"script \"script.txt\""}); }

std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs) {
    std::string text = className + " " + instance + "\n";
    for (const std::string& input : inputs) text += "\t" + input + "\n";
    return text + "\n";
}

std::string runOf(const std::string& out) {
    const std::string begin = "--- run\n", end = "--- end\n";
    size_t from = out.find(begin);
    if (from == std::string::npos) return "(no run) " + out;
    from += begin.size();
    size_t to = out.find(end, from);
    if (to == std::string::npos) return "(no end) " + out.substr(from);
    return out.substr(from, to - from);
}

int countOf(const std::string& text, const std::string& piece) {
    int count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++count;
    return count;
}

std::string loadOf(const std::string& out) { return out.substr(0, out.find("--- run\n")); }

}  // namespace tr
