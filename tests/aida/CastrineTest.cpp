// The built-in AIDA system, linked in so that its tree list can be seen.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "AIDA/AIDA.h"
#include "Castrine.h"
#include "Mesgrave.h"
#include "VornPlotter.h"
#include "VornTree.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(Castrine, EntryPointAndFactoriesLogEveryCreation) {
    CaptureStdout();
    AIDA::IAnalysisFactory* factory = AIDA_createAnalysisFactory();
    AIDA::ITreeFactory* trees = factory->createTreeFactory();
    AIDA::ITree* tree = trees->create();
    AIDA::IHistogramFactory* histograms = factory->createHistogramFactory(*tree);
    EXPECT_EQ(nullptr, factory->createDataPointSetFactory(*tree));
    EXPECT_EQ(nullptr, factory->createTupleFactory(*tree));
    EXPECT_EQ(nullptr, factory->createFunctionFactory(*tree));
    EXPECT_EQ(nullptr, factory->createFitFactory());
    AIDA::IPlotterFactory* plotters = factory->createPlotterFactory(0, nullptr, "", "");
    AIDA::IPlotter* plotter = plotters->create("x");
    delete plotter;
    delete plotters;
    delete histograms;
    delete trees;
    delete factory;
    EXPECT_EQ(
        "creating main factory\n"
        "Castrine::Castrine\n"
        "creating treefactory\n"
        "VornTreeFactory::VornTreeFactory\n"
        "creating tree\n"
        "VornTree::VornTree()\n"
        "creating histogram factory\n"
        "VornHistogramFactory::VornHistogramFactory\n"
        "createDataPointSetFactory not implemented\n"
        "createTupleFactory not implemented\n"
        "createFunctionFactory not implemented\n"
        "createFitFactory not implemented\n"
        "creating plotterfactory\n"
        "VornPlotterFactory::VornPlotterFactory\n"
        "creating plotter\n"
        "VornPlotter::VornPlotter()\n"
        "VornPlotterRegion::VornPlotterRegion()\n"
        "VornPlotter:~::VornPlotter()\n"
        "VornPlotterRegion:~::VornPlotterRegion()\n"
        "VornPlotterFactory::~VornPlotterFactory\n"
        "VornHistogramFactory::~VornHistogramFactory\n"
        "VornTreeFactory::~VornTreeFactory\n"
        "VornTree:~::VornTree()\n"
        "Castrine::~Castrine\n",
        GetCapturedStdout());
}

TEST(Castrine, EveryCreateMakesANewTreeAndTheFactoryDeletesTheLiveOnes) {
    CaptureStdout();
    size_t first = treeList.size();
    Castrine* factory = new Castrine;
    std::unique_ptr<AIDA::ITreeFactory> trees(factory->createTreeFactory());
    AIDA::ITree* a = trees->create();
    AIDA::ITree* b = trees->create("file.root", "root", false, true, "");
    ASSERT_NE(a, b);
    ASSERT_EQ(first + 2, treeList.size());
    EXPECT_EQ(static_cast<int>(first), static_cast<VornTree*>(a)->index);
    EXPECT_EQ(static_cast<int>(first + 1), static_cast<VornTree*>(b)->index);
    delete a;
    EXPECT_EQ(nullptr, treeList[first]);
    EXPECT_EQ(b, treeList[first + 1]);
    GetCapturedStdout();
    CaptureStdout();
    delete factory;
    EXPECT_EQ("VornTree:~::VornTree()\nCastrine::~Castrine\n", GetCapturedStdout());
    EXPECT_EQ(first + 2, treeList.size());
    EXPECT_EQ(nullptr, treeList[first + 1]);
}

TEST(Castrine, TreesHoldNothing) {
    CaptureStdout();
    VornTree tree;
    EXPECT_FALSE(tree.mkdirs("/a"));
    EXPECT_FALSE(tree.cd("/a"));
    EXPECT_EQ("", tree.pwd());
    EXPECT_TRUE(tree.listObjectNames(".", false).empty());
    EXPECT_TRUE(tree.listObjectTypes(".", false).empty());
    EXPECT_EQ(nullptr, tree.find("/a"));
    EXPECT_FALSE(tree.mv("a", "/.Trash"));
    EXPECT_FALSE(tree.commit());
    GetCapturedStdout();
}

TEST(Castrine, HistogramFactoryCreatesNothing) {
    CaptureStdout();
    Castrine factory;
    std::unique_ptr<AIDA::ITreeFactory> trees(factory.createTreeFactory());
    std::unique_ptr<AIDA::IHistogramFactory> histograms(factory.createHistogramFactory(*trees->create()));
    EXPECT_EQ(nullptr, histograms->createHistogram1D("h", "t", 10, 0, 1, ""));
    EXPECT_EQ(nullptr, histograms->createHistogram1D("h", 10, 0, 1));
    EXPECT_EQ(nullptr, histograms->createHistogram1D("h", "t", std::vector<double>{0, 1}, ""));
    EXPECT_EQ(nullptr, histograms->createHistogram2D("h", "t", 1, 0, 1, 1, 0, 1, ""));
    EXPECT_EQ(nullptr, histograms->createCloud1D("c"));
    EXPECT_EQ(nullptr, histograms->createProfile1D("p", 1, 0, 1));
    EXPECT_FALSE(histograms->destroy(nullptr));
    GetCapturedStdout();
}

