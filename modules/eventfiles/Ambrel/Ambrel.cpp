#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FeventReader.h"
#include "FeventReplay.h"
#include "Tavrel.h"

// Replays an event file into a flow: announces one event record with a
// property per declared name, then refills and sends it for every record.
// At the end of the file it sends the number of records on "eof".
// Threads: the flow thread; Stop may come from another thread and is seen
// between records.
class Ambrel : public Corvane {
public:
    explicit Ambrel(std::string& instanceName);
    ~Ambrel() override;

    void Reset() override;
    void Start() override;
    void Stop() override;

    // Opens a file (a std::string) and checks its magic; the next Start
    // reads the header.
    void setFilename(void* value);
    // Records per Start (an int); 0 means no limit.
    void setSteps(void* value);
    // Pause in seconds (a float) after every value.
    void setInterval(void* value);
    // Adopts an announced event (a Tavrel), which the file's properties are
    // then added to.
    void setTavrel(void* value);

private:
    // The current layout, read by the shared replay driver.
    class Layout;

    fevent::ReplayState replayState();
    // Reads the header, gives the event its properties and announces it;
    // false when the file ended or the header is unusable.
    bool readHeader();

    std::string fileName;
    fevent::Source source;
    Tavrel* event;
    bool ownsEvent;
    unsigned int steps;
    float interval;
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
class Ambrel::Layout : public fevent::ReplayLayout {
public:
    explicit Layout(Ambrel& reader) : reader(reader) {}

    bool readHeader() override { return reader.readHeader(); }
    unsigned valuesPerRecord() const override { return reader.N; }
    bool readIndex(unsigned& index) override {
        uint16_t stored;
        if (!reader.source.get(stored)) return false;
        index = stored;
        return true;
    }
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

private:
    Ambrel& reader;
};

Ambrel::Ambrel(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      fileName("FlowDefault.fevent"),
      event(nullptr),
      ownsEvent(false),
      steps(0),
      interval(0.0f),
      headerPending(false),
      N(0) {
    name = instanceName;
    fevent::addReplayPorts(*this);
    std::cout << name << " instantiated" << std::endl;
}

Ambrel::~Ambrel() {
    source.close();
    std::cout << name << " closed." << std::endl;
    if (ownsEvent) delete event;
}

void Ambrel::setFilename(void* value) {
    source.close();
    fileName = *static_cast<std::string*>(value);
    std::cout << name << ": Opening " << fileName << std::endl;
    if (!source.open(fileName)) {
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

void Ambrel::setSteps(void* value) { steps = static_cast<unsigned int>(*static_cast<int*>(value)); }

void Ambrel::setInterval(void* value) { interval = *static_cast<float*>(value); }

void Ambrel::setTavrel(void* value) {
    fevent::ReplayState state = replayState();
    fevent::adoptEvent(state, value, fevent::carriesValue);
}

void Ambrel::Reset() {
    std::cout << name << ": Reset()" << std::endl;
    if (fileName.empty()) return;
    std::string again = fileName;
    setFilename(&again);
}

void Ambrel::Start() {
    fevent::ReplayState state = replayState();
    Layout layout(*this);
    fevent::runReplay(state, layout, std::cerr);
}

void Ambrel::Stop() {
    running = false;
    std::cout << "Stop()" << std::endl;
}

fevent::ReplayState Ambrel::replayState() {
    return {*this, source, event, ownsEvent, steps, interval, headerPending, header, binding, "Ambrel"};
}

bool Ambrel::readHeader() {
    fevent::ReplayState state = replayState();
    fevent::Header read;
    fevent::readHeader(source, read);
    if (read.countRead) std::cout << name << ": " << read.count << " Properties listed." << std::endl;
    if (read.status == fevent::Header::truncated) {
        std::cerr << name << ": file ends inside the header." << std::endl;
        fevent::endOfFile(state, 0);
        return false;
    }
    if (read.status == fevent::Header::conflict) {
        std::cerr << name << ": the header declares " << read.conflictName << " twice with different types."
                  << std::endl;
        fevent::endOfFile(state, 0);
        return false;
    }
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
