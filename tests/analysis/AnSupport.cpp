#include "AnSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace an {

FlowRun::FlowRun() : scratch(tk::makeScratchDir()), work(scratch + "/work"), capture(scratch + "/capture") {
    EXPECT_EQ(0, system(("mkdir -p '" + work + "' '" + capture + "'").c_str()));
}

FlowRun::~FlowRun() { tk::removeTree(scratch); }

tk::ChildResult FlowRun::run(const std::string& flow, Aida aida) {
    tk::writeFile(file("flow.mivet"), flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS,
                                    "ZARN_TEST_AIDA_DUMP=" + file("exit-dump.txt")};
    std::string system = aida == Aida::Test ? ZARN_TEST_AIDA : aida == Aida::Castrine ? "Castrine" : "";
    return tk::run(build + "/bin/torvask", {"-a", system, "flow.mivet"}, env, work, capture, 120);
}

std::string FlowRun::exitDump() const { return tk::readFile(file("exit-dump.txt")); }

std::string FlowRun::dump(const std::string& name) const { return tk::readFile(file(name)); }

void FlowRun::expectRunsWithoutTestAida(const std::string& flow) {
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        std::remove(file("dump.txt").c_str());
        std::remove(file("exit-dump.txt").c_str());
        tk::ChildResult result = run(flow, aida);
        const char* name = aida == Aida::Castrine ? "Castrine" : "no AIDA system";
        EXPECT_FALSE(result.timedOut) << name;
        EXPECT_EQ(0, result.exitStatus) << name << "\n" << result.err;
        EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << name << "\n" << result.err;
        EXPECT_EQ("", dump() + exitDump()) << name;
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

bool Tree::hasFolder(const std::string& path) const {
    for (const std::string& folder : folders)
        if (folder == path) return true;
    return false;
}

const Histogram& Tree::at(const std::string& path) const {
    static const Histogram none;
    auto found = histograms.find(path);
    EXPECT_NE(found, histograms.end()) << "no histogram " << path;
    return found != histograms.end() ? found->second : none;
}

namespace {

// The value of `key=` in a header line, up to the next blank.
std::string field(const std::string& line, const std::string& key) {
    size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
}

}  // namespace

Tree parseDump(const std::string& text) {
    Tree tree;
    Histogram* current = nullptr;
    for (const std::string& line : tk::splitLines(text)) {
        if (line.rfind("dir ", 0) == 0) {
            tree.folders.push_back(line.substr(4));
            current = nullptr;
        } else if (line.rfind("IHistogram1D ", 0) == 0) {
            size_t pathEnd = line.find(" title=\"");
            std::string path = line.substr(13, pathEnd - 13);
            size_t titleEnd = line.find("\" entries=", pathEnd);
            current = &tree.histograms[path];
            tree.order.push_back(path);
            current->title = line.substr(pathEnd + 8, titleEnd - pathEnd - 8);
            std::string rest = line.substr(titleEnd + 1);
            current->entries = std::stoi(field(rest, "entries"));
            current->extra = std::stoi(field(rest, "extra"));
            size_t sum = rest.find(" sum=");
            current->binning = rest.substr(rest.find(' ', sum + 1) + 1);
        } else if (current != nullptr && line.rfind("  annotation ", 0) == 0) {
            std::string item = line.substr(13);
            size_t equals = item.find('=');
            current->annotations.emplace_back(item.substr(0, equals), item.substr(equals + 1));
        } else if (current != nullptr && line.rfind("  bin ", 0) == 0) {
            std::string bin = line.substr(6, line.find(' ', 6) - 6);
            current->bins[bin] = std::stoi(field(line, "entries"));
        } else if (line.rfind("  ", 0) != 0) {
            current = nullptr;
        }
    }
    return tree;
}

std::vector<std::string> linesWith(const std::string& text, const std::string& part) {
    std::vector<std::string> found;
    for (const std::string& line : tk::splitLines(text))
        if (line.find(part) != std::string::npos) found.push_back(line);
    return found;
}

}  // namespace an
