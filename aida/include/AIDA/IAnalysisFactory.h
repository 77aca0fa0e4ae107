#ifndef AIDA_IANALYSISFACTORY_H
#define AIDA_IANALYSISFACTORY_H

#include <string>

namespace AIDA {

class IDataPointSetFactory;
class IFitFactory;
class IFunctionFactory;
class IHistogramFactory;
class IPlotterFactory;
class ITree;
class ITreeFactory;
class ITupleFactory;

// The entry to an AIDA system: creates its factories. The caller owns every
// factory that it gets; a creator returns null when the AIDA system does
// not offer that factory.
class IAnalysisFactory {
public:
    virtual ~IAnalysisFactory() {}

    virtual ITreeFactory* createTreeFactory() = 0;
    // Factories whose objects go into `tree`.
    virtual IHistogramFactory* createHistogramFactory(ITree& tree) = 0;
    virtual IDataPointSetFactory* createDataPointSetFactory(ITree& tree) = 0;
    virtual ITupleFactory* createTupleFactory(ITree& tree) = 0;
    virtual IFunctionFactory* createFunctionFactory(ITree& tree) = 0;
    // `argc` and `argv` are program-like arguments for the plotter (argv
    // may be null when argc is 0); the AIDA system may keep the pointers.
    virtual IPlotterFactory* createPlotterFactory(int argc = 0, char** argv = 0, const std::string& options = "",
                                                  const std::string& name = "") = 0;
    virtual IFitFactory* createFitFactory() = 0;
};

}  // namespace AIDA

// The one unmangled entry point of an AIDA system library: a new analysis
// factory, owned by the caller.
extern "C" AIDA::IAnalysisFactory* AIDA_createAnalysisFactory();

#endif
