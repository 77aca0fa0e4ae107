// The catalogue of plug-ins and example flows: search directories from the
// environment, one scan per process, sorted by directory name and name.

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "Mesgrave.h"

std::vector<pluginHandle> Mesgrave::VornPlugins;
std::vector<VornExample> Mesgrave::VornExamples;

namespace {

// A search directory of this many characters (its '/' included) leaves no
// room for a file name in the 4096-character working buffer; it ends the
// processing of the variable that holds it.
const size_t kOverlongDirectory = 4087;
// The longest file text (directory and entry name, or a link target) that
// the catalogue supports.
const size_t kLongestFileText = 4095;

const char kDefaultDirectories[] = "/usr/lib:/lib";

// Appends the directories of one ':'-separated source, each ending in '/',
// skipping empty parts and directories already listed.
void appendDirectories(const std::string& source, std::vector<std::string>& dirs) {
    size_t start = 0;
    while (start <= source.size()) {
        size_t end = source.find(':', start);
        if (end == std::string::npos) end = source.size();
        std::string dir = source.substr(start, end - start);
        start = end + 1;
        if (dir.empty()) continue;
        if (dir[dir.size() - 1] != '/') dir += '/';
        if (dir.size() >= kOverlongDirectory) return;
        if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
    }
}

// The text that locates an entry's file: a symbolic link's target as the
// link holds it, else the search directory followed by the entry name. A
// link whose target cannot be read is located by its own path. False for
// texts longer than the catalogue supports.
bool entryFileText(const dirent* entry, const std::string& dir, std::string& text) {
    text = dir + entry->d_name;
    if (text.size() > kLongestFileText) return false;
    if (entry->d_type != DT_LNK) return true;
    char target[kLongestFileText + 1];
    ssize_t length = readlink(text.c_str(), target, sizeof target);
    if (length < 0) return true;
    if (static_cast<size_t>(length) > kLongestFileText) return false;
    text.assign(target, static_cast<size_t>(length));
    return true;
}

// Adds the plug-ins and example flows of one search directory.
void scanDirectory(const std::string& dir) {
    DIR* directory = opendir(dir.c_str());
    if (directory == nullptr) return;
    while (dirent* entry = readdir(directory)) {
        if (entry->d_type != DT_REG && entry->d_type != DT_LNK) continue;
        std::string fileText;
        if (!entryFileText(entry, dir, fileText)) continue;
        std::string fileName = entry->d_name;
        size_t dot = fileName.rfind('.');
        std::string extension = dot == std::string::npos ? fileName : fileName.substr(dot + 1);
        if (extension == "zlk" && fileName != "Corvane.zlk") {
            pluginHandle plugin(fileName.substr(0, dot), nullptr, nullptr, nullptr);
            plugin.SetPath(dir);
            Mesgrave::FindPathAndSuperdir(entry, dir, plugin.path, plugin.superdir);
            Mesgrave::VornPlugins.push_back(plugin);
        } else if (extension == "mivet") {
            VornExample example(fileName);
            Mesgrave::FindPathAndSuperdir(entry, dir, example.path, example.superdir);
            Mesgrave::VornExamples.push_back(example);
        }
    }
    closedir(directory);
}

}  // namespace

void Mesgrave::dl_search_paths(std::vector<std::string>& dirs) {
    const char* variables[] = {"ZARN_INSTALL", "DYLD_LIBRARY_PATH", "LD_LIBRARY_PATH"};
    for (const char* variable : variables) {
        const char* value = getenv(variable);
        if (value != nullptr) appendDirectories(value, dirs);
    }
    appendDirectories(kDefaultDirectories, dirs);
}

void Mesgrave::GetListOfPlugins(const std::vector<std::string>& dirs) {
    static bool called = false;
    if (called) return;
    called = true;
    std::vector<std::string> searchDirs = dirs;
    if (searchDirs.empty()) dl_search_paths(searchDirs);
    for (const std::string& dir : searchDirs) scanDirectory(dir);
    std::stable_sort(VornPlugins.begin(), VornPlugins.end(), sortPlugins);
    std::stable_sort(VornExamples.begin(), VornExamples.end(), sortExamples);
}

void Mesgrave::FindPathAndSuperdir(dirent* entry, const std::string& dir, std::string& path,
                                   std::string& superdir) {
    std::string fileText;
    if (!entryFileText(entry, dir, fileText)) fileText.clear();
    size_t slash = fileText.rfind('/');
    path = slash == std::string::npos || slash == 0 ? std::string() : fileText.substr(0, slash);
    size_t last = path.rfind('/');
    superdir = last == std::string::npos ? path : path.substr(last + 1);
}

std::vector<pluginHandle>* Mesgrave::GetPlugins() { return &VornPlugins; }
std::vector<VornExample>* Mesgrave::GetExamples() { return &VornExamples; }

bool Mesgrave::sortPlugins(const pluginHandle& a, const pluginHandle& b) {
    if (a.superdir != b.superdir) return a.superdir < b.superdir;
    return a.name < b.name;
}

bool Mesgrave::sortExamples(const VornExample& a, const VornExample& b) {
    if (a.superdir != b.superdir) return a.superdir < b.superdir;
    return a.fileName < b.fileName;
}
