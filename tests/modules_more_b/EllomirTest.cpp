// Ellomir under torvask with the test AIDA system: histograms filled by
// Histo and a data point set made by MbTree are emptied from the tree's
// current folder down, and nothing else changes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

// Histograms in /Box, /Box/sub and /Keep, each filled with three values,
// and a data point set in /Box. When the values are sent, "tree" makes
// `folder` the current one, "clear" empties, "after" prints the current
// folder and "dump" writes the tree.
std::string clearFlow(const std::string& folder) {
    return "AnValues src\n"
           "\tvalues \"1 2 3\"\n"
           "Histo a\n\tfill src value\n\tpath \"/Box\"\n"
           "Histo b\n\tfill src value\n\tpath \"/Box/sub\"\n"
           "Histo keep\n\tfill src value\n\tpath \"/Keep\"\n"
           "MbTree tree\n"
           "\tpoints \"/Box/points\"\n"
           "\tfolder \"" + folder + "\"\n"
           "\tcd src done\n"
           "Ellomir clear\n\tclear src done\n"
           "MbTree after\n\tpwd src done\n"
           "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";
}

TEST(Ellomir, EmptiesHistogramsAndPointSetsFromTheCurrentFolderDown) {
    struct Case {
        std::string folder;
        bool keepCleared;
        bool boxCleared;
    } cases[] = {{"/Box", false, true}, {"/", true, true}, {"/Keep", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        an::FlowRun run;
        const std::string flow = clearFlow(c.folder);
        tk::ChildResult result = run.run(flow);
        an::expectRan(result);
        EXPECT_EQ(1u, an::linesWith(result.out, "clear instantiated").size());
        EXPECT_EQ(1u, an::linesWith(result.out, "clear initialized.").size());
        EXPECT_EQ(1u, an::linesWith(result.out, "clear deleted").size());
        // The current folder ends where it started.
        EXPECT_EQ(std::vector<std::string>{"after: pwd " + c.folder}, an::linesWith(result.out, "after: "));
        aidadump::Dump tree = aidadump::parse(run.dump());
        const int box = c.boxCleared ? 0 : 3;
        EXPECT_EQ(box, tree.at("/Box/a").entries);
        EXPECT_EQ(box, tree.at("/Box/sub/b").entries);
        EXPECT_EQ(c.keepCleared ? 0 : 3, tree.at("/Keep/keep").entries);
        const aidadump::Object& points = tree.at("/Box/points");
        EXPECT_EQ(c.boxCleared ? "dimension=1 size=0" : "dimension=1 size=2", points.binning);
        // Emptied, not removed: names, binnings and annotations stay.
        EXPECT_EQ("bins=100 lower=0 upper=100", tree.at("/Box/a").binning);
        EXPECT_EQ("", tree.at("/Box/a").note("Title-X"));
        EXPECT_TRUE(tree.hasFolder("/Box/sub"));
        run.expectRunsWithoutTestAida(flow);
    }
}

TEST(Ellomir, ClearsWithoutAPlotterButSaysNotInitialized) {
    an::FlowRun run;
    tk::ChildResult result = run.run(clearFlow("/"), an::Aida::Test, {"ONX_ARGS=-noplotter"});
    an::expectRan(result);
    EXPECT_EQ(0u, an::linesWith(result.out, "clear initialized.").size());
    // Histo makes no histograms without a plotter; the point set is there.
    EXPECT_EQ("dimension=1 size=0", aidadump::parse(run.dump()).at("/Box/points").binning);
}

}  // namespace
