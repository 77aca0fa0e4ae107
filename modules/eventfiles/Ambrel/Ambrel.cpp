#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FeventReader.h"
#include "FeventReplay.h"
#include "ReplayModule.h"
#include "Tavrel.h"

// Replays an event file into a flow: announces one event record with a
// property per declared name, then refills and sends it for every record.
// At the end of the file it sends the number of records on "eof".
// Threads: the flow thread; Stop may come from another thread and is seen
// between records.
class Ambrel : public fevent::ReplayModule<Ambrel> {
public:
    explicit Ambrel(std::string& instanceName);

    // Opens a file (a std::string) and checks its magic; the next Start
    // reads the header.
    void setFilename(void* value);

private:
    friend class fevent::ReplayModule<Ambrel>;
    friend class fevent::ModuleLayout<Ambrel>;
    // The current layout, read by the shared replay driver.
    class Layout;

    static constexpr const char* kClassName = "Ambrel";
    static bool hasStorage(int type) { return fevent::carriesValue(type); }
    static std::ostream& notOpenStream() { return std::cerr; }
    // Reads the header, gives the event its properties and announces it;
    // false when the file ended or the header is unusable.
    bool readHeader();

    bool headerPending;
    uint16_t N;
    std::vector<fevent::Declaration> header;
    fevent::EventBinding binding;
};

namespace {

std::string hexText(unsigned value) {
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

}  // namespace

// Indices are 16-bit; a record closes with an end marker.
class Ambrel::Layout : public fevent::ModuleLayout<Ambrel> {
public:
    using ModuleLayout::ModuleLayout;

    bool readIndex(unsigned& index) override { return fevent::readIndex<uint16_t>(reader.source, index); }
    std::string indexText(unsigned index) const override {
        return std::to_string(static_cast<int16_t>(index));
    }
    bool readValue(unsigned index) override {
        return fevent::readValue(reader.source, reader.header[index].type, reader.binding.slot(index));
    }
    Close closeRecord() override {
        uint16_t marker;
        if (!reader.source.get(marker)) return fileEnded;
        if (marker == fevent::kEventEnd) return closed;
        std::cerr << reader.name << ": Wrong FE trailer, read 0x" << hexText(marker) << " instead of 0x"
                  << hexText(fevent::kEventEnd) << std::endl;
        return broken;
    }
};

Ambrel::Ambrel(std::string& instanceName) : ReplayModule(instanceName), headerPending(false), N(0) {}

void Ambrel::setFilename(void* value) {
    if (!openFile(value)) {
        std::cerr << name << ": Could not open " << fileName << std::endl;
        running = false;
        return;
    }
    uint32_t magic;
    if (!source.get(magic)) {
        std::cerr << name << ": unrecognized file type." << std::endl;
        source.close();
        return;
    }
    if (magic != fevent::kMagic) {
        std::cerr << name << ": unrecognized file type." << std::endl
                  << hexText(magic) << " != " << "fe022012" << std::endl;
        source.close();
        return;
    }
    std::cout << name << ": Tavrel file opened." << std::endl;
    headerPending = true;
}

bool Ambrel::readHeader() {
    fevent::ReplayState state = replayState();
    fevent::Header read;
    fevent::readHeader(source, read);
    if (read.countRead) std::cout << name << ": " << read.count << " Properties listed." << std::endl;
    if (!fevent::headerUsable(state, read.status != fevent::Header::truncated, read.conflictName)) return false;
    N = read.count;
    header.swap(read.declarations);
    binding.bind(*event, header);
    if (read.endMarker != fevent::kHeaderEnd)
        std::cerr << name << ": Wrongly terminated header. Read 0x" << hexText(read.endMarker) << " instead of 0x"
                  << hexText(fevent::kHeaderEnd) << std::endl;
    fevent::announceEvent(state);
    return true;
}

CORVANE_MODULE(Ambrel)
