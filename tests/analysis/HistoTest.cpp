// Histo under torvask with the test AIDA system: plain values, selected
// properties of event records, fixed channels, the channel grid, the trash
// folder and path moves; and the same flows with the built-in AIDA system
// and without any.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kDumpAtEnd = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";

// Values 1, 2.5, 2.7, -3, 150 and NaN into one histogram of 10 bins.
const std::string kPlainFlow =
    "AnValues src\n"
    "\tvalues \"1 2.5 2.7 -3 150 nan\"\n"
    "Histo h\n"
    "\tfill src value\n"
    "\tbinning \"10 0 10\"\n"
    "\txlabel \"energy\"\n"
    "\tylabel \"counts\"\n" + kDumpAtEnd;

using an::expectRan;

TEST(Histo, PlainValuesFillOneHistogramWithItsBinningAndAxisTitles) {
    an::FlowRun run;
    const std::string flow = kPlainFlow;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "h: NaN in Histo::fill()").size()) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "h initialized.").size());
    aidadump::Dump tree = aidadump::parse(run.dump());
    const aidadump::Object& h = tree.at("/Histograms/h");
    EXPECT_EQ("h", h.title);
    EXPECT_EQ("bins=10 lower=0 upper=10", h.binning);
    EXPECT_EQ(3, h.entries);
    EXPECT_EQ(2, h.extra);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 2}, {"underflow", 1}, {"overflow", 1}}), h.bins);
    EXPECT_EQ((std::vector<std::pair<std::string, std::string> >{{"Title-X", "energy"}, {"Title-Y", "counts"}}),
              h.annotations);
    // Init's set and one per recreating literal went to the trash first.
    EXPECT_TRUE(tree.has("/.Trash/h"));
    EXPECT_TRUE(tree.has("/.Trash/h~1"));
    EXPECT_TRUE(tree.has("/.Trash/h~2"));
    EXPECT_EQ("bins=100 lower=0 upper=100", tree.at("/.Trash/h").binning);
    // Deleting the module moves its set to the trash as well.
    aidadump::Dump atExit = aidadump::parse(run.exitDump());
    EXPECT_FALSE(atExit.has("/Histograms/h"));
    EXPECT_EQ(3, atExit.at("/.Trash/h~3").entries);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, ChannelGridFromConnectedChannelsFixedChannelsAndAddresses) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3 4 5 6\"\n"
        "\tchannels \"0 5 -1 6 2 5\"\n"
        "Histo grid\n"
        "\tfill src value\n"
        "\tchannel src channel\n"
        "\tdimension \"2 3\"\n"
        "\tlabels \"Mod\"\n"
        "\tbinning \"10 0 10\"\n"
        "Histo fixed\n"
        "\tfill src value\n"
        "\tchannel \"4\"\n"
        "\tdimension \"6\"\n"
        "Histo address\n"
        "\tfill src value\n"
        "\tdimension \"2 3\"\n"
        "\taddress \"1 1\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    struct Expect {
        std::string path;
        std::string title;
        std::map<std::string, int> bins;
    } expected[] = {
        {"/Histograms/grid/Mod00/grid_Mod00_x00", "grid_Mod00_x00", {{"1", 1}}},
        {"/Histograms/grid/Mod00/grid_Mod00_x01", "grid_Mod00_x01", {}},
        {"/Histograms/grid/Mod00/grid_Mod00_x02", "grid_Mod00_x02", {{"5", 1}}},
        {"/Histograms/grid/Mod01/grid_Mod01_x00", "grid_Mod01_x00", {}},
        {"/Histograms/grid/Mod01/grid_Mod01_x01", "grid_Mod01_x01", {}},
        {"/Histograms/grid/Mod01/grid_Mod01_x02", "grid_Mod01_x02", {{"2", 1}, {"6", 1}}},
        {"/Histograms/fixed/fixed_x03", "fixed_x03", {}},
        {"/Histograms/fixed/fixed_x04", "fixed_x04", {{"1", 1}, {"2", 1}, {"3", 1}, {"4", 1}, {"5", 1}, {"6", 1}}},
        {"/Histograms/address/x01/address_x01_x01", "address_x01_x01",
         {{"1", 1}, {"2", 1}, {"3", 1}, {"4", 1}, {"5", 1}, {"6", 1}}},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(e.title, tree.at(e.path).title) << e.path;
        EXPECT_EQ(e.bins, tree.at(e.path).bins) << e.path;
    }
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, WorkedExampleNamesEveryObjectOfTheGrid) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"7\"\n"
        "Histo h\n"
        "\tfill src value\n"
        "\ttitle \"Energy\"\n"
        "\tdimension \"3 4 2\"\n"
        "\tlabels \"Module Channel\"\n"
        "\taddress \"1 5 0\"\n"
        "\taddress \"1 3\"\n"
        "\taddress \"1 3 0\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"h: Dimension mismatch! : 5 >= 4"}, an::linesWith(result.out, "mismatch"));
    aidadump::Dump tree = aidadump::parse(run.dump());
    std::vector<std::string> paths;
    for (const std::string& path : tree.order)
        if (path.rfind("/Histograms/", 0) == 0) paths.push_back(path);
    ASSERT_EQ(24u, paths.size());
    size_t j = 0;
    for (int module = 0; module < 3; ++module)
        for (int channel = 0; channel < 4; ++channel)
            for (int x = 0; x < 2; ++x, ++j) {
                char suffix[64];
                std::snprintf(suffix, sizeof suffix, "_Module%02d_Channel%02d_x%02d", module, channel, x);
                char folder[64];
                std::snprintf(folder, sizeof folder, "/Histograms/h/Module%02d/Channel%02d/", module, channel);
                EXPECT_EQ(std::string(folder) + "h" + suffix, paths[j]);
                EXPECT_EQ(std::string("Energy") + suffix, tree.at(paths[j]).title);
                EXPECT_EQ(j == 14 ? 1 : 0, tree.at(paths[j]).entries) << paths[j];
            }
    EXPECT_TRUE(tree.hasFolder("/Histograms/h/Module01/Channel03"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, RecreationMovesThePreviousSetIntoTheTrash) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "Histo h\n"
        "\tdimension \"2\"\n"
        "\ttitle \"New\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ("h", tree.at("/.Trash/h").title);
    EXPECT_EQ("h_x00", tree.at("/.Trash/h~1/h_x00").title);
    EXPECT_EQ("h_x01", tree.at("/.Trash/h~1/h_x01").title);
    EXPECT_EQ("New_x00", tree.at("/Histograms/h/h_x00").title);
    EXPECT_EQ("New_x01", tree.at("/Histograms/h/h_x01").title);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, SetPathMovesTheSetWithoutRecreatingIt) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"3\"\n"
        "Histo h\n"
        "\tdimension \"2\"\n"
        "\tpath \"/Mine/\"\n"
        "\tpath \"/Other/\"\n"
        "\tfill src value\n"
        "Histo s\n"
        "\tpath \"sub\"\n"
        "Histo self\n"
        "\tpath \"/Histograms/self/inner\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"self: Cannot move /Histograms/self into itself (/Histograms/self/inner)."},
              an::linesWith(result.out, "Cannot move"));
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ(1, tree.at("/Other/h/h_x00").entries);
    EXPECT_TRUE(tree.has("/Other/h/h_x01"));
    EXPECT_FALSE(tree.hasFolder("/Mine"));
    // Only Init's single histogram was replaced; the moves recreated nothing.
    EXPECT_TRUE(tree.has("/.Trash/h"));
    EXPECT_FALSE(tree.has("/.Trash/h~1") || tree.hasFolder("/.Trash/h~1"));
    EXPECT_TRUE(tree.has("/Histograms/sub/s"));
    EXPECT_TRUE(tree.has("/Histograms/self"));
    EXPECT_FALSE(tree.hasFolder("/Histograms/self/inner"));
    run.expectRunsWithoutTestAida(flow);
}

