// Dunmora under torvask: the shared tree (one histogram filled by Histo)
// is written through the test AIDA system's "dump" store type, whose files
// hold the same dump text as the tree's own dump. File names from
// variables, refused names, formats the AIDA system does not offer, paths
// that cannot be written and failures of the file tree's operations. The
// AIDA system gets the real file name and does the writing itself.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

std::string writeFlow(const std::string& dunmoraLines) {
    return "AnValues src\n"
           "\tvalues \"1 2\"\n"
           "Histo h\n\tfill src value\n"
           "Dunmora out\n" +
           dunmoraLines + "\twrite src done\n";
}

// The lines Dunmora printed while writing.
std::vector<std::string> writeLines(const std::string& out) {
    std::vector<std::string> lines;
    for (const std::string& line : tk::splitLines(out))
        if (line.rfind("Writing ", 0) == 0 || line == "Written." || line.rfind("Couldn't ", 0) == 0 ||
            line.rfind("out: ", 0) == 0)
            lines.push_back(line);
    return lines;
}

// A file written through the "dump" store holds the filled histogram.
void expectTreeFile(const std::string& path) {
    aidadump::Dump tree = aidadump::parse(tk::readFile(path));
    EXPECT_EQ(2, tree.at("/Histograms/h").entries) << path;
}

// The file trees that the test AIDA system was asked for, as it logged them.
std::vector<std::string> createdStores(const an::FlowRun& run) {
    std::vector<std::string> stores;
    for (const std::string& line : aidadump::parse(run.exitDump()).log)
        if (line.rfind("treeFactory create ", 0) == 0) stores.push_back(line);
    return stores;
}

// The log line of a file tree asked for under the name `file`, not
// read-only, created new, without options.
std::string createdStore(const std::string& file, const std::string& format) {
    return "treeFactory create store=\"" + file + "\" type=\"" + format +
           "\" readOnly=false createNew=true options=\"\"";
}

