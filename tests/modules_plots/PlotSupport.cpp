#include "PlotSupport.h"

#include <gtest/gtest.h>

namespace pl {

namespace {

// The path of an object header line "<Type> <path> title=...", or "".
std::string headerPath(const std::string& line) {
    if (line.empty() || line[0] == ' ' || line.rfind("dir ", 0) == 0 || line.rfind("log ", 0) == 0) return "";
    size_t start = line.find(' ');
    size_t end = line.find(" title=\"");
    if (start == std::string::npos || end == std::string::npos || end <= start) return "";
    return line.substr(start + 1, end - start - 1);
}

}  // namespace

void expectRan(const tk::ChildResult& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.out << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
}

std::string objectBlock(const std::string& dump, const std::string& path) {
    std::string block;
    bool inside = false;
    for (const std::string& line : tk::splitLines(dump)) {
        if (inside && line.rfind("  ", 0) == 0) {
            block += line + "\n";
            continue;
        }
        inside = headerPath(line) == path;
        if (inside) block += line + "\n";
    }
    return block;
}

std::string annotationOf(const std::string& block, const std::string& key) {
    const std::string prefix = "  annotation " + key + "=";
    for (const std::string& line : tk::splitLines(block))
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    return "(none)";
}

std::vector<std::string> objectsBelow(const std::string& dump, const std::string& folder) {
    std::vector<std::string> paths;
    for (const std::string& line : tk::splitLines(dump)) {
        std::string path = headerPath(line);
        if (path.rfind(folder + "/", 0) == 0) paths.push_back(path);
    }
    return paths;
}

std::vector<std::string> plotLog(const std::string& dump) {
    std::vector<std::string> log;
    for (const std::string& line : tk::splitLines(dump))
        if (line.rfind("log ", 0) == 0) log.push_back(line.substr(4));
    return log;
}

std::vector<std::string> linesStarting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : tk::splitLines(text))
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

std::string ramp(int count, int first) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + std::to_string(first + i);
    return text;
}

}  // namespace pl
