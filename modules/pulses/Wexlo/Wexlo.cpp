#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FileWrite.h"
#include "RecordInput.h"
#include "Selectable.h"
#include "Tavrel.h"
#include "TextNumbers.h"

namespace {

// "<prefix><number>.dat", the number at least three digits wide.
std::string dumpName(const std::string& prefix, int number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return prefix + digits + ".dat";
}

// One line "<index>\t<sample>" per sample, the sample as unsigned 16 bits.
std::string dumpText(const std::vector<short>& samples) {
    std::string text;
    text.reserve(samples.size() * 10);
    for (size_t i = 0; i < samples.size(); ++i) {
        text += std::to_string(i);
        text += '\t';
        text += std::to_string(static_cast<unsigned short>(samples[i]));
        text += '\n';
    }
    return text;
}

// Element `i` of a list of numbers, as a double.
double elementOf(void* list, vorn_type type, size_t i) {
    switch (type) {
        case vorn_vector_short: return (*static_cast<std::vector<short>*>(list))[i];
        case vorn_vector_int: return (*static_cast<std::vector<int>*>(list))[i];
        case vorn_vector_float: return (*static_cast<std::vector<float>*>(list))[i];
        default: return (*static_cast<std::vector<double>*>(list))[i];
    }
}

size_t sizeOf(void* list, vorn_type type) {
    switch (type) {
        case vorn_vector_short: return static_cast<std::vector<short>*>(list)->size();
        case vorn_vector_int: return static_cast<std::vector<int>*>(list)->size();
        case vorn_vector_float: return static_cast<std::vector<float>*>(list)->size();
        default: return static_cast<std::vector<double>*>(list)->size();
    }
}

bool selectsChannels(vorn_type type) {
    return type == vorn_vector_short || type == vorn_vector_int || type == vorn_vector_float ||
           type == vorn_vector_double;
}

}  // namespace

// Writes digitised pulses (16-bit samples) to numbered ASCII files, one
// file per pulse, until a given number of files is written. A pulse comes
// on "signal", or from a property of the event records on "tavrel"; a list
// of pulses gives one file per channel, and a selection "<property>
// <value>" keeps the channels whose entry in that property equals the
// value.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Wexlo : public Corvane {
public:
    explicit Wexlo(std::string& instanceName);
    ~Wexlo() override;

    void Init() override;
    // A literal text on "signal" selects the pulse property.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    enum { kSignal = 0 };

    void analyze(void* value);
    void setNum(void* value);
    void setFilename(void* value);
    void setSelect(void* value);
    void analyzeFe(void* value);

    void SetPointers(Tavrel& event);
    void writePulse(const std::string& file, const std::vector<short>& samples);
    // Whether channel `i` passes the selection.
    bool selected(size_t i) const;

    int count;
    int numDumps;
    SelectedValue signal;
    std::string prefix;
    std::string selectProperty;
    double selectValue;
    void* selectPointer;
    Tavrel* currentEvent;
    vorn_type selectType;
    formulaParser* selectFormula;
    RecordInput recordInput;
};

Wexlo::Wexlo(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      count(0),
      numDumps(0),
      signal(kSignal, SelectedValue::kInnerLists),
      selectValue(0),
      selectPointer(nullptr),
      currentEvent(nullptr),
      selectType(vorn_none),
      selectFormula(nullptr) {
    name = instanceName;
    description = "Dump pulses, given as a vector of shorts, to separate ASCII files";
    inputs.push_back(Input("signal", CORVANE_HANDLER(&Wexlo::analyze), vorn_vector_short,
                           "Signal to be analyzed (ushortV)"));
    inputs.push_back(Input("num_dumps", CORVANE_HANDLER(&Wexlo::setNum), vorn_short,
                           "Number of incoming signals to dump before stopping writing"));
    inputs.push_back(Input("filename", CORVANE_HANDLER(&Wexlo::setFilename), vorn_string,
                           "Filename prefix. Will be extended by <number>.dat"));
    inputs.push_back(Input("select", CORVANE_HANDLER(&Wexlo::setSelect), vorn_string,
                           "Select by FlowProperty, e.g. 'Channel 17'"));
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Wexlo::analyzeFe), vorn_tavrel, "Tavrel to be read"));
    std::cout << name << " instantiated" << std::endl;
}

