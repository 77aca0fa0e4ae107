// Ambrel under torvask on files built byte by byte from the layout: every
// type, steps across several Starts, Reset, the announce protocol, adopted
// events, a second header, and the report on an index out of sequence.

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "EfSupport.h"

namespace {

using eftest::Bytes;
using eftest::bitsOf;

// A file of `records` records of the one double x, valued 1, 2, ...
std::string countingFile(int records) {
    Bytes file;
    file.start(1).declare("x", 10, 10, 0, 100).headerEnd();
    for (int i = 1; i <= records; ++i) file.u16(0).f64(i).eventEnd();
    return file.bytes;
}

std::string countingAnnounce(const std::string& sink) {
    return sink + ": announce 1\n" + sink + ":   x type 10 bins 10 min " + bitsOf(0.0) + " max " + bitsOf(100.0) + "\n";
}

std::string countingEvent(const std::string& sink, int n, int x) {
    return sink + ": event " + std::to_string(n) + "\n" + sink + ":   x = " + bitsOf(double(x)) + "\n";
}

// A driver script against Ambrel amb on `file`, one sink per name.
std::string scriptedFlow(const std::string& script, const std::string& file, const std::string& ambrel,
                         const std::vector<std::string>& sinks = {"sink"}) {
    std::string flow = "EfControl ctl\n"
                       "\tscript \"" + script + "\"\n"
                       "Ambrel amb\n"
                       "\tfilename \"" + file + "\"\n" + ambrel;
    for (const std::string& sink : sinks)
        flow += "EfSink " + sink + "\n\tfevent amb Tavrel\n\teof amb eof\n";
    return flow;
}

class ReplayTest : public eftest::FlowTest {};

TEST_F(ReplayTest, HandBuiltFileOfEveryTypeReadsAsTheLayoutSays) {
    struct Declared {
        const char* name;
        int type;
    };
    const Declared declared[] = {{"c1", 1},   {"c2", 2},    {"c3", 3},    {"u16", 4},  {"s16", 5},  {"u32", 6},
                                 {"i32", 7},  {"flag", 8},  {"f", 9},     {"d", 10},   {"u64", 11}, {"txt", 13},
                                 {"str", 19}, {"vs", 20},   {"vi", 21},   {"vu", 22},  {"vb", 23},  {"vf", 24},
                                 {"vd", 25},  {"vstr", 26}, {"vvs", 27},  {"vvi", 28}, {"vvf", 29}, {"vvd", 30},
                                 {"nest", 100}, {"none", 0}, {"neg", 0xFF}, {"any", 18}, {"big", 31}};
    Bytes file;
    file.start(29);
    for (const Declared& d : declared) {
        if (d.type == 10)
            file.declare(d.name, d.type, 50, -2.5, 2.5);
        else
            file.declare(d.name, d.type);
    }
    file.headerEnd();
    double nan = 0;
    uint64_t nanBits = 0x7ff8000000000001ull;
    std::memcpy(&nan, &nanBits, sizeof nan);
    for (int record = 1; record <= 2; ++record) {
        bool first = record == 1;
        unsigned index = 0;
        auto next = [&]() -> Bytes& { return file.u16(index++); };
        next().u8(200);
        next().u8(0x80);
        next().u8('A');
        next().u16(65535);
        next().u16(0x8000);
        next().u32(4000000000u);
        next().i32(first ? -123456 : 7);
        next().u8(2);
        next().f32(1.5f);
        next().f64(-0.0);
        next().u64(~0ull);
        next().text(first ? std::string(300, 'q') : "short");
        next().text(first ? "hello" : "w");
        next().u16(2).u16(0xFFFF).u16(2);
        if (first)
            next().u16(0);
        else
            next().u16(3).i32(1).i32(2).i32(3);
        next().u16(1).u64(1ull << 63);
        if (first)
            next().u16(3).u8(0).u8(1).u8(7);
        else
            next().u16(0);
        next().u16(1).f32(0.25f);
        next().u16(2).f64(1.0).f64(nan);
        next().u16(2).text("a").text("bc");
        next().u16(2).u16(1).u16(1).u16(0);
        next().u16(1).u16(2).i32(-5).i32(6);
        next().u16(0);
        next().u16(1).u16(1).f64(2.0);
        for (int n = 0; n < 5; ++n) next();
        file.eventEnd();
    }
    write("hand.fevent", file.bytes);

    tk::ChildResult result = run("Ambrel amb\n"
                                 "\tfilename \"hand.fevent\"\n"
                                 "EfSink sink\n"
                                 "\tfevent amb Tavrel\n"
                                 "\teof amb eof\n");

    std::string zero = bitsOf(0.0);
    std::string expected = "sink: announce 24\n";
    for (const char* name : {"c1", "c2", "c3", "d", "f", "flag", "i32", "s16", "str", "txt", "u16", "u32", "u64",
                             "vb", "vd", "vf", "vi", "vs", "vstr", "vu", "vvd", "vvf", "vvi", "vvs"}) {
        int type = 0;
        for (const Declared& d : declared)
            if (std::string(d.name) == name) type = d.type;
        bool d = std::string(name) == "d";
        expected += std::string("sink:   ") + name + " type " + std::to_string(type) + " bins " + (d ? "50" : "0") +
                    " min " + (d ? bitsOf(-2.5) : zero) + " max " + (d ? bitsOf(2.5) : zero) + "\n";
    }
    for (int record = 1; record <= 2; ++record) {
        bool first = record == 1;
        expected += "sink: event " + std::to_string(record) + "\n";
        auto line = [&](const std::string& name, const std::string& value) {
            expected += "sink:   " + name + " = " + value + "\n";
        };
        line("c1", "200");
        line("c2", "-128");
        line("c3", "65");
        line("d", bitsOf(-0.0));
        line("f", bitsOf(1.5f));
        line("flag", "1");
        line("i32", first ? "-123456" : "7");
        line("s16", "-32768");
        line("str", first ? "\"hello\"" : "\"w\"");
        line("txt", first ? "\"" + std::string(255, 'q') + "\"" : "\"short\"");
        line("u16", "65535");
        line("u32", "4000000000");
        line("u64", "18446744073709551615");
        line("vb", first ? "[0,1,1]" : "[]");
        line("vd", "[" + bitsOf(1.0) + "," + bitsOf(nan) + "]");
        line("vf", "[" + bitsOf(0.25f) + "]");
        line("vi", first ? "[]" : "[1,2,3]");
        line("vs", "[-1,2]");
        line("vstr", "[\"a\",\"bc\"]");
        line("vu", "[9223372036854775808]");
        line("vvd", "[[" + bitsOf(2.0) + "]]");
        line("vvf", "[]");
        line("vvi", "[[-5,6]]");
        line("vvs", "[[1],[]]");
    }
    expected += "sink: eof 2\n";
    EXPECT_EQ(expected, tk::linesStartingWith(result.out, {"sink:"}));
    EXPECT_EQ("amb: 29 Properties listed.\n", tk::linesStartingWith(result.out, {"amb: 29"}));
    EXPECT_EQ("", result.err);
}

TEST_F(ReplayTest, StepsSpreadAFileOverStartsAndResetReplaysIt) {
    write("five.fevent", countingFile(5));
    tk::ChildResult result =
        run(scriptedFlow("start:amb start:amb start:amb start:amb reset:amb start:amb", "five.fevent",
                         "\tsteps \"2\"\n"));
    EXPECT_EQ("amb instantiated\n"
              "amb: Opening five.fevent\n"
              "amb: Tavrel file opened.\n"
              "amb running.\n"
              "amb: 1 Properties listed.\n" +
                  countingAnnounce("sink") + countingEvent("sink", 1, 1) + countingEvent("sink", 2, 2) +
                  "Stop()\n"
                  "amb running.\n" +
                  countingEvent("sink", 3, 3) + countingEvent("sink", 4, 4) +
                  "Stop()\n"
                  "amb running.\n" +
                  countingEvent("sink", 5, 5) +
                  "sink: eof 1\n"
                  "Stop()\n"
                  "amb: Reset()\n"
                  "amb: Opening five.fevent\n"
                  "amb: Tavrel file opened.\n"
                  "amb running.\n"
                  "amb: 1 Properties listed.\n" +
                  countingAnnounce("sink") + countingEvent("sink", 6, 1) + countingEvent("sink", 7, 2) +
                  "Stop()\n"
                  "amb closed.\n",
              tk::linesStartingWith(result.out, {"amb", "sink", "Stop()"}));
    EXPECT_EQ("amb: File not open.\n", result.err);
}

TEST_F(ReplayTest, NoStepLimitReadsTheWholeFileInOneStart) {
    write("five.fevent", countingFile(5));
    tk::ChildResult result = run(scriptedFlow("start:amb", "five.fevent", ""));
    EXPECT_EQ(5, eftest::countLines(result.out, "sink: event "));
    EXPECT_EQ("sink: eof 5\n", tk::linesStartingWith(result.out, {"sink: eof"}));
}

// Each receiver gets one announcement per header read, before any record.
TEST_F(ReplayTest, EveryReceiverIsAnnouncedToOnceBeforeAnyRecord) {
    write("three.fevent", countingFile(3));
    tk::ChildResult result =
        run(scriptedFlow("start:amb reset:amb start:amb", "three.fevent", "", {"first", "second"}));
    std::string run = countingAnnounce("first") + countingAnnounce("second");
    for (int i = 1; i <= 3; ++i) run += countingEvent("first", i, i) + countingEvent("second", i, i);
    std::string again = countingAnnounce("first") + countingAnnounce("second");
    for (int i = 1; i <= 3; ++i) again += countingEvent("first", i + 3, i) + countingEvent("second", i + 3, i);
    EXPECT_EQ(run + "first: eof 3\nsecond: eof 3\n" + again + "first: eof 3\nsecond: eof 3\n",
              tk::linesStartingWith(result.out, {"first:", "second:"}));
}

// An announced event handed to "fevent" is adopted: the file's properties
// join it, reading into its own storage where name and type match, and its
// other properties travel with every record.
TEST_F(ReplayTest, AdoptedEventGetsTheFileProperties) {
    Bytes file;
    file.start(3).declare("a", 10).declare("b", 7).declare("d", 9).headerEnd();
    file.u16(0).f64(4.5).u16(1).i32(-3).u16(2).f32(0.5f).eventEnd();
    write("adopt.fevent", file.bytes);
    tk::ChildResult result = run("EfControl ctl\n"
                                 "\tscript \"set:gen:announce: start:amb\"\n"
                                 "EfDriver gen\n"
                                 "\tset \"abc\"\n"
                                 "Ambrel amb\n"
                                 "\tfilename \"adopt.fevent\"\n"
                                 "\tfevent gen fevent\n"
                                 "EfSink sink\n"
                                 "\tfevent amb Tavrel\n"
                                 "\teof amb eof\n");
    std::string zero = bitsOf(0.0);
    EXPECT_EQ("sink: announce 3\n"
              "sink:   a type 10 bins 100 min " + zero + " max " + bitsOf(10.0) + "\n"
              "sink:   b type 10 bins 20 min " + bitsOf(-1.0) + " max " + bitsOf(1.0) + "\n"
              "sink:   c type 10 bins 0 min " + zero + " max " + zero + "\n"
              "sink: announce 4\n"
              "sink:   a type 10 bins 0 min " + zero + " max " + zero + "\n"
              "sink:   b type 7 bins 0 min " + zero + " max " + zero + "\n"
              "sink:   c type 10 bins 0 min " + zero + " max " + zero + "\n"
              "sink:   d type 9 bins 0 min " + zero + " max " + zero + "\n"
              "sink: event 1\n"
              "sink:   a = " + bitsOf(4.5) + "\n"
              "sink:   b = -3\n"
              "sink:   c = " + zero + "\n"
              "sink:   d = " + bitsOf(0.5f) + "\n"
              "sink: eof 1\n",
              tk::linesStartingWith(result.out, {"sink:"}));
}

// A second file whose header changes a property's type: the reader's
// receivers look their pointers up again, and no storage is left behind
// for a property that the new header does not declare.
TEST_F(ReplayTest, SecondHeaderReplacesChangedProperties) {
    Bytes first;
    first.start(2).declare("x", 10).declare("y", 7).headerEnd().u16(0).f64(1.25).u16(1).i32(9).eventEnd();
    Bytes second;
    second.start(2).declare("x", 7).declare("z", 26).headerEnd().u16(0).i32(-8).u16(1).u16(1).text("zz").eventEnd();
    write("first.fevent", first.bytes);
    write("second.fevent", second.bytes);
    tk::ChildResult result = run(scriptedFlow("start:amb set:amb:filename:second.fevent start:amb", "first.fevent", ""));
    std::string zero = bitsOf(0.0);
    EXPECT_EQ("sink: announce 2\n"
              "sink:   x type 10 bins 0 min " + zero + " max " + zero + "\n"
              "sink:   y type 7 bins 0 min " + zero + " max " + zero + "\n"
              "sink: event 1\n"
              "sink:   x = " + bitsOf(1.25) + "\n"
              "sink:   y = 9\n"
              "sink: eof 1\n"
              "sink: announce 2\n"
              "sink:   x type 7 bins 0 min " + zero + " max " + zero + "\n"
              "sink:   z type 26 bins 0 min " + zero + " max " + zero + "\n"
              "sink: event 2\n"
              "sink:   x = -8\n"
              "sink:   z = [\"zz\"]\n"
              "sink: eof 1\n",
              tk::linesStartingWith(result.out, {"sink:"}));
}

// The report's byte lines for the 24 bytes from 20 before `at` on.
std::string surroundingBytes(const std::string& file, size_t at) {
    std::string lines;
    for (size_t m = 0; m < 24 && at - 20 + m < file.size(); ++m) {
        unsigned char b = static_cast<unsigned char>(file[at - 20 + m]);
        std::string line = std::to_string(int(m) - 19) + "\t" + std::to_string(b) + " = ->" + std::string(1, char(b)) + "<-";
        lines += m == 19 ? "\033[1m\033[5m\033[41m\033[37m" + line + "\033[0m\n" : line + "\n";
    }
    return lines;
}

TEST_F(ReplayTest, IndexOutOfSequenceGivesTheReportAndStops) {
    struct Case {
        const char* what;
        bool firstPosition;
    };
    for (Case c : {Case{"first position", true}, Case{"second position", false}}) {
        SCOPED_TRACE(c.what);
        Bytes file;
        file.start(2).declare("a", 7).declare("b", 7).headerEnd();
        file.u16(0).i32(1).u16(1).i32(2).eventEnd();
        if (c.firstPosition)
            file.u16(5);
        else
            file.u16(0).i32(3).u16(0xFFFF);
        size_t at = file.bytes.size();
        file.i32(99).u16(1).i32(5).eventEnd();
        write("broken.fevent", file.bytes);
        tk::ChildResult result = run(scriptedFlow("start:amb", "broken.fevent", ""));
        std::string expected = c.firstPosition ? "amb: Something's broken. ((pnum = 0) != (tag = 5))\n"
                                                 "Property name: a\n"
                                               : "amb: Something's broken. ((pnum = 1) != (tag = -1))\n"
                                                 "Property name: b\n"
                                                 "Previous property: a\n";
        expected += "Surrounding bytes:\npos\tvalue\n" + surroundingBytes(file.bytes, at) +
                    "This sometimes happens. For some reason you can fix it by deleting and newly putting in the "
                    "Ambrel module.\n"
                    "Stop()\n";
        std::string out = result.out;
        size_t begin = out.find("amb: Something's broken.");
        ASSERT_NE(std::string::npos, begin);
        EXPECT_EQ(expected, out.substr(begin, expected.size()));
        EXPECT_EQ(1, eftest::countLines(out, "sink: event "));
        EXPECT_EQ(0, eftest::countLines(out, "sink: eof"));
    }
}

}  // namespace
