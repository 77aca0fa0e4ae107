// Yurlen under torvask with the test AIDA system: x and y pairs and
// combined numbers, binnings and divisors, the channel grid, selected
// properties of event records (plain, lists, combined, edges, formulas,
// a record replaced without an announcement); and the same flows with the
// built-in AIDA system and without any.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

using an::Aida;

const std::string kDumpAtDone = "AnDump dump\n\tat src done\n\tfile \"dump.txt\"\n";
const std::string kDumpAtEof = "AnDump dump\n\tat src eof\n\tfile \"dump.txt\"\n";

std::string header(const std::string& title, int entries, int extra, const std::string& x, const std::string& y) {
    return "title=\"" + title + "\" entries=" + std::to_string(entries) + " extra=" + std::to_string(extra) +
           " sum=" + std::to_string(entries + extra) + " x:" + x + " y:" + y;
}

std::vector<std::string> bins(std::initializer_list<const char*> cells) {
    std::vector<std::string> lines;
    for (const char* cell : cells) {
        std::string text = cell;
        lines.push_back("bin " + text + " height=" + text.substr(text.find("entries=") + 8));
    }
    return lines;
}

const std::string kDefault = "bins=100 lower=0 upper=100";

TEST(Yurlen, PairsAndCombinedNumbersFillWithTheirBinningsAndTitles) {
    an::FlowRun run;
    const std::string flow =
        "MaPairs src\n"
        "\txs \"1 2.5 nan 3 1234 250.5\"\n"
        "\tys \"5 nan 6 7\"\n"
        "Yurlen h\n"
        "\txfill src x\n"
        "\tyfill src y\n"
        "\txbinning \"10 0 10\"\n"
        "\tybinning \"5 0 10\"\n"
        "\txlabel \"energy\"\n"
        "\tylabel \"time\"\n"
        "Yurlen c\n"
        "\txyfill src x\n"
        "Yurlen z\n"
        "\txbinning \"10 0 0\"\n"
        "\txyfill src x\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"h: NaN in Yurlen::fillY", "h: NaN in Yurlen::fillX"}),
              an::linesWith(result.out, "h: NaN"));
    EXPECT_EQ(std::vector<std::string>{"c: NaN in Yurlen::fillXY"}, an::linesWith(result.out, "c: NaN"));
    EXPECT_EQ(5u, an::linesWith(result.out, "z: Cannot split ").size()) << result.out;
    EXPECT_EQ(1u, an::linesWith(result.out, "z: Cannot split 250.5 without a non-zero x maximum.").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "h initialized.").size());
    aidadump::Dump dump = aidadump::parse(run.dump());
    // An x waits for its y; the x before a NaN y stays for the next y.
    const aidadump::Object& h = dump.at("/Histograms/h");
    EXPECT_EQ(header("h", 3, 0, "bins=10 lower=0 upper=10", "bins=5 lower=0 upper=10"), h.header);
    EXPECT_EQ(bins({"1,2 entries=1", "2,3 entries=1", "3,3 entries=1"}), h.linesOf("bin"));
    EXPECT_EQ((std::vector<std::string>{"annotation Title-X=energy", "annotation Title-Y=time"}),
              h.linesOf("annotation"));
    // 1234 with the x maximum 100 fills (34, 12), 250.5 fills (50.5, 2).
    const aidadump::Object& c = dump.at("/Histograms/c");
    EXPECT_EQ(header("c", 5, 0, kDefault, kDefault), c.header);
    EXPECT_EQ(bins({"1,0 entries=1", "2,0 entries=1", "3,0 entries=1", "34,12 entries=1", "50,2 entries=1"}),
              c.linesOf("bin"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Yurlen, BinningsFromInputsWithDivisorsAndRefusals) {
    an::FlowRun run;
    const std::string flow =
        "MaPairs src\n"
        "Yurlen half\n"
        "\tybinning \"/2\"\n"
        "\txlabel \"/2\"\n"
        "Yurlen refused\n"
        "\tybinning \"/0\"\n"
        "\tybinning \"/x\"\n"
        "\txbinning \"/-2\"\n"
        "Yurlen divided\n"
        "\txbinning \"/1000\"\n"
        "Yurlen negative\n"
        "\tybinning \"-5 0 1\"\n"
        "Yurlen flat\n"
        "\txbinning \"10 5 5\"\n"
        "Yurlen short\n"
        "\txbinning \"10 5\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"refused: Bin divisor /0 refused.", "refused: Bin divisor /x refused.",
                                        "refused: Bin divisor /-2 refused."}),
              an::linesWith(result.out, "Bin divisor"));
    EXPECT_EQ((std::vector<std::string>{"divided: Not enough binning information.",
                                        "negative: Not enough binning information."}),
              an::linesWith(result.out, "binning information"));
    aidadump::Dump dump = aidadump::parse(run.dump());
    const aidadump::Object& half = dump.at("/Histograms/half");
    EXPECT_EQ(header("half", 0, 0, kDefault, "bins=50 lower=0 upper=100"), half.header);
    EXPECT_EQ((std::vector<std::string>{"annotation Title-X=/2", "annotation Title-Y="}), half.linesOf("annotation"));
    EXPECT_EQ(header("refused", 0, 0, kDefault, kDefault), dump.at("/Histograms/refused").header);
    EXPECT_FALSE(dump.has("/Histograms/divided"));
    EXPECT_FALSE(dump.has("/Histograms/negative"));
    // A range without width goes to the AIDA system as it is, which makes nothing of it.
    EXPECT_FALSE(dump.has("/Histograms/flat"));
    EXPECT_EQ(header("short", 0, 0, kDefault, kDefault), dump.at("/Histograms/short").header);
    run.expectRunsWithoutTestAida(flow);
}

