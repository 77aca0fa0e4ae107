// Sarnith under torvask with the test AIDA system: pulses from connections
// and from event records, their figures and info values in the histogram
// annotations, the channel grid, the plotter, and the same flows with the
// built-in AIDA system and without any.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"
#include "PlotSupport.h"

namespace {

const std::string kDumpAtEnd = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";
const std::string kDumpAtEof = "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";

// The bin lines of a histogram whose bin i holds the one entry heights[i].
std::string binLines(const std::vector<std::string>& heights) {
    std::string text;
    for (size_t i = 0; i < heights.size(); ++i)
        text += "  bin " + std::to_string(i) + " entries=1 height=" + heights[i] + "\n";
    return text;
}

TEST(Sarnith, EachPulseReplacesItsChannelsHistogramWithFiguresAndInfoValues) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"2 4 10 4; -1 -2 -3 -1; 9 9 9 9; 1 5 5 2\"\n"
        "\tchannels \"0 1 2 2\"\n"
        "Sarnith s\n"
        "\tsignal src pulse\n"
        "\tchannel src channel\n"
        "\tdimension \"3\"\n"
        "\txlabel \"sample\"\n"
        "\tylabel \"ADC\"\n"
        "\tinfos \"FW-Max=0, FW-Time=2, ;Late=5\"\n"
        "\tfw_values \"9.5 1 2.25\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "s initialized.").size()) << result.out;
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    const std::string axes = "  annotation Title-X=sample\n  annotation Title-Y=ADC\n  annotation fit.ndf=4\n";
    const std::string infos = "  annotation fit.param.FW-Max=9.5 0\n  annotation fit.param.FW-Time=2.25 0\n"
                              "  annotation fit.param.Late=0 11\n";
    EXPECT_EQ("IHistogram1D /Signals/s/s_x00 title=\"s_x00\" entries=4 extra=0 sum=20 bins=4 lower=0 upper=4\n" +
                  axes +
                  "  annotation fit.param.swIntegral=-1 0\n  annotation fit.param.swPulseheight=10 0\n"
                  "  annotation fit.param.swPedestal=5 0\n  annotation fit.param.swMaxPos=2 0\n" +
                  infos + binLines({"2", "4", "10", "4"}),
              parsed.blockOf("/Signals/s/s_x00"));
    // All negative: no height and position 0; the integral -7 - 4 * -1.625
    // is -0.5, whose integer part is 0.
    EXPECT_EQ("IHistogram1D /Signals/s/s_x01 title=\"s_x01\" entries=4 extra=0 sum=-7 bins=4 lower=0 upper=4\n" +
                  axes +
                  "  annotation fit.param.swIntegral=0 0\n  annotation fit.param.swPulseheight=0 0\n"
                  "  annotation fit.param.swPedestal=-1 0\n  annotation fit.param.swMaxPos=0 0\n" +
                  infos + binLines({"-1", "-2", "-3", "-1"}),
              parsed.blockOf("/Signals/s/s_x01"));
    // The last pulse replaced the one before; of two equal maxima the first counts.
    EXPECT_EQ("IHistogram1D /Signals/s/s_x02 title=\"s_x02\" entries=4 extra=0 sum=13 bins=4 lower=0 upper=4\n" +
                  axes +
                  "  annotation fit.param.swIntegral=1 0\n  annotation fit.param.swPulseheight=5 0\n"
                  "  annotation fit.param.swPedestal=3 0\n  annotation fit.param.swMaxPos=1 0\n" +
                  infos + binLines({"1", "5", "5", "2"}),
              parsed.blockOf("/Signals/s/s_x02"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Sarnith, PulseLengthSetsTheBinningOnceAndInitPlotsTheFirstHistogram) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"" + pl::ramp(1000) + "; " + pl::ramp(1000, 5) + "\"\n"
        "Sarnith s\n"
        "\tsignal src pulse\n"
        "PlReset reset\n"
        "\tat src done\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    // The driver runs when the reset arrives: nothing is recreated.
    EXPECT_EQ((std::vector<std::string>{"/.Trash/s"}), parsed.below("/.Trash/"));
    EXPECT_EQ(std::vector<std::string>{"IHistogram1D /.Trash/s title=\"s\" entries=0 extra=0 sum=0 bins=500 lower=0 "
                                       "upper=500"},
              pl::linesStarting(parsed.blockOf("/.Trash/s"), "IHistogram1D"));
    std::string block = parsed.blockOf("/Signals/s");
    EXPECT_EQ(std::vector<std::string>{"IHistogram1D /Signals/s title=\"s\" entries=1000 extra=0 sum=504500 "
                                       "bins=1000 lower=0 upper=1000"},
              pl::linesStarting(block, "IHistogram1D"));
    EXPECT_EQ(std::vector<std::string>{"  bin 999 entries=1 height=1004"}, pl::linesStarting(block, "  bin 999 "));
    // The pedestal follows the ramp one below it: the integral is
    // 504500 - 1000 * 33.000000002.
    EXPECT_EQ((std::vector<std::string>{"  annotation fit.param.swIntegral=471499 0",
                                        "  annotation fit.param.swPulseheight=1004 0",
                                        "  annotation fit.param.swPedestal=33 0",
                                        "  annotation fit.param.swMaxPos=999 0"}),
              pl::linesStarting(block, "  annotation fit.param.sw"));
    std::vector<std::string> viewer;
    for (const std::string& line : parsed.log)
        if (line.find("SignalViewer") != std::string::npos) viewer.push_back(line);
    EXPECT_EQ((std::vector<std::string>{
                  "plotter \"SignalViewer\" created",
                  "region \"SignalViewer\" 0 clear",
                  "plotter \"SignalViewer\" show",
                  "region \"SignalViewer\" 0 parameter infosRegionVisible=TRUE",
                  "region \"SignalViewer\" 0 parameter plotter.infosStyle.options=fit_parameters",
                  "region \"SignalViewer\" 0 plot /Signals/s options=\"\"",
              }),
              viewer);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Sarnith, GridTitlesPathsAndChannelLiterals) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"1 2 3\"\n"
        "Sarnith s\n"
        "\tsignal src pulse\n"
        "\ttitle \"Pulses\"\n"
        "\tdimension \"2\"\n"
        "\tchannel \"1\"\n"
        "Sarnith g\n"
        "\tsignal src pulse\n"
        "\tdimension \"3 4 2\"\n"
        "\tlabelV \"Module Channel\"\n"
        "\taddress \"1 5 0\"\n"
        "\taddress \"1 3 0\"\n"
        "Sarnith named\n"
        "\tsignal src pulse\n"
        "\tdimension \"4\"\n"
        "\tchannel \"3\"\n"
        "\tchannel \"chan\"\n"
        "Sarnith moved\n"
        "\tsignal src pulse\n"
        "\tpath \"sub/\"\n"
        "\tdimension \"-2\"\n"
        "\tdimension \"40000\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    std::vector<std::string> refusals = pl::linesStarting(result.out, "g: ");
    for (const std::string& line : pl::linesStarting(result.out, "moved: ")) refusals.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"g: Dimension mismatch! : 5 >= 4", "moved: Dimension refused: -2 is negative.",
                                        "moved: Dimension refused: more than 32768 objects."}),
              refusals);
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    // The set's folder is named from the title, its objects from the instance.
    EXPECT_EQ((std::vector<std::string>{"/Signals/Pulses/s_x00", "/Signals/Pulses/s_x01"}),
              parsed.below("/Signals/Pulses/"));
    EXPECT_EQ(std::vector<std::string>{"IHistogram1D /Signals/Pulses/s_x01 title=\"Pulses_x01\" entries=3 extra=0 "
                                       "sum=6 bins=3 lower=0 upper=3"},
              pl::linesStarting(parsed.blockOf("/Signals/Pulses/s_x01"), "IHistogram1D"));
    EXPECT_EQ(0u, pl::linesStarting(parsed.blockOf("/Signals/Pulses/s_x00"), "  bin").size());
    std::vector<std::string> grid = parsed.below("/Signals/g/");
    ASSERT_EQ(24u, grid.size());
    EXPECT_EQ("/Signals/g/Module01/Channel03/g_Module01_Channel03_x00", grid[14]);
    for (size_t j = 0; j < grid.size(); ++j)
        EXPECT_EQ(j == 14 ? 3u : 0u, pl::linesStarting(parsed.blockOf(grid[j]), "  bin").size()) << grid[j];
    // "3" is a fixed channel; "chan" names a channel property and, given
    // as a value as well, reads as channel 0.
    EXPECT_EQ(3u, pl::linesStarting(parsed.blockOf("/Signals/named/named_x00"), "  bin").size());
    EXPECT_EQ(0u, pl::linesStarting(parsed.blockOf("/Signals/named/named_x03"), "  bin").size());
    EXPECT_EQ(3u, pl::linesStarting(parsed.blockOf("/Signals/sub/moved"), "  bin").size());
    run.expectRunsWithoutTestAida(flow);
}