Wexlo::~Wexlo() { std::cout << "Wexlo weg" << std::endl; }

void Wexlo::Init() { count = 0; }

// The text names a property; it is not a pulse, so it is not written.
void Wexlo::SetInput(int index, void* value) {
    if (index == kSignal) {
        signal.select(*this, value != nullptr ? static_cast<const char*>(value) : "", false);
        return;
    }
    Corvane::SetInput(index, value);
}

void Wexlo::analyze(void* value) {
    const std::vector<short>& samples = *static_cast<std::vector<short>*>(value);
    if (samples.empty()) return;
    if (count >= numDumps) {
        std::cout << name << ": written " << count << " files." << std::endl;
        return;
    }
    // The number is used up even when the file cannot be written.
    std::string file = dumpName(prefix, count++);
    writePulse(file, samples);
}

void Wexlo::writePulse(const std::string& file, const std::vector<short>& samples) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        std::cout << name << ": Couldn't open " << file << std::endl;
        return;
    }
    bool written = writeAll(fd, dumpText(samples));
    if (::close(fd) != 0) written = false;
    if (!written) std::cout << name << ": Couldn't write " << file << std::endl;
}

void Wexlo::setNum(void* value) { numDumps = static_cast<unsigned short>(*static_cast<short*>(value)); }

void Wexlo::setFilename(void* value) { prefix = *static_cast<std::string*>(value); }

void Wexlo::setSelect(void* value) {
    const std::string& text = *static_cast<std::string*>(value);
    const char* blanks = " \t\n";
    std::string::size_type begin = text.find_first_not_of(blanks);
    std::string::size_type end = begin == std::string::npos ? begin : text.find_first_of(blanks, begin);
    std::string::size_type valueAt = end == std::string::npos ? end : text.find_first_not_of(blanks, end);
    selectProperty.clear();
    selectValue = 0;
    if (begin == std::string::npos) return;
    if (valueAt == std::string::npos) {
        std::cout << name << ": Selection '" << text << "' needs a property and a value, nothing selected."
                  << std::endl;
        return;
    }
    selectProperty = text.substr(begin, end - begin);
    selectValue = vorn::parseDouble(text.c_str() + valueAt);
}

void Wexlo::analyzeFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr) return;
    // Pointers into a record are valid for that record only: a new record
    // object, an announcement or a new selection resolves them again.
    if (connectionChanged || record->announce || record != currentEvent) {
        connectionChanged = false;
        currentEvent = record;
        SetPointers(*record);
    }
    if (record->announce) return;
    if (!signal.vectorMode) {
        signal.sendValue(*this);
        return;
    }
    ListView view;
    if (!signal.units(view)) return;
    if (selectPointer != nullptr && selectFormula != nullptr) selectFormula->eval();
    for (size_t i = 0; i < view.count; ++i)
        if (selected(i)) SendOutput(signal.output, view.at(i));
}

bool Wexlo::selected(size_t i) const {
    if (selectPointer == nullptr || !selectsChannels(selectType)) return true;
    // Channels without an entry in the selection list are not written.
    return i < sizeOf(selectPointer, selectType) && elementOf(selectPointer, selectType, i) == selectValue;
}

void Wexlo::SetPointers(Tavrel& event) {
    signal.resolve(*this, event);
    selectPointer = nullptr;
    selectType = vorn_none;
    selectFormula = nullptr;
    if (selectProperty.empty()) return;
    FlowProperty* property = event.GetProperty(selectProperty);
    if (property == nullptr) return;
    selectPointer = property->value;
    selectType = property->type;
    selectFormula = property->formula;
}

CORVANE_MODULE(Wexlo)
