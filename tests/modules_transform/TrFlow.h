#ifndef ZARN_TESTS_MODULES_TRANSFORM_TRFLOW_H
#define ZARN_TESTS_MODULES_TRANSFORM_TRFLOW_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "TkProcess.h"

namespace tr {

// Runs torvask as a process on a flow text in a private working directory,
// with the build's plug-ins and the Tr* test plug-ins on ZARN_INSTALL and
// no AIDA system. Each test has its own scratch directory.
class TrFlowTest : public ::testing::Test, protected tk::RunDirs {
protected:
    // Writes `script` as script.txt and `flow` as flow.mivet, then runs it.
    tk::ChildResult run(const std::string& flow, const std::string& script = "");
};

// A TrScript instance named "script" reading script.txt: the flow's driver.
std::string scriptDriver();
// A class line, its tab-indented input lines and an empty line.
std::string module(const std::string& className, const std::string& instance,
                   std::initializer_list<std::string> inputs);
// What the driver's run printed: the lines between "--- run" and "--- end".
std::string runOf(const std::string& out);
// How often `piece` occurs in `text`.
int countOf(const std::string& text, const std::string& piece);
// What torvask printed before the driver's run: loading and connecting.
std::string loadOf(const std::string& out);

}  // namespace tr

#endif