// A single object (the default) moved away empties its old folder, which
// goes too; a folder that still holds another set stays.
TEST(Histo, SetPathRemovesTheFolderThatTheMoveEmpties) {
    const struct {
        std::string others;
        bool folderStays;
    } cases[] = {{"", false}, {"Histo k\n", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.others);
        an::FlowRun run;
        tk::ChildResult result = run.run("AnValues src\nHisto h\n\tpath \"/Other/\"\n" + c.others + kDumpAtEnd);
        expectRan(result);
        aidadump::Dump tree = aidadump::parse(run.dump());
        EXPECT_TRUE(tree.has("/Other/h"));
        EXPECT_EQ(c.folderStays, tree.hasFolder("/Histograms"));
        EXPECT_EQ(c.folderStays, tree.has("/Histograms/k"));
    }
}

// Records with a double e (binned 10 from 0 to 10), a vector<short> v, a
// channel list ch, short and int channels c and ci, a vector<double> d, a
// bool b and a vector<string> s.
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("e", vorn_double, 10, 0, 10);
    file.declare("v", vorn_vector_short, 5, 0, 5);
    file.declare("ch", vorn_vector_int);
    file.declare("c", vorn_short);
    file.declare("ci", vorn_int);
    file.declare("d", vorn_vector_double);
    file.declare("b", vorn_bool);
    file.declare("s", vorn_vector_string);
    struct Record {
        double e;
        std::vector<short> v;
        std::vector<int> ch;
        short c;
        int ci;
        std::vector<double> d;
    } records[] = {
        {1.5, {1, 2, 3}, {0, 1}, 1, 2, {0.5}},
        {2.5, {4}, {2, 2, 2}, 0, 7, {}},
    };
    for (Record& r : records) {
        bool b = true;
        std::vector<std::string> s = {"word"};
        file.value(&r.e);
        file.value(&r.v);
        file.value(&r.ch);
        file.value(&r.c);
        file.value(&r.ci);
        file.value(&r.d);
        file.value(&b);
        file.value(&s);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

const std::string kReader =
    "Ambrel src\n"
    "\tfilename \"events.fevent\"\n";
const std::string kDumpAtEof = "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";

std::string histo(const std::string& name, const std::string& lines) {
    return "Histo " + name + "\n\ttavrel src Tavrel\n" + lines;
}

TEST(Histo, SelectedPropertiesFillElementByElementWithTheirChannels) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        histo("hs", "\tfill \"e\"\n") +
        histo("hv", "\tfill \"v\"\n\tdimension \"3\"\n\tchannel \"ch\"\n\tbinning \"10 0 10\"\n") +
        "\tfill src eof\n" +
        histo("hc", "\tfill \"v\"\n\tdimension \"2\"\n\tchannel \"c\"\n") +
        histo("hi", "\tfill \"e\"\n\tdimension \"3\"\n\tchannel \"ci\"\n") +
        histo("hf", "\tfill \"v\"\n\tdimension \"2\"\n\tchannel \"1\"\n") +
        histo("hd", "\tbinning \"200 -1 1\"\n\tfill \"d\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    const aidadump::Object& hs = tree.at("/Histograms/hs");
    EXPECT_EQ("bins=10 lower=0 upper=10", hs.binning);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}}), hs.bins);
    EXPECT_EQ("e", hs.annotations.at(0).second);
    // The third element of the first record has no channel; the eof count
    // (2) arrives as a plain value, on the module's own channel 0.
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}}), tree.at("/Histograms/hv/hv_x00").bins);
    EXPECT_EQ((std::map<std::string, int>{{"2", 1}}), tree.at("/Histograms/hv/hv_x01").bins);
    EXPECT_EQ((std::map<std::string, int>{{"4", 1}}), tree.at("/Histograms/hv/hv_x02").bins);
    EXPECT_EQ((std::map<std::string, int>{{"4", 1}}), tree.at("/Histograms/hc/hc_x00").bins);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}, {"3", 1}}), tree.at("/Histograms/hc/hc_x01").bins);
    EXPECT_EQ("bins=5 lower=0 upper=5", tree.at("/Histograms/hc/hc_x01").binning);
    EXPECT_EQ(0, tree.at("/Histograms/hi/hi_x00").entries);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}}), tree.at("/Histograms/hi/hi_x02").bins);
    EXPECT_EQ(0, tree.at("/Histograms/hf/hf_x00").entries);
    EXPECT_EQ(4, tree.at("/Histograms/hf/hf_x01").entries);
    const aidadump::Object& hd = tree.at("/Histograms/hd");
    EXPECT_EQ("bins=200 lower=-1 upper=1", hd.binning);
    EXPECT_EQ((std::map<std::string, int>{{"150", 1}}), hd.bins);
    run.expectRunsWithoutTestAida(flow);
}

