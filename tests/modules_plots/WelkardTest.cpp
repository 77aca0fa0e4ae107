// Welkard under torvask with the test AIDA system: pulses as data point
// sets from connections and event records, the channel grid, the echoed
// selections and the plotter; and the same flows with the built-in AIDA
// system (which offers no data point sets) and without any.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"
#include "PlotSupport.h"

namespace {

const std::string kDumpAtEnd = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";

// The points "v+0-0" of `values`, one line each, as a data point set dumps them.
std::string points(const std::vector<std::string>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i)
        text += "  point " + std::to_string(i) + " " + values[i] + "+0-0\n";
    return text;
}

TEST(Welkard, EachPulseBecomesTheDataPointSetOfItsChannel) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"" + pl::ramp(1000) + "; " + pl::ramp(10, 5) + "\"\n"
        "Welkard w\n"
        "\tsignal src pulse\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "w initialized.").size()) << result.out;
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    EXPECT_EQ("IDataPointSet /Signals/w title=\"w\" dimension=1 size=10\n" +
                  points({"5", "6", "7", "8", "9", "10", "11", "12", "13", "14"}),
              parsed.blockOf("/Signals/w"));
    // Pulse lengths never recreate the set.
    EXPECT_TRUE(parsed.below("/.Trash/").empty());
    std::vector<std::string> viewer;
    for (const std::string& line : parsed.log)
        if (line.find("SignalViewer") != std::string::npos) viewer.push_back(line);
    EXPECT_EQ((std::vector<std::string>{
                  "plotter \"SignalViewer\" created",
                  "region \"SignalViewer\" 0 clear",
                  "plotter \"SignalViewer\" show",
                  "region \"SignalViewer\" 0 parameter infosRegionVisible=TRUE",
                  "region \"SignalViewer\" 0 parameter plotter.infosStyle.options=fit_parameters",
                  "region \"SignalViewer\" 0 plot /Signals/w options=\"\"",
              }),
              viewer);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Welkard, GridNamesObjectsAfterTheInstanceAndEchoesEverySelection) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"1.5 -2\"\n"
        "\tchannels \"5\"\n"
        "Welkard w\n"
        "\tsignal src pulse\n"
        "\ttitle \"Pulses\"\n"
        "\tdimension \"2\"\n"
        "\tchannel \"1\"\n"
        "\tinfos \"FW-Max=0\"\n"
        "\tfw_values \"fw\"\n"
        "Welkard named\n"
        "\tdimension \"3\"\n"
        "\tchannel \"chan\"\n"
        "\tsignal \"\"\n"
        "Welkard wired\n"
        "\tsignal src pulse\n"
        "\tdimension \"6\"\n"
        "\tchannel src channel\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"1 selected.", "fw selected.", "chan selected.", " selected."}),
              an::linesWith(result.out, " selected."));
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    EXPECT_EQ("IDataPointSet /Signals/Pulses/w_x00 title=\"w_x00\" dimension=1 size=0\n",
              parsed.blockOf("/Signals/Pulses/w_x00"));
    EXPECT_EQ("IDataPointSet /Signals/Pulses/w_x01 title=\"w_x01\" dimension=1 size=2\n" + points({"1.5", "-2"}),
              parsed.blockOf("/Signals/Pulses/w_x01"));
    EXPECT_EQ(3u, parsed.below("/Signals/named/").size());
    EXPECT_EQ("IDataPointSet /Signals/wired/wired_x05 title=\"wired_x05\" dimension=1 size=2\n" +
                  points({"1.5", "-2"}),
              parsed.blockOf("/Signals/wired/wired_x05"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Welkard, PulsesAndChannelsFromRecords) {
    an::FlowRun run;
    an::EventFile file;
    file.declare("pulses", vorn_vector_vector_float);
    file.declare("chan", vorn_vector_short);
    file.declare("one", vorn_vector_int);
    std::vector<std::vector<float> > pulses = {{0.5f, 1.5f}, {2, 3, 4}, {9}};
    std::vector<short> chan = {2, 0};
    std::vector<int> one = {7, 8};
    file.value(&pulses);
    file.value(&chan);
    file.value(&one);
    file.endRecord();
    file.save(run.file("events.fevent"));
    const std::string flow =
        "Ambrel src\n\tfilename \"events.fevent\"\n"
        "Welkard multi\n\ttavrel src Tavrel\n\tsignal \"pulses\"\n\tchannel \"chan\"\n\tdimension \"3\"\n"
        "Welkard one\n\ttavrel src Tavrel\n\tsignal \"one\"\n"
        "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"pulses selected.", "chan selected.", "one selected."}),
              an::linesWith(result.out, " selected."));
    const std::string dump = run.dump();
    const aidadump::Dump parsed = aidadump::parse(dump);
    EXPECT_EQ("IDataPointSet /Signals/multi/multi_x00 title=\"multi_x00\" dimension=1 size=3\n" +
                  points({"2", "3", "4"}),
              parsed.blockOf("/Signals/multi/multi_x00"));
    EXPECT_EQ("IDataPointSet /Signals/multi/multi_x01 title=\"multi_x01\" dimension=1 size=0\n",
              parsed.blockOf("/Signals/multi/multi_x01"));
    EXPECT_EQ("IDataPointSet /Signals/multi/multi_x02 title=\"multi_x02\" dimension=1 size=2\n" +
                  points({"0.5", "1.5"}),
              parsed.blockOf("/Signals/multi/multi_x02"));
    EXPECT_EQ("IDataPointSet /Signals/one title=\"one\" dimension=1 size=2\n" + points({"7", "8"}),
              parsed.blockOf("/Signals/one"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Welkard, BuiltInAidaSystemOffersNoDataPointSets) {
    an::FlowRun run;
    tk::ChildResult result = run.run("PlDrive src\n\tpulses \"1 2\"\nWelkard w\n\tsignal src pulse\n", an::Aida::Castrine);
    an::expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "w instantiated").size());
    EXPECT_EQ(0u, an::linesWith(result.out, "w initialized.").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "w deleted").size());
}

TEST(Welkard, InfosRecreateTheSetAsSarnithsDo) {
    an::FlowRun run;
    const std::string flow =
        "PlDrive src\n"
        "\tpulses \"1.5 -2\"\n"
        "Sarnith s\n"
        "\tinfos \"A=0\"\n"
        "Welkard w\n"
        "\tsignal src pulse\n"
        "\tinfos \"A=0\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    const aidadump::Dump parsed = aidadump::parse(run.dump());
    // The objects made by Init went to the trash; the new set takes the pulses.
    EXPECT_EQ((std::vector<std::string>{"/.Trash/s", "/.Trash/w"}), parsed.below("/.Trash/"));
    EXPECT_EQ("IDataPointSet /Signals/w title=\"w\" dimension=1 size=2\n" + points({"1.5", "-2"}),
              parsed.blockOf("/Signals/w"));
}

}  // namespace