TEST(Dunmora, WritesOneFilePerFormatUnderTheNameItResolves) {
    an::FlowRun run;
    std::string home = run.folder("home");
    struct Case {
        std::string lines;
        std::vector<std::string> printed;
        std::vector<std::string> files;
        std::string elsewhere;
    } cases[] = {
        {"", {"out: No format given."}, {}, ""},
        {"\tformat \"dump\"\n", {"Writing output.dump.", "Written."}, {"output.dump"}, ""},
        {"\tfilename \"$HOME/run1\"\n\tformat \"dump\"\n",
         {"Writing " + home + "/run1.dump.", "Written."},
         {},
         home + "/run1.dump"},
        {"\tfilename \"a*b\"\n\tformat \"dump\"\n", {"Writing .dump.", "Written."}, {".dump"}, ""},
        {"\tfilename \"$NOPE/run1\"\n\tformat \"root\"\n",
         {"Writing /run1.root.", "out: Couldn't create file /run1.root."}, {}, ""},
        // A format the AIDA system does not offer stops the whole write.
        {"\tfilename \"multi\"\n\tformat \"dump root dump\"\n",
         {"Writing multi.dump.", "Written.", "Writing multi.root.", "out: Couldn't create file multi.root."},
         {"multi.dump"},
         ""},
        // The AIDA system cannot write into a folder that does not exist.
        {"\tfilename \"nodir/run\"\n\tformat \"dump\"\n", {"Writing nodir/run.dump.", "Couldn't commit!"}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        for (const std::string& file : run.entries()) std::remove(run.file(file).c_str());
        std::remove((home + "/run1.dump").c_str());
        tk::ChildResult result = run.run(writeFlow(c.lines), an::Aida::Test, {"HOME=" + home});
        an::expectRan(result);
        EXPECT_EQ(c.printed, writeLines(result.out));
        // Each file tree is asked for under the name that was printed.
        std::vector<std::string> stores;
        for (const std::string& line : c.printed)
            if (line.rfind("Writing ", 0) == 0) {
                std::string file = line.substr(8, line.size() - 9);
                stores.push_back(createdStore(file, file.substr(file.rfind('.') + 1)));
            }
        EXPECT_EQ(stores, createdStores(run));
        std::vector<std::string> files = c.files;
        files.push_back("exit-dump.txt");
        std::sort(files.begin(), files.end());
        // Nothing is left under a temporary name.
        EXPECT_EQ(files, run.entries());
        for (const std::string& file : c.files) expectTreeFile(run.file(file));
        if (!c.elsewhere.empty()) expectTreeFile(c.elsewhere);
    }
}

// The AIDA system writes through the name it is given: an existing file is
// replaced, a symbolic link stays a link and its target is written, a
// directory in the way fails the commit and stays as it was.
TEST(Dunmora, TheAidaSystemWritesUnderTheRealName) {
    an::FlowRun run;
    tk::writeFile(run.file("old.dump"), "old contents\n");
    ASSERT_EQ(0, mkdir(run.file("adir.dump").c_str(), 0700));
    std::string elsewhere = run.folder("elsewhere");
    ASSERT_EQ(0, symlink((elsewhere + "/target.dump").c_str(), run.file("link.dump").c_str()));
    const std::string flow = writeFlow("\tfilename \"old\"\n\tformat \"dump\"\n") +
                             "Dunmora dir\n\tfilename \"adir\"\n\tformat \"dump\"\n\twrite src done\n"
                             "Dunmora link\n\tfilename \"link\"\n\tformat \"dump\"\n\twrite src done\n";
    tk::ChildResult result = run.run(flow);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"Writing old.dump.", "Written.", "Writing adir.dump.", "Couldn't commit!",
                                        "Writing link.dump.", "Written."}),
              writeLines(result.out));
    EXPECT_EQ((std::vector<std::string>{createdStore("old.dump", "dump"), createdStore("adir.dump", "dump"),
                                        createdStore("link.dump", "dump")}),
              createdStores(run));
    expectTreeFile(run.file("old.dump"));
    struct stat info;
    ASSERT_EQ(0, stat(run.file("adir.dump").c_str(), &info));
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    ASSERT_EQ(0, lstat(run.file("link.dump").c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    expectTreeFile(elsewhere + "/target.dump");
    EXPECT_EQ((std::vector<std::string>{"adir.dump", "exit-dump.txt", "link.dump", "old.dump"}), run.entries());
}

// A close that fails (the flush of a store on a full device) is reported
// and nothing counts as written.
TEST(Dunmora, AFailedCloseIsNotWritten) {
    struct stat info;
    if (stat("/dev/full", &info) != 0 || !S_ISCHR(info.st_mode)) GTEST_SKIP() << "no /dev/full here";
    an::FlowRun run;
    ASSERT_EQ(0, symlink("/dev/full", run.file("full.dump").c_str()));
    tk::ChildResult result = run.run(writeFlow("\tfilename \"full\"\n\tformat \"dump\"\n"));
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"Writing full.dump.", "Couldn't close!"}), writeLines(result.out));
}

// The built-in AIDA system's file trees hold nothing and every operation
// fails: each failure is reported, nothing counts as written and an
// existing file is left alone.
TEST(Dunmora, FailedFileTreeOperationsLeaveTheOldFile) {
    an::FlowRun run;
    tk::writeFile(run.file("keep.dump"), "precious\n");
    const std::string flow = writeFlow("\tfilename \"keep\"\n\tformat \"dump\"\n");
    tk::ChildResult result = run.run(flow, an::Aida::Castrine);
    an::expectRan(result);
    EXPECT_EQ((std::vector<std::string>{"Writing keep.dump.", "Couldn't mount memorytree to filetree!",
                                        "Couldn't commit!", "Couldn't close!"}),
              writeLines(result.out));
    EXPECT_EQ("precious\n", tk::readFile(run.file("keep.dump")));
    EXPECT_EQ(std::vector<std::string>{"keep.dump"}, run.entries());

    // Without an AIDA system nothing is tried.
    result = run.run(flow, an::Aida::None);
    an::expectRan(result);
    EXPECT_EQ(std::vector<std::string>{}, writeLines(result.out));
    EXPECT_EQ(1u, an::linesWith(result.out, "out initialized.").size());
    EXPECT_EQ(1u, an::linesWith(result.out, "out deleted").size());
    EXPECT_EQ(std::vector<std::string>{"keep.dump"}, run.entries());
}

}  // namespace
