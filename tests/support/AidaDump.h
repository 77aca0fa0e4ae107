#ifndef ZARN_TESTS_SUPPORT_AIDADUMP_H
#define ZARN_TESTS_SUPPORT_AIDADUMP_H

#include <map>
#include <string>
#include <utility>
#include <vector>

// The test AIDA system's dump read back: folders, objects (1-D and 2-D
// histograms, data point sets, tuples) and the plotter's log. Plain data;
// any thread may use it.
namespace aidadump {

// One object of a dump.
struct Object {
    std::string type;
    std::string title;
    // The header line after the path, e.g. `title="h" entries=1 ...`.
    std::string header;
    int entries = 0;
    int extra = 0;
    // "bins=10 lower=0 upper=10", "x:bins=... y:bins=..." or, for a data
    // point set, "dimension=1 size=2".
    std::string binning;
    // Annotation items in dump order; a value may span lines.
    std::vector<std::pair<std::string, std::string> > annotations;
    // Entries per non-empty bin ("3", "underflow", "2,5" for 2-D).
    std::map<std::string, int> bins;
    // The point lines of a data point set without "  point ".
    std::vector<std::string> points;
    // The indented lines that follow the header (annotations, bins, points), as written.
    std::vector<std::string> lines;
    // The object's text: its header line and every line after it, each ended by '\n'.
    std::string block;

    // The value of the annotation item `key`, or `missing`.
    std::string note(const std::string& key, const std::string& missing = "<none>") const;
    // The indented lines that begin with `prefix` after the indent, without the indent.
    std::vector<std::string> linesOf(const std::string& prefix) const;
};

// The folders, objects and plot log of a dump.
struct Dump {
    std::vector<std::string> folders;
    std::map<std::string, Object> objects;
    // Paths of the objects in dump order.
    std::vector<std::string> order;
    // The "log" lines without their prefix.
    std::vector<std::string> log;

    bool hasFolder(const std::string& path) const;
    bool has(const std::string& path) const { return objects.count(path) != 0; }
    // The object at `path`; a test failure and an empty object when there is none.
    const Object& at(const std::string& path) const;
    // The object's text, "" when there is no such object.
    std::string blockOf(const std::string& path) const;
    // Paths of the objects whose path begins with `prefix` ("/Histograms/"), in dump order.
    std::vector<std::string> below(const std::string& prefix) const;
};
Dump parse(const std::string& text);

}  // namespace aidadump

#endif
