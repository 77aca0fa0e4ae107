#include "MaSupport.h"

#include <gtest/gtest.h>

namespace ma {

std::vector<std::string> Object::linesOf(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.compare(2, prefix.size(), prefix) == 0) found.push_back(line.substr(2));
    return found;
}

bool Dump::hasFolder(const std::string& path) const {
    for (const std::string& folder : folders)
        if (folder == path) return true;
    return false;
}

const Object& Dump::at(const std::string& path) const {
    static const Object none;
    auto found = objects.find(path);
    EXPECT_NE(found, objects.end()) << "no object " << path;
    return found != objects.end() ? found->second : none;
}

Dump parse(const std::string& text) {
    Dump dump;
    Object* current = nullptr;
    for (const std::string& line : tk::splitLines(text)) {
        if (current != nullptr && line.rfind("  ", 0) == 0) {
            current->lines.push_back(line);
            continue;
        }
        current = nullptr;
        if (line.rfind("dir ", 0) == 0) {
            dump.folders.push_back(line.substr(4));
        } else if (line.rfind("log ", 0) == 0) {
            dump.log.push_back(line.substr(4));
        } else if (line.rfind("I", 0) == 0) {
            size_t pathStart = line.find(' ') + 1;
            size_t pathEnd = line.find(' ', pathStart);
            current = &dump.objects[line.substr(pathStart, pathEnd - pathStart)];
            current->header = pathEnd == std::string::npos ? "" : line.substr(pathEnd + 1);
        }
    }
    return dump;
}

void expectRan(const tk::ChildResult& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
}

}  // namespace ma
