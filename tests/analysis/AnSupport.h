#ifndef ZARN_TESTS_ANALYSIS_ANSUPPORT_H
#define ZARN_TESTS_ANALYSIS_ANSUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "AidaDump.h"
#include "FeventFormat.h"
#include "FeventWriter.h"
#include "TkProcess.h"

// Runs of torvask on flow files for the analysis, histogram, plot and
// tuple modules, and event files written for them. Their dumps are read
// back with aidadump::parse.
namespace an {

// Which AIDA system a run loads.
enum class Aida { Test, Castrine, None };

// One torvask run in a private scratch folder (removed afterwards), with
// the build's plug-ins and the test plug-ins on ZARN_INSTALL.
class FlowRun : private tk::RunDirs {
public:
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

// Lines of `text` that contain `part`.
std::vector<std::string> linesWith(const std::string& text, const std::string& part);

// The run ended by itself with status 0 and no sanitizer report.
void expectRan(const tk::ChildResult& result);

}  // namespace an

#endif
