#include "ThSupport.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "TextNumbers.h"

namespace th {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

int entriesOf(const std::string& dir) {
    int count = 0;
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr) return -1;
    while (dirent* entry = readdir(listing))
        if (entry->d_name[0] != '.') ++count;
    closedir(listing);
    return count;
}

int millisLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

std::unique_ptr<tk::Child> FlowTest::startFlow(const std::string& flow) {
    tk::writeFile(work + "/flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    return std::make_unique<tk::Child>(build + "/bin/torvask", std::vector<std::string>{"-a", "", "flow.mivet"}, env,
                                       work, capture, tk::Input::Pipe);
}

std::string FlowTest::workFile(const std::string& name) const { return tk::readFile(work + "/" + name); }

bool FlowTest::waitForFile(const std::string& name, const std::string& text, double seconds) const {
    Clock::time_point deadline = after(seconds);
    while (workFile(name) != text) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Instance::Instance(const std::string& className, const std::string& instanceName)
    : handle(className, nullptr, nullptr, nullptr) {
    handle.SetPath(std::string(ZARN_BUILD_DIR) + "/lib/");
    handle.Load();
    if (handle.newObject == nullptr) return;
    std::string name = instanceName;
    object = handle.newObject(name);
}

Instance::~Instance() { destroy(); }

void Instance::destroy() {
    if (object != nullptr) handle.delObject(object);
    object = nullptr;
}

void Instance::set(const std::string& input, const std::string& text) {
    std::string literal = text;
    object->SetInput(input, &literal[0]);
}

Collector::Collector() : Corvane(nullptr, "collector") {
    inputs.push_back(Input("line", CORVANE_HANDLER(&Collector::take), vorn_string, "what arrives"));
}

void Collector::take(void* value) {
    std::string text = *static_cast<std::string*>(value);
    {
        std::lock_guard<std::mutex> guard(lock);
        if (keep) kept.push_back(text);
        ++total;
    }
    arrived.notify_all();
    if (onValue) onValue(text);
}

std::vector<std::string> Collector::values() {
    std::lock_guard<std::mutex> guard(lock);
    return kept;
}

size_t Collector::count() {
    std::lock_guard<std::mutex> guard(lock);
    return total;
}

bool Collector::waitForCount(size_t count, double seconds) {
    std::unique_lock<std::mutex> guard(lock);
    return arrived.wait_until(guard, after(seconds), [&] { return total >= count; });
}

std::vector<std::string> childrenOf(int parent) {
    std::vector<std::string> children;
    DIR* processes = opendir("/proc");
    if (processes == nullptr) return children;
    while (dirent* entry = readdir(processes)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        // Read with plain calls: the process may end while it is read.
        int fd = open((std::string("/proc/") + entry->d_name + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        char buffer[1024];
        ssize_t count = read(fd, buffer, sizeof buffer);
        close(fd);
        if (count <= 0) continue;
        std::string stat(buffer, static_cast<size_t>(count));
        size_t open = stat.find('(');
        size_t close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(stat.substr(close + 1));
        std::string state;
        int ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent)
            children.push_back(std::string(entry->d_name) + " " + state + " " + stat.substr(open + 1, close - open - 1));
    }
    closedir(processes);
    return children;
}

int threadCount() {
    // ThreadSanitizer starts a helper thread of its own with the first
    // thread that the process makes; making one first keeps the helper out
    // of every count that a test compares.
    static const bool settled = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)settled;
    return entriesOf("/proc/self/task");
}

int threadCountSettledAt(int expected, double seconds) {
    Clock::time_point deadline = after(seconds);
    int count = threadCount();
    while (count != expected && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        count = threadCount();
    }
    return count;
}

// The listing's own descriptor is not counted.
int descriptorCount() { return entriesOf("/proc/self/fd") - 1; }

int freePort() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

int connectTo(int port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    close(fd);
    return -1;
}

std::string receive(int fd, size_t size, double seconds) {
    std::string text;
    Clock::time_point deadline = after(seconds);
    char buffer[65536];
    while (text.size() < size) {
        pollfd readable = {fd, POLLIN, 0};
        if (poll(&readable, 1, millisLeft(deadline)) <= 0) break;
        ssize_t count = recv(fd, buffer, std::min(sizeof buffer, size - text.size()), 0);
        if (count <= 0) break;
        text.append(buffer, static_cast<size_t>(count));
    }
    return text;
}

bool closedByPeer(int fd, double seconds) {
    Clock::time_point deadline = after(seconds);
    char buffer[4096];
    for (;;) {
        pollfd readable = {fd, POLLIN, 0};
        if (poll(&readable, 1, millisLeft(deadline)) <= 0) return false;
        ssize_t count = recv(fd, buffer, sizeof buffer, 0);
        if (count == 0 || (count < 0 && errno == ECONNRESET)) return true;
        if (count < 0) return false;
    }
}

std::vector<int> numbersIn(const std::string& text, const std::string& prefix, const std::string& suffix) {
    std::vector<int> numbers;
    for (const std::string& line : tk::splitLines(text)) {
        if (line.size() <= prefix.size() + suffix.size()) continue;
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        if (line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
        numbers.push_back(vorn::parseInt(line.substr(prefix.size()).c_str()));
    }
    return numbers;
}

}  // namespace th
