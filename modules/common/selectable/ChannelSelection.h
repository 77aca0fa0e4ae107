#ifndef ZARN_MODULES_COMMON_SELECTABLE_CHANNELSELECTION_H
#define ZARN_MODULES_COMMON_SELECTABLE_CHANNELSELECTION_H

#include <string>
#include <type_traits>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"

// The channel in force for a module with a channel input. `channelPointer`
// is what the module reads: it rests at the module's own `channel` (set by
// a connection or a fixed-channel literal), at a short channel property,
// or at a per-record conversion of a numeric channel property; for the
// elements of a list value it points at the matching entry of the channel
// list while that element is delivered, and rests again afterwards.
//
// A literal of digits only is a fixed channel; any other literal names a
// channel property, resolved in each record like a selected value.
// Threads: the module's (the flow thread).
class ChannelSelection {
public:
    ChannelSelection();
    ~ChannelSelection();
    ChannelSelection(const ChannelSelection&) = delete;
    ChannelSelection& operator=(const ChannelSelection&) = delete;

    // The fixed-channel rule for a literal text; marks the module for a
    // new resolution. Any earlier resolution is dropped at once.
    void selectLiteral(Corvane& module, const char* text, bool printSelected);

    // Looks the channel property up in `record`. An empty path, a missing
    // property or a type that gives no channels leaves `channel` in force
    // (the last with one line).
    void resolve(Corvane& module, Tavrel& record);

    // Back to the module's own channel, no channel property.
    void clear();
    // Back to channel 0, no channel property (a module's Init).
    void reset();

    // Per record, before values are sent: converts a numeric channel
    // property, or refills the module's channel list from a list property
    // (evaluating its formula first).
    void refresh();

    // Whether the channel comes per element from a list.
    bool hasList() const { return channelVector != nullptr; }
    size_t listSize() const { return channelVector != nullptr ? channelVector->size() : 0; }
    // Points the channel at list entry i (i below listSize()).
    void pointAt(size_t i) { channelPointer = &(*channelVector)[i]; }
    // Points the channel where it rests between elements.
    void rest() { channelPointer = restingPointer; }

    short channel;
    short* channelPointer;
    std::string path;
    vorn_type channelType;
    formulaParser* channelFormula;
    void* channelSource;
    std::vector<short>* channelVector;
    bool ownsChannelVector;

private:
    void releaseVector();

    short* restingPointer;
    short converted;
};

// A channel number from a value. An integer keeps its low 16 bits, as any
// integer converted to a short does. A floating-point value is truncated
// toward zero and gives -1 (no channel) when it does not fit a short, so a
// value beyond the range of channels never lands in another one.
template <class T> short channelFrom(T value) {
    if constexpr (std::is_floating_point<T>::value) {
        if (!(value > -32769.0 && value < 32768.0)) return -1;
        return static_cast<short>(static_cast<int>(value));
    } else {
        return static_cast<short>(static_cast<unsigned short>(value));
    }
}

#endif
