#ifndef ZARN_TESTS_SUPPORT_CAPTURED_H
#define ZARN_TESTS_SUPPORT_CAPTURED_H

#include <gtest/gtest.h>

#include <string>

// What in-process code prints, caught by GoogleTest's capture of the
// standard streams. The test's thread only; captures do not nest.
namespace captured {

// What `action` writes on standard output.
template <class Action> std::string stdoutOf(Action action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

// What `action` writes on standard error.
template <class Action> std::string stderrOf(Action action) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

}  // namespace captured

#endif
