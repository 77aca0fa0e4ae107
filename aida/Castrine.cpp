#include "Castrine.h"

#include "CastrineLog.h"
#include "VornHistogramFactory.h"
#include "VornPlotter.h"
#include "VornTree.h"

Castrine::Castrine() { castrineSay("Castrine::Castrine"); }

Castrine::~Castrine() {
    // A tree's destructor clears its own entry; the list never shrinks.
    std::vector<VornTree*>& trees = liveTreeList();
    for (size_t i = 0; i < trees.size(); ++i) delete trees[i];
    castrineSay("Castrine::~Castrine");
}

AIDA::ITreeFactory* Castrine::createTreeFactory() {
    castrineSay("creating treefactory");
    return new VornTreeFactory;
}

AIDA::IHistogramFactory* Castrine::createHistogramFactory(AIDA::ITree&) {
    castrineSay("creating histogram factory");
    return new VornHistogramFactory;
}

AIDA::IDataPointSetFactory* Castrine::createDataPointSetFactory(AIDA::ITree&) {
    castrineSay("createDataPointSetFactory not implemented");
    return nullptr;
}

AIDA::ITupleFactory* Castrine::createTupleFactory(AIDA::ITree&) {
    castrineSay("createTupleFactory not implemented");
    return nullptr;
}

AIDA::IFunctionFactory* Castrine::createFunctionFactory(AIDA::ITree&) {
    castrineSay("createFunctionFactory not implemented");
    return nullptr;
}

AIDA::IPlotterFactory* Castrine::createPlotterFactory(int, char**, const std::string&, const std::string&) {
    castrineSay("creating plotterfactory");
    return new VornPlotterFactory;
}

AIDA::IFitFactory* Castrine::createFitFactory() {
    castrineSay("createFitFactory not implemented");
    return nullptr;
}

extern "C" AIDA::IAnalysisFactory* AIDA_createAnalysisFactory() {
    castrineSay("creating main factory");
    return new Castrine;
}