// Each numeric list type fills its elements as doubles, NaN elements of a
// floating-point list print their line and fill nothing, and per-element
// channels hold for every type.
TEST(Histo, EveryListTypeFillsItsElementsConverted) {
    an::FlowRun run;
    an::EventFile file;
    file.declare("vi", vorn_vector_int);
    file.declare("vu", vorn_vector_uint64);
    file.declare("vf", vorn_vector_float);
    file.declare("vd", vorn_vector_double);
    file.declare("ch", vorn_vector_short);
    std::vector<int> vi = {-1, 3, 40000};
    std::vector<unsigned long> vu = {2, 7, 18446744073709551615ul};
    std::vector<float> vf = {0.5f, std::nanf(""), 9.75f};
    std::vector<double> vd = {std::nan(""), 4.25, std::nan("")};
    std::vector<short> ch = {1, 0, 1};
    file.value(&vi);
    file.value(&vu);
    file.value(&vf);
    file.value(&vd);
    file.value(&ch);
    file.endRecord();
    file.save(run.file("events.fevent"));
    const std::string bins = "\tbinning \"10 0 10\"\n";
    const std::string flow = kReader + histo("hi", "\tfill \"vi\"\n" + bins) + histo("hu", "\tfill \"vu\"\n" + bins) +
                             histo("hf", "\tfill \"vf\"\n" + bins) +
                             histo("hd", "\tfill \"vd\"\n\tdimension \"2\"\n\tchannel \"ch\"\n" + bins) +
                             kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "hf: NaN in Histo::fill()").size()) << result.out;
    EXPECT_EQ(2u, an::linesWith(result.out, "hd: NaN in Histo::fill()").size()) << result.out;
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::map<std::string, int>{{"underflow", 1}, {"3", 1}, {"overflow", 1}}),
              tree.at("/Histograms/hi").bins);
    EXPECT_EQ((std::map<std::string, int>{{"2", 1}, {"7", 1}, {"overflow", 1}}), tree.at("/Histograms/hu").bins);
    EXPECT_EQ((std::map<std::string, int>{{"0", 1}, {"9", 1}}), tree.at("/Histograms/hf").bins);
    EXPECT_EQ(0, tree.at("/Histograms/hd/hd_x01").entries);
    EXPECT_EQ((std::map<std::string, int>{{"4", 1}}), tree.at("/Histograms/hd/hd_x00").bins);
}

