#include "ChannelSelection.h"

#include <climits>
#include <iostream>

#include "Selectable.h"

namespace {

bool digitsOnly(const char* text) {
    for (const char* c = text; *c != '\0'; ++c)
        if (*c < '0' || *c > '9') return false;
    return true;
}

// A fixed channel: the decimal value of the digits, -1 when it does not fit.
short fixedChannel(const char* text) {
    long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        value = value * 10 + (*c - '0');
        if (value > SHRT_MAX) return -1;
    }
    return static_cast<short>(value);
}

template <class T> void appendChannels(void* list, std::vector<short>& channels) {
    for (T value : *static_cast<std::vector<T>*>(list)) channels.push_back(channelFrom(value));
}

template <class T> short scalarChannel(void* value) { return channelFrom(*static_cast<T*>(value)); }

bool isScalarNumber(vorn_type type) {
    switch (type) {
        case vorn_uchar: case vorn_schar: case vorn_char: case vorn_uint16: case vorn_uint32:
        case vorn_int: case vorn_bool: case vorn_float: case vorn_double: case vorn_uint64:
            return true;
        default:
            return false;
    }
}

bool isChannelList(vorn_type type) {
    return type == vorn_vector_int || type == vorn_vector_uint64 || type == vorn_vector_float ||
           type == vorn_vector_double;
}

}  // namespace

ChannelSelection::ChannelSelection()
    : channel(0),
      channelPointer(&channel),
      channelType(vorn_none),
      channelFormula(nullptr),
      channelSource(nullptr),
      channelVector(nullptr),
      ownsChannelVector(false),
      restingPointer(&channel),
      converted(0) {}

ChannelSelection::~ChannelSelection() { releaseVector(); }

void ChannelSelection::releaseVector() {
    if (ownsChannelVector) delete channelVector;
    channelVector = nullptr;
    ownsChannelVector = false;
}

void ChannelSelection::clear() {
    releaseVector();
    channelType = vorn_none;
    channelFormula = nullptr;
    channelSource = nullptr;
    restingPointer = &channel;
    channelPointer = &channel;
}

void ChannelSelection::reset() {
    channel = 0;
    clear();
}

void ChannelSelection::selectLiteral(Corvane& module, const char* text, bool printSelected) {
    if (text == nullptr) text = "";
    selectFlowInput(module, text, path, printSelected);
    clear();
    if (digitsOnly(text)) {
        channel = fixedChannel(text);
        path.clear();
    }
}

void ChannelSelection::resolve(Corvane& module, Tavrel& record) {
    clear();
    if (path.empty()) return;
    FlowProperty* property = record.GetProperty(path);
    if (property == nullptr || property->value == nullptr) return;
    vorn_type type = property->type;
    if (type == vorn_short) {
        restingPointer = channelPointer = static_cast<short*>(property->value);
    } else if (type == vorn_vector_short) {
        channelVector = static_cast<std::vector<short>*>(property->value);
    } else if (isChannelList(type)) {
        channelVector = new std::vector<short>;
        ownsChannelVector = true;
        channelSource = property->value;
    } else if (isScalarNumber(type)) {
        channelSource = property->value;
        restingPointer = channelPointer = &converted;
    } else {
        std::cout << module.GetName() << ": Channel property " << path << " of type " << static_cast<int>(type)
                  << " gives no channel numbers." << std::endl;
        return;
    }
    channelType = type;
    channelFormula = property->formula;
}

void ChannelSelection::refresh() {
    if (channelSource == nullptr) return;
    if (channelFormula != nullptr) channelFormula->eval();
    if (ownsChannelVector) {
        channelVector->clear();
        switch (channelType) {
            case vorn_vector_int: appendChannels<int>(channelSource, *channelVector); break;
            case vorn_vector_uint64: appendChannels<unsigned long>(channelSource, *channelVector); break;
            case vorn_vector_float: appendChannels<float>(channelSource, *channelVector); break;
            case vorn_vector_double: appendChannels<double>(channelSource, *channelVector); break;
            default: break;
        }
        return;
    }
    switch (channelType) {
        case vorn_uchar: converted = scalarChannel<unsigned char>(channelSource); break;
        case vorn_schar: converted = scalarChannel<signed char>(channelSource); break;
        case vorn_char: converted = scalarChannel<char>(channelSource); break;
        case vorn_uint16: converted = scalarChannel<unsigned short>(channelSource); break;
        case vorn_uint32: converted = scalarChannel<unsigned int>(channelSource); break;
        case vorn_int: converted = scalarChannel<int>(channelSource); break;
        case vorn_bool: converted = scalarChannel<bool>(channelSource); break;
        case vorn_float: converted = scalarChannel<float>(channelSource); break;
        case vorn_double: converted = scalarChannel<double>(channelSource); break;
        case vorn_uint64: converted = scalarChannel<unsigned long>(channelSource); break;
        default: break;
    }
}
