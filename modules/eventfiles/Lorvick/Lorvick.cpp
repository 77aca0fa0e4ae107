#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FeventWriter.h"
#include "Tavrel.h"

// Records the event records it receives to an event file: the first data
// event of a file gives the header, every data event one record. Announce
// events are never recorded.
// Threads: the flow thread only.
class Lorvick : public Corvane {
public:
    explicit Lorvick(std::string& instanceName);
    ~Lorvick() override;

    // Records one event (a Tavrel), unless it announces, writing is stopped
    // or the file cannot be opened.
    void writeData(void* value);
    // Closes the file and re-arms with the new name (a std::string): the
    // next data event truncates that file and writes a new header.
    void setFilename(void* value);
    // Closes the file; only a new file name resumes writing.
    void closeFile(void*);
    // Cap in MiB (an int, taken as unsigned); 0 means none.
    void setSizeCap(void* value);
    // The names to record (a vector of strings) from the next event on;
    // empty records all.
    void setProps(void* value);

private:
    // Appends the event's index/value pairs to `record`, collecting the header
    // first when it is pending; false (reported) when the event does not fit
    // the file's header.
    bool encodeRecord(Tavrel& event);
    // Writes to the file and counts the bytes; a failure stops writing.
    bool writeBytes(const std::string& bytes);

    std::vector<fevent::Declaration> header;
    std::set<std::string> saveSet;
    unsigned int sizeCap;
    bool headerPending;
    bool writingStopped;
    uint64_t bytesWritten;
    std::string fileName;
    fevent::OutputFile file;
    fevent::Encoder record;
    fevent::Encoder headerBytes;
};

namespace {
const uint64_t kMiB = 1048576;
}

Lorvick::Lorvick(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      sizeCap(0),
      headerPending(true),
      writingStopped(false),
      bytesWritten(0),
      fileName("FlowDefault.fevent") {
    name = instanceName;
    description = "Write data to a file (like Display plus redirection of STDOUT, but more selective)";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Lorvick::writeData), vorn_tavrel, "To be written"));
    inputs.push_back(
        Input("filename", CORVANE_HANDLER(&Lorvick::setFilename), vorn_string, "Default: FlowDefault.fevent"));
    inputs.push_back(Input("maxSize", CORVANE_HANDLER(&Lorvick::setSizeCap), vorn_int, "Cap filesize at (MB)"));
    inputs.push_back(Input("close", CORVANE_HANDLER(&Lorvick::closeFile), vorn_any, "C"));
    inputs.push_back(Input("Properties", CORVANE_HANDLER(&Lorvick::setProps), vorn_vector_string,
                           "FlowProperties to save (empty for all)"));
    std::cout << name << " instantiated" << std::endl;
}

Lorvick::~Lorvick() {
    file.close();
    std::cout << name << " closed." << std::endl;
}

void Lorvick::writeData(void* value) {
    Tavrel* event = static_cast<Tavrel*>(static_cast<stringstore*>(value));
    if (event->announce) return;
    if (sizeCap != 0 && bytesWritten > sizeCap * kMiB && !writingStopped) {
        std::cout << name << ": reached maximum filesize, skipping." << std::endl;
        writingStopped = true;
    }
    if (writingStopped) return;
    if (!file.isOpen() && !file.open(fileName)) {
        std::cerr << name << ": Could not open/create " << fileName << std::endl;
        return;
    }
    if (headerPending) header.clear();
    record.clear();
    if (!encodeRecord(*event)) return;
    record.put(fevent::kEventEnd);
    if (headerPending) {
        headerBytes.clear();
        headerBytes.putHeader(header);
        if (!writeBytes(headerBytes.bytes())) return;
        headerPending = false;
    }
    writeBytes(record.bytes());
}

bool Lorvick::encodeRecord(Tavrel& event) {
    size_t k = 0;
    for (Tavrel::iterator entry = event.begin(); entry != event.end(); ++entry) {
        const std::string& propertyName = entry->first;
        const FlowProperty& property = entry->second;
        if (!saveSet.empty() && saveSet.count(propertyName) == 0) continue;
        if (headerPending && header.size() < fevent::kMaxProperties)
            header.push_back(fevent::Declaration{propertyName, property.type, property.binning.bins,
                                                 property.binning.min, property.binning.max});
        if (k >= header.size()) {
            ++k;
            std::cerr << name << ": Error at prop: " << k << " > " << header.size() << std::endl;
            continue;
        }
        int declared = header[k].type;
        if (property.type != declared) {
            std::cerr << name << ": " << propertyName << " is of type " << property.type
                      << " but the file declares type " << declared << "; event not recorded." << std::endl;
            return false;
        }
        if (fevent::carriesValue(declared) && property.value == nullptr) {
            std::cerr << name << ": " << propertyName << " has no value; event not recorded." << std::endl;
            return false;
        }
        record.put(static_cast<uint16_t>(k));
        record.putValue(declared, property.value);
        ++k;
    }
    if (k < header.size()) {
        std::cerr << name << ": the event holds " << k << " of the " << header.size()
                  << " properties of the file; event not recorded." << std::endl;
        return false;
    }
    return true;
}

bool Lorvick::writeBytes(const std::string& bytes) {
    if (file.write(bytes)) {
        bytesWritten += bytes.size();
        return true;
    }
    std::cerr << name << ": Could not write to " << fileName << std::endl;
    file.close();
    writingStopped = true;
    return false;
}

void Lorvick::setFilename(void* value) {
    file.close();
    fileName = *static_cast<std::string*>(value);
    headerPending = true;
    writingStopped = false;
    bytesWritten = 0;
}

void Lorvick::closeFile(void*) {
    std::cout << name << ": closing " << fileName << std::endl;
    file.close();
    writingStopped = true;
}

void Lorvick::setSizeCap(void* value) { sizeCap = static_cast<unsigned int>(*static_cast<int*>(value)); }

void Lorvick::setProps(void* value) {
    std::vector<std::string>* names = static_cast<std::vector<std::string>*>(value);
    saveSet.clear();
    saveSet.insert(names->begin(), names->end());
}

CORVANE_MODULE(Lorvick)