TEST(Histo, BinningsFromInputDivisorAndProperty) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        histo("quarter", "\tbinning \"/4\"\n") +
        histo("zero", "\tbinning \"/0\"\n\tbinning \"/x\"\n\tbinning \"/-2\"\n") +
        histo("flat", "\tbinning \"10 5 5\"\n\tfill \"e\"\n") +
        histo("few", "\tbinning \"/1000\"\n") +
        histo("input", "\tbinning \"200 -1 1\"\n\tfill \"e\"\n") +
        histo("property", "\tbinning \"0 -1 1\"\n\tfill \"e\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"zero: Bin divisor /0 refused.", "zero: Bin divisor /x refused.",
                                        "zero: Bin divisor /-2 refused."}),
              an::linesWith(result.out, "Bin divisor"));
    EXPECT_EQ(2u, an::linesWith(result.out, "flat: Not enough binning information.").size()) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "few: Not enough binning information.").size()) << result.out;
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ("bins=25 lower=0 upper=100", tree.at("/Histograms/quarter").binning);
    EXPECT_EQ("bins=100 lower=0 upper=100", tree.at("/Histograms/zero").binning);
    EXPECT_FALSE(tree.has("/Histograms/flat"));
    EXPECT_FALSE(tree.has("/Histograms/few"));
    EXPECT_EQ("bins=200 lower=-1 upper=1", tree.at("/Histograms/input").binning);
    EXPECT_EQ("bins=10 lower=0 upper=10", tree.at("/Histograms/property").binning);
    EXPECT_EQ(2, tree.at("/Histograms/property").entries);
    run.expectRunsWithoutTestAida(flow);
}