// A histogram may have 4194304 cells: the product of the two bin counts
// counts, and a refused one reaches the AIDA system not at all.
TEST(Yurlen, TooManyCellsAreRefused) {
    an::FlowRun run;
    const std::string flow =
        "MaPairs src\n"
        "Yurlen wide\n"
        "\txbinning \"2147483647 0 1\"\n"
        "Yurlen product\n"
        "\txbinning \"2048 0 1\"\n"
        "\tybinning \"2049 0 1\"\n"
        "Yurlen divided\n"
        "\txbinning \"2048 0 1\"\n"
        "\tybinning \"2049 0 1\"\n"
        "\tybinning \"/64\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"wide: Cannot create histogram wide with more than 4194304 bins",
                                        "product: Cannot create histogram product with more than 4194304 bins",
                                        "divided: Cannot create histogram divided with more than 4194304 bins"}),
              an::linesWith(result.out, "Cannot create histogram"));
    aidadump::Dump dump = aidadump::parse(run.dump());
    EXPECT_FALSE(dump.has("/Histograms/wide"));
    EXPECT_FALSE(dump.has("/Histograms/product"));
    EXPECT_EQ(header("divided", 0, 0, "bins=2048 lower=0 upper=1", "bins=32 lower=0 upper=1"),
              dump.at("/Histograms/divided").header);
    run.expectRunsWithoutTestAida(flow);
}

