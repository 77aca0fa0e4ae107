#include "XmSupport.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>

namespace xm {

std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs) {
    std::string text = className + " " + instance + "\n";
    for (const std::string& input : inputs) text += "\t" + input + "\n";
    return text + "\n";
}

std::string stepper(int steps) {
    return module("Stepper", "stepper", {"steps \"" + std::to_string(steps) + "\"", "interval \"0\""});
}

std::string feed(const std::string& instance, const std::string& files) {
    return module("XmFeed", instance, {"files \"" + files + "\"", "step stepper step"});
}

std::string display(const std::string& sender) {
    return module("Display", "display", {"data " + sender, "prefix \"[\"", "suffix \"]\\n\""});
}

Listener::Listener() {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        ADD_FAILURE() << "no listening socket";
    port = ntohs(address.sin_port);
}

Listener::~Listener() { close(fd); }

bool Listener::wasContacted() {
    int client = accept(fd, nullptr, nullptr);
    if (client < 0) return errno != EAGAIN && errno != EWOULDBLOCK;
    close(client);
    return true;
}

std::string Listener::url(const std::string& file) const {
    return "http://127.0.0.1:" + std::to_string(port) + "/" + file;
}

std::string runOutput(const std::string& out) {
    size_t begin = out.find("\nStepper running: ");
    if (begin == std::string::npos) return "<no run>";
    begin = out.find('\n', begin + 1);
    size_t end = out.find("Stop()\n", begin);
    if (end == std::string::npos) return "<no run>";
    return out.substr(begin + 1, end - begin - 1);
}

std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* listing = opendir(dir.c_str())) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

tk::ChildResult XmFlowTest::run(const std::string& flow, const std::vector<std::string>& env) {
    write("flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> all = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    all.insert(all.end(), env.begin(), env.end());
    tk::ChildResult result = tk::run(build + "/bin/torvask", {"-a", "", "flow.mivet"}, all, work, capture, 120);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    // The XSLT library's own "runtime error" lines start a line.
    EXPECT_EQ(std::string::npos, result.err.find(": runtime error")) << result.err;
    return result;
}

tk::ChildResult XmFlowTest::runLimited(const std::string& flow, const std::string& limits) {
    write("flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    return tk::runLimited(limits, build + "/bin/torvask", {"-a", "", "flow.mivet"}, env, work, capture, 120);
}

uid_t XmFlowTest::unprivilegedUser() { return geteuid() == 0 ? 65534 : geteuid(); }

bool XmFlowTest::runUnprivileged(const std::string& flow, tk::ChildResult& result, const std::string& limits) {
    const std::string setpriv = "/usr/bin/setpriv";
    if (geteuid() == 0 && access(setpriv.c_str(), X_OK) != 0) return false;
    write("flow.mivet", flow);
    // The other user must reach the working folder and read the flow.
    chmod(scratch.c_str(), 0711);
    chmod(path("flow.mivet").c_str(), 0644);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    std::vector<std::string> args = {"-a", "", "flow.mivet"};
    std::string program = build + "/bin/torvask";
    if (geteuid() == 0) {
        std::string id = std::to_string(unprivilegedUser());
        std::vector<std::string> asUser = {"--reuid=" + id, "--regid=" + id, "--clear-groups"};
        // A build inside a folder closed to others (a private temporary
        // clone) cannot be run as that user.
        std::vector<std::string> probe = asUser;
        probe.insert(probe.end(), {"/usr/bin/test", "-r", build + "/lib/Mesgrave.so"});
        if (tk::run(setpriv, probe, env, work, capture, 30).exitStatus != 0) return false;
        args.insert(args.begin(), asUser.begin(), asUser.end());
        args.insert(args.begin() + static_cast<long>(asUser.size()), program);
        program = setpriv;
    }
    result = limits.empty() ? tk::run(program, args, env, work, capture, 120)
                            : tk::runLimited(limits, program, args, env, work, capture, 120);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    return true;
}

void XmFlowTest::write(const std::string& name, const std::string& text) const { tk::writeFile(path(name), text); }

std::string XmFlowTest::read(const std::string& name) const { return tk::readFile(path(name)); }

}  // namespace xm
