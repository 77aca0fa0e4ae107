#ifndef ZARN_TESTS_MODULES_MORE_A_MASUPPORT_H
#define ZARN_TESTS_MODULES_MORE_A_MASUPPORT_H

#include <map>
#include <string>
#include <vector>

#include "TkProcess.h"

// Reading the test AIDA system's dump for the 2-D histogram and graph
// tests: each object as its header and its indented lines, by path.
namespace ma {

struct Object {
    // The header line after the path, e.g. `title="h" entries=1 ...`.
    std::string header;
    // The indented lines that follow (annotations, bins, points), as written.
    std::vector<std::string> lines;

    // The lines that begin with `prefix` after the indent ("bin", "point", ...).
    std::vector<std::string> linesOf(const std::string& prefix) const;
};

struct Dump {
    std::map<std::string, Object> objects;
    std::vector<std::string> folders;
    // The "log" lines without their prefix.
    std::vector<std::string> log;

    bool has(const std::string& path) const { return objects.count(path) != 0; }
    bool hasFolder(const std::string& path) const;
    // The object at `path`; a test failure and an empty object when there is none.
    const Object& at(const std::string& path) const;
};
Dump parse(const std::string& text);

// Expects a normal end of a torvask run without sanitizer reports.
void expectRan(const tk::ChildResult& result);

}  // namespace ma

#endif
