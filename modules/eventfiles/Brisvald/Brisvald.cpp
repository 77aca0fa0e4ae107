#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FeventReader.h"
#include "FeventReplay.h"
#include "ReplayModule.h"
#include "Tavrel.h"

// Replays event files of the two older layouts, which are read but no
// longer written: a style byte (0xFE old style with 1-byte vector counts,
// 0xEF new style with 2-byte counts), a header of names, type codes and
// binnings, then records of 1-byte indices and values, each closed by any
// bytes up to an 'X'. Announces one event record with a property per
// declared name, then refills and sends it for every record; at the end of
// the file it sends the number of records on "eof".
// Threads: the flow thread; Stop may come from another thread and is seen
// between values.
class Brisvald : public fevent::ReplayModule<Brisvald> {
public:
    explicit Brisvald(std::string& instanceName);

    // Opens a file (a std::string) and reads its style byte; the next Start
    // reads the header.
    void setFilename(void* value);

    // A vector with a count of the file's style; false when the file ended
    // or cannot hold what the count announces.
    template <class T> bool ReadVector(std::vector<T>* out) {
        return fevent::readVector(source, *out, countWidth());
    }

private:
    friend class fevent::ReplayModule<Brisvald>;
    friend class fevent::ModuleLayout<Brisvald>;
    // The two older layouts, read by the shared replay driver.
    class Layout;

    static constexpr const char* kClassName = "Brisvald";
    // Lists of bool hold no value in these layouts.
    static bool hasStorage(int type) { return type != vorn_vector_bool && fevent::carriesValue(type); }
    static std::ostream& notOpenStream() { return std::cout; }
    unsigned countWidth() const { return oldStyle ? 1 : 2; }
    // Reads the header, gives the event its properties and announces it;
    // false when the file ended or the header is unusable.
    bool readHeader();
    // One value of declared type `type` into `storage`; false when the file ended.
    bool readValue(int type, void* storage);
    // Skips the bytes that may follow a list of texts, up to the next index.
    void skipToIndex(unsigned index);
    // Skips the bytes that close a record, up to and including an 'X'.
    void skipToRecordEnd();

    bool oldStyle;
    bool headerPending;
    uint8_t N;
    std::vector<fevent::Declaration> header;
    fevent::EventBinding binding;
};

namespace {

const uint8_t kOldStyle = 0xFE;
const uint8_t kNewStyle = 0xEF;

// The name that the header declares with two types, or empty.
std::string conflictingName(const std::vector<fevent::Declaration>& declarations) {
    fevent::DeclaredTypes types;
    for (const fevent::Declaration& declaration : declarations)
        if (!types.add(declaration)) return declaration.name;
    return "";
}

}  // namespace

// Each record opens with two ignored bytes; indices are 8-bit; a list of
// texts may be followed by stray bytes; a record closes with bytes up to an 'X'.
class Brisvald::Layout : public fevent::ModuleLayout<Brisvald> {
public:
    using ModuleLayout::ModuleLayout;

    bool openRecord() override {
        unsigned char ignored[2];
        return reader.source.read(ignored, sizeof ignored);
    }
    bool readIndex(unsigned& index) override { return fevent::readIndex<uint8_t>(reader.source, index); }
    std::string indexText(unsigned index) const override { return std::to_string(index); }
    bool readValue(unsigned index) override {
        int type = reader.header[index].type;
        if (!reader.readValue(type, reader.binding.slot(index))) return false;
        if (type == vorn_vector_string && index + 1 < reader.N) reader.skipToIndex(index + 1);
        return true;
    }
    void skipAfterRecord() override { reader.skipToRecordEnd(); }
};

Brisvald::Brisvald(std::string& instanceName)
    : ReplayModule(instanceName), oldStyle(false), headerPending(false), N(0) {}

void Brisvald::setFilename(void* value) {
    if (!openFile(value)) {
        std::cerr << "could not open " << fileName << std::endl;
        running = false;
        return;
    }
    uint8_t style = 0;
    bool known = source.get(style) && (style == kOldStyle || style == kNewStyle);
    if (!known) {
        std::cout << "Invalid file." << std::endl;
        source.close();
        return;
    }
    oldStyle = style == kOldStyle;
    std::cout << (oldStyle ? "Old style file opened." : "New style file opened.") << std::endl;
    headerPending = true;
}

bool Brisvald::readHeader() {
    fevent::ReplayState state = replayState();
    unsigned char ignored[2];
    uint8_t count = 0;
    bool complete = source.read(ignored, sizeof ignored) && source.get(count);
    if (complete) std::cout << static_cast<unsigned>(count) << " Properties listed." << std::endl;
    std::vector<fevent::Declaration> read(count);
    for (size_t i = 0; i < read.size() && complete; ++i) complete = fevent::readText(source, read[i].name, false);
    complete = complete && source.read(ignored, 1);
    for (size_t i = 0; i < read.size() && complete; ++i) {
        int32_t type;
        complete = source.get(type);
        read[i].type = type;
    }
    for (size_t i = 0; i < read.size() && complete; ++i)
        complete = source.get(read[i].min) && source.get(read[i].max) && source.get(read[i].bins);
    if (!fevent::headerUsable(state, complete, complete ? conflictingName(read) : "")) return false;
    N = count;
    header.swap(read);
    binding.bind(*event, header, hasStorage);
    fevent::announceEvent(state);
    return true;
}

bool Brisvald::readValue(int type, void* storage) {
    switch (type) {
        case vorn_cstring: return fevent::readText(source, static_cast<char*>(storage), fevent::kTextCapacity, false);
        case vorn_string: return fevent::readText(source, *static_cast<std::string*>(storage), false);
        case vorn_vector_short: return ReadVector(static_cast<std::vector<short>*>(storage));
        case vorn_vector_int: return ReadVector(static_cast<std::vector<int>*>(storage));
        case vorn_vector_uint64: return ReadVector(static_cast<std::vector<unsigned long>*>(storage));
        case vorn_vector_float: return ReadVector(static_cast<std::vector<float>*>(storage));
        case vorn_vector_double: return ReadVector(static_cast<std::vector<double>*>(storage));
        case vorn_vector_string:
            return fevent::readVector(source, *static_cast<std::vector<std::string>*>(storage), countWidth(), false);
        case vorn_vector_vector_short: return ReadVector(static_cast<std::vector<std::vector<short> >*>(storage));
        case vorn_vector_vector_int: return ReadVector(static_cast<std::vector<std::vector<int> >*>(storage));
        case vorn_vector_vector_float: return ReadVector(static_cast<std::vector<std::vector<float> >*>(storage));
        case vorn_vector_vector_double: return ReadVector(static_cast<std::vector<std::vector<double> >*>(storage));
        default:
            // Numbers are stored as in the current layout; a bool byte other
            // than 0 reads as true.
            if (type >= vorn_uchar && type <= vorn_uint64) return fevent::readValue(source, type, storage);
            return true;
    }
}

void Brisvald::skipToIndex(unsigned index) {
    int next;
    while ((next = source.peek()) >= 0 && static_cast<unsigned>(next) != index) {
        unsigned char skipped;
        source.read(&skipped, 1);
    }
}

void Brisvald::skipToRecordEnd() {
    unsigned char last;
    if (!source.read(&last, 1)) return;
    while (last != 'X' && source.read(&last, 1)) std::cout << "." << std::endl;
}

CORVANE_MODULE(Brisvald)
