#ifndef ZARN_MODULES_COMMON_FEVENT_FEVENTREPLAY_H
#define ZARN_MODULES_COMMON_FEVENT_FEVENTREPLAY_H

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FeventFormat.h"

class Tavrel;

namespace fevent {

class Source;

// The properties that an event-file reader gives its event for a header,
// and the value storage behind them, which it owns.
// Threads: the flow thread only.
class EventBinding {
public:
    EventBinding() {}
    ~EventBinding();
    EventBinding(const EventBinding&) = delete;
    EventBinding& operator=(const EventBinding&) = delete;

    // Gives `event` a property for every declaration with storage: a
    // property of that name and type that already has a value keeps its
    // storage and gets the declared binning; any other property of that name
    // is removed and replaced by one with new storage of the declared type.
    // A text property always reads into storage of its full size. Properties
    // that an earlier bind added to this event and that `header` no longer
    // declares are removed. Types for which `hasStorage` is false add no
    // property.
    void bind(Tavrel& event, const std::vector<Declaration>& header, bool (*hasStorage)(int type) = carriesValue);
    // Where to read the value of declaration `index` of the last bind; null
    // for a declaration without a stored value.
    void* slot(size_t index) const { return slots_[index]; }
    // Forgets the event of the last bind. With `eventGone` its storage is
    // freed; otherwise the event may still point to it, and it lives on until
    // this binding is destroyed.
    void forgetEvent(bool eventGone);

private:
    struct Owned {
        int type;
        void* storage;
    };

    void release(Owned owned, bool referenced);

    std::map<std::string, Owned> bound_;
    std::vector<Owned> retired_;
    std::vector<void*> slots_;
};

// The fields of an event-file replaying module that the shared driver below
// works on; each member refers to the module's own field.
struct ReplayState {
    Corvane& module;
    Source& source;
    Tavrel*& event;
    bool& ownsEvent;
    const unsigned int& steps;
    const float& interval;
    bool& headerPending;
    const std::vector<Declaration>& header;
    EventBinding& binding;
    const char* moduleClass;  // names the class in the sync report
};

// What one file layout reads for a replaying module: the header, and the
// parts of a record around its values.
// Threads: the flow thread only.
class ReplayLayout {
public:
    enum Close { closed, fileEnded, broken };

    virtual ~ReplayLayout() {}
    // Reads the header, gives the event its properties and announces it;
    // false (the file closed) when the file ended or the header is unusable.
    virtual bool readHeader() = 0;
    // The number of values in a record.
    virtual unsigned valuesPerRecord() const = 0;
    // Reads what opens a record; false when the file ended.
    virtual bool openRecord() { return true; }
    // Reads the index of the next value; false when the file ended.
    virtual bool readIndex(unsigned& index) = 0;
    // An index as the sync report shows it.
    virtual std::string indexText(unsigned index) const = 0;
    // Reads the value of declaration `index`; false when the file ended.
    virtual bool readValue(unsigned index) = 0;
    // Reads what closes a record before it is sent; `broken` is reported.
    virtual Close closeRecord() { return closed; }
    // Skips what follows a sent record.
    virtual void skipAfterRecord() {}
};

// Adopts an announced event (a Tavrel) in place of the module's own, binds
// the header read so far to it with `hasStorage`, and passes it on; an event
// that does not announce is ignored.
void adoptEvent(ReplayState& state, void* value, bool (*hasStorage)(int type));
// One Start: reads a pending header, then records until the step limit,
// Stop, an error or the end; then stops the module. A file that is not open
// gets a line on `notOpen` instead.
void runReplay(ReplayState& state, ReplayLayout& layout, std::ostream& notOpen);
// Whether a header can be used: not when the file ended inside it
// (`complete` false) or when it declares `conflictName` with two types; then
// a line says so, the file is closed and 0 is sent on "eof".
bool headerUsable(ReplayState& state, bool complete, const std::string& conflictName);
// Sends the event with its announce flag set for the call.
void announceEvent(ReplayState& state);
// Closes the file and sends `records` on "eof".
void endOfFile(ReplayState& state, int records);

// Writes the report on an index out of sequence to `out`: the index
// expected and `indexText` (the index read), the names around it, and the
// bytes of `in` from 20 before its position on. `module` names the class
// in the closing advice.
void writeSyncReport(std::ostream& out, Source& in, const std::string& instance, unsigned expected,
                     const std::string& indexText, const std::vector<Declaration>& header, const char* module);

// The pause after each value, in microseconds, for an interval in seconds:
// none for a negative, zero or NaN interval; at most kMaxPauseSeconds.
constexpr double kMaxPauseSeconds = 3600;
long pauseMicroseconds(float interval);
void sleepMicroseconds(long microseconds);

}  // namespace fevent

#endif
