// Kestaly under torvask with the test AIDA system: scripted records from
// MbRecords fill groups of histograms per cut; paths, names, titles,
// annotations, adopted binnings, the trash folder and the removal of
// emptied folders are read back from the test AIDA system's dumps. Every
// flow runs again with the built-in AIDA system and with none.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kDumpAtDone = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";

std::string kestaly(const std::string& name, const std::string& lines) {
    return "Kestaly " + name + "\n\tfevent src Tavrel\n" + lines;
}

// energy binned 20 from 0 to 10; two labelled bool cuts.
const std::string kCutRecords =
    "MbRecords src\n"
    "\tproperty \"energy 25 20 0 10 Energy deposit\"\n"
    "\tproperty \"good 8 0 0 0 Good ones\"\n"
    "\tproperty \"bad 8 0 0 0 Bad ones\"\n"
    "\trecord \"energy=1,2 good=1\"\n"
    "\trecord \"energy=3 bad=1\"\n"
    "\trecord \"energy=4 good=1 bad=1\"\n"
    "\trecord \"energy=5\"\n";

TEST(Kestaly, OneHistogramPerCutFilledByTheRecordsWhoseCutHolds) {
    an::FlowRun run;
    const std::string flow =
        kCutRecords + kestaly("k", "\tcuts \"good bad\"\n\thistos \"E\"\n\tE \"energy/2 | Energy\"\n") + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(1u, an::linesWith(result.out, "k instantiated").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "k initialized.").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "k deleted").size());
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "k: "));
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::vector<std::string>{"/Histograms/E_good", "/Histograms/E_bad"}), tree.below("/Histograms/"));

    const aidadump::Object& good = tree.at("/Histograms/E_good");
    EXPECT_EQ("Energy [Good ones]", good.title);
    // The property's 20 bins divided by 2, adopted at the announcement.
    EXPECT_EQ("bins=10 lower=0 upper=10", good.binning);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}, {"4", 1}}), good.bins);
    EXPECT_EQ("/Histograms/E_bad\n", good.note("Overlay"));
    EXPECT_EQ("energy", good.note("Title-X"));
    EXPECT_EQ("Counts", good.note("Title-Y"));

    const aidadump::Object& bad = tree.at("/Histograms/E_bad");
    EXPECT_EQ("Energy [Bad ones]", bad.title);
    EXPECT_EQ((std::map<std::string, int>{{"3", 1}, {"4", 1}}), bad.bins);
    EXPECT_EQ("<none>", bad.note("Overlay"));

    // The histograms made from the description, before the binning was
    // adopted, went to the trash.
    EXPECT_EQ("bins=100 lower=0 upper=100", tree.at("/.Trash/E_good").binning);
    EXPECT_EQ("Energy", tree.at("/.Trash/E_bad").title);

    // Deleting the module moves its histograms to the trash and removes the
    // folder that this empties.
    aidadump::Dump atExit = aidadump::parse(run.exitDump());
    EXPECT_FALSE(atExit.hasFolder("/Histograms"));
    EXPECT_EQ(3, atExit.at("/.Trash/E_good~1").entries);
    EXPECT_EQ(2, atExit.at("/.Trash/E_bad~1").entries);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, PathTemplatesPlaceEachCutsHistograms) {
    an::FlowRun run;
    const std::string flow =
        kCutRecords +
        kestaly("k",
                "\tcuts \"good bad *\"\n"
                "\tpath1 \"/Sel/%s/good\"\n"
                "\tpath2 \"sub/%s_b\"\n"
                "\tpath3 \"%s_all%s\"\n"
                "\thistos \"E\"\n"
                "\tE \"energy,6,0,6\"\n") +
        kestaly("plain", "\thistos \"P\"\n\tP \"energy,6,0,6\"\n") + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    // "*" is looked up like any property name.
    EXPECT_EQ(2u, an::linesWith(result.out, "FlowProperty * not found.").size()) << result.out;
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::vector<std::string>{"/Histograms/sub/E_b", "/Histograms/E_all%s", "/Histograms/P_*"}),
              tree.below("/Histograms/"));
    const aidadump::Object& good = tree.at("/Sel/E/good");
    // Without a title of its own the description takes the property's label.
    EXPECT_EQ("Energy deposit [Good ones]", good.title);
    EXPECT_EQ("Energy deposit", good.note("Title-X"));
    EXPECT_EQ("/Histograms/sub/E_b\n/Histograms/E_all%s\n", good.note("Overlay"));
    EXPECT_EQ(3, good.entries);
    EXPECT_EQ("Energy deposit [Bad ones]", tree.at("/Histograms/sub/E_b").title);
    // "*" holds for every record; its label counts as empty.
    EXPECT_EQ("Energy deposit", tree.at("/Histograms/E_all%s").title);
    EXPECT_EQ(5, tree.at("/Histograms/E_all%s").entries);
    // Without cuts and paths the default template names the histogram.
    EXPECT_EQ(5, tree.at("/Histograms/P_*").entries);
    EXPECT_EQ("", tree.at("/Histograms/P_*").note("Overlay"));

    aidadump::Dump atExit = aidadump::parse(run.exitDump());
    EXPECT_FALSE(atExit.hasFolder("/Sel"));
    EXPECT_FALSE(atExit.hasFolder("/Histograms"));
    EXPECT_TRUE(atExit.has("/.Trash/good"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, TwoDimensionalHistogramsAdoptTheBinningsTheyLack) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"x 21 0 0 0\"\n"
        "\tproperty \"y 24 10 0 20 Why\"\n"
        "\tproperty \"w 20\"\n"
        "\trecord \"x=1,2 y=3,15 w=5,6\"\n"
        "\trecord \"x=1,2 y=3 w=7\"\n"
        "\trecord \"x=3 y=18 w=8\"\n" +
        kestaly("k",
                "\tcuts \"*\"\n"
                "\tpath \"/G/%s\"\n"
                "\thistos \"XY XW\"\n"
                "\tXY \"x,50,0,10 y\"\n"
                "\tXW \"x,5,0,10 w/2 | titled\"\n") +
        kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    const aidadump::Object& xy = tree.at("/G/XY");
    EXPECT_EQ("IHistogram2D", xy.type);
    EXPECT_EQ("x:bins=50 lower=0 upper=10 y:bins=10 lower=0 upper=20", xy.binning);
    EXPECT_EQ("x:bins=50 lower=0 upper=10 y:bins=100 lower=0 upper=100", tree.at("/.Trash/XY").binning);
    EXPECT_EQ("y vs x", tree.at("/.Trash/XY").title);
    EXPECT_EQ("Why vs x", xy.title);
    EXPECT_EQ("x", xy.note("Title-X"));
    EXPECT_EQ("Why", xy.note("Title-Y"));
    // Lists of different lengths fill nothing.
    EXPECT_EQ(3, xy.entries);
    EXPECT_EQ((std::map<std::string, int>{{"5,1", 1}, {"10,7", 1}, {"15,9", 1}}), xy.bins);

    // w offers no binning, so nothing is adopted and nothing recreated; the
    // divisor never applies.
    const aidadump::Object& xw = tree.at("/G/XW");
    EXPECT_EQ("x:bins=5 lower=0 upper=10 y:bins=100 lower=0 upper=100", xw.binning);
    EXPECT_EQ("titled", xw.title);
    EXPECT_EQ("w", xw.note("Title-Y"));
    EXPECT_EQ(3, xw.entries);
    EXPECT_FALSE(tree.has("/.Trash/XW"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, DescriptionsThatMakeNoHistogramSayWhy) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"a 25 4 0 4\"\n"
        "\trecord \"a=1\"\n" +
        kestaly("k",
                "\tcuts \"*\"\n"
                "\tpath \"/D/%s\"\n"
                "\thistos \"One Three None Empty Quiet Flat Div Huge\"\n"
                "\tOne \"a\"\n"
                "\tThree \"a a a\"\n"
                "\tNone \"| just a title\"\n"
                "\tEmpty \"\"\n"
                "\tFlat \"a,10,5,5\"\n"
                "\tDiv \"a/0 a/x\"\n"
                "\tHuge \"a,3000,0,1 a,3000,0,1\"\n") +
        kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    // The input Quiet gets no description: replacing the inputs says nothing.
    EXPECT_EQ((std::vector<std::string>{"k: Cannot create histogram Three with dimension > 2",
                                        "k: Cannot create histogram None with no parameters",
                                        "k: Cannot create histogram Empty with no parameters",
                                        "k: Not enough binning information for Flat.",
                                        "k: Bin divisor /0 refused.", "k: Bin divisor /x refused.",
                                        "k: Cannot create histogram Huge with more than 4194304 bins"}),
              an::linesWith(result.out, "k: "));
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::vector<std::string>{"/D/One", "/D/Div"}), tree.below("/D/"));
    EXPECT_EQ(1, tree.at("/D/One").entries);
    EXPECT_EQ("x:bins=4 lower=0 upper=4 y:bins=4 lower=0 upper=4", tree.at("/D/Div").binning);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, ListTypesFormulasAndScalarsAsValues) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"s 20 10 0 10\"\n"
        "\tproperty \"i 21 10 0 10\"\n"
        "\tproperty \"f 24 10 0 10\"\n"
        "\tproperty \"d 10 10 0 10\"\n"
        "\tproperty \"on 8\"\n"
        "\tformula \"twice = i * 2\"\n"
        "\trecord \"s=1,2 i=3 f=4.5 d=5 on=1\"\n"
        "\trecord \"s=6 i=7,8 f= d=9 on=0\"\n" +
        kestaly("k",
                "\tcuts \"on\"\n"
                "\tpath \"/T/%s\"\n"
                "\thistos \"S I F D Twice\"\n"
                "\tS \"s\"\n"
                "\tI \"i\"\n"
                "\tF \"f\"\n"
                "\tD \"d\"\n"
                "\tTwice \"twice\"\n") +
        kestaly("all", "\tcuts \"*\"\n\tpath \"/A/%s\"\n\thistos \"I\"\n\tI \"i\"\n") + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}}), tree.at("/T/S").bins);
    EXPECT_EQ((std::map<std::string, int>{{"3", 1}}), tree.at("/T/I").bins);
    EXPECT_EQ((std::map<std::string, int>{{"4", 1}}), tree.at("/T/F").bins);
    EXPECT_EQ(0, tree.at("/T/D").entries + tree.at("/T/D").extra);
    // The formula is evaluated for each record; its binning is derived from i.
    EXPECT_EQ("bins=10 lower=0 upper=20", tree.at("/T/Twice").binning);
    EXPECT_EQ((std::map<std::string, int>{{"3", 1}}), tree.at("/T/Twice").bins);
    EXPECT_EQ((std::map<std::string, int>{{"3", 1}, {"7", 1}, {"8", 1}}), tree.at("/A/I").bins);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, CutsThatAreNoBoolOrAbsentNeverHold) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"e 25 10 0 10\"\n"
        "\tproperty \"n 7\"\n"
        "\trecord \"e=1 n=1\"\n"
        "\trecord \"e=2 n=256\"\n" +
        kestaly("k", "\tcuts \"n nothere\"\n\tpath1 \"/C/%s_n\"\n\tpath2 \"/C/%s_x\"\n\thistos \"E\"\n\tE \"e\"\n") +
        kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"k: Cut property n is not a bool."}, an::linesWith(result.out, "k: "));
    EXPECT_EQ(1u, an::linesWith(result.out, "FlowProperty nothere not found.").size());
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ(0, tree.at("/C/E_n").entries);
    EXPECT_EQ(0, tree.at("/C/E_x").entries);
    // An absent cut property is named by its path in the title; one without
    // a label adds nothing.
    EXPECT_EQ("e [nothere]", tree.at("/C/E_x").title);
    EXPECT_EQ("e", tree.at("/C/E_n").title);
    run.expectRunsWithoutTestAida(flow);
}

