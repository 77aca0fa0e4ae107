#ifndef ZARN_TESTS_MODULES_THREADS_THSUPPORT_H
#define ZARN_TESTS_MODULES_THREADS_THSUPPORT_H

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Corvane.h"
#include "TkProcess.h"
#include "pluginHandle.h"

namespace th {

// Runs torvask as a process on a flow text in a private working directory,
// with standard input a pipe that feeds the flow's ThFeed driver, and the
// build's and the test plug-ins found through ZARN_INSTALL.
class FlowTest : public ::testing::Test, protected tk::RunDirs {
protected:
    // Writes `flow` as flow.mivet and starts `torvask -a "" flow.mivet`.
    std::unique_ptr<tk::Child> startFlow(const std::string& flow);
    std::string workFile(const std::string& name) const;
    // Waits until the file holds `text`; false after `seconds`.
    bool waitForFile(const std::string& name, const std::string& text, double seconds) const;
};

// A module instance made in this process from a plug-in of the build, and
// deleted through the plug-in's delObject.
class Instance {
public:
    Instance(const std::string& className, const std::string& instanceName);
    ~Instance();
    Corvane* operator->() const { return object; }
    Corvane* get() const { return object; }
    // Deletes the instance now; later calls do nothing.
    void destroy();
    // Gives input `input` this text, as a flow file's literal would.
    void set(const std::string& input, const std::string& text);

private:
    pluginHandle handle;
    Corvane* object = nullptr;
};

// A receiver with one vorn_string input "line" that keeps what arrives,
// from whichever thread delivers it.
class Collector : public Corvane {
public:
    Collector();
    void take(void* value);
    // Runs on the delivering thread after a value was kept.
    std::function<void(const std::string&)> onValue;
    // False: only count the values.
    bool keep = true;

    std::vector<std::string> values();
    size_t count();
    // Waits until at least `count` values arrived; false after `seconds`.
    bool waitForCount(size_t count, double seconds);

private:
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<std::string> kept;
    size_t total = 0;
};

// Processes whose parent is `parent`, as "<pid> <state> <command name>".
std::vector<std::string> childrenOf(int parent);
int threadCount();
// The thread count once it is `expected`, or after `seconds` whatever it is:
// a joined thread leaves the process's task list a moment after the join.
int threadCountSettledAt(int expected, double seconds = 10);
int descriptorCount();

// A TCP port on 127.0.0.1 that was free a moment ago.
int freePort();
// A client socket connected to 127.0.0.1:port, or -1.
int connectTo(int port);
// Reads until `size` bytes arrived, the peer closed or `seconds` passed.
std::string receive(int fd, size_t size, double seconds);
// True when the peer closes (or resets) the connection within `seconds`.
bool closedByPeer(int fd, double seconds);
// The numbers N of the lines "<prefix>N<suffix>" in `text`, in order.
std::vector<int> numbersIn(const std::string& text, const std::string& prefix, const std::string& suffix);

}  // namespace th

#endif