TEST(Yurlen, ChannelGridNamesTheSetAndMovesReplacedOnesToTheTrash) {
    an::FlowRun run;
    const std::string flow =
        "MaPairs src\n"
        "\txs \"1 2 3 4 5\"\n"
        "\tys \"1 2 3 4 5\"\n"
        "\tchannels \"0 5 70000 -1 3\"\n"
        "Yurlen grid\n"
        "\txfill src x\n"
        "\tyfill src y\n"
        "\tchannel src channel\n"
        "\tdimension \"2 3\"\n"
        "\tlabels \"Mod\"\n"
        "Yurlen addr\n"
        "\txfill src x\n"
        "\tyfill src y\n"
        "\tdimension \"2 3\"\n"
        "\taddress \"1 5\"\n"
        "\taddress \"1 1\"\n"
        "Yurlen fixed\n"
        "\txfill src x\n"
        "\tyfill src y\n"
        "\tdimension \"3\"\n"
        "\tchannel \"2\"\n"
        "Yurlen moved\n"
        "\ttitle \"T\"\n"
        "\tpath \"/Other/\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"addr: Dimension mismatch! : 5 >= 3"}, an::linesWith(result.out, "mismatch"));
    aidadump::Dump dump = aidadump::parse(run.dump());
    // A channel beyond a short (70000) or below 0 fills nothing.
    struct Expect {
        std::string path;
        std::string title;
        std::vector<std::string> bins;
    } expected[] = {
        {"/Histograms/grid/Mod00/grid_Mod00_x00", "grid_Mod00_x00", bins({"1,1 entries=1"})},
        {"/Histograms/grid/Mod00/grid_Mod00_x01", "grid_Mod00_x01", {}},
        {"/Histograms/grid/Mod00/grid_Mod00_x02", "grid_Mod00_x02", {}},
        {"/Histograms/grid/Mod01/grid_Mod01_x00", "grid_Mod01_x00", bins({"5,5 entries=1"})},
        {"/Histograms/grid/Mod01/grid_Mod01_x01", "grid_Mod01_x01", {}},
        {"/Histograms/grid/Mod01/grid_Mod01_x02", "grid_Mod01_x02", bins({"2,2 entries=1"})},
        {"/Histograms/addr/x01/addr_x01_x01", "addr_x01_x01",
         bins({"1,1 entries=1", "2,2 entries=1", "3,3 entries=1", "4,4 entries=1", "5,5 entries=1"})},
        {"/Histograms/fixed/fixed_x02", "fixed_x02",
         bins({"1,1 entries=1", "2,2 entries=1", "3,3 entries=1", "4,4 entries=1", "5,5 entries=1"})},
        {"/Other/moved", "T", {}},
    };
    for (const Expect& e : expected) {
        const aidadump::Object& object = dump.at(e.path);
        EXPECT_EQ(0u, object.header.find("title=\"" + e.title + "\"")) << e.path;
        EXPECT_EQ(e.bins, object.linesOf("bin")) << e.path;
    }
    EXPECT_EQ(0u, dump.at("/.Trash/moved").header.find("title=\"moved\""));
    // The set before the title was given went to the trash; the move recreated nothing.
    EXPECT_FALSE(dump.has("/.Trash/moved~1"));
    run.expectRunsWithoutTestAida(flow);
}

