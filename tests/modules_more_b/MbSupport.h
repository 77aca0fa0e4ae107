#ifndef ZARN_TESTS_MODULES_MORE_B_MBSUPPORT_H
#define ZARN_TESTS_MODULES_MORE_B_MBSUPPORT_H

#include <map>
#include <string>
#include <vector>

#include "TkProcess.h"

// Runs of torvask on flow files for the group histogram modules, and the
// test AIDA system's dumps read back (1-D and 2-D histograms, data point
// sets, annotations whose values span lines).
namespace mb {

// Which AIDA system a run loads.
enum class Aida { Test, Castrine, None };

// One torvask run in a private scratch folder (removed afterwards), with
// the build's plug-ins and the test plug-ins on ZARN_INSTALL.
class FlowRun {
public:
    FlowRun();
    ~FlowRun();
    FlowRun(const FlowRun&) = delete;
    FlowRun& operator=(const FlowRun&) = delete;

    // Path of a file in the working folder (the run's current folder).
    std::string file(const std::string& name) const { return work + "/" + name; }
    // A private folder beside the working folder, made on first use.
    std::string folder(const std::string& name) const;
    // Writes `flow` as flow.mivet and runs it with `env` ("NAME=value")
    // added to the environment.
    tk::ChildResult run(const std::string& flow, Aida aida = Aida::Test, const std::vector<std::string>& env = {});
    // The dump that the test AIDA system wrote at exit, and a file of the
    // working folder (AnDump writes dump.txt).
    std::string exitDump() const { return tk::readFile(file("exit-dump.txt")); }
    std::string dump(const std::string& name = "dump.txt") const { return tk::readFile(file(name)); }
    // The entries of the working folder, sorted, without flow.mivet.
    std::vector<std::string> entries() const;
    // Runs `flow` with the built-in AIDA system and with none: each run
    // ends normally, without sanitizer reports and without an AIDA dump.
    void expectRunsWithoutTestAida(const std::string& flow);

private:
    std::string scratch;
    std::string work;
    std::string capture;
};

// One object of a dump.
struct Object {
    std::string type;
    std::string title;
    int entries = 0;
    int extra = 0;
    // "bins=10 lower=0 upper=10", "x:bins=... y:bins=..." or, for a data
    // point set, "dimension=1 size=2".
    std::string binning;
    std::map<std::string, std::string> annotations;
    // Entries per non-empty bin ("3", "underflow", "2,5" for 2-D).
    std::map<std::string, int> bins;
    std::vector<std::string> points;

    std::string note(const std::string& key) const;
};

// The folders and objects of a dump, by path.
struct Tree {
    std::vector<std::string> folders;
    std::map<std::string, Object> objects;
    std::vector<std::string> order;

    bool hasFolder(const std::string& path) const;
    bool has(const std::string& path) const { return objects.count(path) != 0; }
    const Object& at(const std::string& path) const;
    // Paths of the objects below `folder` ("/Histograms/"), in dump order.
    std::vector<std::string> below(const std::string& folder) const;
};
Tree parseDump(const std::string& text);

// Lines of `text` that contain `part`.
std::vector<std::string> linesWith(const std::string& text, const std::string& part);

// The run ended by itself with status 0 and no sanitizer report.
void expectRan(const tk::ChildResult& result);

}  // namespace mb

#endif
