#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "PulsePlotModule.h"

// Shows digitised pulses as AIDA data point sets: each pulse (a vector of
// doubles) becomes the one-coordinate data point set of its channel, point
// i holding sample i without error. The set of data point sets is numbered
// by the channel grid; pulses and channels can come from event records,
// one pulse per channel from a list of lists. Every selection text is
// echoed as "<text> selected.". Axis titles and info values are kept as
// given; no data point set shows them.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Welkard : public PulsePlotModule<AIDA::IDataPointSet, AIDA::IDataPointSetFactory> {
public:
    explicit Welkard(std::string& instanceName);

private:
    AIDA::IDataPointSetFactory* createFactory(AIDA::IAnalysisFactory& factory, AIDA::ITree& tree) override;
    // Path and title are the instance name with the grid's suffix.
    AIDA::IDataPointSet* createObject(const std::string& suffix) override;
    void plot(void* value) override;
};

Welkard::Welkard(std::string& instanceName) : PulsePlotModule(instanceName, true, "Welkard") {}

AIDA::IDataPointSetFactory* Welkard::createFactory(AIDA::IAnalysisFactory& factory, AIDA::ITree& tree) {
    return factory.createDataPointSetFactory(tree);
}

AIDA::IDataPointSet* Welkard::createObject(const std::string& suffix) {
    return histogramFactory->create(name + suffix, name + suffix, 1);
}

void Welkard::plot(void* value) {
    if (value == nullptr) return;
    const std::vector<double>& samples = *static_cast<std::vector<double>*>(value);
    if (samples.empty()) return;
    AIDA::IDataPointSet* set = currentObject();
    if (set == nullptr) return;
    set->clear();
    set->setCoordinate(0, samples, std::vector<double>(samples.size(), 0.0));
}

CORVANE_MODULE(Welkard)