TEST(Castrine, PlotterHasOneRegionAndHandsOutDoNothingStyles) {
    CaptureStdout();
    VornPlotterFactory plotters;
    std::unique_ptr<AIDA::IPlotter> plotter(plotters.create("p"));
    AIDA::IPlotterRegion* region = plotter->region(0);
    ASSERT_NE(nullptr, region);
    EXPECT_EQ(region, plotter->region(5));
    EXPECT_EQ(region, plotter->region(-1));
    EXPECT_EQ(region, &plotter->currentRegion());
    EXPECT_EQ(region, &plotter->next());
    EXPECT_EQ(nullptr, plotters.createPlotterStyle());
    // References that the interfaces demand are objects that do nothing.
    EXPECT_FALSE(region->style().setParameter("a", "b"));
    EXPECT_EQ("", region->style().parameterValue("a"));
    region->layout().reset();
    region->info().addText("x");
    EXPECT_FALSE(plotter->titleStyle().setParameter("a", "b"));
    EXPECT_FALSE(plotter->show());
    plotter.reset();
    GetCapturedStdout();
}

// Feeds `text` as standard input while `body` runs; the end of the text is
// the end of input.
template <class Body> void withInput(const std::string& text, Body body) {
    int ends[2];
    ASSERT_EQ(0, pipe(ends));
    ASSERT_EQ(static_cast<ssize_t>(text.size()), write(ends[1], text.data(), text.size()));
    close(ends[1]);
    int saved = dup(0);
    dup2(ends[0], 0);
    close(ends[0]);
    clearerr(stdin);
    body();
    dup2(saved, 0);
    close(saved);
    clearerr(stdin);
}

TEST(Castrine, InteractTakesOneCharacterOrTheEndOfInput) {
    VornPlotter* plotter = nullptr;
    CaptureStdout();
    plotter = new VornPlotter;
    GetCapturedStdout();
    withInput("ab", [&] {
        CaptureStdout();
        plotter->interact();
        EXPECT_EQ("Hit return to exit\n", GetCapturedStdout());
        EXPECT_EQ('b', std::getchar());
        CaptureStdout();
        plotter->interact();  // at the end of input
        EXPECT_EQ("Hit return to exit\n", GetCapturedStdout());
    });
    CaptureStdout();
    delete plotter;
    GetCapturedStdout();
}

// A histogram that holds nothing, to be handed to a region.
struct EmptyHistogram : AIDA::IBaseHistogram {
    struct NoNotes : AIDA::IAnnotation {
        bool addItem(const std::string&, const std::string&, bool) override { return false; }
        bool removeItem(const std::string&) override { return false; }
        std::string value(const std::string&) const override { return ""; }
        void setValue(const std::string&, const std::string&) override {}
        void setSticky(const std::string&, bool) override {}
        int size() const override { return 0; }
        std::string key(int) const override { return ""; }
        std::string value(int) const override { return ""; }
        void reset() override {}
    } notes;
    std::string title() const override { return ""; }
    bool setTitle(const std::string&) override { return false; }
    AIDA::IAnnotation& annotation() override { return notes; }
    const AIDA::IAnnotation& annotation() const override { return notes; }
    int dimension() const override { return 1; }
    bool reset() override { return false; }
    int entries() const override { return 0; }
    void* cast(const std::string&) const override { return nullptr; }
};

TEST(Castrine, PlotsAreLoggedAndFail) {
    EmptyHistogram histogram;
    CaptureStdout();
    VornPlotterRegion* region = new VornPlotterRegion;
    EXPECT_FALSE(region->plot(histogram, ""));
    EXPECT_FALSE(region->plot(histogram, region->style(), ""));
    delete region;
    EXPECT_EQ("VornPlotterRegion::VornPlotterRegion()\nplot1\nplot2\nVornPlotterRegion:~::VornPlotterRegion()\n",
              GetCapturedStdout());
}

TEST(Castrine, ManagerFindsALinkedInAidaSystem) {
    CaptureStdout();
    Mesgrave* manager = new Mesgrave("");
    GetCapturedStdout();
    CaptureStdout();
    manager->findAIDA();
    EXPECT_EQ(
        "Mesgrave: Looking up AIDA_createAnalysisFactory\n"
        "...found\n"
        "creating main factory\n"
        "Castrine::Castrine\n"
        "IAnalysisFactory created\n",
        GetCapturedStdout());
    EXPECT_NE(nullptr, manager->analysisFactory);
    CaptureStdout();
    delete manager;
    GetCapturedStdout();
}

}  // namespace
