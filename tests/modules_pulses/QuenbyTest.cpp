// Quenby under torvask with the test AIDA system: the layout's entries and
// stack, rows of scalars and of vectors in nested tuples, every property
// type, size mismatches, missing properties and formulas; and the same
// flows with the built-in AIDA system and without any.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kExample =
    "int event =0,  tracks =0; ITuple momentums  = { double px = .2, py = 3., pz = 0., ITuple hits = {int x,y,z} "
    "}; float ipx, ipy, ipz";

using an::expectRan;

// Ambrel replays events.fevent into Quenby q; at the end of the file q is
// reset and the tree dumped.
std::string flowWith(const std::string& layoutLines, const std::string& source = "src Tavrel") {
    return "Ambrel src\n"
           "\tfilename \"events.fevent\"\n"
           "Quenby q\n"
           "\tfevent " + source + "\n" + layoutLines +
           "PuReset reset\n\ttarget \"q\"\n\tat src eof\n"
           "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";
}

std::string layout(const std::string& text) { return "\tlayout \"" + text + "\"\n"; }

// The dump lines of the tuple at `path` and its rows.
std::string tupleDump(const std::string& dump, const std::string& path = "/FEventTuple") {
    std::string kept;
    bool inside = false;
    for (const std::string& line : tk::splitLines(dump)) {
        if (line.rfind("  ", 0) != 0) inside = line.rfind("ITuple " + path + " ", 0) == 0;
        if (inside) kept += line + "\n";
    }
    return kept;
}

// Records for the example layout: one with vectors of three elements and
// one hit, one with empty vectors.
void writeExampleRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("event", vorn_int);
    file.declare("tracks", vorn_short);
    file.declare("px", vorn_vector_double);
    file.declare("py", vorn_vector_double);
    file.declare("pz", vorn_vector_double);
    file.declare("x", vorn_vector_int);
    file.declare("y", vorn_vector_int);
    file.declare("z", vorn_vector_int);
    file.declare("ipx", vorn_float);
    file.declare("ipy", vorn_double);
    file.declare("ipz", vorn_uint16);
    struct Record {
        int event;
        short tracks;
        std::vector<double> px, py, pz;
        std::vector<int> x, y, z;
        float ipx;
        double ipy;
        unsigned short ipz;
    } records[] = {
        {1, 2, {0.5, 1.5, 2.5}, {1, 2, 3}, {-1, -2, -3}, {7}, {8}, {9}, 0.25f, 0.5, 3},
        {2, 0, {}, {}, {}, {}, {}, {}, 1, 2, 4},
    };
    for (Record& r : records) {
        for (const void* value : std::vector<const void*>{&r.event, &r.tracks, &r.px, &r.py, &r.pz, &r.x, &r.y, &r.z,
                                                          &r.ipx, &r.ipy, &r.ipz})
            file.value(value);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

TEST(Quenby, ExampleLayoutGivesEntriesStackAndNestedRows) {
    an::FlowRun run;
    writeExampleRecords(run);
    const std::string flow = flowWith(layout(kExample));
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_NE(std::string::npos,
              result.out.find("0\tint event =0$\n"
                              "1\ttracks =0$\n"
                              "ITuple name: momentums\n"
                              "3\tdouble px = .2$\n"
                              "4\tpy = 3.$\n"
                              "5\tpz = 0.$\n"
                              "ITuple name: hits\n"
                              "7\tint x$\n"
                              "8\ty$\n"
                              "9\tz$\n"
                              "6\tITuple hits = {int x,y,z}$\n"
                              "2\tITuple momentums  = { double px = .2, py = 3., pz = 0., ITuple hits = {int x,y,z} "
                              "}$\n"
                              "10\tfloat ipx$\n"
                              "11\tipy$\n"
                              "12\tipz$\n"
                              "3 tuples in total\n"
                              "3 tuples in stack, indices from most to least nested:\n"
                              "2\t3\t\n"
                              "2\t\n"
                              "\n"))
        << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "q initialized.").size());
    EXPECT_EQ(std::vector<std::string>{"Filled 3 rows."}, an::linesWith(result.out, "Filled"));
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "mismatch"));
    // The announcement is a row of its own; three elements give three
    // nested rows, empty vectors none.
    EXPECT_EQ("ITuple /FEventTuple title=\"Title: Tavrel\" rows=3 columns=int event, int tracks, ITuple momentums = "
              "{ double px, double py, double pz, ITuple hits = { int x, int y, int z } }, float ipx, float ipy, "
              "float ipz\n"
              "  row 0 event=0 tracks=0 momentums=[0 rows] ipx=0 ipy=0 ipz=0\n"
              "  row 1 event=1 tracks=2 momentums=[3 rows] ipx=0.25 ipy=0.5 ipz=3\n"
              "    momentums row 0 px=0.5 py=1 pz=-1 hits=[1 rows]\n"
              "      momentums/hits row 0 x=7 y=8 z=9\n"
              "    momentums row 1 px=1.5 py=2 pz=-2 hits=[0 rows]\n"
              "    momentums row 2 px=2.5 py=3 pz=-3 hits=[0 rows]\n"
              "  row 2 event=2 tracks=0 momentums=[0 rows] ipx=1 ipy=2 ipz=4\n",
              tupleDump(run.dump()));
    EXPECT_EQ(tupleDump(run.dump()), tupleDump(run.exitDump()));
    EXPECT_EQ(1u, an::linesWith(result.out, "q deleted").size());
    run.expectRunsWithoutTestAida(flow);
}

