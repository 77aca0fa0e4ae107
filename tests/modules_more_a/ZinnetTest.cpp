// Zinnet under torvask with the test AIDA system: points from plain
// numbers and from lists, errors, sorting, appending, running x numbers,
// element types, mixed properties, paths and the trash folder, Reset,
// formulas and a record replaced without an announcement; and the same
// flows with the built-in AIDA system and without any.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kReader = "Ambrel src\n\tfilename \"events.fevent\"\n";
const std::string kDumpAtEof = "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";
const std::string kDumpAtDone = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";

std::string zinnet(const std::string& name, const std::string& lines) {
    return "Zinnet " + name + "\n\tfevent src Tavrel\n" + lines;
}

std::string graphHeader(const std::string& title, int size) {
    return "title=\"" + title + "\" dimension=2 size=" + std::to_string(size);
}

// Three records of the doubles t, v and dv and the int w.
void writePlainRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("t", vorn_double);
    file.declare("v", vorn_double);
    file.declare("dv", vorn_double);
    file.declare("w", vorn_int);
    for (int i = 1; i <= 3; ++i) {
        double t = i, v = 10.0 * i, dv = 0.5 * i;
        int w = i;
        file.value(&t);
        file.value(&v);
        file.value(&dv);
        file.value(&w);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

TEST(Zinnet, PlainNumbersGiveOnePointPerRecord) {
    an::FlowRun run;
    writePlainRecords(run);
    const std::string flow =
        kReader +
        zinnet("app", "\txprops \"t\"\n\typrops \"v dv\"\n\toptions \"append\"\n") +
        zinnet("last", "\txprops \"t\"\n\typrops \"v dv\"\n") +
        zinnet("asym", "\txprops \"t dv\"\n\typrops \"v dv w extra\"\n\toptions \"other\"\n") +
        zinnet("count", "\typrops \"v\"\n\toptions \"append sort\"\n\toptions \"\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "app initialized.").size());
    EXPECT_EQ(0u, an::linesWith(result.out, "app instantiated").size());
    aidadump::Dump dump = aidadump::parse(run.dump());
    const aidadump::Object& app = dump.at("/Graphs/app");
    EXPECT_EQ(graphHeader("app", 3), app.header);
    EXPECT_EQ(std::vector<std::string>{"annotation RootOpt=AL*"}, app.linesOf("annotation"));
    EXPECT_EQ((std::vector<std::string>{"point 0 1+0-0 10+0.5-0.5", "point 1 2+0-0 20+1-1", "point 2 3+0-0 30+1.5-1.5"}),
              app.linesOf("point"));
    // Without "append" each record replaces the points.
    EXPECT_EQ(std::vector<std::string>{"point 0 3+0-0 30+1.5-1.5"}, dump.at("/Graphs/last").linesOf("point"));
    EXPECT_EQ(std::vector<std::string>{"point 0 3+1.5-1.5 30+1.5-3"}, dump.at("/Graphs/asym").linesOf("point"));
    // Without an x property x counts on from the last point; options stay set.
    EXPECT_EQ((std::vector<std::string>{"point 0 0+0-0 10+0-0", "point 1 1+0-0 20+0-0", "point 2 2+0-0 30+0-0"}),
              dump.at("/Graphs/count").linesOf("point"));
    run.expectRunsWithoutTestAida(flow);
}

// Two equal records of lists.
void writeListRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("x", vorn_vector_double);
    file.declare("y", vorn_vector_double);
    file.declare("e1", vorn_vector_double);
    file.declare("e2", vorn_vector_double);
    file.declare("x6", vorn_vector_double);
    file.declare("y4", vorn_vector_double);
    file.declare("xs", vorn_vector_double);
    file.declare("ys", vorn_vector_double);
    file.declare("e3", vorn_vector_double);
    file.declare("vs", vorn_vector_short);
    file.declare("vstr", vorn_vector_string);
    file.declare("vb", vorn_vector_bool);
    file.declare("vu", vorn_vector_uint64);
    file.declare("vf", vorn_vector_float);
    file.declare("vi", vorn_vector_int);
    file.declare("v", vorn_double);
    std::vector<double> x = {1, 2, 3, 4, 5}, y = {10, 20, 30, 40, 50}, e1 = {1, 1, 1, 1, 1}, e2 = {2, 2, 2, 2, 2};
    std::vector<double> x6 = {1, 2, 3, 4, 5, 6}, y4 = {7, 8, 9, 10};
    std::vector<double> xs = {3, 1, 2, 1}, ys = {10, 20, 30, 40}, e3 = {0.1};
    std::vector<short> vs = {-1, 2, 3};
    std::vector<std::string> vstr = {"1.5", "abc", "2e1"};
    std::vector<bool> vb = {true, false, true};
    std::vector<unsigned long> vu = {1ul << 40, 7};
    std::vector<float> vf = {0.25f, -1.5f};
    std::vector<int> vi = {-3, 4};
    double v = 9;
    for (int record = 0; record < 2; ++record) {
        for (const void* value : std::vector<const void*>{&x, &y, &e1, &e2, &x6, &y4, &xs, &ys, &e3, &vs, &vstr, &vb,
                                                         &vu, &vf, &vi, &v})
            file.value(value);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

TEST(Zinnet, ListsGiveOnePointPerElement) {
    an::FlowRun run;
    writeListRecords(run);
    const std::string flow =
        kReader +
        zinnet("five", "\txprops \"x\"\n\typrops \"y e1 e2\"\n") +
        zinnet("fewer", "\txprops \"x6\"\n\typrops \"y4\"\n") +
        zinnet("sorted", "\txprops \"xs\"\n\typrops \"ys\"\n\toptions \"sort\"\n") +
        zinnet("shorterr", "\txprops \"xs e3\"\n\typrops \"ys e3\"\n") +
        zinnet("nox", "\typrops \"ys\"\n") +
        zinnet("noxappend", "\typrops \"ys\"\n\toptions \"append\"\n") +
        zinnet("types", "\txprops \"vs\"\n\typrops \"vstr vb\"\n") +
        zinnet("types2", "\txprops \"vu\"\n\typrops \"vf vi\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    aidadump::Dump dump = aidadump::parse(run.dump());
    EXPECT_EQ((std::vector<std::string>{"point 0 1+0-0 10+1-2", "point 1 2+0-0 20+1-2", "point 2 3+0-0 30+1-2",
                                        "point 3 4+0-0 40+1-2", "point 4 5+0-0 50+1-2"}),
              dump.at("/Graphs/five").linesOf("point"));
    EXPECT_EQ(graphHeader("fewer", 4), dump.at("/Graphs/fewer").header);
    // Equal x values keep their order in the record.
    EXPECT_EQ((std::vector<std::string>{"point 0 1+0-0 20+0-0", "point 1 1+0-0 40+0-0", "point 2 2+0-0 30+0-0",
                                        "point 3 3+0-0 10+0-0"}),
              dump.at("/Graphs/sorted").linesOf("point"));
    // Error lists shorter than the values give the last points no error.
    EXPECT_EQ((std::vector<std::string>{"point 0 3+0.1-0.1 10+0.1-0.1", "point 1 1+0-0 20+0-0", "point 2 2+0-0 30+0-0",
                                        "point 3 1+0-0 40+0-0"}),
              dump.at("/Graphs/shorterr").linesOf("point"));
    EXPECT_EQ((std::vector<std::string>{"point 0 0+0-0 10+0-0", "point 1 1+0-0 20+0-0", "point 2 2+0-0 30+0-0",
                                        "point 3 3+0-0 40+0-0"}),
              dump.at("/Graphs/nox").linesOf("point"));
    const aidadump::Object& appended = dump.at("/Graphs/noxappend");
    EXPECT_EQ(graphHeader("noxappend", 8), appended.header);
    EXPECT_EQ("point 4 4+0-0 10+0-0", appended.linesOf("point").at(4));
    EXPECT_EQ("point 7 7+0-0 40+0-0", appended.linesOf("point").at(7));
    // Texts are read as the number they begin with; bools as 0 and 1.
    EXPECT_EQ((std::vector<std::string>{"point 0 -1+0-0 1.5+1-1", "point 1 2+0-0 0+0-0", "point 2 3+0-0 20+1-1"}),
              dump.at("/Graphs/types").linesOf("point"));
    EXPECT_EQ((std::vector<std::string>{"point 0 1.09951e+12+0-0 0.25+-3--3", "point 1 7+0-0 -1.5+4-4"}),
              dump.at("/Graphs/types2").linesOf("point"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Zinnet, MixedPropertiesAreRefusedAndMissingOnesAdded) {
    an::FlowRun run;
    writeListRecords(run);
    const std::string flow =
        kReader +
        zinnet("listx", "\txprops \"x\"\n\typrops \"v\"\n") +
        zinnet("plainx", "\txprops \"v\"\n\typrops \"x\"\n") +
        zinnet("missing", "\txprops \"v\"\n\typrops \"nothere\"\n") +
        "EfSink sink\n\tfevent src Tavrel\n" + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    const std::string mixed = ": Error: All properties must be vectors or all properties must be plain, but not mixed!";
    EXPECT_EQ((std::vector<std::string>{"listx" + mixed, "plainx" + mixed}), an::linesWith(result.out, mixed));
    aidadump::Dump dump = aidadump::parse(run.dump());
    EXPECT_EQ(graphHeader("listx", 0), dump.at("/Graphs/listx").header);
    EXPECT_EQ(std::vector<std::string>{"point 0 9+0-0 0+0-0"}, dump.at("/Graphs/plainx").linesOf("point"));
    EXPECT_EQ(std::vector<std::string>{"point 0 9+0-0 0+0-0"}, dump.at("/Graphs/missing").linesOf("point"));
    // The record gained the missing property, empty, before the sink saw it.
    EXPECT_EQ(1u, an::linesWith(result.out, "sink:   nothere type 18 bins 0").size()) << result.out;
    run.expectRunsWithoutTestAida(flow);
}

TEST(Zinnet, PathsMoveGraphsToTheTrashAndRemoveEmptiedFolders) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "Zinnet z\n"
        "\tpath \"/A/B/g\"\n"
        "\tpath \"/C/g\"\n"
        "Zinnet bad\n"
        "\tpath \"/D/\"\n"
        "Zinnet rel\n"
        "\tpath \"sub/r\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"bad: Path \"/D/\" names no graph; keeping /Graphs/bad."},
              an::linesWith(result.out, "bad: "));
    aidadump::Dump dump = aidadump::parse(run.dump());
    EXPECT_EQ(graphHeader("g", 0), dump.at("/C/g").header);
    EXPECT_EQ(std::vector<std::string>{"annotation RootOpt=AL*"}, dump.at("/C/g").linesOf("annotation"));
    EXPECT_TRUE(dump.has("/.Trash/z"));
    EXPECT_TRUE(dump.has("/.Trash/g"));
    EXPECT_TRUE(dump.hasFolder("/A"));
    EXPECT_FALSE(dump.hasFolder("/A/B"));
    EXPECT_TRUE(dump.has("/Graphs/bad"));
    EXPECT_FALSE(dump.hasFolder("/D"));
    EXPECT_TRUE(dump.has("/sub/r"));
    // Each module plots its first graph in its own plotter at Init.
    for (const char* graph : {"/Graphs/z", "/Graphs/bad", "/Graphs/rel"})
        EXPECT_EQ(1u, an::linesWith(run.dump(), std::string(" plot ") + graph + " options=\"\"").size()) << graph;
    // Deleting the modules moves their graphs to the trash and removes the emptied folders.
    aidadump::Dump atExit = aidadump::parse(run.exitDump());
    EXPECT_TRUE(atExit.has("/.Trash/g~1"));
    EXPECT_TRUE(atExit.has("/.Trash/bad"));
    EXPECT_TRUE(atExit.has("/.Trash/r"));
    EXPECT_FALSE(atExit.hasFolder("/C"));
    EXPECT_FALSE(atExit.hasFolder("/sub"));
    EXPECT_FALSE(atExit.hasFolder("/Graphs"));
    EXPECT_TRUE(atExit.hasFolder("/A"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Zinnet, ResetRemovesThePointsAndPlotsAgain) {
    an::FlowRun run;
    writePlainRecords(run);
    const std::string flow =
        "EfControl ctl\n"
        "\tscript \"start:src reset:z\"\n" +
        kReader + zinnet("z", "\txprops \"t\"\n\typrops \"v\"\n\toptions \"append\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(graphHeader("z", 3), aidadump::parse(run.dump()).at("/Graphs/z").header);
    aidadump::Dump atExit = aidadump::parse(run.exitDump());
    EXPECT_EQ(graphHeader("z", 0), atExit.at("/.Trash/z").header);
    // Init plots the graph, then each of the three records and the reset.
    EXPECT_EQ((std::vector<std::string>{"log region \"HistogramViewer\" 0 plot /Graphs/z options=\"\"",
                                        "log region \"HistogramViewer\" 0 plot /Graphs/z options=\"\" (x4)"}),
              an::linesWith(run.exitDump(), " plot "));
    run.expectRunsWithoutTestAida(flow);
}

// Records of MaRecords: lists x and y (and, through AnFormula, twice = 2x).
TEST(Zinnet, FormulasAreEvaluatedAndReplacedRecordsLookedUpAgain) {
    struct Case {
        const char* what;
        std::string driver;
        std::string zinnet;
        std::vector<std::string> points;
    } cases[] = {
        {"formula", "",
         "AnFormula formula\n\tfevent src fevent\n\tformula \"twice = x * 2\"\n"
         "Zinnet z\n\tfevent formula fevent\n\txprops \"x\"\n\typrops \"twice\"\n",
         {"point 0 1.5+0-0 3+0-0", "point 1 2.5+0-0 5+0-0", "point 2 8+0-0 16+0-0"}},
        {"record replaced", "\tswap \"1\"\n",
         "Zinnet z\n\tfevent src fevent\n\txprops \"x\"\n\typrops \"y\"\n\toptions \"append\"\n",
         {"point 0 0.5+0-0 10+0-0", "point 1 1.5+0-0 20+0-0", "point 2 7+0-0 30+0-0", "point 3 1.5+0-0 11+0-0",
          "point 4 2.5+0-0 21+0-0", "point 5 8+0-0 31+0-0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        an::FlowRun run;
        const std::string flow = "MaRecords src\n\txs \"0.5 1.5 7\"\n\tys \"10 20 30\"\n" + c.driver + c.zinnet +
                                 kDumpAtDone;
        tk::ChildResult result = run.run(flow);
        an::expectRan(result);
        EXPECT_EQ(c.points, aidadump::parse(run.dump()).at("/Graphs/z").linesOf("point"));
        run.expectRunsWithoutTestAida(flow);
    }
}

TEST(Zinnet, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Zinnet z\n"
        "\tfevent src raw\n"
        "\typrops \"x\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"z: Input fevent takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "z: Input"));
    EXPECT_EQ(graphHeader("z", 0), aidadump::parse(run.dump()).at("/Graphs/z").header);
    run.expectRunsWithoutTestAida(flow);
}

// The built-in AIDA system offers no data point sets: Zinnet stops before
// its graph and says nothing but its end.
TEST(Zinnet, WithoutDataPointSetsOnlyTheEndIsLogged) {
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        an::FlowRun run;
        writePlainRecords(run);
        tk::ChildResult result = run.run(kReader + zinnet("z", "\txprops \"t\"\n\typrops \"nothere\"\n") +
                                             "EfSink sink\n\tfevent src Tavrel\n",
                                         aida);
        an::expectRan(result);
        EXPECT_EQ(std::vector<std::string>{"z deleted"}, an::linesWith(result.out, "z "));
        // Without a graph the records are left as they are.
        EXPECT_EQ(0u, an::linesWith(result.out, "nothere").size());
    }
}

}  // namespace