// A single histogram (the default) moved away empties "/Signals", which
// goes too; a folder that still holds another set stays.
TEST(Sarnith, SetPathRemovesTheFolderThatTheMoveEmpties) {
    const struct {
        std::string others;
        bool folderStays;
    } cases[] = {{"", false}, {"Sarnith k\n", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.others);
        an::FlowRun run;
        tk::ChildResult result =
            run.run("PlDrive src\n\tpulses \"1 2 3\"\nSarnith s\n\tpath \"/Other/\"\n" + c.others + kDumpAtEnd);
        an::expectRan(result);
        aidadump::Dump tree = aidadump::parse(run.dump());
        EXPECT_TRUE(tree.has("/Other/s"));
        EXPECT_EQ(c.folderStays, tree.hasFolder("/Signals"));
        EXPECT_EQ(c.folderStays, tree.has("/Signals/k"));
    }
}

// Records of a list of pulses "pulses" (type 30) with a channel list "chan"
// (type 21), a list of short pulses "shorts" (type 27) with float channels
// "fchan" (type 24), a single pulse "one" (type 25) with a short channel "c",
// an int channel "ci" and info values "fw".
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("pulses", vorn_vector_vector_double);
    file.declare("chan", vorn_vector_int);
    file.declare("shorts", vorn_vector_vector_short);
    file.declare("fchan", vorn_vector_float);
    file.declare("one", vorn_vector_double);
    file.declare("c", vorn_short);
    file.declare("ci", vorn_int);
    file.declare("fw", vorn_vector_double);
    struct Record {
        std::vector<std::vector<double> > pulses;
        std::vector<int> chan;
        std::vector<std::vector<short> > shorts;
        std::vector<float> fchan;
        std::vector<double> one;
        short c;
        int ci;
        std::vector<double> fw;
    } records[] = {
        {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}}, {4, 7, 9}, {{1, 2}, {3, 4}}, {1.9f, 0.2f}, {5, 6, 7, 8}, 2, 1,
         {3.5, 4.5}},
        {{{2, 2, 2}}, {0}, {{5, 5}}, {}, {1, 2, 3, 4}, 3, 0, {6}},
    };
    for (Record& r : records) {
        file.value(&r.pulses);
        file.value(&r.chan);
        file.value(&r.shorts);
        file.value(&r.fchan);
        file.value(&r.one);
        file.value(&r.c);
        file.value(&r.ci);
        file.value(&r.fw);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

const std::string kReader = "Ambrel src\n\tfilename \"events.fevent\"\n";

std::string sarnith(const std::string& name, const std::string& lines) {
    return "Sarnith " + name + "\n\ttavrel src Tavrel\n" + lines;
}

// The heights of a histogram's filled bins, "h0 h1 ...".
std::string heights(const std::string& dump, const std::string& path) {
    std::string text;
    for (const std::string& line : pl::linesStarting(aidadump::parse(dump).blockOf(path), "  bin ")) {
        std::string height = line.substr(line.find("height=") + 7);
        text += (text.empty() ? "" : " ") + height;
    }
    return text;
}

TEST(Sarnith, PulsesAndChannelsFromRecords) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        sarnith("multi", "\tsignal \"pulses\"\n\tchannel \"chan\"\n\tdimension \"10\"\n") +
        sarnith("shorts", "\tsignal \"shorts\"\n\tchannel \"fchan\"\n\tdimension \"2\"\n") +
        sarnith("one", "\tsignal \"one\"\n\tchannel \"c\"\n\tdimension \"4\"\n\tinfos \"A=1,B=0\"\n"
                       "\tfw_values \"fw\"\n") +
        sarnith("wide", "\tsignal \"one\"\n\tchannel \"ci\"\n\tdimension \"2\"\n") +
        "AnFormula formula\n\tfevent src Tavrel\n\tformula \"twice = one * 2\"\n"
        "Sarnith calc\n\ttavrel formula fevent\n\tsignal \"twice\"\n" + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    // Record 1 draws three of its four pulses (the fourth has no channel);
    // record 2 draws channel 0. An empty channel list sends every pulse to
    // the module's own channel.
    struct Expect {
        std::string path;
        std::string heights;
    } expected[] = {
        {"/Signals/multi/multi_x00", "2 2 2"},
        {"/Signals/multi/multi_x04", "1 2 3"},
        {"/Signals/multi/multi_x07", "4 5 6"},
        {"/Signals/multi/multi_x09", "7 8 9"},
        {"/Signals/multi/multi_x01", ""},
        {"/Signals/shorts/shorts_x00", "5 5"},
        {"/Signals/shorts/shorts_x01", "1 2"},
        {"/Signals/one/one_x02", "5 6 7 8"},
        {"/Signals/one/one_x03", "1 2 3 4"},
        {"/Signals/wide/wide_x00", "1 2 3 4"},
        {"/Signals/wide/wide_x01", "5 6 7 8"},
        {"/Signals/calc", "2 4 6 8"},
    };
    for (const Expect& e : expected) EXPECT_EQ(e.heights, heights(dump, e.path)) << e.path;
    // The property names the axis once the pulse length recreates the set;
    // each drawn pulse shows the info values of its own record.
    const aidadump::Object& two = parsed.at("/Signals/one/one_x02");
    const aidadump::Object& three = parsed.at("/Signals/one/one_x03");
    EXPECT_EQ("one", two.note("Title-X", "(none)"));
    EXPECT_EQ("4.5 0", two.note("fit.param.A", "(none)"));
    EXPECT_EQ("3.5 0", two.note("fit.param.B", "(none)"));
    EXPECT_EQ("0 11", three.note("fit.param.A", "(none)"));
    EXPECT_EQ("6 0", three.note("fit.param.B", "(none)"));
    EXPECT_EQ("pulses", parsed.at("/Signals/multi/multi_x04").note("Title-X", "(none)"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Sarnith, SelectionsThatCannotDeliverDrawNothing) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        sarnith("missing", "\tsignal \"nothere\"\n\tchannel \"nochannel\"\n\tfw_values \"nofw\"\n") +
        sarnith("scalar", "\tsignal \"ci\"\n") +
        sarnith("cleared", "\tsignal \"one\"\n\tsignal \"\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    for (const char* line : {"FlowProperty nothere not found.", "FlowProperty nochannel not found.",
                             "FlowProperty nofw not found.", "scalar: Property ci of type 7 cannot reach input signal."})
        EXPECT_EQ(1u, an::linesWith(result.out, line).size()) << line << "\n" << result.out;
    const std::string dump = run.dump();
    // Only the selection text itself, delivered as a value, was drawn: a
    // pulse of one sample 0.
    for (const char* path : {"/Signals/missing", "/Signals/scalar", "/Signals/cleared"})
        EXPECT_EQ("0", heights(dump, path)) << path;
    run.expectRunsWithoutTestAida(flow);
}

TEST(Sarnith, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Sarnith s\n"
        "\ttavrel src raw\n"
        "\tsignal \"x\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"s: Input tavrel takes Tavrels only, ignoring a value of type 18."},
              pl::linesStarting(result.out, "s: "));
    // Only the selection text "x", delivered as a value, was drawn.
    EXPECT_EQ("0", heights(run.dump(), "/Signals/s"));
    run.expectRunsWithoutTestAida(flow);
}

}  // namespace
