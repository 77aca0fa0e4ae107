#include "MbSupport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

namespace mb {

FlowRun::FlowRun() : scratch(tk::makeScratchDir()), work(scratch + "/work"), capture(scratch + "/capture") {
    EXPECT_EQ(0, mkdir(work.c_str(), 0700));
    EXPECT_EQ(0, mkdir(capture.c_str(), 0700));
}

FlowRun::~FlowRun() { tk::removeTree(scratch); }

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

std::string Object::note(const std::string& key) const {
    auto found = annotations.find(key);
    return found != annotations.end() ? found->second : "<none>";
}

bool Tree::hasFolder(const std::string& path) const {
    return std::find(folders.begin(), folders.end(), path) != folders.end();
}

const Object& Tree::at(const std::string& path) const {
    static const Object none;
    auto found = objects.find(path);
    EXPECT_NE(found, objects.end()) << "no object " << path;
    return found != objects.end() ? found->second : none;
}

std::vector<std::string> Tree::below(const std::string& folder) const {
    std::vector<std::string> paths;
    for (const std::string& path : order)
        if (path.rfind(folder, 0) == 0) paths.push_back(path);
    return paths;
}

namespace {

// The value of `key=` in a header line, up to the next blank.
std::string field(const std::string& line, const std::string& key) {
    size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
}

int number(const std::string& text) { return text.empty() ? 0 : std::stoi(text); }

}  // namespace

Tree parseDump(const std::string& text) {
    Tree tree;
    Object* current = nullptr;
    std::string* annotation = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        bool header = line.rfind("IHistogram", 0) == 0 || line.rfind("IDataPointSet ", 0) == 0;
        if (line.rfind("dir ", 0) == 0) {
            tree.folders.push_back(line.substr(4));
            current = nullptr;
            annotation = nullptr;
        } else if (header) {
            size_t space = line.find(' ');
            size_t titleAt = line.find(" title=\"");
            size_t titleEnd = line.rfind("\" ");
            std::string path = line.substr(space + 1, titleAt - space - 1);
            current = &tree.objects[path];
            tree.order.push_back(path);
            current->type = line.substr(0, space);
            current->title = line.substr(titleAt + 8, titleEnd - titleAt - 8);
            std::string rest = line.substr(titleEnd + 1);
            current->entries = number(field(rest, "entries"));
            current->extra = number(field(rest, "extra"));
            size_t sum = rest.find(" sum=");
            current->binning = sum == std::string::npos ? rest.substr(1) : rest.substr(rest.find(' ', sum + 1) + 1);
            annotation = nullptr;
        } else if (current != nullptr && line.rfind("  annotation ", 0) == 0) {
            std::string item = line.substr(13);
            size_t equals = item.find('=');
            annotation = &current->annotations[item.substr(0, equals)];
            *annotation = item.substr(equals + 1);
        } else if (current != nullptr && line.rfind("  bin ", 0) == 0) {
            current->bins[line.substr(6, line.find(' ', 6) - 6)] = number(field(line, "entries"));
            annotation = nullptr;
        } else if (current != nullptr && line.rfind("  point ", 0) == 0) {
            current->points.push_back(line.substr(8));
            annotation = nullptr;
        } else if (annotation != nullptr && line.rfind("log ", 0) != 0) {
            // An annotation value that holds line feeds goes on here.
            *annotation += "\n" + line;
        } else {
            current = nullptr;
            annotation = nullptr;
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

void expectRan(const tk::ChildResult& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.out << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
}

}  // namespace mb
