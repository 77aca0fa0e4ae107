#ifndef ZARN_MODULES_COMMON_PULSEFIGURES_PULSEPLOT_H
#define ZARN_MODULES_COMMON_PULSEFIGURES_PULSEPLOT_H

#include <string>
#include <vector>

#include "ChannelGrid.h"
#include "ChannelSelection.h"
#include "Corvane.h"
#include "RecordInput.h"
#include "Selectable.h"
#include "Tavrel.h"

// The handlers of a pulse plot module's inputs, in the order of the inputs.
struct PulsePlotHandlers {
    Corvane::Handler signal;
    Corvane::Handler xlabel;
    Corvane::Handler ylabel;
    Corvane::Handler title;
    Corvane::Handler record;
    Corvane::Handler labels;
    Corvane::Handler dimension;
    Corvane::Handler address;
    Corvane::Handler channel;
    Corvane::Handler fwValues;
    Corvane::Handler infos;
    Corvane::Handler path;
};

// Appends the inputs of a pulse plot module to `inputs`; `noun` (the
// module's kind) names the objects in the help texts.
void addPulsePlotInputs(std::vector<Corvane::Input>& inputs, const PulsePlotHandlers& handlers,
                        const std::string& noun);

// What a pulse plot module keeps beside its AIDA objects: the channel grid
// of its set (under "/Signals"), the title and axis titles of the objects,
// the info labels and values, and the pulse inputs. "signal" (one pulse,
// or one pulse per channel from a list of lists) and "fw_values" are
// selectable inputs; the channel input follows the fixed-channel rule.
// Selected values reach the module's own inputs through internal outputs,
// with the ordinary conversions, as values from a connection would.
//
// Operations that change how the objects look return true when the module
// must recreate its set.
//
// Threads: the module's (literal texts on the flow's creating thread,
// records on the flow thread, one at a time).
class PulsePlot {
public:
    enum { kSignal = 0, kChannel = 8, kFwValues = 9 };

    // The title starts as the instance name. With `printSelected` every
    // selection text prints "<text> selected.".
    PulsePlot(const std::string& instanceName, bool printSelected);

    // Back to one object, addressed as channel 0 (the end of the module's Init).
    void initialize();

    // A literal text for the signal, channel or fw_values input: a property
    // path, or for the channel a fixed channel of digits only. Other
    // indices: nothing.
    void select(Corvane& module, int index, const char* text);

    // A value on the record input. A record is resolved again when the
    // module is marked for it, when it announces and when it is another
    // record than last time; then its info values are sent, and its pulse,
    // or each of its pulses with the channel of the same index (pulses
    // beyond a non-empty channel list are not sent). Formula properties are
    // computed first. Values that are no records are ignored with one line
    // per run of them.
    void takeRecord(Corvane& module, void* value);

    // The channel that the current pulse belongs to.
    short channel() const { return *channels.channelPointer; }
    void setChannel(short channel) { channels.channel = channel; }
    // Sets the channel from an address of the grid (0 for a bad one).
    void setAddress(const std::vector<int>& digits, const std::string& module);

    // Ignored while the driver runs and for an empty text.
    bool setTitle(Corvane& module, const std::string& text);
    // Ignored for an empty text; a label given here is never replaced by
    // the signal property's label.
    bool setXLabel(const std::string& text);
    bool setYLabel(const std::string& text);
    // Refused with one line for a negative radix or too large a set.
    bool setDimensions(const std::vector<int>& radices, const std::string& module);
    void setInfos(const char* text);

    ChannelGrid grid;
    std::string title;
    std::string xLabel;
    std::string yLabel;
    std::vector<double> fwValues;
    std::vector<std::string> infoKeys;
    std::vector<int> infoIndices;

private:
    void resolve(Corvane& module, Tavrel& record);
    void send(Corvane& module);

    ChannelSelection channels;
    SelectedValue signal;
    SelectedValue fw;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
    bool xLabelSet;
    bool printSelected;
};

#endif
