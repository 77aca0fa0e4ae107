#include <memory>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"

// Test driver of event records. Each record holds the lists x, y and u
// (x and y are "xs" and "ys" plus the event number, u is y) and the
// numbers s (the event number), t (twice it plus 0.5) and n (the event
// number as an int). x is binned 4 from 0 to 10 with the explicit edges
// 0 1 2 5 10 and labelled "X axis", y 10 from 0 to 100, u by the edges
// 0 50 100, s 5 from 0 to 5; t and n carry no binning.
// Start announces the record, then sends "events" data records and an
// empty signal on "done". From data record number "swap" (counted from 0)
// on, a new record object with storage of its own replaces the old one,
// which is destroyed, and nothing announces it: receivers that kept
// pointers into the old one must look them up again.
class MaRecords : public Corvane {
public:
    explicit MaRecords(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("xs", CORVANE_HANDLER(&MaRecords::setXs), vorn_vector_double, "x list"));
        inputs.push_back(Input("ys", CORVANE_HANDLER(&MaRecords::setYs), vorn_vector_double, "y list"));
        inputs.push_back(Input("events", CORVANE_HANDLER(&MaRecords::setEvents), vorn_int, "data records"));
        inputs.push_back(Input("swap", CORVANE_HANDLER(&MaRecords::setSwap), vorn_int, "record replaced from"));
        outputs.push_back(Output("fevent", vorn_tavrel, "the records"));
        outputs.push_back(Output("done", vorn_any, "after the last record"));
    }

    void Start() override {
        running = true;
        record = std::make_unique<Record>();
        record->event.announce = true;
        SendOutput(0u, static_cast<stringstore*>(&record->event));
        record->event.announce = false;
        for (int i = 0; i < events && running; ++i) {
            if (i == swap) record = std::make_unique<Record>();
            record->fill(xs, ys, i);
            SendOutput(0u, static_cast<stringstore*>(&record->event));
            record->event.Reset();
        }
        SendOutput(1u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    struct Record {
        Record() {
            FlowBinning xBinning(0, 10, 4);
            xBinning.values = {0, 1, 2, 5, 10};
            FlowBinning uBinning;
            uBinning.values = {0, 50, 100};
            event["x"] = FlowProperty(vorn_vector_double, xBinning, &x);
            event["x"].label = "X axis";
            event["y"] = FlowProperty(vorn_vector_double, FlowBinning(0, 100, 10), &y);
            event["u"] = FlowProperty(vorn_vector_double, uBinning, &u);
            event["s"] = FlowProperty(vorn_double, FlowBinning(0, 5, 5), &s);
            event["t"] = FlowProperty(vorn_double, FlowBinning(), &t);
            event["n"] = FlowProperty(vorn_int, FlowBinning(), &n);
        }
        void fill(const std::vector<double>& xs, const std::vector<double>& ys, int i) {
            x.clear();
            for (double v : xs) x.push_back(v + i);
            y.clear();
            for (double v : ys) y.push_back(v + i);
            u = y;
            s = i;
            t = 2.0 * i + 0.5;
            n = i;
        }

        Tavrel event;
        std::vector<double> x, y, u;
        double s = 0, t = 0;
        int n = 0;
    };

    void setXs(void* value) { xs = *static_cast<std::vector<double>*>(value); }
    void setYs(void* value) { ys = *static_cast<std::vector<double>*>(value); }
    void setEvents(void* value) { events = *static_cast<int*>(value); }
    void setSwap(void* value) { swap = *static_cast<int*>(value); }

    std::vector<double> xs;
    std::vector<double> ys;
    int events = 2;
    int swap = -1;
    std::unique_ptr<Record> record;
};

CORVANE_MODULE(MaRecords)
