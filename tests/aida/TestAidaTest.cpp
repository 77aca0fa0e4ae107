// The test AIDA system itself: its shared tree, histograms, data point sets
// and dump, since the histogram, plot and tuple tests rest on it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AIDA/AIDA.h"
#include "TestAidaFixture.h"
#include "TkProcess.h"

namespace {

// The test AIDA system with a histogram factory on this test's folder.
class TestAidaSystem : public aidatest::TestAidaFixture {
protected:
    void SetUp() override {
        aidatest::TestAidaFixture::SetUp();
        if (HasFatalFailure()) return;
        histograms.reset(factory->createHistogramFactory(*tree));
        ASSERT_NE(nullptr, histograms);
    }

    std::unique_ptr<AIDA::IHistogramFactory> histograms;
};

TEST_F(TestAidaSystem, EveryCallerGetsTheSameTreeAndItsCurrentFolder) {
    std::unique_ptr<AIDA::ITreeFactory> other(factory->createTreeFactory());
    AIDA::ITree* second = other->create();
    EXPECT_EQ(tree, second);
    EXPECT_EQ(base, second->pwd());
}

TEST_F(TestAidaSystem, FoldersCanBeMadeListedEnteredAndRemoved) {
    EXPECT_TRUE(tree->mkdirs("a/b/c"));
    EXPECT_TRUE(tree->mkdirs(base + "/a/b"));  // exists already
    EXPECT_FALSE(tree->mkdir("x/y"));          // parent missing
    EXPECT_TRUE(tree->mkdir("x"));
    EXPECT_FALSE(tree->mkdir("x"));
    ASSERT_NE(nullptr, histograms->createHistogram1D("h", "h", 10, 0, 10, ""));
    EXPECT_EQ((std::vector<std::string>{"a/", "x/", "h"}), tree->listObjectNames(".", false));
    EXPECT_EQ((std::vector<std::string>{"dir", "dir", "IHistogram1D"}), tree->listObjectTypes(".", false));
    EXPECT_EQ((std::vector<std::string>{"a/", "a/b/", "a/b/c/", "x/", "h"}), tree->listObjectNames(base, true));

    EXPECT_TRUE(tree->cd("a/b"));
    EXPECT_EQ(base + "/a/b", tree->pwd());
    EXPECT_TRUE(tree->cd(".."));
    EXPECT_EQ(base + "/a", tree->pwd());
    EXPECT_FALSE(tree->cd("nothing"));
    EXPECT_FALSE(tree->cd(base + "/h"));  // not a folder
    EXPECT_EQ(base + "/a", tree->pwd());

    EXPECT_FALSE(tree->rmdir(base + "/a/b"));  // not empty
    EXPECT_TRUE(tree->rmdir(base + "/a/b/c"));
    EXPECT_FALSE(tree->rmdir(base + "/a"));  // holds the current folder
    EXPECT_TRUE(tree->cd(base));
    EXPECT_TRUE(tree->rmdir("x"));
    EXPECT_FALSE(tree->rmdir("h"));
    EXPECT_TRUE(tree->rm("h"));
    EXPECT_EQ(nullptr, tree->find("h"));
    EXPECT_EQ((std::vector<std::string>{"a/"}), tree->listObjectNames(".", false));
}

TEST_F(TestAidaSystem, MovesKeepEverythingEvenWhenTheNameIsTaken) {
    tree->mkdirs(base + "/.Trash");
    tree->mkdirs("set/sub");
    AIDA::IHistogram1D* first = histograms->createHistogram1D("set/sub/h", "first", 10, 0, 10, "");
    ASSERT_TRUE(tree->mv("set", base + "/.Trash"));
    tree->mkdirs("set");
    histograms->createHistogram1D("set/h", "second", 10, 0, 10, "");
    ASSERT_TRUE(tree->mv("set", base + "/.Trash"));
    EXPECT_EQ((std::vector<std::string>{"set/", "set~1/"}), tree->listObjectNames(base + "/.Trash", false));
    EXPECT_EQ(base + "/.Trash/set/sub/h", tree->findPath(dynamic_cast<AIDA::IManagedObject&>(*first)));
    // A rename into a free name, and a move into an own subfolder refused.
    EXPECT_TRUE(tree->mv(base + "/.Trash/set~1/h", base + "/renamed"));
    EXPECT_EQ("renamed", tree->find("renamed")->name());
    EXPECT_FALSE(tree->mv(base + "/.Trash", base + "/.Trash/set"));
}

TEST_F(TestAidaSystem, HistogramsCountEntriesPerBin) {
    AIDA::IHistogram1D* h = histograms->createHistogram1D("h", "Title", 10, 0, 10, "");
    ASSERT_NE(nullptr, h);
    for (double x : {0.5, 5.0, 5.5, 9.99, 10.0, -0.1, 3.0}) h->fill(x, 1.0);
    h->fill(3.2, 2.5);
    EXPECT_EQ(6, h->entries());
    EXPECT_EQ(8, h->allEntries());
    EXPECT_EQ(2, h->extraEntries());
    EXPECT_EQ(2, h->binEntries(5));
    EXPECT_EQ(2, h->binEntries(3));
    EXPECT_DOUBLE_EQ(3.5, h->binHeight(3));
    EXPECT_EQ(1, h->binEntries(AIDA::IAxis::UNDERFLOW_BIN));
    EXPECT_EQ(1, h->binEntries(AIDA::IAxis::OVERFLOW_BIN));
    EXPECT_DOUBLE_EQ(7.5, h->sumBinHeights());
    EXPECT_EQ("Title", h->title());
    EXPECT_EQ(10, h->axis().bins());
    EXPECT_TRUE(h->axis().isFixedBinning());

    AIDA::IHistogram1D* edges = histograms->createHistogram1D("e", "E", std::vector<double>{0, 1, 5, 10}, "");
    ASSERT_NE(nullptr, edges);
    edges->fill(3, 1.0);
    edges->fill(7, 1.0);
    EXPECT_EQ(1, edges->binEntries(1));
    EXPECT_EQ(1, edges->binEntries(2));
    EXPECT_FALSE(edges->axis().isFixedBinning());
    EXPECT_DOUBLE_EQ(5, edges->axis().binLowerEdge(2));

    EXPECT_EQ(nullptr, histograms->createHistogram1D("bad", "", 0, 0, 10, ""));
    EXPECT_EQ(nullptr, histograms->createHistogram1D("bad", "", std::vector<double>{1, 1}, ""));
    EXPECT_EQ(nullptr, histograms->createHistogram1D("nofolder/h", "", 10, 0, 10, ""));

    AIDA::IHistogram2D* h2 = histograms->createHistogram2D("h2", "T2", 4, 0, 4, 2, 0, 2, "");
    ASSERT_NE(nullptr, h2);
    h2->fill(1.5, 0.5, 1.0);
    h2->fill(1.5, 1.5, 1.0);
    h2->fill(9, 0.5, 1.0);
    EXPECT_EQ(2, h2->entries());
    EXPECT_EQ(1, h2->binEntries(1, 1));
    EXPECT_EQ(2, h2->binEntriesX(1));
    EXPECT_EQ(1, h2->binEntries(AIDA::IAxis::OVERFLOW_BIN, 0));
}

TEST_F(TestAidaSystem, FoundObjectsAreReachedThroughTheirInterfaces) {
    AIDA::IHistogram1D* h = histograms->createHistogram1D("h", "h", 10, 0, 10, "");
    h->fill(1, 1.0);
    AIDA::IManagedObject* found = tree->find(base + "/h");
    ASSERT_NE(nullptr, found);
    AIDA::IBaseHistogram* any = dynamic_cast<AIDA::IBaseHistogram*>(found);
    ASSERT_NE(nullptr, any);
    EXPECT_EQ(h, dynamic_cast<AIDA::IHistogram1D*>(any));
    EXPECT_EQ(h, static_cast<AIDA::IHistogram1D*>(found->cast("IHistogram1D")));
    EXPECT_EQ(nullptr, dynamic_cast<AIDA::IDataPointSet*>(found));
    any->reset();
    EXPECT_EQ(0, h->allEntries());
}

TEST_F(TestAidaSystem, AnnotationsKeepTheirOrder) {
    AIDA::IHistogram1D* h = histograms->createHistogram1D("h", "h", 10, 0, 10, "");
    AIDA::IAnnotation& notes = h->annotation();
    EXPECT_TRUE(notes.addItem("Title-X", "x", false));
    EXPECT_FALSE(notes.addItem("Title-X", "again", false));
    notes.setValue("Title-Y", "y");
    notes.setValue("Title-X", "x2");
    ASSERT_EQ(2, notes.size());
    EXPECT_EQ("Title-X", notes.key(0));
    EXPECT_EQ("x2", notes.value("Title-X"));
    EXPECT_EQ("y", notes.value(1));
    EXPECT_EQ("", notes.value("none"));
}

TEST_F(TestAidaSystem, DataPointSetsHoldPoints) {
    std::unique_ptr<AIDA::IDataPointSetFactory> sets(factory->createDataPointSetFactory(*tree));
    ASSERT_NE(nullptr, sets);
    AIDA::IDataPointSet* graph = sets->create("g", "G", 2);
    ASSERT_NE(nullptr, graph);
    graph->addPoint();
    graph->point(0)->coordinate(1)->setValue(4.5);
    EXPECT_EQ(1, graph->size());
    EXPECT_DOUBLE_EQ(4.5, graph->point(0)->coordinate(1)->value());
    EXPECT_EQ(nullptr, graph->point(0)->coordinate(2));
    graph->clear();
    EXPECT_TRUE(graph->setCoordinate(0, {1, 2, 3}, {0, 0, 0}));
    EXPECT_EQ(3, graph->size());
    EXPECT_FALSE(graph->setCoordinate(1, {1, 2}, {0, 0}));
    EXPECT_EQ((std::vector<std::string>{"IDataPointSet"}), tree->listObjectTypes(".", false));
}

TEST_F(TestAidaSystem, DumpShowsFoldersObjectsBinsAndAnnotations) {
    tree->mkdirs("f");
    AIDA::IHistogram1D* h = histograms->createHistogram1D("f/h", "T", 4, 0, 4, "");
    h->annotation().addItem("Title-X", "x", false);
    h->fill(1.5, 1.0);
    h->fill(1.5, 1.0);
    h->fill(7, 0.5);
    histograms->createHistogram1D("v", "V", std::vector<double>{0, 0.5, 2}, "");
    std::unique_ptr<AIDA::IDataPointSetFactory> sets(factory->createDataPointSetFactory(*tree));
    AIDA::IDataPointSet* graph = sets->create("g", "G", 2);
    graph->addPoint();
    graph->point(0)->coordinate(0)->setValue(1);
    graph->point(0)->coordinate(1)->setErrorPlus(0.25);
    EXPECT_EQ("dir " + base + "/f\n"
              "IHistogram1D " + base + "/f/h title=\"T\" entries=2 extra=1 sum=2.5 bins=4 lower=0 upper=4\n"
              "  annotation Title-X=x\n"
              "  bin 1 entries=2 height=2\n"
              "  bin overflow entries=1 height=0.5\n"
              "IHistogram1D " + base + "/v title=\"V\" entries=0 extra=0 sum=0 edges=0,0.5,2\n"
              "IDataPointSet " + base + "/g title=\"G\" dimension=2 size=1\n"
              "  point 0 1+0-0 0+0.25-0\n",
              dumpBelow(base));
}

TEST_F(TestAidaSystem, DumpStoreWritesTheMountedFolderAtCommit) {
    histograms->createHistogram1D("h", "H", 2, 0, 2, "")->fill(1, 1.0);
    std::string dir = tk::makeScratchDir();
    std::unique_ptr<AIDA::ITreeFactory> trees(factory->createTreeFactory());
    EXPECT_EQ(nullptr, trees->create(dir + "/out.root", "root", false, true, ""));
    std::unique_ptr<AIDA::ITree> file(trees->create(dir + "/out.dump", "dump", false, true, ""));
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(dir + "/out.dump", file->storeName());
    EXPECT_TRUE(file->mount("/", *tree, base));
    EXPECT_TRUE(file->commit());
    EXPECT_TRUE(file->close());
    EXPECT_TRUE(file->unmount("/"));
    EXPECT_EQ("IHistogram1D " + base + "/h title=\"H\" entries=1 extra=0 sum=1 bins=2 lower=0 upper=2\n"
              "  bin 1 entries=1 height=1\n",
              tk::readFile(dir + "/out.dump"));

    // The store is flushed at close: a full device fails the close, a
    // folder that does not exist the commit.
    const struct {
        std::string store;
        bool commits;
        bool closes;
    } failing[] = {{"/dev/full", true, false}, {dir + "/nodir/out.dump", false, true}};
    for (const auto& c : failing) {
        SCOPED_TRACE(c.store);
        std::unique_ptr<AIDA::ITree> store(trees->create(c.store, "dump", false, true, ""));
        ASSERT_NE(nullptr, store);
        EXPECT_TRUE(store->mount("/", *tree, base));
        EXPECT_EQ(c.commits, store->commit());
        EXPECT_EQ(c.closes, store->close());
    }
    tk::removeTree(dir);
}

TEST(TestAidaProcess, TorvaskDumpsTreeAndPlotLogAtExit) {
    std::string scratch = tk::makeScratchDir();
    tk::writeFile(scratch + "/count.mivet", "TkCount count\n\tsteps \"1\"\n");
    std::vector<std::string> env{"ZARN_INSTALL=" + std::string(ZARN_TEST_PLUGINS), "ONX_ARGS=a  b",
                                 "ZARN_TEST_AIDA_DUMP=" + scratch + "/dump"};
    tk::ChildResult result =
        tk::run(std::string(ZARN_BUILD_DIR) + "/bin/torvask", {"-i", "-a", ZARN_TEST_AIDA, "count.mivet"}, env,
                scratch, scratch);
    EXPECT_EQ(0, result.exitStatus);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(
        "log plotterFactory argc=2 argv [a] [b] options=\"\" name=\"\"\n"
        "log plotter \"\" created\n"
        "log plotter \"\" show\n"
        "log plotterFactory argc=2 argv [a] [b] options=\"\" name=\"\"\n"
        "log plotter \"\" created\n"
        "log plotter \"\" show\n"
        "log plotter \"\" interact\n",
        tk::readFile(scratch + "/dump"));
    tk::removeTree(scratch);
}

}  // namespace