// Records with doubles e (binned 10 from 0 to 10), f (binned 5 from 0 to
// 5) and xy (binned 100 from 0 to 100), lists vx, vz and vxy of doubles, vy
// of shorts, a channel list ch and a short channel c.
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("e", vorn_double, 10, 0, 10);
    file.declare("f", vorn_double, 5, 0, 5);
    file.declare("xy", vorn_double, 100, 0, 100);
    file.declare("vx", vorn_vector_double);
    file.declare("vy", vorn_vector_short);
    file.declare("vz", vorn_vector_double);
    file.declare("vxy", vorn_vector_double);
    file.declare("ch", vorn_vector_int);
    file.declare("c", vorn_short);
    struct Record {
        double e, f, xy;
        std::vector<double> vx;
        std::vector<short> vy;
        std::vector<double> vz, vxy;
        std::vector<int> ch;
        short c;
    } records[] = {
        {1.5, 2.5, 1234, {1, 2, 3}, {4, 5, 6}, {1, 2}, {101, 202}, {0, 1}, 1},
        {2.5, 3.5, 250.5, {4}, {7}, {1}, {}, {1}, 0},
    };
    for (Record& r : records) {
        file.value(&r.e);
        file.value(&r.f);
        file.value(&r.xy);
        file.value(&r.vx);
        file.value(&r.vy);
        file.value(&r.vz);
        file.value(&r.vxy);
        file.value(&r.ch);
        file.value(&r.c);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

const std::string kReader = "Ambrel src\n\tfilename \"events.fevent\"\n";

std::string yurlen(const std::string& name, const std::string& lines) {
    return "Yurlen " + name + "\n\ttavrel src Tavrel\n" + lines;
}

TEST(Yurlen, SelectedPropertiesFillPairByPairWithTheirChannels) {
    an::FlowRun run;
    writeRecords(run);
    const std::string flow =
        kReader +
        yurlen("scalar", "\txfill \"e\"\n\tyfill \"f\"\n") +
        yurlen("halved", "\txfill \"e\"\n\tyfill \"f\"\n\tybinning \"/2\"\n") +
        yurlen("lists", "\txfill \"vx\"\n\tyfill \"vy\"\n\tdimension \"2\"\n\tchannel \"ch\"\n"
                        "\txbinning \"10 0 10\"\n\tybinning \"10 0 10\"\n") +
        yurlen("uneven", "\txfill \"vx\"\n\tyfill \"vz\"\n") +
        yurlen("mixed", "\txfill \"vx\"\n\tyfill \"e\"\n") +
        yurlen("onlyx", "\txfill \"e\"\n") +
        yurlen("missing", "\txfill \"nothere\"\n\tyfill \"f\"\n") +
        yurlen("combined", "\txyfill \"xy\"\n\txfill \"e\"\n\tyfill \"f\"\n") +
        yurlen("combinedlist", "\txyfill \"vxy\"\n\tdimension \"2\"\n\tchannel \"c\"\n") + kDumpAtEof;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"mixed: vx and e must both be lists or both be single values; nothing is "
                                       "filled."},
              an::linesWith(result.out, "mixed: "));
    EXPECT_EQ(1u, an::linesWith(result.out, "FlowProperty nothere not found.").size()) << result.out;
    aidadump::Dump dump = aidadump::parse(run.dump());
    // Property binnings and labels.
    const aidadump::Object& scalar = dump.at("/Histograms/scalar");
    EXPECT_EQ(header("scalar", 2, 0, "bins=10 lower=0 upper=10", "bins=5 lower=0 upper=5"), scalar.header);
    EXPECT_EQ(bins({"1,2 entries=1", "2,3 entries=1"}), scalar.linesOf("bin"));
    EXPECT_EQ((std::vector<std::string>{"annotation Title-X=e", "annotation Title-Y=f"}), scalar.linesOf("annotation"));
    EXPECT_EQ(header("halved", 2, 0, "bins=10 lower=0 upper=10", "bins=2 lower=0 upper=5"),
              dump.at("/Histograms/halved").header);
    // The third pair of the first record has no channel.
    EXPECT_EQ(bins({"1,4 entries=1"}), dump.at("/Histograms/lists/lists_x00").linesOf("bin"));
    EXPECT_EQ(bins({"2,5 entries=1", "4,7 entries=1"}), dump.at("/Histograms/lists/lists_x01").linesOf("bin"));
    // Lists of different lengths fill nothing.
    EXPECT_EQ(bins({"4,1 entries=1"}), dump.at("/Histograms/uneven").linesOf("bin"));
    for (const char* idle : {"/Histograms/mixed", "/Histograms/onlyx"})
        EXPECT_EQ(0u, dump.at(idle).header.find("title=\"" + std::string(idle).substr(12) + "\" entries=0 extra=0"))
            << idle;
    // A y fills with the last x, which no property gave here.
    EXPECT_EQ(bins({"0,2 entries=1", "0,3 entries=1"}), dump.at("/Histograms/missing").linesOf("bin"));
    // A combined value fills alone, with the x binning of its property.
    EXPECT_EQ(bins({"34,12 entries=1", "50,2 entries=1"}), dump.at("/Histograms/combined").linesOf("bin"));
    EXPECT_EQ(bins({"1,1 entries=1", "2,2 entries=1"}),
              dump.at("/Histograms/combinedlist/combinedlist_x01").linesOf("bin"));
    EXPECT_EQ(0u, dump.at("/Histograms/combinedlist/combinedlist_x00").linesOf("bin").size());
    run.expectRunsWithoutTestAida(flow);
}

