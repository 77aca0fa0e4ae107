#include "AnSupport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace an {

std::string FlowRun::folder(const std::string& name) const {
    std::string path = scratch + "/" + name;
    mkdir(path.c_str(), 0700);
    return path;
}

tk::ChildResult FlowRun::run(const std::string& flow, Aida aida, const std::vector<std::string>& env) {
    tk::writeFile(file("flow.mivet"), flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> all = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS,
                                    "ZARN_TEST_AIDA_DUMP=" + file("exit-dump.txt")};
    all.insert(all.end(), env.begin(), env.end());
    std::string system = aida == Aida::Test ? ZARN_TEST_AIDA : aida == Aida::Castrine ? "Castrine" : "";
    return tk::run(build + "/bin/torvask", {"-a", system, "flow.mivet"}, all, work, capture, 120);
}

std::vector<std::string> FlowRun::entries() const {
    std::vector<std::string> names;
    if (DIR* listing = opendir(work.c_str())) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name != "." && name != ".." && name != "flow.mivet") names.push_back(name);
        }
        closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void FlowRun::expectRunsWithoutTestAida(const std::string& flow) {
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        std::remove(file("dump.txt").c_str());
        std::remove(file("exit-dump.txt").c_str());
        tk::ChildResult result = run(flow, aida);
        SCOPED_TRACE(aida == Aida::Castrine ? "Castrine" : "no AIDA system");
        expectRan(result);
        EXPECT_EQ("", dump() + exitDump());
    }
}

void EventFile::declare(const std::string& name, int type, int32_t bins, double min, double max) {
    header.push_back(fevent::Declaration{name, type, bins, min, max});
}

void EventFile::value(const void* value) {
    ASSERT_LT(next, header.size());
    records.put(static_cast<uint16_t>(next));
    records.putValue(header[next].type, value);
    ++next;
}

void EventFile::endRecord() {
    EXPECT_EQ(next, header.size());
    records.put(fevent::kEventEnd);
    next = 0;
}

void EventFile::save(const std::string& path) {
    fevent::Encoder start;
    start.putHeader(header);
    tk::writeFile(path, start.bytes() + records.bytes());
}

std::vector<std::string> linesWith(const std::string& text, const std::string& part) {
    std::vector<std::string> found;
    for (const std::string& line : tk::splitLines(text))
        if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
}

void expectRan(const tk::ChildResult& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.out << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
}

}  // namespace an
