// Brisvald under torvask on files of the two older layouts, built byte by
// byte: every type in both styles, steps across Starts and Reset, the bytes
// that close a record, adopted events, the report on an index out of
// sequence, and damaged files.

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "EfSupport.h"

namespace {

using eftest::Bytes;
using eftest::bitsOf;

struct Declared {
    std::string name;
    int32_t type;
    double min = 0;
    double max = 0;
    int32_t bins = 0;
};

// The start of a file: style byte, two ignored bytes, the count, the
// names (the blank after the last one is the ignored separator), the type
// codes and the binnings.
Bytes header(bool oldStyle, const std::vector<Declared>& declared) {
    Bytes file;
    file.u8(oldStyle ? 0xFE : 0xEF).u16(0xBEEF).u8(declared.size());
    for (const Declared& d : declared) file.text(d.name);
    if (declared.empty()) file.u8('\n');
    for (const Declared& d : declared) file.i32(d.type);
    for (const Declared& d : declared) file.f64(d.min).f64(d.max).i32(d.bins);
    return file;
}

// A list count of the style.
Bytes& count(Bytes& file, bool oldStyle, unsigned n) { return oldStyle ? file.u8(n) : file.u16(n); }

// A file of `records` records of the one double x, valued 1, 2, ...
std::string countingFile(int records) {
    Bytes file = header(true, {{"x", 10, 0, 100, 10}});
    for (int i = 1; i <= records; ++i) file.u16(0).u8(0).f64(i).raw("X");
    return file.bytes;
}

std::string countingAnnounce() {
    return "sink: announce 1\nsink:   x type 10 bins 10 min " + bitsOf(0.0) + " max " + bitsOf(100.0) + "\n";
}

std::string countingEvent(int n, int x) {
    return "sink: event " + std::to_string(n) + "\nsink:   x = " + bitsOf(double(x)) + "\n";
}

const std::string kReader = "Brisvald b\n\tfilename \"data.dat\"\n";
const std::string kSink = "EfSink sink\n\tfevent b Tavrel\n\teof b eof\n";

class BrisvaldTest : public eftest::FlowTest {};

TEST_F(BrisvaldTest, EveryTypeReadsInBothStyles) {
    const std::vector<Declared> declared = {
        {"c1", 1},    {"c2", 2},   {"c3", 3},    {"flag", 8},   {"u16", 4},  {"s16", 5},   {"u32", 6},
        {"i32", 7},   {"txt", 13}, {"str", 19},  {"f", 9},      {"d", 10, -2.5, 2.5, 50}, {"vstr", 26},
        {"u64", 11},  {"vs", 20},  {"vi", 21},   {"vu", 22},    {"vb", 23},  {"vf", 24},   {"vd", 25},
        {"vvs", 27},  {"vvi", 28}, {"vvf", 29},  {"vvd", 30},   {"nest", 100}, {"none", 0}, {"any", 18},
        {"big", 31},  {"neg", -1}, {"last", 26}};
    for (bool oldStyle : {true, false}) {
        SCOPED_TRACE(oldStyle ? "old style" : "new style");
        Bytes file = header(oldStyle, declared);
        double nan = 0;
        uint64_t nanBits = 0x7ff8000000000001ull;
        std::memcpy(&nan, &nanBits, sizeof nan);
        for (int record = 1; record <= 2; ++record) {
            bool first = record == 1;
            unsigned index = 0;
            auto next = [&]() -> Bytes& { return file.u8(index++); };
            auto list = [&](unsigned n) -> Bytes& { return count(next(), oldStyle, n); };
            file.u16(0x5858);
            next().u8(200);
            next().u8(0x80);
            next().u8('A');
            next().u8(2);
            next().u16(65535);
            next().u16(0x8000);
            next().u32(4000000000u);
            next().i32(first ? -123456 : 7);
            // A text ends at white space: the next indices are tab and line feed.
            next().raw(first ? std::string(300, 'q') : "short");
            next().raw(first ? "hello" : "w");
            next().f32(1.5f);
            next().f64(-0.0);
            // What follows the texts of a list, up to the next index, is skipped.
            list(2).raw("a bc zz");
            next().u64(~0ull);
            list(2).u16(0xFFFF).u16(2);
            if (first)
                list(0);
            else
                list(3).i32(1).i32(2).i32(3);
            list(1).u64(1ull << 63);
            next();
            list(1).f32(0.25f);
            list(2).f64(1.0).f64(nan);
            count(list(2), oldStyle, 1).u16(1);
            count(file, oldStyle, 0);
            count(list(1), oldStyle, 2).i32(-5).i32(6);
            list(0);
            count(list(1), oldStyle, 1).f64(2.0);
            for (int n = 0; n < 5; ++n) next();
            list(1).raw(first ? "end X" : "end abX");
        }
        write("data.dat", file.bytes);
        tk::ChildResult result = run(kReader + kSink);

        std::string zero = bitsOf(0.0);
        std::string expected = "sink: announce 24\n";
        const char* names[] = {"c1",  "c2",  "c3", "d",  "f",  "flag", "i32",  "last", "s16", "str", "txt", "u16",
                               "u32", "u64", "vd", "vf", "vi", "vs",   "vstr", "vu",   "vvd", "vvf", "vvi", "vvs"};
        for (const char* name : names) {
            int type = 0;
            for (const Declared& d : declared)
                if (d.name == name) type = d.type;
            bool d = std::string(name) == "d";
            expected += std::string("sink:   ") + name + " type " + std::to_string(type) + " bins " +
                        (d ? "50" : "0") + " min " + (d ? bitsOf(-2.5) : zero) + " max " +
                        (d ? bitsOf(2.5) : zero) + "\n";
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
            line("last", "[\"end\"]");
            line("s16", "-32768");
            line("str", first ? "\"hello\"" : "\"w\"");
            line("txt", first ? "\"" + std::string(255, 'q') + "\"" : "\"short\"");
            line("u16", "65535");
            line("u32", "4000000000");
            line("u64", "18446744073709551615");
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
            // The blank after the last text, then 'X': one line "."; blank, a, b, 'X': three.
            expected += first ? ".\n" : ".\n.\n.\n";
        }
        expected += "sink: eof 2\n";
        EXPECT_EQ(expected, tk::linesStartingWith(result.out, {"sink:", "."}));
        EXPECT_EQ(std::string(oldStyle ? "Old" : "New") + " style file opened.\n30 Properties listed.\n",
                  tk::linesStartingWith(result.out, {"Old style", "New style", "30 Prop"}));
        EXPECT_EQ("", result.err);
    }
}

TEST_F(BrisvaldTest, StepsSpreadAFileOverStartsAndResetReplaysIt) {
    write("data.dat", countingFile(5));
    tk::ChildResult result = run("EfControl ctl\n"
                                 "\tscript \"start:b start:b start:b start:b reset:b start:b\"\n" +
                                 kReader + "\tsteps \"2\"\n" + kSink);
    EXPECT_EQ("b instantiated\n"
              "b: Opening data.dat\n"
              "Old style file opened.\n"
              "b running.\n"
              "1 Properties listed.\n" +
                  countingAnnounce() + countingEvent(1, 1) + countingEvent(2, 2) +
                  "Stop()\n"
                  "b running.\n" +
                  countingEvent(3, 3) + countingEvent(4, 4) +
                  "Stop()\n"
                  "b running.\n" +
                  countingEvent(5, 5) +
                  "sink: eof 1\n"
                  "Stop()\n"
                  "b: File not open.\n"
                  "b: Reset()\n"
                  "b: Opening data.dat\n"
                  "Old style file opened.\n"
                  "b running.\n"
                  "1 Properties listed.\n" +
                  countingAnnounce() + countingEvent(6, 1) + countingEvent(7, 2) +
                  "Stop()\n"
                  "b closed.\n",
              tk::linesStartingWith(result.out, {"b", "sink", "Stop()", "Old style", "1 Properties"}));
    EXPECT_EQ("", result.err);
}

TEST_F(BrisvaldTest, RecordsEndAtTheFirstX) {
    Bytes file = header(false, {{"a", 7}});
    file.u16(0).u8(0).i32(1).raw("X");
    file.u16(0).u8(0).i32(2).raw("abX");
    // No 'X' before the end of the file: the record counts, the file ends.
    file.u16(0).u8(0).i32(3).raw("q");
    write("data.dat", file.bytes);
    tk::ChildResult result = run(kReader + kSink);
    EXPECT_EQ("sink: event 1\nsink:   a = 1\n"
              "sink: event 2\nsink:   a = 2\n.\n.\n"
              "sink: event 3\nsink:   a = 3\n"
              "sink: eof 3\n",
              tk::linesStartingWith(result.out, {"sink: e", "sink:   a =", "."}));
    EXPECT_EQ("", result.err);
}

// An announced event handed to "fevent" is adopted, before the header is
// read and after it: the file's properties join it, reading into its own
// storage where name and type match.
TEST_F(BrisvaldTest, AdoptedEventGetsTheFileProperties) {
    Bytes file = header(false, {{"a", 10}, {"b", 7}, {"d", 9}});
    file.u16(0).u8(0).f64(4.5).u8(1).i32(-3).u8(2).f32(0.5f).raw("X");
    file.u16(0).u8(0).f64(6.5).u8(1).i32(-4).u8(2).f32(1.5f).raw("X");
    write("data.dat", file.bytes);
    std::string zero = bitsOf(0.0);
    auto declaration = [&](const std::string& name, int type, int bins = 0, double min = 0, double max = 0) {
        return "sink:   " + name + " type " + std::to_string(type) + " bins " + std::to_string(bins) + " min " +
               bitsOf(min) + " max " + bitsOf(max) + "\n";
    };
    const std::string adopted = "sink: announce 3\n" + declaration("a", 10, 100, 0, 10) +
                                declaration("b", 10, 20, -1, 1) + declaration("c", 10);
    const std::string withFile = "sink: announce 4\n" + declaration("a", 10) + declaration("b", 7) +
                                 declaration("c", 10) + declaration("d", 9);
    auto record = [&](int n, double a, int b, float d) {
        return "sink: event " + std::to_string(n) + "\nsink:   a = " + bitsOf(a) + "\nsink:   b = " +
               std::to_string(b) + "\nsink:   c = " + zero + "\nsink:   d = " + bitsOf(d) + "\n";
    };
    struct Case {
        const char* what;
        std::string script;
        std::string expected;
    } cases[] = {
        {"before the header", "set:gen:announce: start:b start:b",
         adopted + withFile + record(1, 4.5, -3, 0.5f) + record(2, 6.5, -4, 1.5f) + "sink: eof 1\n"},
        {"after the header", "start:b set:gen:announce: start:b",
         "sink: announce 3\n" + declaration("a", 10) + declaration("b", 7) + declaration("d", 9) +
             "sink: event 1\nsink:   a = " + bitsOf(4.5) + "\nsink:   b = -3\nsink:   d = " + bitsOf(0.5f) + "\n" +
             withFile + record(2, 6.5, -4, 1.5f) + "sink: eof 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tk::ChildResult result = run("EfControl ctl\n"
                                     "\tscript \"" + c.script + "\"\n"
                                     "EfDriver gen\n"
                                     "\tset \"abc\"\n" +
                                     kReader + "\tsteps \"1\"\n\tfevent gen fevent\n" + kSink);
        EXPECT_EQ(c.expected, tk::linesStartingWith(result.out, {"sink:"}));
        EXPECT_EQ("", result.err);
    }
}

// The report's byte lines for the 24 bytes from 20 before `at` on.
std::string surroundingBytes(const std::string& file, size_t at) {
    std::string lines;
    for (size_t m = 0; m < 24 && at - 20 + m < file.size(); ++m) {
        unsigned char b = static_cast<unsigned char>(file[at - 20 + m]);
        std::string line =
            std::to_string(int(m) - 19) + "\t" + std::to_string(b) + " = ->" + std::string(1, char(b)) + "<-";
        lines += m == 19 ? "\033[1m\033[5m\033[41m\033[37m" + line + "\033[0m\n" : line + "\n";
    }
    return lines;
}

TEST_F(BrisvaldTest, IndexOutOfSequenceGivesTheReportAndStops) {
    struct Case {
        const char* what;
        bool firstPosition;
    };
    for (Case c : {Case{"first position", true}, Case{"second position", false}}) {
        SCOPED_TRACE(c.what);
        Bytes file = header(true, {{"a", 7}, {"b", 7}});
        file.u16(0).u8(0).i32(1).u8(1).i32(2).raw("X").u16(0);
        if (c.firstPosition)
            file.u8(5);
        else
            file.u8(0).i32(3).u8(200);
        size_t at = file.bytes.size();
        file.i32(99).u8(1).i32(5).raw("X");
        write("data.dat", file.bytes);
        tk::ChildResult result = run(kReader + kSink);
        std::string expected = c.firstPosition ? "b: Something's broken. ((pnum = 0) != (tag = 5))\n"
                                                 "Property name: a\n"
                                               : "b: Something's broken. ((pnum = 1) != (tag = 200))\n"
                                                 "Property name: b\n"
                                                 "Previous property: a\n";
        expected += "Surrounding bytes:\npos\tvalue\n" + surroundingBytes(file.bytes, at) +
                    "This sometimes happens. For some reason you can fix it by deleting and newly putting in the "
                    "Brisvald module.\n"
                    "Stop()\n";
        size_t begin = result.out.find("b: Something's broken.");
        ASSERT_NE(std::string::npos, begin) << result.out;
        EXPECT_EQ(expected, result.out.substr(begin, expected.size()));
        EXPECT_EQ(1, eftest::countLines(result.out, "sink: event "));
        EXPECT_EQ(0, eftest::countLines(result.out, "sink: eof"));
    }
}

enum class Kind { File, Directory, Missing };

struct BadFile {
    const char* what;
    Kind kind;
    std::string bytes;
    std::string out;    // the reader's messages on standard output
    std::string err;    // standard error, exactly
    int announcements;  // announcements the sink gets
    int records;        // whole records delivered
    int eof;            // the count on "eof", or -1 for none
};

const std::string kNotOpen = "b: File not open.\n";
const std::string kInHeader = "b: file ends inside the header.\n";
const std::string kInRecord = "b: the file ends inside a record.\n";
const std::string kOpened = "New style file opened.\n";

// One property v of type `type`, then the start of a record.
Bytes listRecord(int type) {
    Bytes file = header(false, {{"v", type}});
    file.u16(0).u8(0);
    return file;
}

std::vector<BadFile> badFiles() {
    Bytes twoInts = header(false, {{"a", 7}, {"b", 7}});
    Bytes oneRecord = twoInts;
    oneRecord.u16(0).u8(0).i32(1).u8(1).i32(2).raw("X");
    Bytes names = Bytes().u8(0xEF).u16(0).u8(2).text("a");
    Bytes types = Bytes(names).text("b").i32(7);
    Bytes binnings = Bytes(types).i32(7).f64(0).f64(1);
    return {
        {"missing file", Kind::Missing, "", kNotOpen, "could not open data.dat\n", 0, 0, -1},
        {"directory", Kind::Directory, "", kNotOpen, "could not open data.dat\n", 0, 0, -1},
        {"empty file", Kind::File, "", "Invalid file.\n" + kNotOpen, "", 0, 0, -1},
        {"file of the current layout", Kind::File, Bytes().u32(0xFE022012u).u16(0).u16(0xDEAD).bytes,
         "Invalid file.\n" + kNotOpen, "", 0, 0, -1},
        {"cut in the ignored bytes", Kind::File, Bytes().u8(0xFE).u8(0).bytes, "Old style file opened.\n", kInHeader,
         0, 0, 0},
        {"cut in the names", Kind::File, names.bytes, kOpened + "2 Properties listed.\n", kInHeader, 0, 0, 0},
        {"cut in the types", Kind::File, types.bytes, kOpened + "2 Properties listed.\n", kInHeader, 0, 0, 0},
        {"cut in the binnings", Kind::File, binnings.bytes, kOpened + "2 Properties listed.\n", kInHeader, 0, 0, 0},
        {"one name of two types", Kind::File, header(false, {{"a", 7}, {"b", 7}, {"a", 10}}).bytes,
         kOpened + "3 Properties listed.\n", "b: the header declares a twice with different types.\n", 0, 0, 0},
        {"no properties", Kind::File, header(false, {}).u16(0).raw("X").u16(0).raw("X").bytes,
         kOpened + "0 Properties listed.\n", "", 1, 2, 2},
        {"header without records", Kind::File, twoInts.bytes, kOpened + "2 Properties listed.\n", "", 1, 0, 0},
        {"cut in the record start", Kind::File, Bytes(oneRecord).u8(0).bytes, kOpened + "2 Properties listed.\n",
         kInRecord, 1, 1, 2},
        {"cut after an index", Kind::File, Bytes(oneRecord).u16(0).u8(0).bytes, kOpened + "2 Properties listed.\n",
         kInRecord, 1, 1, 2},
        {"cut in a value", Kind::File, Bytes(oneRecord).u16(0).u8(0).u16(7).bytes,
         kOpened + "2 Properties listed.\n", kInRecord, 1, 1, 2},
        {"list count beyond the file", Kind::File, listRecord(25).u16(65535).f64(1).bytes,
         kOpened + "1 Properties listed.\n", kInRecord, 1, 0, 1},
        {"list of lists count beyond the file", Kind::File, listRecord(30).u16(65535).u16(65535).bytes,
         kOpened + "1 Properties listed.\n", kInRecord, 1, 0, 1},
        {"text list count beyond the file", Kind::File, listRecord(26).u16(65535).text("a").bytes,
         kOpened + "1 Properties listed.\n", kInRecord, 1, 0, 1},
        {"text list that is not the last, to the end", Kind::File,
         header(false, {{"v", 26}, {"w", 7}}).u16(0).u8(0).u16(1).raw("a zzzz").bytes,
         kOpened + "2 Properties listed.\n", kInRecord, 1, 0, 1},
    };
}

TEST_F(BrisvaldTest, EachDamageEndsTheRunCleanly) {
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.what);
        std::string file = path("data.dat");
        unlink(file.c_str());
        rmdir(file.c_str());
        if (bad.kind == Kind::File) write("data.dat", bad.bytes);
        if (bad.kind == Kind::Directory) {
            ASSERT_EQ(0, mkdir(file.c_str(), 0700));
        }
        tk::ChildResult result = run(kReader + kSink);
        EXPECT_EQ(bad.err, result.err);
        EXPECT_EQ(bad.out, tk::linesStartingWith(result.out, {"b: File", "Invalid", "Old style", "New style", "0 Prop",
                                                          "1 Prop", "2 Prop", "3 Prop"}));
        EXPECT_EQ(bad.announcements, eftest::countLines(result.out, "sink: announce"));
        EXPECT_EQ(bad.records, eftest::countLines(result.out, "sink: event "));
        EXPECT_EQ(bad.eof < 0 ? "" : "sink: eof " + std::to_string(bad.eof) + "\n",
                  tk::linesStartingWith(result.out, {"sink: eof"}));
        EXPECT_EQ(1, eftest::countLines(result.out, "b closed."));
    }
}

}  // namespace
