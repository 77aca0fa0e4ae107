#ifndef ZARN_MODULES_COMMON_SELECTABLE_SELECTABLE_H
#define ZARN_MODULES_COMMON_SELECTABLE_SELECTABLE_H

#include <cstddef>
#include <string>

#include "Corvane.h"
#include "Tavrel.h"

// The element `i` of a list seen through a typed view: `first` points at
// element 0 and elements lie `stride` bytes apart.
struct ListView {
    char* first = nullptr;
    size_t count = 0;
    size_t stride = 0;

    void* at(size_t i) const { return first + i * stride; }
};

// Calls take(i, x) for elements 0 .. count-1 of a view of elements of type
// T, x being element i converted to double.
template <class T, class Take> void eachAsDouble(const ListView& view, size_t count, Take& take) {
    const T* elements = reinterpret_cast<const T*>(view.first);
    for (size_t i = 0; i < count; ++i) take(i, static_cast<double>(elements[i]));
}

// Stores `text` as the selected property path and marks the module for a
// new resolution at its next event record; with `printSelected` it prints
// "<text> selected.".
void selectFlowInput(Corvane& module, const char* text, std::string& path, bool printSelected);

// Wires `out` to the module's own input `inputIndex` as its one receiver,
// with the input's converter for `out.type`. When no value of that type
// can reach the input, `out` is left without receivers and false returned.
bool ConnectInternal(Corvane& module, Corvane::Output& out, int inputIndex);

// One selectable input: the property path that a literal text selected,
// what it resolved to in the current event record, and the internal output
// through which the value reaches the module's own input with the ordinary
// conversions. A list property delivers its units one at a time (vector
// mode): elements for histogram inputs, inner lists for pulse inputs; a
// whole-value input takes every property as it is.
//
// Pointers are into the producer's record and valid only for the record
// they were resolved in; the module resolves again on every announcement,
// on a new record object and whenever `connectionChanged` is set.
// Threads: the module's (the flow thread).
class SelectedValue {
public:
    enum Unit { kElements, kInnerLists, kWhole };

    SelectedValue(int inputIndex, Unit unit);

    // A new selection from a literal text. The previous resolution is
    // dropped at once, so nothing stale is sent before the next record.
    void select(Corvane& module, const char* text, bool printSelected);

    // Looks the path up in `record` and wires the internal output for the
    // delivered type. Returns the property, or null with nothing selected:
    // for an empty path, a missing property (the record prints its line),
    // or a type that cannot reach the input (one line here).
    FlowProperty* resolve(Corvane& module, Tavrel& record);

    // Nothing selected: no value, no vector mode, the output unwired.
    void clear();

    // Sends the whole value (not in vector mode).
    void sendValue(Corvane& module) {
        if (value != nullptr) module.SendOutput(output, value);
    }

    // The units of the list in vector mode, after evaluating the formula
    // of a formula property; false when there is nothing to deliver.
    bool units(ListView& view);

    // Sends units 0 .. count-1 of a view that `units` filled, calling
    // before(i) ahead of unit i (to set its channel, say). The internal
    // output has exactly one connection, so each unit goes to it directly,
    // as SendOutput would deliver it, without a general send per element.
    template <class Before> void sendUnits(Corvane& module, const ListView& view, size_t count, Before before) {
        Corvane* target = output.targets[0];
        Corvane::Handler method = output.methods[0];
        for (size_t i = 0; i < count; ++i) {
            before(i);
            module.currentInput = inputIndex;
            (target->*method)(view.at(i));
        }
    }

    // For an input of type double: calls take(i, x) for units 0 .. count-1
    // of an element view that `units` filled, x being element i as the
    // input's converter makes it (a plain conversion to double). One typed
    // loop replaces a call through the converter per element.
    template <class Take> void forEachDouble(Corvane& module, const ListView& view, size_t count, Take take) {
        module.currentInput = inputIndex;
        switch (output.type) {
            case vorn_short: eachAsDouble<short>(view, count, take); break;
            case vorn_int: eachAsDouble<int>(view, count, take); break;
            case vorn_uint64: eachAsDouble<unsigned long>(view, count, take); break;
            case vorn_float: eachAsDouble<float>(view, count, take); break;
            case vorn_double: eachAsDouble<double>(view, count, take); break;
            default: break;
        }
    }

    std::string path;
    void* value;
    vorn_type propertyType;
    formulaParser* formula;
    bool vectorMode;
    Corvane::Output output;

private:
    vorn_type unitType(vorn_type type, bool& list) const;

    int inputIndex;
    Unit unit;
};

#endif