TEST(Quenby, EveryPropertyTypeReachesItsColumn) {
    an::FlowRun run;
    an::EventFile file;
    const char* names[] = {"u16", "s", "u32", "i", "b", "f", "d", "u64", "cs", "str",
                           "vs", "vi", "vu", "vf", "vd", "vw", "vb"};
    int types[] = {vorn_uint16, vorn_short, vorn_uint32, vorn_int, vorn_bool, vorn_float,
                   vorn_double, vorn_uint64, vorn_cstring, vorn_string, vorn_vector_short, vorn_vector_int,
                   vorn_vector_uint64, vorn_vector_float, vorn_vector_double, vorn_vector_string, vorn_vector_bool};
    for (size_t i = 0; i < sizeof types / sizeof types[0]; ++i) file.declare(names[i], types[i]);
    unsigned short u16 = 65535;
    short s = -3;
    unsigned int u32 = 4000000000u;
    int i = -7;
    bool b = true;
    float f = 1.5f;
    double d = 2.25;
    unsigned long u64 = 1ul << 40;
    std::string str = "word";
    std::vector<short> vs{1, -2};
    std::vector<int> vi{3, 4};
    std::vector<unsigned long> vu{5, 6};
    std::vector<float> vf{0.5f, 1.5f};
    std::vector<double> vd{7.25, 8.5};
    std::vector<std::string> vw{"a", "b"};
    std::vector<bool> vb{true};
    for (const void* value : std::vector<const void*>{&u16, &s, &u32, &i, &b, &f, &d, &u64, "text", &str, &vs, &vi,
                                                      &vu, &vf, &vd, &vw, &vb})
        file.value(value);
    file.endRecord();
    file.save(run.file("events.fevent"));
    const std::string text =
        "int u16; short s; int u32; int i; boolean b; float f; double d; uint64_t u64; string cs; string str; "
        "ITuple v = { short vs; int vi; uint64_t vu; float vf; double vd; string vw }";
    const std::string flow = flowWith(layout(text));
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    std::string replaced = text;
    for (size_t at = replaced.find("uint64_t"); at != std::string::npos; at = replaced.find("uint64_t"))
        replaced.replace(at, 8, "long");
    EXPECT_NE(std::string::npos, result.out.find("q: Replaced uint64_t with long, new string:\n" + replaced + "\n"))
        << result.out;
    EXPECT_EQ("ITuple /FEventTuple title=\"Title: Tavrel\" rows=2 columns=int u16, short s, int u32, int i, "
              "boolean b, float f, double d, long u64, string cs, string str, ITuple v = { short vs, int vi, "
              "long vu, float vf, double vd, string vw }\n"
              "  row 0 u16=0 s=0 u32=0 i=0 b=false f=0 d=0 u64=0 cs=\"\" str=\"\" v=[0 rows]\n"
              "  row 1 u16=65535 s=-3 u32=-294967296 i=-7 b=true f=1.5 d=2.25 u64=1099511627776 cs=\"text\" "
              "str=\"word\" v=[2 rows]\n"
              "    v row 0 vs=1 vi=3 vu=5 vf=0.5 vd=7.25 vw=\"a\"\n"
              "    v row 1 vs=-2 vi=4 vu=6 vf=1.5 vd=8.5 vw=\"b\"\n",
              tupleDump(run.dump()));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Quenby, VectorsOfDifferentLengthsDropTheEntryAndTheEvent) {
    an::FlowRun run;
    an::EventFile file;
    file.declare("n", vorn_int);
    file.declare("px", vorn_vector_double);
    file.declare("py", vorn_vector_double);
    struct Record {
        int n;
        std::vector<double> px, py;
    } records[] = {{1, {1, 2, 3}, {1, 2}}, {2, {4, 5}, {6, 7}}};
    for (Record& r : records) {
        file.value(&r.n);
        file.value(&r.px);
        file.value(&r.py);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
    // A separator at the end makes no column.
    const std::string flow = flowWith(layout("int n; ITuple m = { double px, py; };"));
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "not found")) << result.out;
    EXPECT_NE(std::string::npos, result.out.find("Size mismatch for py, not saved to NTuple.\n2 != 3\n")) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "Size mismatch").size());
    // The first record is lost; py is never written again.
    EXPECT_EQ("ITuple /FEventTuple title=\"Title: Tavrel\" rows=2 columns=int n, ITuple m = { double px, double py }\n"
              "  row 0 n=0 m=[0 rows]\n"
              "  row 1 n=2 m=[2 rows]\n"
              "    m row 0 px=4 py=0\n"
              "    m row 1 px=5 py=0\n",
              tupleDump(run.dump()));
    EXPECT_EQ(std::vector<std::string>{"Filled 2 rows."}, an::linesWith(result.out, "Filled"));
}