// Bin counts beyond 4194304 cells, from a literal or from a file header,
// are refused with one line instead of reaching the AIDA system.
TEST(Histo, TooManyBinsAreRefused) {
    an::FlowRun run;
    an::EventFile file;
    file.declare("huge", vorn_double, 2147483647, 0, 1);
    double value = 0.5;
    file.value(&value);
    file.endRecord();
    file.save(run.file("events.fevent"));
    const std::string flow = kReader +
                             "Histo literal\n\tbinning \"2147483647 0 1\"\n"
                             "Histo above\n\tbinning \"4194305 0 1\"\n"
                             "Histo divided\n\tbinning \"8388608 0 1\"\n\tbinning \"/1000\"\n" +
                             histo("header", "\tfill \"huge\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"literal: Cannot create histogram literal with more than 4194304 bins",
                                        "above: Cannot create histogram above with more than 4194304 bins",
                                        "divided: Cannot create histogram divided with more than 4194304 bins",
                                        "header: Cannot create histogram header with more than 4194304 bins"}),
              an::linesWith(result.out, "Cannot create histogram"));
    aidadump::Dump tree = aidadump::parse(run.dump());
    for (const char* name : {"literal", "above", "header"}) EXPECT_FALSE(tree.has(std::string("/Histograms/") + name));
    // The limit holds for the count after the divisor.
    EXPECT_EQ("bins=8388 lower=0 upper=1", tree.at("/Histograms/divided").binning);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, SelectionsThatCannotDeliverFillNothing) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        histo("missing", "\tfill \"nothere\"\n\tchannel \"nochannel\"\n") +
        histo("boolean", "\tfill \"b\"\n") +
        histo("words", "\tfill \"s\"\n\tchannel \"s\"\n") +
        histo("cleared", "\tfill \"e\"\n\tfill \"\"\n") +
        histo("negative", "\tdimension \"-2 3\"\n\tdimension \"200 200\"\n\tfill \"e\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "FlowProperty nothere not found.").size()) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "FlowProperty nochannel not found.").size()) << result.out;
    EXPECT_EQ(std::vector<std::string>{"boolean: Property b of type 8 cannot reach input fill."},
              an::linesWith(result.out, "boolean: "));
    EXPECT_EQ(1u, an::linesWith(result.out, "words: Property s of type 26 cannot reach input fill.").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "words: Channel property s of type 26 gives no channel numbers.").size());
    EXPECT_EQ((std::vector<std::string>{"negative: Dimension refused: -2 is negative.",
                                        "negative: Dimension refused: more than 32768 objects."}),
              an::linesWith(result.out, "negative: Dimension"));
    aidadump::Dump tree = aidadump::parse(run.dump());
    for (const char* path : {"/Histograms/missing", "/Histograms/boolean", "/Histograms/words", "/Histograms/cleared"})
        EXPECT_EQ(0, tree.at(path).entries + tree.at(path).extra) << path;
    EXPECT_EQ(2, tree.at("/Histograms/negative").entries);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Histo, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Histo h\n"
        "\ttavrel src raw\n"
        "\tfill \"x\"\n" + kDumpAtEnd;
    tk::ChildResult result = run.run(flow);
    expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"h: Input tavrel takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "h: Input"));
    EXPECT_EQ(0, aidadump::parse(run.dump()).at("/Histograms/h").entries);
    run.expectRunsWithoutTestAida(flow);
}

// Without the test AIDA system Histo still reports bad values; it is
// initialised only where there is a histogram factory.
TEST(Histo, LogsTheSameWithTheBuiltInAidaSystemAndWithoutAny) {
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        an::FlowRun run;
        tk::ChildResult plain = run.run(kPlainFlow, aida);
        expectRan(plain);
        EXPECT_EQ(1u, an::linesWith(plain.out, "h: NaN in Histo::fill()").size()) << plain.out;
        EXPECT_EQ(aida == Aida::Castrine ? 1u : 0u, an::linesWith(plain.out, "h initialized.").size());
        EXPECT_EQ(1u, an::linesWith(plain.out, "h deleted").size());
    }
}

}  // namespace
