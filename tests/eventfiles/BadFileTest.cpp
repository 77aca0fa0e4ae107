// Damaged event files replayed by Ambrel under torvask: each gives its
// message or one clear line, delivers no half-read record, ends the run
// without a crash and, where the file ends, sends the count on "eof".

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "EfSupport.h"

namespace {

using eftest::Bytes;

// A header of the two ints a and b.
Bytes twoInts() {
    Bytes file;
    file.start(2).declare("a", 7).declare("b", 7).headerEnd();
    return file;
}

// twoInts with one whole record.
Bytes oneRecord() {
    Bytes file = twoInts();
    file.u16(0).i32(1).u16(1).i32(2).eventEnd();
    return file;
}

// One vector property v of type `type`, then the start of a record.
Bytes vectorRecord(int type) {
    Bytes file;
    file.start(1).declare("v", type).headerEnd().u16(0);
    return file;
}

enum class Kind { File, Directory, Missing };

struct BadFile {
    const char* what;
    Kind kind;
    std::string bytes;
    std::string err;      // standard error, exactly
    int announcements;    // announcements the sink gets
    int records;          // whole records delivered
    int eof;              // the count on "eof", or -1 for none
};

const std::string kNotOpen = "amb: File not open.\n";
const std::string kInHeader = "amb: file ends inside the header.\n";
const std::string kInRecord = "amb: the file ends inside a record.\n";

std::vector<BadFile> badFiles() {
    std::vector<BadFile> cases = {
        {"missing file", Kind::Missing, "", "amb: Could not open bad.fevent\n" + kNotOpen, 0, 0, -1},
        {"directory", Kind::Directory, "", "amb: Could not open bad.fevent\n" + kNotOpen, 0, 0, -1},
        {"empty file", Kind::File, "", "amb: unrecognized file type.\n" + kNotOpen, 0, 0, -1},
        {"cut in the magic", Kind::File, Bytes().u16(0x2012).bytes, "amb: unrecognized file type.\n" + kNotOpen, 0, 0,
         -1},
        {"wrong magic", Kind::File, Bytes().u32(0).u16(0).headerEnd().bytes,
         "amb: unrecognized file type.\n0 != fe022012\n" + kNotOpen, 0, 0, -1},
        {"file of an older layout", Kind::File, Bytes().u8(0xFE).u16(0).u8(1).bytes,
         "amb: unrecognized file type.\n10000fe != fe022012\n" + kNotOpen, 0, 0, -1},
        {"cut before the count", Kind::File, Bytes().u32(0xFE022012u).bytes, kInHeader, 0, 0, 0},
        {"cut after the count", Kind::File, Bytes().start(2).bytes, kInHeader, 0, 0, 0},
        {"cut in a name", Kind::File, Bytes().start(1).raw("ab").bytes, kInHeader, 0, 0, 0},
        {"cut in a binning", Kind::File, Bytes().start(1).text("a").u8(7).i32(1).u32(0).bytes, kInHeader, 0, 0, 0},
        {"cut before the header end", Kind::File, Bytes().start(1).declare("a", 7).bytes, kInHeader, 0, 0, 0},
        {"count larger than the declarations", Kind::File, Bytes().start(65535).declare("a", 7).headerEnd().bytes,
         kInHeader, 0, 0, 0},
        {"one name of two types", Kind::File,
         Bytes().start(3).declare("a", 7).declare("b", 7).declare("a", 10).headerEnd().bytes,
         "amb: the header declares a twice with different types.\n", 0, 0, 0},
        {"one name twice with one type", Kind::File,
         Bytes().start(2).declare("a", 7).declare("a", 7).headerEnd().u16(0).i32(1).u16(1).i32(2).eventEnd().bytes, "",
         1, 1, 1},
        {"no properties", Kind::File, Bytes().start(0).headerEnd().eventEnd().eventEnd().bytes, "", 1, 2, 2},
        {"no properties and no records", Kind::File, Bytes().start(0).headerEnd().bytes, "", 1, 0, 0},
        {"header without records", Kind::File, twoInts().bytes, "", 1, 0, 0},
        {"wrong header end", Kind::File,
         Bytes().start(1).declare("a", 7).u16(0xBEEF).u16(0).i32(4).eventEnd().bytes,
         "amb: Wrongly terminated header. Read 0xbeef instead of 0xdead\n", 1, 1, 1},
        {"cut after an index", Kind::File, oneRecord().u16(0).bytes, kInRecord, 1, 1, 2},
        {"cut in a value", Kind::File, oneRecord().u16(0).u16(7).bytes, kInRecord, 1, 1, 2},
        {"cut before the end marker", Kind::File, oneRecord().u16(0).i32(3).u16(1).i32(4).bytes, kInRecord, 1, 1, 2},
        {"cut in the end marker", Kind::File, oneRecord().u16(0).i32(3).u16(1).i32(4).u8(0xFE).bytes, kInRecord, 1, 1,
         2},
        {"wrong end marker", Kind::File, oneRecord().u16(0).i32(3).u16(1).i32(4).u16(0x1234).bytes,
         "amb: Wrong FE trailer, read 0x1234 instead of 0xe0fe\n", 1, 1, -1},
        {"vector count beyond the file", Kind::File, vectorRecord(25).u16(65535).f64(1).bytes, kInRecord, 1, 0, 1},
        {"vector of vectors count beyond the file", Kind::File, vectorRecord(30).u16(65535).u16(65535).bytes,
         kInRecord, 1, 0, 1},
        {"inner vector count beyond the file", Kind::File, vectorRecord(27).u16(2).u16(1).u16(5).u16(65535).bytes,
         kInRecord, 1, 0, 1},
        {"text vector count beyond the file", Kind::File, vectorRecord(26).u16(65535).text("a").bytes, kInRecord, 1, 0,
         1},
        {"text without its blank at the end", Kind::File, vectorRecord(19).raw("abc").bytes, kInRecord, 1, 0, 1},
        {"bool vector count beyond the file", Kind::File, vectorRecord(23).u16(9).u8(1).bytes, kInRecord, 1, 0, 1},
    };
    // Type codes without a stored value hold only their index, and a
    // record of them reads on.
    Bytes unstored;
    unstored.start(5).declare("n", 100).declare("z", 0).declare("m", 0xFF).declare("q", 12).declare("w", 31);
    unstored.headerEnd();
    for (int r = 0; r < 2; ++r) {
        for (unsigned i = 0; i < 5; ++i) unstored.u16(i);
        unstored.eventEnd();
    }
    cases.push_back({"types without a stored value", Kind::File, unstored.bytes, "", 1, 2, 2});
    return cases;
}

class BadFileTest : public eftest::FlowTest {};

TEST_F(BadFileTest, EachDamageEndsTheRunCleanly) {
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.what);
        std::string file = path("bad.fevent");
        unlink(file.c_str());
        rmdir(file.c_str());
        if (bad.kind == Kind::File) write("bad.fevent", bad.bytes);
        if (bad.kind == Kind::Directory) {
            ASSERT_EQ(0, mkdir(file.c_str(), 0700));
        }
        tk::ChildResult result = run("Ambrel amb\n"
                                     "\tfilename \"bad.fevent\"\n"
                                     "EfSink sink\n"
                                     "\tfevent amb Tavrel\n"
                                     "\teof amb eof\n");
        EXPECT_EQ(bad.err, result.err);
        EXPECT_EQ(bad.announcements, eftest::countLines(result.out, "sink: announce"));
        EXPECT_EQ(bad.records, eftest::countLines(result.out, "sink: event "));
        EXPECT_EQ(bad.eof < 0 ? "" : "sink: eof " + std::to_string(bad.eof) + "\n",
                  tk::linesStartingWith(result.out, {"sink: eof"}));
        EXPECT_EQ(1, eftest::countLines(result.out, "amb closed."));
    }
}

}  // namespace