TEST(Quenby, MissingPropertiesStayEmptyAndFormulasAreComputed) {
    an::FlowRun run;
    an::EventFile file;
    file.declare("e", vorn_double);
    file.declare("px", vorn_vector_double);
    struct Record {
        double e;
        std::vector<double> px;
    } records[] = {{1.5, {1, 2}}, {2.5, {3}}};
    for (Record& r : records) {
        file.value(&r.e);
        file.value(&r.px);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
    // The second layout replaces the first before any record arrives.
    const std::string flow =
        flowWith(layout("double gone") + layout("double e; double nope; ITuple f = { double twice, px, alsonot }"),
                 "formula fevent") +
        "AnFormula formula\n\tfevent src Tavrel\n\tformula \"twice = px * 2\"\n";
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_NE(std::string::npos, result.out.find("FlowProperty nope not found.\nCouldn't find nope\n")) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "Couldn't find nope").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "Couldn't find alsonot").size());
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "Couldn't find gone"));
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "mismatch"));
    EXPECT_EQ("ITuple /FEventTuple title=\"Title: Tavrel\" rows=3 columns=double e, double nope, ITuple f = { "
              "double twice, double px, double alsonot }\n"
              "  row 0 e=0 nope=0 f=[0 rows]\n"
              "  row 1 e=1.5 nope=0 f=[2 rows]\n"
              "    f row 0 twice=2 px=1 alsonot=0\n"
              "    f row 1 twice=4 px=2 alsonot=0\n"
              "  row 2 e=2.5 nope=0 f=[1 rows]\n"
              "    f row 0 twice=6 px=3 alsonot=0\n",
              tupleDump(run.dump()));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Quenby, LayoutsTheTupleSystemRefusesWriteNothing) {
    an::FlowRun run;
    writeExampleRecords(run);
    const std::string flow = flowWith(layout("complex z"));
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"Something went wrong creating the ITuple. (Error in the construction string?)"},
              an::linesWith(result.out, "went wrong"));
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "Filled"));
    EXPECT_EQ("", tupleDump(run.exitDump()));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Quenby, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Quenby q\n"
        "\tfevent src raw\n"
        "\tlayout \"double x\"\n"
        "PuReset reset\n\ttarget \"q\"\n\tat src done\n";
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"q: Input fevent takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "q: Input"));
    EXPECT_EQ(std::vector<std::string>{"Filled 0 rows."}, an::linesWith(result.out, "Filled"));
}

// Without a tuple factory Quenby makes no tuple and says so for a layout.
TEST(Quenby, WithoutTupleFactoryLayoutsAreRefusedWithOneLine) {
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        an::FlowRun run;
        writeExampleRecords(run);
        tk::ChildResult result = run.run(flowWith(layout(kExample)), aida);
        expectRan(result);
        EXPECT_EQ(std::vector<std::string>{"q: No AIDA tuple factory, no ITuple created."},
                  an::linesWith(result.out, "q: "));
        EXPECT_EQ(0u, an::linesWith(result.out, "q initialized.").size());
        EXPECT_EQ(0u, an::linesWith(result.out, "Filled").size());
        EXPECT_EQ(1u, an::linesWith(result.out, "q deleted").size());
    }
}

}  // namespace
