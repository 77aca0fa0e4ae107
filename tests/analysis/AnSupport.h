#ifndef ZARN_TESTS_ANALYSIS_ANSUPPORT_H
#define ZARN_TESTS_ANALYSIS_ANSUPPORT_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FeventFormat.h"
#include "FeventWriter.h"
#include "TkProcess.h"

// Runs of torvask on flow files for the analysis modules, event files
// written for them, and the test AIDA system's dump read back.
namespace an {

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

    // Path of a file in the working folder.
    std::string file(const std::string& name) const { return work + "/" + name; }
    // Writes `flow` as flow.mivet and runs it.
    tk::ChildResult run(const std::string& flow, Aida aida = Aida::Test);
    // The dump that the test AIDA system wrote at exit, and that AnDump
    // modules wrote to dump.txt.
    std::string exitDump() const;
    std::string dump(const std::string& name = "dump.txt") const;
    // Runs `flow` again with the built-in AIDA system and with none: each
    // run ends normally and no AIDA dump comes of it.
    void expectRunsWithoutTestAida(const std::string& flow);

private:
    std::string scratch;
    std::string work;
    std::string capture;
};

// An event file built record by record: declare the properties, then give
// each record its values in declaration order.
class EventFile {
public:
    void declare(const std::string& name, int type, int32_t bins = 0, double min = 0, double max = 0);
    // Appends the value of the next property of the current record; the
    // pointer is read as the declared type says.
    void value(const void* value);
    // Ends the current record.
    void endRecord();
    void save(const std::string& path);

private:
    std::vector<fevent::Declaration> header;
    fevent::Encoder records;
    size_t next = 0;
};

// One histogram of a dump.
struct Histogram {
    std::string title;
    int entries = 0;
    int extra = 0;
    std::string binning;
    std::vector<std::pair<std::string, std::string> > annotations;
    // Entries per bin ("0", "1", ..., "underflow", "overflow"), non-empty bins only.
    std::map<std::string, int> bins;
};

// The folders and 1-D histograms of a dump, by path.
struct Tree {
    std::vector<std::string> folders;
    std::map<std::string, Histogram> histograms;
    // Paths of the histograms in dump order.
    std::vector<std::string> order;

    bool hasFolder(const std::string& path) const;
    bool has(const std::string& path) const { return histograms.count(path) != 0; }
    const Histogram& at(const std::string& path) const;
};
Tree parseDump(const std::string& text);

// Lines of `text` that contain `part`.
std::vector<std::string> linesWith(const std::string& text, const std::string& part);

}  // namespace an

#endif
