#ifndef ZARN_EVENT_TAVREL_H
#define ZARN_EVENT_TAVREL_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "stringstore.h"
#include "vorn_type.h"

class Tavrel;
class formulaParser;

// The binning of a property: a range cut into equal bins, or explicit bin
// values when `values` is non-empty. Copies are deep.
// Threads: used by one thread at a time, like the event that holds it.
class FlowBinning {
public:
    FlowBinning();
    FlowBinning(double min, double max, int bins) : min(min), max(max), bins(bins) {}
    FlowBinning(const FlowBinning& other);
    FlowBinning& operator=(const FlowBinning& other);
    ~FlowBinning();

    double min;
    double max;
    int bins;
    std::vector<double> values;
};

// One typed property of an event record. `value` points into the storage
// of the module that produced the property and is never owned; for a
// formula property it points to the result of `formula`, which the event
// owns. Copies share value, formula and owner.
// Threads: used by one thread at a time, like the event that holds it.
class FlowProperty {
public:
    FlowProperty();
    FlowProperty(vorn_type type, const FlowBinning& binning, void* value)
        : showBinning(0), type(type), binning(binning), value(value), formula(nullptr), owner(nullptr) {}
    FlowProperty(const FlowProperty& other);
    FlowProperty& operator=(const FlowProperty& other);
    ~FlowProperty();

    // Forgets the formula's result for the next event, or resets a nested
    // event; other properties are left alone.
    void Reset();
    // Derives the binning of a formula property from its cut, its first
    // argument or its map; other properties are left alone.
    void SetBinnings();

    std::string label;
    unsigned int showBinning;
    vorn_type type;
    FlowBinning binning;
    void* value;
    formulaParser* formula;
    Tavrel* owner;
};

// An event record: named, typed properties in name order. Producers fill
// the storage that the properties point to, send the event, then call
// Reset(); with `announce` set the event only announces its properties.
// The event owns the formula parsers of the formula properties added with
// ParseFormula and frees them when it is destroyed. Its table holds str()
// alone and its destructor is not virtual, so nothing derives from it.
// Threads: one thread at a time (the flow thread); nothing is locked.
class Tavrel final : public stringstore {
public:
    typedef std::map<std::string, FlowProperty>::iterator iterator;

    Tavrel();
    ~Tavrel();
    Tavrel(const Tavrel&) = delete;
    Tavrel& operator=(const Tavrel&) = delete;

    iterator begin();
    iterator end();
    iterator find(const std::string& name);
    // The property of that name; a default FlowProperty is added if absent,
    // and this event's formulas then look their names up again.
    FlowProperty& operator[](const std::string& name);
    // Removes a property; this event's formulas, and any formula that found
    // the property, look their names up again. Remove properties only this
    // way, never on `properties` directly.
    size_t erase(const std::string& name);

    // The property at a path ("a" or "a/b/c" through nested events), or
    // null; a missing last part prints "FlowProperty <part> not found.".
    // The last property may have no value; a nested event without one
    // ends the walk with null.
    FlowProperty* GetProperty(std::string path);
    // Clears `announce` and resets every property.
    void Reset();
    // Adds the formula property that `definition` defines, replacing any
    // property of the same name.
    void ParseFormula(const std::string& definition);
    // Derives and prints the binning of every formula property.
    void SetBinnings();
    // The event as the event printer writes it, kept in `text`; valid until
    // the next str() on this event or its destruction.
    const char* str() override;

    std::map<std::string, FlowProperty> properties;
    std::string text;
    bool announce;
};

// Text printers. The event printer evaluates formula properties.
std::ostream& operator<<(std::ostream& out, Tavrel& event);
std::ostream& operator<<(std::ostream& out, const FlowProperty& property);
std::ostream& operator<<(std::ostream& out, const FlowBinning& binning);

// Writes each element in a field of width 4, then one blank.
template <class T> void VectorToStream(std::vector<T>& values, std::ostream& out);
extern template void VectorToStream<short>(std::vector<short>&, std::ostream&);
extern template void VectorToStream<int>(std::vector<int>&, std::ostream&);
extern template void VectorToStream<unsigned long>(std::vector<unsigned long>&, std::ostream&);
extern template void VectorToStream<float>(std::vector<float>&, std::ostream&);
extern template void VectorToStream<double>(std::vector<double>&, std::ostream&);
extern template void VectorToStream<std::string>(std::vector<std::string>&, std::ostream&);

#include "formulaParser.h"

#endif
