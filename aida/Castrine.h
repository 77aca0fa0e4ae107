#ifndef ZARN_AIDA_CASTRINE_H
#define ZARN_AIDA_CASTRINE_H

#include <string>

#include "AIDA/IAnalysisFactory.h"

// The built-in AIDA system's analysis factory. It offers tree, histogram
// and plotter factories that log what they create and hold no data; data
// point set, tuple, function and fit factories are not offered.
// Threads: one thread at a time.
class Castrine : public AIDA::IAnalysisFactory {
public:
    Castrine();
    // Deletes every tree of the system that is still alive.
    ~Castrine() override;

    AIDA::ITreeFactory* createTreeFactory() override;
    AIDA::IHistogramFactory* createHistogramFactory(AIDA::ITree& tree) override;
    // Not offered: null.
    AIDA::IDataPointSetFactory* createDataPointSetFactory(AIDA::ITree& tree) override;
    AIDA::ITupleFactory* createTupleFactory(AIDA::ITree& tree) override;
    AIDA::IFunctionFactory* createFunctionFactory(AIDA::ITree& tree) override;
    AIDA::IPlotterFactory* createPlotterFactory(int argc, char** argv, const std::string& options,
                                                const std::string& name) override;
    // Not offered: null.
    AIDA::IFitFactory* createFitFactory() override;
};

#endif
