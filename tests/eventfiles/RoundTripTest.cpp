// Lorvick writes, Ambrel reads, both under torvask: values of every
// property type come back exactly, and the recorder's layout, size cap,
// property choice, close input and checks on unfit events hold.

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EfSupport.h"

namespace {

using eftest::Bytes;

class RoundTripTest : public eftest::FlowTest {
protected:
    // Records `events` events of the driver's property set `set` to
    // `file`; more input lines for the recorder in `recorder`.
    tk::ChildResult record(const std::string& set, int events, const std::string& file,
                           const std::string& recorder = "", const std::string& driver = "") {
        return run("EfDriver gen\n"
                   "\tset \"" + set + "\"\n"
                   "\tevents \"" + std::to_string(events) + "\"\n" + driver +
                   "Lorvick rec\n"
                   "\tfevent gen fevent\n"
                   "\tfilename \"" + file + "\"\n" + recorder +
                   "EfSink direct\n"
                   "\tfevent gen fevent\n");
    }
    // Replays `file` into a sink named replay.
    tk::ChildResult replay(const std::string& file) {
        return run("Ambrel amb\n"
                   "\tfilename \"" + file + "\"\n"
                   "EfSink replay\n"
                   "\tfevent amb Tavrel\n"
                   "\teof amb eof\n");
    }
};

// The sink's lines of one run, its name replaced by "sink", without the
// lines of the named properties.
std::string sinkLines(const std::string& out, const std::string& sink, const std::vector<std::string>& without = {}) {
    std::string kept;
    for (const std::string& line : tk::splitLines(tk::linesStartingWith(out, {sink + ":"}))) {
        bool skip = false;
        for (const std::string& name : without) skip = skip || line.find(":   " + name + " ") != std::string::npos;
        if (!skip) kept += "sink" + line.substr(sink.size()) + "\n";
    }
    return kept;
}

TEST_F(RoundTripTest, EveryPropertyTypeComesBackExactly) {
    tk::ChildResult written = record("all", 6, "all.fevent");
    tk::ChildResult read = replay("all.fevent");

    // A nested event and a vorn_any property are recorded as their index only,
    // so the reader makes no property for them.
    std::vector<std::string> unstored = {"t18_any", "t99_nested"};
    std::string sent = sinkLines(written.out, "direct", unstored);
    std::string back = sinkLines(read.out, "replay");
    EXPECT_EQ(sent.substr(sent.find('\n') + 1) + "sink: eof 6\n", back.substr(back.find('\n') + 1));
    EXPECT_EQ("sink: announce 26\n", sent.substr(0, sent.find('\n') + 1));
    EXPECT_EQ("sink: announce 24\n", back.substr(0, back.find('\n') + 1));
    EXPECT_EQ(6, eftest::countLines(back, "sink: event "));
    // The second event carries the longest text that a reader keeps.
    size_t longest = 0;
    for (const std::string& line : tk::splitLines(sent))
        if (line.find("t13_cstring") != std::string::npos) longest = std::max(longest, line.size());
    EXPECT_LT(255u, longest);
    EXPECT_EQ("amb: Opening all.fevent\n"
              "amb: Tavrel file opened.\n"
              "amb running.\n"
              "amb: 26 Properties listed.\n"
              "Stop()\n",
              tk::linesStartingWith(read.out, {"amb:", "amb running", "Stop()"}));
    EXPECT_EQ("", read.err);
}

TEST_F(RoundTripTest, RecorderWritesTheLayoutByteForByte) {
    record("mix", 2, "mix.fevent");
    Bytes record;
    record.u16(0).u16(1).text("abc").u16(2).text("hi").u16(3).u16(2).u16(1).u16(0xFFFF).eventEnd();
    Bytes file;
    file.start(4).declare("n", 100).declare("s", 19).declare("t", 13).declare("v", 20).headerEnd();
    EXPECT_EQ(file.bytes + record.bytes + record.bytes, read("mix.fevent"));
}

TEST_F(RoundTripTest, ChosenPropertiesAreNumberedInNameOrder) {
    record("abc", 2, "ac.fevent", "\tProperties \"c a\"\n");
    Bytes file;
    file.start(2).declare("a", 10, 100, 0, 10).declare("c", 10).headerEnd();
    for (int i = 0; i < 2; ++i) file.u16(0).f64(i + 0.5).u16(1).f64(double(i) * i).eventEnd();
    EXPECT_EQ(file.bytes, read("ac.fevent"));
}

TEST_F(RoundTripTest, NoMatchingPropertyGivesAFileWithoutProperties) {
    record("abc", 3, "none.fevent", "\tProperties \"nothing\"\n");
    Bytes file;
    file.start(0).headerEnd().eventEnd().eventEnd().eventEnd();
    EXPECT_EQ(file.bytes, read("none.fevent"));

    tk::ChildResult read = replay("none.fevent");
    EXPECT_EQ("replay: announce 0\n"
              "replay: event 1\n"
              "replay: event 2\n"
              "replay: event 3\n"
              "replay: eof 3\n",
              tk::linesStartingWith(read.out, {"replay:"}));
    EXPECT_EQ("", read.err);
}

TEST_F(RoundTripTest, LongVectorsKeepTheirCountModulo65536) {
    record("shorts", 1, "long.fevent", "", "\tsize \"70000\"\n");
    Bytes file;
    file.start(1).declare("v", 20, 1, 0, 1).headerEnd().u16(0).u16(70000 - 65536);
    for (int n = 0; n < 70000 - 65536; ++n) file.u16(static_cast<unsigned>(static_cast<short>(n * 7)));
    file.eventEnd();
    EXPECT_EQ(file.bytes, read("long.fevent"));

    tk::ChildResult read = replay("long.fevent");
    std::string values = tk::linesStartingWith(read.out, {"replay:   v = "});
    EXPECT_EQ(4464 - 1, std::count(values.begin(), values.end(), ','));
    EXPECT_EQ("replay: eof 1\n", tk::linesStartingWith(read.out, {"replay: eof"}));
}

TEST_F(RoundTripTest, SizeCapStopsAfterTheRecordThatPassesIt) {
    // Each record of 65535 shorts takes 131076 bytes: the eighth passes 1 MiB.
    tk::ChildResult written = record("shorts", 20, "cap.fevent", "\tmaxSize \"1\"\n", "\tsize \"65535\"\n");
    EXPECT_EQ(1, eftest::countLines(written.out, "rec: reached maximum filesize, skipping."));
    const size_t header = 4 + 2 + (2 + 1 + 4 + 8 + 8) + 2;
    EXPECT_EQ(header + 8 * (2 + 2 + 131070 + 2), read("cap.fevent").size());

    tk::ChildResult read = replay("cap.fevent");
    EXPECT_EQ("replay: eof 8\n", tk::linesStartingWith(read.out, {"replay: eof"}));
}

TEST_F(RoundTripTest, CloseStopsWritingUntilANewFileName) {
    run("EfControl ctl\n"
        "\tscript \"start:gen set:rec:close: start:gen set:gen:events:2 set:rec:filename:out.fevent start:gen\"\n"
        "EfDriver gen\n"
        "\tset \"abc\"\n"
        "Lorvick rec\n"
        "\tfevent gen fevent\n"
        "\tfilename \"out.fevent\"\n");
    Bytes file;
    file.start(3).declare("a", 10, 100, 0, 10).declare("b", 10, 20, -1, 1).declare("c", 10).headerEnd();
    for (int i = 0; i < 2; ++i) file.u16(0).f64(i + 0.5).u16(1).f64(-i).u16(2).f64(double(i) * i).eventEnd();
    EXPECT_EQ(file.bytes, read("out.fevent"));
}

TEST_F(RoundTripTest, AnnouncementsAloneWriteNothing) {
    tk::ChildResult written = record("abc", 0, "never.fevent");
    EXPECT_EQ(1, eftest::countLines(written.out, "direct: announce"));
    struct stat status;
    EXPECT_NE(0, stat(path("never.fevent").c_str(), &status));
}

TEST_F(RoundTripTest, EventsThatDoNotFitTheHeaderAreReportedNotWritten) {
    tk::ChildResult written = record("retype", 6, "retype.fevent");
    EXPECT_EQ("rec: x is of type 7 but the file declares type 10; event not recorded.\n"
              "rec: Error at prop: 3 > 2\n"
              "rec: the event holds 1 of the 2 properties of the file; event not recorded.\n"
              "rec: x has no value; event not recorded.\n",
              written.err);
    // Events 0, 2 (without its extra property) and 5 are recorded.
    Bytes file;
    file.start(2).declare("x", 10).declare("y", 7).headerEnd();
    for (int i : {0, 2, 5}) file.u16(0).f64(i).u16(1).i32(10 * i).eventEnd();
    EXPECT_EQ(file.bytes, read("retype.fevent"));
}

// Under a file size limit the write that passes it fails: one line, the
// process is not killed, and later events write nothing. The file ends
// after the last whole record, so it reads back without a complaint.
TEST_F(RoundTripTest, AFileSizeLimitIsReportedOnceAndTheRunGoesOn) {
    tk::ChildResult written = runLimited("EfDriver gen\n\tset \"shorts\"\n\tevents \"20\"\n\tsize \"1000\"\n"
                                         "Lorvick rec\n\tfevent gen fevent\n\tfilename \"big.fevent\"\n",
                                         "ulimit -f 8");
    EXPECT_EQ(0, written.exitStatus) << written.termSignal << written.err;
    EXPECT_EQ("rec: Could not write to big.fevent\n", written.err);
    EXPECT_NE(std::string::npos, written.out.find("rec closed.\n"));
    // A header of 31 bytes and records of 2006 bytes: 4 fit in 8192.
    const int kFit = 4;
    Bytes file;
    file.start(1).declare("v", 20, 1, 0, 1).headerEnd();
    for (int i = 0; i < kFit; ++i) {
        file.u16(0).u16(1000);
        for (int n = 0; n < 1000; ++n) file.u16(static_cast<uint16_t>(n * 7 + i));
        file.eventEnd();
    }
    EXPECT_EQ(file.bytes, read("big.fevent"));

    tk::ChildResult read = replay("big.fevent");
    EXPECT_EQ("", read.err);
    EXPECT_EQ(kFit, eftest::countLines(read.out, "replay: event "));
    EXPECT_EQ("replay: eof " + std::to_string(kFit) + "\n", tk::linesStartingWith(read.out, {"replay: eof"}));
}

TEST_F(RoundTripTest, UnwritableFileIsReportedOnEveryEvent) {
    tk::ChildResult written = record("abc", 2, "no/such/dir.fevent");
    EXPECT_EQ("rec: Could not open/create no/such/dir.fevent\n"
              "rec: Could not open/create no/such/dir.fevent\n",
              written.err);
}

}  // namespace
