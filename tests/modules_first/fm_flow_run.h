#ifndef ZARN_TESTS_MODULES_FIRST_FM_FLOW_RUN_H
#define ZARN_TESTS_MODULES_FIRST_FM_FLOW_RUN_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "TkProcess.h"

namespace fm {

// One class line of a flow file and its input lines; each input is what
// follows the line's tab, e.g. "steps \"3\"" or "step stepper step".
std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs);
// A Stepper named "stepper" with these literal steps and interval.
std::string stepper(const std::string& steps, const std::string& interval);

// The run's part of a standard output: from the line "Stepper running: ..."
// through the "Stop()" line; the whole output when there is no such part.
std::string runSection(const std::string& out);
// How often `line` (without its line feed) stands as a whole line in `text`.
int countLines(const std::string& text, const std::string& line);
// How often `piece` occurs in `text`.
int countText(const std::string& text, const std::string& piece);

// Runs torvask as a process on flow texts, in a private working directory,
// with ZARN_INSTALL naming the build's plug-ins. Each test has its own
// scratch directory.
class FlowRunTest : public ::testing::Test, protected tk::RunDirs {
protected:
    // Writes `flow` as flow.mivet in the working directory and runs
    // `torvask <options> flow.mivet` with standard input from /dev/null.
    // Without options no AIDA system is loaded.
    tk::ChildResult runFlow(const std::string& flow, const std::vector<std::string>& options = {"-a", ""});
    // The same, started with a pipe for standard input; the caller waits.
    std::unique_ptr<tk::Child> startFlow(const std::string& flow, const std::vector<std::string>& options);
    // Runs torvask with exactly these arguments and extra variables.
    tk::ChildResult runTorvask(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

    // A file of the working directory; "" when missing.
    std::string workFile(const std::string& name) const;
    // Waits until `name` holds at least `lines` lines; false after `seconds`.
    bool waitForLines(const std::string& name, size_t lines, double seconds) const;
};

}  // namespace fm

#endif
