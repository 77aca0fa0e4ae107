#include "AidaDump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace aidadump {

std::string Object::note(const std::string& key, const std::string& missing) const {
    for (const auto& item : annotations)
        if (item.first == key) return item.second;
    return missing;
}

std::vector<std::string> Object::linesOf(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.compare(2, prefix.size(), prefix) == 0) found.push_back(line.substr(2));
    return found;
}

bool Dump::hasFolder(const std::string& path) const {
    return std::find(folders.begin(), folders.end(), path) != folders.end();
}

const Object& Dump::at(const std::string& path) const {
    static const Object none;
    auto found = objects.find(path);
    EXPECT_NE(found, objects.end()) << "no object " << path;
    return found != objects.end() ? found->second : none;
}

std::string Dump::blockOf(const std::string& path) const {
    auto found = objects.find(path);
    return found != objects.end() ? found->second.block : "";
}

std::vector<std::string> Dump::below(const std::string& prefix) const {
    std::vector<std::string> paths;
    for (const std::string& path : order)
        if (path.rfind(prefix, 0) == 0) paths.push_back(path);
    return paths;
}

namespace {

bool startsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

// The value of `key=` in a header line, up to the next blank.
std::string field(const std::string& line, const std::string& key) {
    size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "";
    at += key.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
}

int number(const std::string& text) { return text.empty() ? 0 : std::stoi(text); }

// Reads the header line "<Type> <path> title="<title>" entries=... ".
void readHeader(const std::string& line, Dump& dump, Object*& current) {
    size_t space = line.find(' ');
    if (space == std::string::npos) return;
    size_t titleAt = line.find(" title=\"", space);
    size_t pathEnd = titleAt != std::string::npos ? titleAt : line.find(' ', space + 1);
    std::string path = line.substr(space + 1, pathEnd - space - 1);
    current = &dump.objects[path];
    *current = Object();
    dump.order.push_back(path);
    current->type = line.substr(0, space);
    current->header = pathEnd == std::string::npos ? "" : line.substr(pathEnd + 1);
    current->block = line + "\n";
    if (titleAt == std::string::npos) return;
    size_t titleEnd = line.rfind("\" ");
    if (titleEnd == std::string::npos || titleEnd < titleAt + 8) return;
    current->title = line.substr(titleAt + 8, titleEnd - titleAt - 8);
    std::string rest = line.substr(titleEnd + 1);
    current->entries = number(field(rest, "entries"));
    current->extra = number(field(rest, "extra"));
    size_t sum = rest.find(" sum=");
    current->binning = sum == std::string::npos ? rest.substr(1) : rest.substr(rest.find(' ', sum + 1) + 1);
}

// Reads an indented line of the current object; returns the annotation
// value that later lines may continue, or null.
std::string* readIndented(const std::string& line, Object& object) {
    object.lines.push_back(line);
    object.block += line + "\n";
    if (startsWith(line, "  annotation ")) {
        std::string item = line.substr(13);
        size_t equals = item.find('=');
        object.annotations.emplace_back(item.substr(0, equals), item.substr(equals + 1));
        return &object.annotations.back().second;
    }
    if (startsWith(line, "  bin ")) object.bins[line.substr(6, line.find(' ', 6) - 6)] = number(field(line, "entries"));
    if (startsWith(line, "  point ")) object.points.push_back(line.substr(8));
    return nullptr;
}

}  // namespace

Dump parse(const std::string& text) {
    Dump dump;
    Object* current = nullptr;
    std::string* annotation = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (startsWith(line, "dir ")) {
            dump.folders.push_back(line.substr(4));
            current = nullptr;
        } else if (startsWith(line, "log ")) {
            dump.log.push_back(line.substr(4));
            current = nullptr;
        } else if (startsWith(line, "I")) {
            current = nullptr;
            readHeader(line, dump, current);
        } else if (current != nullptr && startsWith(line, "  ")) {
            annotation = readIndented(line, *current);
            continue;
        } else if (current != nullptr && annotation != nullptr) {
            // An annotation value that holds line feeds goes on here.
            *annotation += "\n" + line;
            current->block += line + "\n";
            continue;
        } else {
            current = nullptr;
        }
        annotation = nullptr;
    }
    return dump;
}

}  // namespace aidadump