// A bool cut property that exists without a value never holds: its
// histogram stays empty while another cut's fills, and nothing crashes.
TEST(Kestaly, ACutPropertyWithoutAValueNeverHolds) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"e 25 10 0 10\"\n"
        "\tproperty \"ok 8\"\n"
        "\tvalueless \"empty 8 0 0 0 Empty\"\n"
        "\trecord \"e=1 ok=1 empty=1\"\n"
        "\trecord \"e=2 ok=1\"\n" +
        kestaly("k", "\tcuts \"empty ok\"\n\tpath1 \"/V/%s_empty\"\n\tpath2 \"/V/%s_ok\"\n\thistos \"E\"\n\tE \"e\"\n") +
        kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{}, an::linesWith(result.out, "k: "));
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ(0, tree.at("/V/E_empty").entries);
    EXPECT_EQ("e [Empty]", tree.at("/V/E_empty").title);
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"2", 1}}), tree.at("/V/E_ok").bins);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, ARecordFromAnotherObjectIsLookedUpAgain) {
    an::FlowRun run;
    const std::string flow =
        "MbRecords src\n"
        "\tproperty \"e 25 10 0 10\"\n"
        "\tproperty \"ok 8\"\n"
        "\trecord \"e=1 ok=1\"\n"
        "\trecord \"@ e=7 ok=1\"\n"
        "\trecord \"e=8 ok=0\"\n" +
        kestaly("k", "\tcuts \"ok\"\n\tpath \"/R/%s\"\n\thistos \"E\"\n\tE \"e\"\n") + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    aidadump::Dump tree = aidadump::parse(run.dump());
    EXPECT_EQ((std::map<std::string, int>{{"1", 1}, {"7", 1}}), tree.at("/R/E").bins);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Kestaly, ValuesThatAreNoRecordsAreIgnoredWithOneLine) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Kestaly k\n"
        "\tfevent src raw\n"
        "\thistos \"E\"\n"
        "\tE \"e\"\n"
        "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"k: Input fevent takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "k: "));
    EXPECT_EQ(0, aidadump::parse(run.dump()).at("/Histograms/E_*").entries);
    run.expectRunsWithoutTestAida(flow);
}

}  // namespace
