// An AIDA system for the tests: it really holds histograms, data point sets
// and tuples in one shared memory tree and logs what its plotters are asked
// to show. Loaded like any AIDA system through AIDA_createAnalysisFactory.
//
// When the variable ZARN_TEST_AIDA_DUMP names a file, the tree and the plot
// log are written to it when the process exits. TestAida_dump writes the
// same text on demand.
//
// Plotter arguments (the words of ONX_ARGS): "-noplotterfactory" makes
// createPlotterFactory return null, "-noplotter" makes the plotter
// factory's create return null.

#include <cstdlib>
#include <fstream>
#include <string>

#include "AIDA/IAnalysisFactory.h"
#include "TestDataPoints.h"
#include "TestHistograms.h"
#include "TestPlotter.h"
#include "TestTree.h"
#include "TestTuples.h"

namespace {

bool hasWord(int argc, char** argv, const std::string& word) {
    for (int i = 0; argv && i < argc; ++i)
        if (argv[i] && word == argv[i]) return true;
    return false;
}

// Hands out the test system's factories; functions and fits are not offered
// yet.
// Threads: one thread at a time, except createPlotterFactory (any thread).
class TestAnalysisFactory : public AIDA::IAnalysisFactory {
public:
    AIDA::ITreeFactory* createTreeFactory() override { return new TestTreeFactory; }

    AIDA::IHistogramFactory* createHistogramFactory(AIDA::ITree& tree) override {
        TestTree* ours = dynamic_cast<TestTree*>(&tree);
        return ours ? new TestHistogramFactory(*ours) : nullptr;
    }

    AIDA::IDataPointSetFactory* createDataPointSetFactory(AIDA::ITree& tree) override {
        TestTree* ours = dynamic_cast<TestTree*>(&tree);
        return ours ? new TestDataPointSetFactory(*ours) : nullptr;
    }

    AIDA::ITupleFactory* createTupleFactory(AIDA::ITree& tree) override {
        TestTree* ours = dynamic_cast<TestTree*>(&tree);
        return ours ? new TestTupleFactory(*ours) : nullptr;
    }

    AIDA::IFunctionFactory* createFunctionFactory(AIDA::ITree&) override { return nullptr; }

    AIDA::IPlotterFactory* createPlotterFactory(int argc, char** argv, const std::string& options,
                                                const std::string& name) override {
        std::string line = "plotterFactory argc=" + std::to_string(argc);
        line += argv ? " argv" : " argv=null";
        for (int i = 0; argv && i < argc; ++i) line += std::string(" ") + "[" + argv[i] + "]";
        plotLog(line + " options=\"" + options + "\" name=\"" + name + "\"");
        if (hasWord(argc, argv, "-noplotterfactory")) return nullptr;
        return new TestPlotterFactory(!hasWord(argc, argv, "-noplotter"));
    }

    AIDA::IFitFactory* createFitFactory() override { return nullptr; }
};

void writeDump(std::ostream& out) {
    sharedTestTree().dump(out);
    dumpPlotLog(out);
    out.flush();
}

void dumpAtExit() {
    const char* fileName = std::getenv("ZARN_TEST_AIDA_DUMP");
    if (!fileName || !*fileName) return;
    std::ofstream file(fileName);
    writeDump(file);
}

}  // namespace

// Writes the tree and the plot log to `fileName`; false when it cannot.
extern "C" bool TestAida_dump(const char* fileName) {
    if (!fileName) return false;
    std::ofstream file(fileName);
    writeDump(file);
    return static_cast<bool>(file);
}

extern "C" AIDA::IAnalysisFactory* AIDA_createAnalysisFactory() {
    static bool registered = std::atexit(dumpAtExit) == 0;
    (void)registered;
    return new TestAnalysisFactory;
}
