#ifndef ZARN_TESTS_EVENTFILES_EFSUPPORT_H
#define ZARN_TESTS_EVENTFILES_EFSUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TkProcess.h"

// Helpers of the event file tests: bytes written by hand, flows run by
// torvask in a private scratch directory, and picking lines from output.
namespace eftest {

// Little-endian bytes, written field by field without the codec, so that a
// file built here checks the readers against the layout itself.
class Bytes {
public:
    Bytes& u8(unsigned value);
    Bytes& u16(unsigned value);
    Bytes& u32(uint32_t value);
    Bytes& i32(int32_t value);
    Bytes& u64(uint64_t value);
    Bytes& f32(float value);
    Bytes& f64(double value);
    // The characters, then one blank.
    Bytes& text(const std::string& characters);
    Bytes& raw(const std::string& bytes);
    // Magic and property count.
    Bytes& start(unsigned count);
    // One declaration: name and blank, type, bins, min, max.
    Bytes& declare(const std::string& name, int type, int32_t bins = 0, double min = 0, double max = 0);
    Bytes& headerEnd() { return u16(0xDEAD); }
    Bytes& eventEnd() { return u16(0xE0FE); }

    std::string bytes;
};

// The bits of a number as the test sink prints them.
std::string bitsOf(double value);
std::string bitsOf(float value);

// How many lines of `text` begin with `prefix`.
int countLines(const std::string& text, const std::string& prefix);

// A test with a private working directory in which torvask runs flows.
class FlowTest : public ::testing::Test, protected tk::RunDirs {
protected:
    // Runs torvask on `flow` (the text of a flow file) without an AIDA system;
    // expects a normal exit without sanitizer reports.
    tk::ChildResult run(const std::string& flow);
    // Runs torvask on `flow` from bash after the shell command `limits`
    // (e.g. "ulimit -f 8"), which binds that run alone; no expectations.
    tk::ChildResult runLimited(const std::string& flow, const std::string& limits);
    std::string path(const std::string& name) const { return work + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
};

}  // namespace eftest

#endif
