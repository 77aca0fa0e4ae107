// Ferrund: XML documents merged into XML files, other texts appended as
// lines, under torvask.

#include <sys/stat.h>
#include <unistd.h>

#include "XmSupport.h"

namespace xm {
namespace {

using FerrundTest = XmFlowTest;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// A Ferrund named "ferrund" with these literal file and expression, fed
// with the files `sources`, one per step.
std::string mergeFlow(int steps, const std::string& sources, const std::string& file,
                      const std::string& xpath = "/log/entry") {
    return stepper(steps) + feed("source", sources) +
           module("Ferrund", "ferrund", {"XMLfile \"" + file + "\"", "xpath \"" + xpath + "\"", "XMLtext source text"});
}

TEST_F(FerrundTest, AppendsTextsThatAreNoXmlDocumentsAsLines) {
    write("hello.txt", "hello");
    write("empty.txt", "");
    write("joined.txt", "<?xml?><log/>");
    write("bare.txt", "<log/>");
    write("lines.txt", "one\ntwo");
    tk::ChildResult result = run(mergeFlow(5, "hello.txt empty.txt joined.txt bare.txt lines.txt", "out.txt"));
    EXPECT_EQ("hello\n\n<?xml?><log/>\n<log/>\none\ntwo\n", read("out.txt"));
    EXPECT_EQ("", runOutput(result.out));
    EXPECT_NE(std::string::npos, result.out.find("ferrund instantiated\n"));
    EXPECT_NE(std::string::npos, result.out.find("ferrund deleted\n"));
}

// The first document becomes the file; each later one takes copies of the
// file's matching node and its following siblings into its own last match.
TEST_F(FerrundTest, CreatesTheFileThenMergesItIntoEachNewDocument) {
    write("first.xml", "<?xml version=\"1.0\"?><log><entry>first</entry></log>");
    write("two.xml", "<?xml version=\"1.0\"?>\n<log><entry>a</entry><entry>b</entry></log>");
    write("new.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><log><head/><entry id=\"n\">\xe9</entry></log>");
    tk::ChildResult result = run(mergeFlow(1, "first.xml", "out.xml"));
    EXPECT_EQ("ferrund: Generating new file: out.xml\n", runOutput(result.out));
    EXPECT_EQ(kDeclaration + "<log>\n  <entry>first</entry>\n</log>\n", read("out.xml"));

    write("out.xml", kDeclaration + "<log>\n  <entry>a</entry>\n  <entry>b</entry>\n  <tail/>\n</log>\n");
    result = run(mergeFlow(1, "new.xml", "out.xml"));
    EXPECT_EQ("", runOutput(result.out));
    EXPECT_EQ(kDeclaration + "<log>\n  <head/>\n  <entry id=\"n\">\xc3\xa9<entry>a</entry><entry>b</entry><tail/></entry>\n</log>\n",
              read("out.xml"));
    EXPECT_EQ((std::vector<std::string>{"first.xml", "flow.mivet", "new.xml", "out.xml", "two.xml"}), listDir(work));
}

TEST_F(FerrundTest, ReadsTheFileWithoutItsIndentationAndKeepsItsText) {
    write("out.xml", "<?xml version=\"1.0\"?>\r\n<log>\n\n\t<entry>one</entry>\n\n    <entry>two\ttab\nline</entry>\n"
                     "  <entry>a <b>x</b> c</entry>\n</log>\n");
    write("new.xml", "<?xml version=\"1.0\"?><log><entry id=\"new\"/></log>");
    run(mergeFlow(1, "new.xml", "out.xml"));
    EXPECT_EQ(kDeclaration + "<log>\n  <entry id=\"new\">\n    <entry>one</entry>\n    <entry>two\ttab\nline</entry>\n"
                             "    <entry>a <b>x</b> c</entry>\n  </entry>\n</log>\n",
              read("out.xml"));
}

TEST_F(FerrundTest, NamespacesOfTheSourceRootServeBothExpressions) {
    write("new.xml", "<?xml version=\"1.0\"?><!-- new --><a:log xmlns:a=\"urn:a\"><a:entry/></a:log>");
    write("out.xml", "<?xml version=\"1.0\"?><a:log xmlns:a=\"urn:a\"><a:entry>old</a:entry></a:log>");
    run(mergeFlow(1, "new.xml", "out.xml", "/a:log/a:entry"));
    EXPECT_EQ(kDeclaration + "<!-- new -->\n<a:log xmlns:a=\"urn:a\">\n  <a:entry>\n    <a:entry>old</a:entry>\n"
                             "  </a:entry>\n</a:log>\n",
              read("out.xml"));
}

// Every failure leaves the file as it was and says why in one line, except
// for bad expressions and sources, where the library speaks.
TEST_F(FerrundTest, LeavesTheFileAloneWhenItCannotMerge) {
    const std::string kFile = kDeclaration + "<log>\n  <entry>old</entry>\n</log>\n";
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    write("broken.xml", "<?xml version=\"1.0\"?><log><entry>new</entry>");
    write("other.xml", "<?xml version=\"1.0\"?><other/>");
    write("withid.xml", "<?xml version=\"1.0\"?><log><entry id=\"n\">new</entry></log>");
    const struct {
        const char* what;
        std::string file;  // the target's content before
        std::string source;
        std::string xpath;
        std::string said;
    } cases[] = {
        {"empty target", "", "new.xml", "/log/entry", "ferrund: Not a properly formed XML file: out.xml\n"},
        {"malformed target", "<log><entry>", "new.xml", "/log/entry",
         "ferrund: Not a properly formed XML file: out.xml\n"},
        {"nothing in the source", kFile, "other.xml", "/log/entry",
         "ferrund: Cound not find \"/log/entry[last()]\" in XML source\n"},
        {"nothing in the target", kDeclaration + "<log>\n  <head/>\n</log>\n", "new.xml", "/log/entry",
         "ferrund: Cound not find \"/log/entry\" in XML target file out.xml\n"},
        {"empty expression", kFile, "new.xml", "", ""},
        {"malformed expression", kFile, "new.xml", "/log/[", ""},
        {"no node set", kFile, "new.xml", "count(/log)", ""},
        {"malformed source", kFile, "broken.xml", "/log/entry", ""},
        {"attribute in the source", kFile, "withid.xml", "/log/entry/@id | /log/entry",
         "ferrund: Cannot insert into \"/log/entry/@id | /log/entry[last()]\" in XML source: not an element\n"},
        {"namespace in the source", kFile, "new.xml", "/log/namespace::*",
         "ferrund: Cannot insert into \"/log/namespace::*[last()]\" in XML source: not an element\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write("out.xml", c.file);
        tk::ChildResult result = run(mergeFlow(1, c.source, "out.xml", c.xpath));
        EXPECT_EQ(c.said, runOutput(result.out));
        EXPECT_EQ(c.file, read("out.xml"));
    }
}

TEST_F(FerrundTest, CopiesOnlyNodesThatCanBeChildren) {
    write("new.xml", "<?xml version=\"1.0\"?><log><x/></log>");
    // The attribute comes first in the file and the element last in the source.
    write("out.xml", "<?xml version=\"1.0\"?><log id=\"1\"><x/></log>");
    tk::ChildResult result = run(mergeFlow(1, "new.xml", "out.xml", "//@id | //x"));
    EXPECT_EQ("ferrund: Cannot copy \"//@id | //x\" from XML target file out.xml: not an element or text\n",
              runOutput(result.out));
    EXPECT_EQ("<?xml version=\"1.0\"?><log id=\"1\"><x/></log>", read("out.xml"));

    // The document type declaration among the siblings stays behind.
    write("out.xml", "<?xml version=\"1.0\"?><!-- c --><!DOCTYPE log><log><entry>old</entry></log>");
    result = run(mergeFlow(1, "new.xml", "out.xml", "/node()"));
    EXPECT_EQ("", runOutput(result.out));
    EXPECT_EQ(kDeclaration + "<log>\n  <x/>\n  <!-- c -->\n  <log>\n    <entry>old</entry>\n  </log>\n</log>\n",
              read("out.xml"));
}

TEST_F(FerrundTest, ReportsFilesItCannotReadOrWrite) {
    ASSERT_EQ(0, mkdir(path("dir").c_str(), 0700));
    // A pipe without a writer or reader blocks whoever opens it plainly.
    ASSERT_EQ(0, mkfifo(path("pipe").c_str(), 0600));
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    write("hello.txt", "hello");
    const struct {
        const char* file;
        const char* source;
        std::string said;
    } cases[] = {
        {"dir", "hello.txt", "ferrund: Could not open/create text file dir\n"},
        {"dir", "new.xml", "ferrund: Could not read XML file dir\n"},
        {"pipe", "hello.txt", "ferrund: Could not open/create text file pipe\n"},
        {"pipe", "new.xml", "ferrund: Could not read XML file pipe\n"},
        {"no/such/out.txt", "hello.txt", "ferrund: Could not open/create text file no/such/out.txt\n"},
        {"no/such/out.xml", "new.xml",
         "ferrund: Generating new file: no/such/out.xml\nferrund: Could not write XML file no/such/out.xml\n"},
        {"/dev/full", "hello.txt", "ferrund: Could not write to text file /dev/full\n"},
        {"", "new.xml", "ferrund: Generating new file: \nferrund: Could not write XML file \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.source);
        EXPECT_EQ(c.said, runOutput(run(mergeFlow(1, c.source, c.file)).out));
    }
    EXPECT_EQ((std::vector<std::string>{"dir", "flow.mivet", "hello.txt", "new.xml", "pipe"}), listDir(work));
    EXPECT_EQ(std::vector<std::string>{}, listDir(path("dir")));
}

// The file is replaced in one step: no temporary stays behind, a link stays
// a link to the file it names, and the file keeps its permissions.
TEST_F(FerrundTest, ReplacesTheFileItselfThroughLinksAndKeepsItsMode) {
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    write("real.xml", "<log><entry>old</entry></log>");
    ASSERT_EQ(0, chmod(path("real.xml").c_str(), 0640));
    ASSERT_EQ(0, symlink("real.xml", path("link.xml").c_str()));
    run(mergeFlow(2, "new.xml", "link.xml"));
    EXPECT_EQ(kDeclaration + "<log>\n  <entry>new<entry>new<entry>old</entry></entry></entry>\n</log>\n",
              read("real.xml"));
    struct stat link, real;
    ASSERT_EQ(0, lstat(path("link.xml").c_str(), &link));
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    ASSERT_EQ(0, stat(path("real.xml").c_str(), &real));
    EXPECT_EQ(0640u, real.st_mode & 07777);
    EXPECT_EQ((std::vector<std::string>{"flow.mivet", "link.xml", "new.xml", "real.xml"}), listDir(work));
}

// A dangling link gets its target made and stays a link; a file keeps its
// mode and owner; a name near the system's limit still has room for the
// temporary beside it.
TEST_F(FerrundTest, ReplacementKeepsWhatTheFileWas) {
    const std::string kMerged = kDeclaration + "<log>\n  <entry>new<entry>old</entry></entry>\n</log>\n";
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    ASSERT_EQ(0, symlink("made.xml", path("dangling.xml").c_str()));
    EXPECT_EQ("ferrund: Generating new file: dangling.xml\n", runOutput(run(mergeFlow(1, "new.xml", "dangling.xml")).out));
    struct stat info;
    ASSERT_EQ(0, lstat(path("dangling.xml").c_str(), &info));
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(kDeclaration + "<log>\n  <entry>new</entry>\n</log>\n", read("made.xml"));

    write("private.xml", "<log><entry>old</entry></log>");
    ASSERT_EQ(0, chmod(path("private.xml").c_str(), 0600));
    const uid_t other = unprivilegedUser();
    ASSERT_EQ(0, chown(path("private.xml").c_str(), other, other));
    EXPECT_EQ("", runOutput(run(mergeFlow(1, "new.xml", "private.xml")).out));
    EXPECT_EQ(kMerged, read("private.xml"));
    ASSERT_EQ(0, stat(path("private.xml").c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 07777);
    EXPECT_EQ(other, info.st_uid);
    EXPECT_EQ(static_cast<gid_t>(other), info.st_gid);

    const std::string longName = std::string(246, 'n') + ".xml";
    write(longName, "<log><entry>old</entry></log>");
    EXPECT_EQ("", runOutput(run(mergeFlow(1, "new.xml", longName)).out));
    EXPECT_EQ(kMerged, read(longName));
    EXPECT_EQ((std::vector<std::string>{"dangling.xml", "flow.mivet", "made.xml", "new.xml", longName, "private.xml"}),
              listDir(work));
}

// A merged document that outgrows the file size limit is not written: the
// file stays byte for byte as it was, and one line names it.
TEST_F(FerrundTest, AFileSizeLimitLeavesTheFileAsItWas) {
    std::string entries;
    for (int i = 0; i < 80; ++i) entries += "  <entry>value number " + std::to_string(1000 + i) + " here</entry>\n";
    const std::string kFile = kDeclaration + "<log>\n" + entries + "</log>\n";
    ASSERT_LT(kFile.size(), 4096u);
    write("out.xml", kFile);
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>" + std::string(1500, 'n') + "</entry></log>");
    tk::ChildResult result = runLimited(mergeFlow(1, "new.xml", "out.xml"), "ulimit -f 4");
    EXPECT_EQ(0, result.exitStatus) << result.termSignal << result.err;
    EXPECT_EQ("ferrund: Could not write XML file out.xml\n", runOutput(result.out));
    EXPECT_EQ(kFile, read("out.xml"));
    EXPECT_EQ((std::vector<std::string>{"flow.mivet", "new.xml", "out.xml"}), listDir(work));
}

// A file with two names is written into, so both names show the merge; a
// failed write puts the old text back.
TEST_F(FerrundTest, AHardLinkedFileIsWrittenInPlace) {
    write("h1.xml", "<log><entry>old</entry></log>");
    ASSERT_EQ(0, link(path("h1.xml").c_str(), path("h2.xml").c_str()));
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    EXPECT_EQ("", runOutput(run(mergeFlow(1, "new.xml", "h1.xml")).out));
    const std::string kMerged = kDeclaration + "<log>\n  <entry>new<entry>old</entry></entry>\n</log>\n";
    EXPECT_EQ(kMerged, read("h1.xml"));
    EXPECT_EQ(kMerged, read("h2.xml"));
    struct stat one, two;
    ASSERT_EQ(0, stat(path("h1.xml").c_str(), &one));
    ASSERT_EQ(0, stat(path("h2.xml").c_str(), &two));
    EXPECT_EQ(one.st_ino, two.st_ino);

    write("big.xml", "<?xml version=\"1.0\"?><log><entry>" + std::string(5000, 'n') + "</entry></log>");
    tk::ChildResult result = runLimited(mergeFlow(1, "big.xml", "h1.xml"), "ulimit -f 4");
    EXPECT_EQ(0, result.exitStatus) << result.termSignal << result.err;
    EXPECT_EQ("ferrund: Could not write XML file h1.xml\n", runOutput(result.out));
    EXPECT_EQ(kMerged, read("h2.xml"));
}

// A target whose entry follows `pad` bytes of other content, and a source
// whose entry holds `size` bytes: their merge is about as long as the source.
std::string paddedTarget(size_t pad) { return "<log><pad>" + std::string(pad, 'p') + "</pad><entry>old</entry></log>\n"; }
std::string sizedSource(size_t size) {
    return "<?xml version=\"1.0\"?><log><entry>" + std::string(size, 'n') + "</entry></log>";
}
std::string sizedMerge(size_t size) {
    return kDeclaration + "<log>\n  <entry>" + std::string(size, 'n') + "<entry>old</entry></entry>\n</log>\n";
}

// Old and new texts beside a file size limit of 4096 bytes: a write that
// passes the limit fails, one that stays below succeeds.
struct SizedMerge {
    const char* what;
    size_t oldPad;
    size_t newSize;
    bool fits;
};
const SizedMerge kSizedMerges[] = {
    {"old below the limit, new above", 0, 5000, false},
    {"old above the limit, new longer", 10000, 12000, false},
    {"old above the limit, new shorter but above", 10000, 6000, false},
    {"old above the limit, new below", 10000, 100, true},
};

// Both names of a file larger than the limit keep its bytes when the merge
// outgrows the limit; a merge below it is written in place and the file cut
// to it.
TEST_F(FerrundTest, WritingInPlaceUnderAFileSizeLimitLosesNothing) {
    for (const SizedMerge& c : kSizedMerges) {
        SCOPED_TRACE(c.what);
        unlink(path("h1.xml").c_str());
        unlink(path("h2.xml").c_str());
        const std::string kOld = paddedTarget(c.oldPad);
        write("h1.xml", kOld);
        ASSERT_EQ(0, link(path("h1.xml").c_str(), path("h2.xml").c_str()));
        write("new.xml", sizedSource(c.newSize));
        tk::ChildResult result = runLimited(mergeFlow(1, "new.xml", "h1.xml"), "ulimit -f 4");
        EXPECT_EQ(0, result.exitStatus) << result.termSignal << result.err;
        EXPECT_EQ(c.fits ? "" : "ferrund: Could not write XML file h1.xml\n", runOutput(result.out));
        const std::string expected = c.fits ? sizedMerge(c.newSize) : kOld;
        EXPECT_EQ(expected, read("h1.xml"));
        EXPECT_EQ(expected, read("h2.xml"));
        struct stat info;
        ASSERT_EQ(0, stat(path("h1.xml").c_str(), &info));
        EXPECT_EQ(2u, info.st_nlink);
    }
    EXPECT_EQ((std::vector<std::string>{"flow.mivet", "h1.xml", "h2.xml", "new.xml"}), listDir(work));
}

// As a user without privileges, in a folder that takes no new entry, the
// file is rewritten in place: under a file size limit that the merge
// outgrows, it keeps its bytes, whether it is smaller or larger than the
// limit.
TEST_F(FerrundTest, RewritingInPlaceInAClosedFolderLosesNothingUnderAFileSizeLimit) {
    const uid_t user = unprivilegedUser();
    ASSERT_EQ(0, mkdir(path("shut").c_str(), 0755));
    std::vector<std::string> files;
    for (size_t i = 0; i < sizeof kSizedMerges / sizeof kSizedMerges[0]; ++i) {
        const std::string name = "shut/" + std::to_string(i) + ".xml";
        write(name, paddedTarget(kSizedMerges[i].oldPad));
        ASSERT_EQ(0, chown(path(name).c_str(), user, user));
        ASSERT_EQ(0, chmod(path(name).c_str(), 0644));
        write("new" + std::to_string(i) + ".xml", sizedSource(kSizedMerges[i].newSize));
        ASSERT_EQ(0, chmod(path("new" + std::to_string(i) + ".xml").c_str(), 0644));
        files.push_back(std::to_string(i) + ".xml");
    }
    ASSERT_EQ(0, chmod(path("shut").c_str(), 0555));
    chmod(work.c_str(), 0755);
    for (size_t i = 0; i < files.size(); ++i) {
        const SizedMerge& c = kSizedMerges[i];
        SCOPED_TRACE(c.what);
        const std::string name = "shut/" + files[i];
        struct stat before, after;
        ASSERT_EQ(0, stat(path(name).c_str(), &before));
        tk::ChildResult result;
        if (!runUnprivileged(mergeFlow(1, "new" + std::to_string(i) + ".xml", name), result, "ulimit -f 4")) {
            chmod(path("shut").c_str(), 0755);
            GTEST_SKIP() << "cannot run as a user without privileges (no setpriv, or the build is out of its reach)";
        }
        EXPECT_EQ(c.fits ? "" : "ferrund: Could not write XML file " + name + "\n", runOutput(result.out));
        EXPECT_EQ(c.fits ? sizedMerge(c.newSize) : paddedTarget(c.oldPad), read(name));
        ASSERT_EQ(0, stat(path(name).c_str(), &after));
        EXPECT_EQ(before.st_ino, after.st_ino);
    }
    EXPECT_EQ(files, listDir(path("shut")));
    chmod(path("shut").c_str(), 0755);
}

// Copies of nodes that refer to the file's own entities make a document
// that does not parse again: that is said, and the file stays as it was.
TEST_F(FerrundTest, AMergeThatDoesNotParseAgainLeavesTheFile) {
    const std::string kFile = "<?xml version=\"1.0\"?><!DOCTYPE log [<!ENTITY e \"x\">]><log><entry>&e;</entry></log>";
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    write("out.xml", kFile);
    EXPECT_EQ("ferrund: Merged XML document is not well formed, file left unchanged: out.xml\n",
              runOutput(run(mergeFlow(1, "new.xml", "out.xml")).out));
    EXPECT_EQ(kFile, read("out.xml"));
}

// As a user without privileges: a file it may not write is never replaced,
// even in a folder it may write; a file it may write in a folder it may not
// is rewritten in place.
TEST_F(FerrundTest, PermissionsOfTheFileAndItsFolderAreRespected) {
    const uid_t user = unprivilegedUser();
    write("new.xml", "<?xml version=\"1.0\"?><log><entry>new</entry></log>");
    chmod(path("new.xml").c_str(), 0644);
    ASSERT_EQ(0, mkdir(path("open").c_str(), 0777));
    ASSERT_EQ(0, chmod(path("open").c_str(), 0777));
    write("open/locked.xml", "<log><entry>old</entry></log>");
    ASSERT_EQ(0, chown(path("open/locked.xml").c_str(), user, user));
    ASSERT_EQ(0, chmod(path("open/locked.xml").c_str(), 0444));
    ASSERT_EQ(0, mkdir(path("shut").c_str(), 0755));
    write("shut/free.xml", "<log><entry>old</entry></log>");
    ASSERT_EQ(0, chown(path("shut/free.xml").c_str(), user, user));
    ASSERT_EQ(0, chmod(path("shut/free.xml").c_str(), 0644));
    if (geteuid() != 0) {
        ASSERT_EQ(0, chmod(path("shut").c_str(), 0555));
    }
    chmod(work.c_str(), 0755);
    struct stat before, after;
    ASSERT_EQ(0, stat(path("shut/free.xml").c_str(), &before));

    tk::ChildResult result;
    if (!runUnprivileged(mergeFlow(1, "new.xml", "open/locked.xml"), result)) {
        GTEST_SKIP() << "cannot run as a user without privileges (no setpriv, or the build is out of its reach)";
    }
    EXPECT_EQ("ferrund: Could not write XML file open/locked.xml\n", runOutput(result.out));
    EXPECT_EQ("<log><entry>old</entry></log>", read("open/locked.xml"));
    EXPECT_EQ(std::vector<std::string>{"locked.xml"}, listDir(path("open")));

    ASSERT_TRUE(runUnprivileged(mergeFlow(1, "new.xml", "shut/free.xml"), result));
    EXPECT_EQ("", runOutput(result.out));
    EXPECT_EQ(kDeclaration + "<log>\n  <entry>new<entry>old</entry></entry>\n</log>\n", read("shut/free.xml"));
    ASSERT_EQ(0, stat(path("shut/free.xml").c_str(), &after));
    EXPECT_EQ(before.st_ino, after.st_ino);
    chmod(path("shut").c_str(), 0755);
}

TEST_F(FerrundTest, FileNamesBeginningWithDollarNameAVariable) {
    ASSERT_EQ(0, mkdir(path("sub").c_str(), 0700));
    write("hello.txt", "hello");
    std::string flow = stepper(1) + feed("source", "hello.txt");
    const char* names[] = {"$HOME/home.txt", "$XMDIR/dir.txt", "$XMWHOLE", "$XMUNSET/no-such-dir/x.txt", "$XMUNSET"};
    for (int i = 0; i < 5; ++i)
        flow += module("Ferrund", "ferrund" + std::to_string(i),
                       {"XMLfile \"" + std::string(names[i]) + "\"", "XMLtext source text"});
    tk::ChildResult result =
        run(flow, {"HOME=" + work, "XMDIR=" + work + "/sub", "XMWHOLE=" + work + "/whole.txt", "XMEMPTY="});
    EXPECT_EQ("hello\n", read("home.txt"));
    EXPECT_EQ("hello\n", read("sub/dir.txt"));
    EXPECT_EQ("hello\n", read("whole.txt"));
    EXPECT_EQ("ferrund3: Could not open/create text file /no-such-dir/x.txt\n"
              "ferrund4: Could not open/create text file \n",
              runOutput(result.out));
}

// Ostrevin stamps each value as a log document, which Ferrund merges.
TEST_F(FerrundTest, TakesTheDocumentsThatOstrevinMakes) {
    write("style.xsl", "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                       "<xsl:param name=\"currenttime\"/><xsl:template match=\"/\"><log><entry time=\"{$currenttime}\">"
                       "<xsl:value-of select=\"/r\"/></entry></log></xsl:template></xsl:stylesheet>");
    write("a.xml", "<r>a</r>");
    write("b.xml", "<r>b</r>");
    std::string flow = stepper(2) + feed("style", "style.xsl") + feed("xml", "a.xml b.xml") +
                       module("Ostrevin", "ostrevin", {"XSLTtext style text", "XMLtext xml text"}) +
                       module("Ferrund", "ferrund",
                              {"XMLfile \"log.xml\"", "xpath \"/log/entry\"", "XMLtext ostrevin output"});
    tk::ChildResult result = run(flow, {"TZ=UTC0"});
    EXPECT_EQ("ferrund: Generating new file: log.xml\n", runOutput(result.out));
    std::string log = read("log.xml");
    ASSERT_EQ(0u, log.find(kDeclaration + "<log>\n  <entry time=\"")) << log;
    std::string stamp = log.substr(kDeclaration.size() + 21, 25);
    EXPECT_EQ("+00:00", stamp.substr(19)) << log;
    EXPECT_NE(std::string::npos, log.find("\">b<entry time=\"")) << log;
    EXPECT_NE(std::string::npos, log.find("\">a</entry></entry>\n</log>\n")) << log;
}

}  // namespace
}  // namespace xm
