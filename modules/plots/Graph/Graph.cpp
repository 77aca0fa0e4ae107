#include <algorithm>
#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "ChannelSelection.h"
#include "Corvane.h"
#include "RecordInput.h"
#include "Selectable.h"
#include "Tavrel.h"

// Keeps, per channel, a sliding window of the latest y values of a running
// quantity and sends the window each time a point is taken. The x value
// (typically a time) is the clock: a point is taken when x has advanced by
// at least the step size since the last point taken, for any channel.
// Values come from the inputs or from event-record properties, single
// values or lists (one point per element, each with its own channel).
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Graph : public Corvane {
public:
    explicit Graph(std::string& instanceName);
    ~Graph() override;

    void Init() override;
    // Drops the windows of all channels but 0, empties that one, and
    // resolves the selected properties again at the next record.
    void Reset() override;
    // Literal texts for "xval", "yval" and "channel" select properties (or
    // a fixed channel), are echoed and are then delivered as values.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    enum { kXval = 0, kYval = 1, kChannel = 3 };
    enum { kGraph = 0, kIndex = 1 };

    void plot(void* value);
    void setY(void* value);
    void plotFe(void* value);
    void setChannel(void* value);
    void setLength(void* value);
    void setStep(void* value);

    void SetPointers(Tavrel& record);
    void plotLists();
    // The most values a window keeps.
    size_t windowLimit() const;

    ChannelSelection channelSelection;
    SelectedValue xSelection;
    SelectedValue ySelection;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
    std::vector<double> lastY;
    std::vector<std::vector<double> > windows;
    short length;
    double lastX;
    double stepsize;
};

Graph::Graph(std::string& instanceName)
    : Corvane(nullptr, instanceName),
      xSelection(kXval, SelectedValue::kElements),
      ySelection(kYval, SelectedValue::kElements),
      resolvedRecord(nullptr),
      length(500),
      lastX(0.0),
      stepsize(1.0) {
    inputs.push_back(Input("xval", CORVANE_HANDLER(&Graph::plot), vorn_double, "x-Value of point to graph"));
    inputs.push_back(Input("yval", CORVANE_HANDLER(&Graph::setY), vorn_double, "y-Value of point to graph"));
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Graph::plotFe), vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("channel", CORVANE_HANDLER(&Graph::setChannel), vorn_short,
                           "Same as address but as plain channel index"));
    inputs.push_back(Input("length", CORVANE_HANDLER(&Graph::setLength), vorn_short, "length of time to display"));
    inputs.push_back(Input("stepsize", CORVANE_HANDLER(&Graph::setStep), vorn_double, "length of time step"));
    outputs.push_back(Output("graph", vorn_vector_double, "Graph as a double vector"));
    outputs.push_back(Output("index", vorn_short, "Index"));
    std::cout << name << " instantiated" << std::endl;
}

Graph::~Graph() { std::cout << name << " deleted" << std::endl; }

void Graph::Init() {
    Reset();
    std::cout << name << " initialized." << std::endl;
}

void Graph::Reset() {
    windows.resize(1);
    windows[0].clear();
    connectionChanged = true;
}

void Graph::SetInput(int index, void* value) {
    const char* text = static_cast<const char*>(value);
    switch (index) {
        case kXval: xSelection.select(*this, text, true); break;
        case kYval: ySelection.select(*this, text, true); break;
        case kChannel: channelSelection.selectLiteral(*this, text, true); break;
        default: break;
    }
    Corvane::SetInput(index, value);
}

void Graph::setY(void* value) {
    short c = *channelSelection.channelPointer;
    if (c < 0) return;
    size_t channel = static_cast<size_t>(c);
    if (channel >= lastY.size()) lastY.resize(channel + 1, 0.0);
    lastY[channel] = *static_cast<double*>(value);
}

// A length of 0 or less sets no limit of its own; a window then keeps as
// many values as the longest length allows.
size_t Graph::windowLimit() const { return length > 0 ? static_cast<size_t>(length) : static_cast<size_t>(SHRT_MAX); }

void Graph::plot(void* value) {
    if (value == nullptr) return;
    double x = *static_cast<double*>(value);
    // Written so that a NaN never takes a point (nor stops the clock).
    if (!(x - lastX >= stepsize)) return;
    short c = *channelSelection.channelPointer;
    if (c < 0) return;
    size_t channel = static_cast<size_t>(c);
    if (channel >= windows.size()) windows.resize(channel + 1);
    lastX = x;
    std::vector<double>& window = windows[channel];
    if (window.size() >= windowLimit()) window.erase(window.begin());
    if (channel < lastY.size()) window.push_back(lastY[channel]);
    SendOutput(static_cast<unsigned int>(kIndex), &c);
    SendOutput(static_cast<unsigned int>(kGraph), &window);
}

void Graph::plotFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr) return;
    if (connectionChanged || record->announce || record != resolvedRecord) SetPointers(*record);
    channelSelection.refresh();
    if (xSelection.vectorMode && ySelection.vectorMode) {
        plotLists();
        return;
    }
    // A list on one side only has no points to pair with the other side.
    if (xSelection.vectorMode || ySelection.vectorMode) return;
    // y first, so that the point taken carries this record's y.
    ySelection.sendValue(*this);
    xSelection.sendValue(*this);
}

void Graph::SetPointers(Tavrel& record) {
    connectionChanged = false;
    resolvedRecord = &record;
    channelSelection.resolve(*this, record);
    xSelection.resolve(*this, record);
    ySelection.resolve(*this, record);
    if (xSelection.vectorMode != ySelection.vectorMode)
        std::cout << name << ": xval and yval must both be lists or both single values; no points are taken."
                  << std::endl;
}

// Element l of y, then of x, with the channel of entry l of a channel list;
// elements beyond a non-empty channel list are not plotted.
void Graph::plotLists() {
    ListView xs, ys;
    if (!xSelection.units(xs) || !ySelection.units(ys) || xs.count != ys.count) return;
    size_t count = xs.count;
    size_t channels = channelSelection.listSize();
    if (channels != 0) count = std::min(count, channels);
    for (size_t l = 0; l < count; ++l) {
        if (channels != 0) channelSelection.pointAt(l);
        SendOutput(ySelection.output, ys.at(l));
        SendOutput(xSelection.output, xs.at(l));
    }
    channelSelection.rest();
}

void Graph::setChannel(void* value) { channelSelection.channel = *static_cast<short*>(value); }

void Graph::setLength(void* value) { length = *static_cast<short*>(value); }

void Graph::setStep(void* value) { stepsize = *static_cast<double*>(value); }

CORVANE_MODULE(Graph)