// Records of MaRecords: x with explicit edges, y and u binned, s and t
// plain; from the second record on a new record object, not announced,
// whose values fill.
TEST(Yurlen, EdgesAndARecordReplacedWithoutAnnouncement) {
    an::FlowRun run;
    const std::string flow =
        "MaRecords src\n"
        "\txs \"0.5 1.5 7\"\n"
        "\tys \"10 20 30\"\n"
        "\tswap \"1\"\n"
        "Yurlen edgesx\n"
        "\ttavrel src fevent\n"
        "\txfill \"x\"\n"
        "\tyfill \"y\"\n"
        "Yurlen edgesboth\n"
        "\ttavrel src fevent\n"
        "\txfill \"x\"\n"
        "\tyfill \"u\"\n"
        "Yurlen nobins\n"
        "\ttavrel src fevent\n"
        "\txfill \"s\"\n"
        "\tyfill \"t\"\n"
        "\tybinning \"0 0 1\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"nobins: Not enough binning information."},
              an::linesWith(result.out, "nobins: "));
    aidadump::Dump dump = aidadump::parse(run.dump());
    // Edges on one axis only: the bin counts are used.
    const aidadump::Object& edgesx = dump.at("/Histograms/edgesx");
    EXPECT_EQ(header("edgesx", 6, 0, "bins=4 lower=0 upper=10", "bins=10 lower=0 upper=100"), edgesx.header);
    EXPECT_EQ(bins({"0,1 entries=2", "0,2 entries=1", "1,2 entries=1", "2,3 entries=1", "3,3 entries=1"}),
              edgesx.linesOf("bin"));
    EXPECT_EQ((std::vector<std::string>{"annotation Title-X=X axis", "annotation Title-Y=y"}),
              edgesx.linesOf("annotation"));
    EXPECT_EQ(header("edgesboth", 6, 0, "edges=0,1,2,5,10", "edges=0,50,100"), dump.at("/Histograms/edgesboth").header);
    EXPECT_FALSE(dump.has("/Histograms/nobins"));
    run.expectRunsWithoutTestAida(flow);
}

// The formula is evaluated for every record before its list is read.
TEST(Yurlen, FormulaPropertiesAreEvaluatedPerRecord) {
    an::FlowRun run;
    const std::string flow =
        "MaRecords src\n"
        "\txs \"0.5 1.5 7\"\n"
        "AnFormula formula\n"
        "\tfevent src fevent\n"
        "\tformula \"twice = x * 2\"\n"
        "Yurlen twice\n"
        "\ttavrel formula fevent\n"
        "\txfill \"x\"\n"
        "\tyfill \"twice\"\n"
        "\tybinning \"20 0 20\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    aidadump::Dump dump = aidadump::parse(run.dump());
    const aidadump::Object& twice = dump.at("/Histograms/twice");
    EXPECT_EQ(header("twice", 6, 0, "bins=4 lower=0 upper=10", "bins=20 lower=0 upper=20"), twice.header);
    EXPECT_EQ(bins({"0,1 entries=1", "0,3 entries=2", "1,5 entries=1", "2,14 entries=1", "3,16 entries=1"}),
              twice.linesOf("bin"));
    run.expectRunsWithoutTestAida(flow);
}

TEST(Yurlen, RecordInputIgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    const std::string flow =
        "AnValues src\n"
        "\tvalues \"1 2 3\"\n"
        "Yurlen h\n"
        "\ttavrel src raw\n"
        "\txfill \"x\"\n" + kDumpAtDone;
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{"h: Input tavrel takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "h: Input"));
    EXPECT_EQ(0u, aidadump::parse(run.dump()).at("/Histograms/h").header.find("title=\"h\" entries=0 extra=0"));
    run.expectRunsWithoutTestAida(flow);
}

// Without the test AIDA system Yurlen still reports bad values; it is
// initialised only where there is a histogram factory.
TEST(Yurlen, LogsTheSameWithTheBuiltInAidaSystemAndWithoutAny) {
    const std::string flow =
        "MaPairs src\n"
        "\txs \"1 nan\"\n"
        "\tys \"nan 2\"\n"
        "Yurlen h\n"
        "\txfill src x\n"
        "\tyfill src y\n"
        "\txyfill src y\n";
    for (Aida aida : {Aida::Castrine, Aida::None}) {
        an::FlowRun run;
        tk::ChildResult result = run.run(flow, aida);
        an::expectRan(result);
        EXPECT_EQ((std::vector<std::string>{"h: NaN in Yurlen::fillY", "h: NaN in Yurlen::fillXY",
                                            "h: NaN in Yurlen::fillX"}),
                  an::linesWith(result.out, "h: NaN"));
        EXPECT_EQ(aida == Aida::Castrine ? 1u : 0u, an::linesWith(result.out, "h initialized.").size());
        EXPECT_EQ(1u, an::linesWith(result.out, "h deleted").size());
    }
}

}  // namespace
