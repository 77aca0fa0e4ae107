// Graph under torvask: windows of y values per channel, gated by the x
// clock, from its inputs and from event-record properties, printed by
// PlWindows sinks (all named "w_..."). Graph uses no AIDA system, so every
// flow runs the same with the test AIDA system, the built-in one and none.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "AnSupport.h"
#include "PlotSupport.h"

namespace {

using an::Aida;

std::string sink(const std::string& name, const std::string& graph) {
    return "PlWindows " + name + "\n\tindex " + graph + " index\n\tgraph " + graph + " graph\n";
}

// Runs `flow` with each AIDA system, after `prepare` made its files;
// returns the sinks' lines, which must be the same in every run, and the
// whole output of the first run.
std::vector<std::string> windowsOf(const std::string& flow, std::string* out = nullptr,
                                   const std::function<void(an::FlowRun&)>& prepare = nullptr) {
    std::vector<std::string> first;
    for (Aida aida : {Aida::Test, Aida::Castrine, Aida::None}) {
        an::FlowRun run;
        if (prepare) prepare(run);
        tk::ChildResult result = run.run(flow, aida);
        an::expectRan(result);
        std::vector<std::string> lines = pl::linesStarting(result.out, "w_");
        if (aida == Aida::Test) {
            first = lines;
            if (out != nullptr) *out = result.out;
        } else {
            EXPECT_EQ(first, lines) << (aida == Aida::Castrine ? "Castrine" : "no AIDA system");
        }
    }
    return first;
}

TEST(Graph, XClockTakesPointsIntoSlidingWindows) {
    const std::string flow =
        "PlDrive src\n"
        "\txs \"1 2 3 3.5 4.5 nan 6\"\n"
        "\tys \"5 6 7 8 9 10 11\"\n"
        "Graph g\n\txval src x\n\tyval src y\n"
        "Graph short\n\txval src x\n\tyval src y\n\tlength \"3\"\n"
        "Graph coarse\n\txval src x\n\tyval src y\n\tstepsize \"2.5\"\n" +
        sink("w_g", "g") + sink("w_3", "short") + sink("w_c", "coarse");
    std::string out;
    // 3.5 comes too early for a step of 1, NaN never takes a point.
    EXPECT_EQ((std::vector<std::string>{"w_g: 0 | 5", "w_3: 0 | 5",                          // x 1
                                        "w_g: 0 | 5 6", "w_3: 0 | 5 6",                      // x 2
                                        "w_g: 0 | 5 6 7", "w_3: 0 | 5 6 7", "w_c: 0 | 7",    // x 3
                                        "w_g: 0 | 5 6 7 9", "w_3: 0 | 6 7 9",                // x 4.5
                                        "w_g: 0 | 5 6 7 9 11", "w_3: 0 | 7 9 11", "w_c: 0 | 7 11"}),  // x 6
              windowsOf(flow, &out));
    EXPECT_EQ(1u, an::linesWith(out, "g initialized.").size());
    EXPECT_EQ(1u, an::linesWith(out, "g deleted").size());
}

TEST(Graph, ChannelsKeepWindowsOfTheirOwn) {
    const std::string flow =
        "PlDrive src\n"
        "\txs \"1 2 3 4 5 6\"\n"
        "\tys \"5 6 7 8\"\n"
        "\tchannels \"0 1 -1 1 2 0\"\n"
        "Graph g\n\txval src x\n\tyval src y\n\tchannel src channel\n"
        "Graph fixed\n\txval src x\n\tyval src y\n\tchannel \"3\"\n" + sink("w_g", "g") + sink("w_f", "fixed");
    // Channel -1 takes no point and keeps no y; channel 2 never got a y, so
    // its window stays empty; the y of channel 0 is still the first one.
    EXPECT_EQ((std::vector<std::string>{"w_g: 0 | 5", "w_f: 3 | 5", "w_g: 1 | 6", "w_f: 3 | 5 6", "w_f: 3 | 5 6 7",
                                        "w_g: 1 | 6 8", "w_f: 3 | 5 6 7 8", "w_g: 2 |", "w_f: 3 | 5 6 7 8 8",
                                        "w_g: 0 | 5 5", "w_f: 3 | 5 6 7 8 8 8"}),
              windowsOf(flow));
}

TEST(Graph, ResetDropsAllWindowsButAnEmptyFirstOne) {
    const std::string flow =
        "PlDrive src\n"
        "\txs \"1 2 3 4 5\"\n"
        "\tys \"5 6 7 8 9\"\n"
        "\tchannels \"0 1 0 1 0\"\n"
        "Graph g\n\txval src x\n\tyval src y\n\tchannel src channel\n"
        "PlReset reset\n\tat src x\n\tafter \"3\"\n" + sink("w_g", "g");
    // The driver runs; Graph resets all the same. Its clock and the last y
    // of each channel stay.
    EXPECT_EQ((std::vector<std::string>{"w_g: 0 | 5", "w_g: 1 | 6", "w_g: 0 | 5 7", "w_g: 1 | 8", "w_g: 0 | 9"}),
              windowsOf(flow));
}

TEST(Graph, LengthOfZeroSetsNoLimitOfItsOwn) {
    const std::string flow =
        "PlDrive src\n"
        "\txs \"" + pl::ramp(520, 1) + "\"\n"
        "\tys \"" + pl::ramp(520, 1) + "\"\n"
        "Graph g\n\txval src x\n\tyval src y\n\tlength \"0\"\n"
        "Graph lowered\n\txval src x\n\tyval src y\n\tlength \"-4\"\n" + sink("w_g", "g");
    std::vector<std::string> lines = windowsOf(flow);
    ASSERT_EQ(520u, lines.size());
    EXPECT_EQ("w_g: 0 | " + pl::ramp(520, 1), lines.back());
}

// Three records: lists "xs", "ys" (4 doubles), "odd" (3 doubles), channel
// lists "ch" 0 1 2 3 and "two" 0 1 (type 20), single doubles "t" and "e".
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("xs", vorn_vector_double);
    file.declare("ys", vorn_vector_double);
    file.declare("odd", vorn_vector_double);
    file.declare("ch", vorn_vector_short);
    file.declare("two", vorn_vector_short);
    file.declare("t", vorn_double);
    file.declare("e", vorn_double);
    std::vector<short> ch = {0, 1, 2, 3};
    std::vector<short> two = {0, 1};
    std::vector<double> odd = {1, 2, 3};
    for (int r = 0; r < 3; ++r) {
        std::vector<double> xs, ys;
        for (int l = 0; l < 4; ++l) {
            xs.push_back(10 * (4 * r + l + 1));
            ys.push_back(4 * r + l + 1);
        }
        double t = r + 1;
        double e = r + 5;
        for (const void* value : std::vector<const void*>{&xs, &ys, &odd, &ch, &two, &t, &e}) file.value(value);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

std::string graph(const std::string& name, const std::string& lines) {
    return "Graph " + name + "\n\ttavrel src Tavrel\n" + lines;
}

TEST(Graph, PointsFromRecordsSingleAndElementByElement) {
    const std::string flow =
        "Ambrel src\n\tfilename \"events.fevent\"\n" +
        graph("vec", "\txval \"xs\"\n\tyval \"ys\"\n\tchannel \"ch\"\n") +
        graph("plain", "\txval \"t\"\n\tyval \"e\"\n") +
        graph("few", "\txval \"xs\"\n\tyval \"ys\"\n\tchannel \"two\"\n") +
        graph("mixed", "\txval \"xs\"\n\tyval \"e\"\n") +
        graph("uneven", "\txval \"xs\"\n\tyval \"odd\"\n") +
        sink("w_vec", "vec") + sink("w_plain", "plain") + sink("w_few", "few") + sink("w_mixed", "mixed") +
        sink("w_uneven", "uneven");
    std::string out;
    std::vector<std::string> lines = windowsOf(flow, &out, writeRecords);
    // Each element of y, then of x, with the channel of the same index; a
    // channel list of two feeds only two of the four elements.
    std::vector<std::string> expected;
    for (int r = 0; r < 3; ++r) {
        for (int l = 0; l < 4; ++l) {
            std::string window;
            for (int past = 0; past <= r; ++past) window += " " + std::to_string(4 * past + l + 1);
            expected.push_back("w_vec: " + std::to_string(l) + " |" + window);
        }
        for (int l = 0; l < 2; ++l) {
            std::string window;
            for (int past = 0; past <= r; ++past) window += " " + std::to_string(4 * past + l + 1);
            expected.push_back("w_few: " + std::to_string(l) + " |" + window);
        }
    }
    std::vector<std::string> plain;
    std::vector<std::string> rest;
    for (const std::string& line : lines) (line.rfind("w_plain: ", 0) == 0 ? plain : rest).push_back(line);
    EXPECT_EQ(expected, rest);
    EXPECT_EQ((std::vector<std::string>{"w_plain: 0 | 5", "w_plain: 0 | 5 6", "w_plain: 0 | 5 6 7"}), plain);
    EXPECT_EQ(std::vector<std::string>{"mixed: xval and yval must both be lists or both single values; no points "
                                       "are taken."},
              pl::linesStarting(out, "mixed: "));
    EXPECT_TRUE(pl::linesStarting(out, "uneven: ").empty());
    EXPECT_EQ((std::vector<std::string>{"xs selected.", "ys selected.", "ch selected.", "t selected.", "e selected.",
                                        "xs selected.", "ys selected.", "two selected.", "xs selected.", "e selected.",
                                        "xs selected.", "odd selected."}),
              an::linesWith(out, " selected."));
}

// One record: lists "xs" 10 20 30 40 and "ys" 1 2 3 4 (doubles), an int
// channel list "ich" and a float channel list "fch".
void writeChannelLists(an::FlowRun& run) {
    an::EventFile file;
    file.declare("xs", vorn_vector_double);
    file.declare("ys", vorn_vector_double);
    file.declare("ich", vorn_vector_int);
    file.declare("fch", vorn_vector_float);
    std::vector<double> xs = {10, 20, 30, 40};
    std::vector<double> ys = {1, 2, 3, 4};
    std::vector<int> ich = {65537, -65535, 65535, 2};
    std::vector<float> fch = {1.9f, -0.5f, 70000.0f, 2.5f};
    for (const void* value : std::vector<const void*>{&xs, &ys, &ich, &fch}) file.value(value);
    file.endRecord();
    file.save(run.file("events.fevent"));
}

TEST(Graph, ChannelListsOfIntsKeepTheLow16BitsAndFloatsAreTruncated) {
    const std::string flow = "Ambrel src\n\tfilename \"events.fevent\"\n" +
                             graph("ints", "\txval \"xs\"\n\tyval \"ys\"\n\tchannel \"ich\"\n") +
                             graph("floats", "\txval \"xs\"\n\tyval \"ys\"\n\tchannel \"fch\"\n") +
                             sink("w_i", "ints") + sink("w_f", "floats");
    // Ints: 65537 and -65535 are channel 1, 65535 is -1 (no point), 2 is 2.
    // Floats: 1.9 is 1, -0.5 is 0, 70000 fits no short (no point), 2.5 is 2.
    EXPECT_EQ((std::vector<std::string>{"w_i: 1 | 1", "w_i: 1 | 1 2", "w_i: 2 | 4", "w_f: 1 | 1", "w_f: 0 | 2",
                                        "w_f: 2 | 4"}),
              windowsOf(flow, nullptr, writeChannelLists));
}

TEST(Graph, RecordInputIgnoresValuesThatAreNoRecords) {
    std::string out;
    const std::string flow =
        "AnValues src\n\tvalues \"1 2 3\"\n"
        "Graph g\n\ttavrel src raw\n\txval \"x\"\n" + sink("w_g", "g");
    EXPECT_TRUE(windowsOf(flow, &out).empty());
    EXPECT_EQ(std::vector<std::string>{"g: Input tavrel takes Tavrels only, ignoring a value of type 18."},
              pl::linesStarting(out, "g: "));
}

}  // namespace
