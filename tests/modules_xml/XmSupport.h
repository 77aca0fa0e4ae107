#ifndef ZARN_TESTS_MODULES_XML_XMSUPPORT_H
#define ZARN_TESTS_MODULES_XML_XMSUPPORT_H

#include <gtest/gtest.h>
#include <sys/types.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "TkProcess.h"

namespace xm {

// One class line of a flow file and its input lines; each input is what
// follows the line's tab, e.g. "steps \"3\"" or "step stepper step".
std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs);
// A Stepper named "stepper" that sends `steps` signals without pause.
std::string stepper(int steps);
// An XmFeed named `instance` that sends the next of `files` at each step.
std::string feed(const std::string& instance, const std::string& files);
// A Display named "display" that shows each value of `sender` between
// "[" and "]\n".
std::string display(const std::string& sender);

// What the Stepper's run printed: the lines between "Stepper running: ..."
// and "Stop()"; "<no run>" when there is no such part.
std::string runOutput(const std::string& out);
// The names in a directory, sorted, "." and ".." left out.
std::vector<std::string> listDir(const std::string& dir);

// A listening socket on 127.0.0.1 that nobody should connect to.
class Listener {
public:
    Listener();
    ~Listener();
    // Whether a connection came in since the last call.
    bool wasContacted();
    std::string url(const std::string& file) const;

    int fd;
    int port;
};

// Runs torvask as a process on flow texts in a private working directory,
// with the build's plug-ins and the test plug-ins on ZARN_INSTALL.
class XmFlowTest : public ::testing::Test, protected tk::RunDirs {
public:
    // Writes `flow` as flow.mivet and runs `torvask -a "" flow.mivet` with
    // the extra variables `env`; expects a normal end without sanitizer
    // reports.
    tk::ChildResult run(const std::string& flow, const std::vector<std::string>& env = {});
    // Writes `flow` and runs torvask on it from bash after the shell
    // command `limits` (e.g. "ulimit -s 1024"), so that the limits bind
    // that run alone; no expectations on the result.
    tk::ChildResult runLimited(const std::string& flow, const std::string& limits);
    // The same run as a user without privileges: as "nobody" (through
    // setpriv) when the tests run as root, else as the tests' own user;
    // with `limits` as in runLimited. False when there is no way to change
    // user, or that user cannot reach the build; `result` is then unset.
    bool runUnprivileged(const std::string& flow, tk::ChildResult& result, const std::string& limits = "");
    // The user that runUnprivileged runs as.
    static uid_t unprivilegedUser();

    void write(const std::string& name, const std::string& text) const;
    // "" when missing.
    std::string read(const std::string& name) const;
    std::string path(const std::string& name) const { return work + "/" + name; }
};

}  // namespace xm

#endif
