// Reading flow description files into a manager and writing them back.

#include <memory>

#include "MgManagerTesting.h"

namespace {

using mgtest::instanceNames;
using tk::splitLines;
using captured::stderrOf;
using captured::stdoutOf;
typedef std::vector<std::string> Lines;

class FlowFile : public testing::Test {
protected:
    void SetUp() override { manager_ = newManager(); }
    void TearDown() override {
        stdoutOf([&] { manager_.reset(); });
    }

    static std::unique_ptr<Mesgrave> newManager() {
        std::unique_ptr<Mesgrave> manager;
        stdoutOf([&] { manager.reset(new Mesgrave("")); });
        return manager;
    }

    // Reads `text` into the manager; returns what the modules printed.
    std::string configure(const std::string& text) {
        return stdoutOf([&] { EXPECT_TRUE(manager_->configureFromString(text)); });
    }

    Corvane& instance(const std::string& name) {
        Corvane* found = manager_->findObject(name);
        if (found == nullptr) throw std::runtime_error("no instance " + name);
        return *found;
    }

    std::string inputString(const std::string& name, int input) { return instance(name).GetInputString(input); }

    std::unique_ptr<Mesgrave> manager_;
};

// A flow in the written layout: literals with blanks, a connection, dynamic
// inputs, an input left empty, positions of several notations, a collapse.
const char kWrittenFlow[] =
    "MgProbe gen\n"
    "\ttext \"a  b\"\n"
    "\tcount \"7\"\n"
    "\n"
    "MgProbe p\n"
    "\ttext gen out\n"
    "\tsteps \"10\"\n"
    "\n"
    "MgList l\n"
    "\tnames \"x y\"\n"
    "\tx \"1\"\n"
    "\ty \" two\tthree \"\n"
    "\n"
    "MgEmpty e\n"
    "\n"
    "\n"
    "*gen 100 100 \n"
    "*p 120.5 40 C\n"
    "*l 1.23457e+06 0.5 \n"
    "*e 0 -3 \n";

TEST_F(FlowFile, WrittenFlowReadsBackToTheSameText) {
    configure(kWrittenFlow);
    std::string written = manager_->stringRepresentation();
    EXPECT_EQ(kWrittenFlow, written);

    std::unique_ptr<Mesgrave> again = newManager();
    stdoutOf([&] { again->configureFromString(written); });
    EXPECT_EQ(written, again->stringRepresentation());
    stdoutOf([&] { again.reset(); });
}

TEST_F(FlowFile, ForeignLayoutIsWrittenInTheOwnLayout) {
    // Comments, CR LF line ends (also after an unclosed quote), lines of
    // white space only, extra tokens, text after a closing quote, an empty
    // literal, a missing position.
    configure(
        "# a comment\r\n"
        "MgProbe gen extra tokens\r\n"
        " \t \r\n"
        "\ttext \"a  b\" ignored\r\n"
        "\tcount \"7\r\n"
        "\tsteps \"\"\r\n"
        "\r\n"
        "   MgProbe p\r\n"
        "\ttext gen out\r\n"
        "*p 120.5 40 C ignored\r\n");
    const char expected[] =
        "MgProbe gen\n"
        "\ttext \"a  b\"\n"
        "\tcount \"7\"\n"
        "\n"
        "MgProbe p\n"
        "\ttext gen out\n"
        "\n"
        "\n"
        "*gen 100 100 \n"
        "*p 120.5 40 C\n";
    EXPECT_EQ(expected, manager_->stringRepresentation());
    EXPECT_TRUE(manager_->notFound.empty());
}

TEST_F(FlowFile, WritesTheFiveLinesOfOneInstance) {
    Corvane* step = nullptr;
    stdoutOf([&] { step = manager_->makeInstance("MgProbe", "step"); });
    stdoutOf([&] { manager_->connectObjectInputValue(0, 2, "10"); });
    EXPECT_EQ("MgProbe step\n\tsteps \"10\"\n\n\n*step 100 100 \n", manager_->stringRepresentation());
    EXPECT_EQ("10", (*step->GetInputs())[2].value);
}

TEST_F(FlowFile, EveryLiteralArrivesBeforeAnyConnection) {
    std::string out = configure(
        "MgProbe a\n"
        "\ttext b out\n"
        "MgProbe b\n"
        "\tcount c out\n"
        "\ttext \"hello\"\n"
        "MgProbe c\n"
        "\tsteps \"3\"\n");
    EXPECT_EQ(Lines({"a instantiated", "a initialized by MgProbe, 0 listed", "b instantiated",
                     "b initialized by MgProbe, 1 listed", "c instantiated", "c initialized by MgProbe, 2 listed",
                     "b: text \"hello\"", "c: steps 3", "b: connect 0 to a 0", "c: connect 0 to b 1"}),
              splitLines(out));
    EXPECT_EQ("b out", inputString("a", 0));
    EXPECT_EQ("c out", inputString("b", 1));
}

// What one input line of instance p does: the text that reaches p's text
// input, if any, and the text form that input has afterwards.
struct InputLineCase {
    const char* line;
    const char* delivered;
    const char* inputString;
};

TEST_F(FlowFile, InputLineGivesOneLiteralOrOneSenderOrNothing) {
    const InputLineCase cases[] = {
        {"\ttext \"a  b\"", "p: text \"a  b\"\n", "a  b"},
        {"\ttext \"\"", "p: text \"\"\n", ""},
        {"\ttext \"a\tb\" tail", "p: text \"a\tb\"\n", "a\tb"},
        {"\ttext \"open  to the end", "p: text \"open  to the end\"\n", "open  to the end"},
        {"\ttext    word", "p: text \"word\"\n", "word"},
        {"\ttext\t\"a b\"", "", ""},
        {"\ttext one two three", "", ""},
        {"\ttext", "", ""},
        {"\tnosuch \"x\"", "", ""},
        {"\ttext gen out", "gen: connect 0 to p 0\n", "gen out"},
        {"\ttext gen nosuch", "", ""},
        {"\ttext nobody out", "", ""},
    };
    for (const InputLineCase& c : cases) {
        TearDown();  // a fresh manager per case
        SetUp();
        std::string out = configure(std::string("MgProbe gen\nMgProbe p\n") + c.line + "\n");
        std::string module = out.substr(out.find("p initialized"));
        EXPECT_EQ(c.delivered, module.substr(module.find('\n') + 1)) << c.line;
        EXPECT_EQ(c.inputString, inputString("p", 0)) << c.line;
    }
}

TEST_F(FlowFile, InputLinesOfAnUnknownClassAreDropped) {
    std::string out = configure(
        "MgProbe a\n"
        "NoSuch b\n"
        "\ttext \"for b\"\n"
        "MgProbe c\n"
        "\ttext \"for c\"\n");
    EXPECT_EQ(Lines({"a", "c"}), instanceNames(*manager_));
    EXPECT_EQ("", inputString("a", 0));
    EXPECT_EQ("for c", inputString("c", 0));
    EXPECT_EQ(std::string::npos, out.find("for b"));
    configure("Missing x\nAlso y\n\tsteps \"1\"\n");
    EXPECT_EQ(std::set<std::string>({"Also", "Missing", "NoSuch"}), manager_->notFound);
}

TEST_F(FlowFile, PositionLinesPlaceAndCollapse) {
    configure("MgProbe p\nMgProbe q\n*p 120.5 40 C\n*q abc\n*nobody 1 2\n* q 5 5\n");
    float x = 0, y = 0;
    instance("p").GetPosition(x, y);
    EXPECT_EQ(120.5f, x);
    EXPECT_EQ(40.0f, y);
    EXPECT_TRUE(instance("p").IsCollapsed());
    instance("q").GetPosition(x, y);
    EXPECT_EQ(0.0f, x);
    EXPECT_EQ(0.0f, y);
    EXPECT_FALSE(instance("q").IsCollapsed());

    configure("*p 7 8\n*p 9 10 X\n");
    instance("p").GetPosition(x, y);
    EXPECT_EQ(9.0f, x);
    EXPECT_EQ(10.0f, y);
    EXPECT_TRUE(instance("p").IsCollapsed());
}

TEST_F(FlowFile, SecondLoadOfAFlowGetsFreeNamesAndItsOwnConnections) {
    const char flow[] = "MgProbe gen\nMgProbe p\n\ttext gen out\n\n*gen 5 6 \n*p 7 8 \n";
    configure(flow);
    instance("gen").SetPosition(1, 1);
    configure(flow);
    EXPECT_EQ(Lines({"gen", "p", "gen1", "p1"}), instanceNames(*manager_));
    EXPECT_EQ("gen out", inputString("p", 0));
    EXPECT_EQ("gen1 out", inputString("p1", 0));
    float x = 0, y = 0;
    instance("gen").GetPosition(x, y);
    EXPECT_EQ(1.0f, x);
    instance("gen1").GetPosition(x, y);
    EXPECT_EQ(5.0f, x);
    EXPECT_TRUE(manager_->renamePairs.empty());
}

TEST_F(FlowFile, RenamedReferencesMapOnceThroughTheFirstMatchingPair) {
    // "a" is taken, so the file's a becomes a1; then the file's own a1 is
    // taken and becomes a11. A reference to a means the file's a (now a1),
    // not the a11 that a second pass through the pairs would give.
    stdoutOf([&] { manager_->makeInstance("MgProbe", "a"); });
    configure("MgProbe a\n\ttext a1 out\nMgProbe a1\n\ttext a out\n\n*a 1 2\n*a1 3 4\n");
    EXPECT_EQ(Lines({"a", "a1", "a11"}), instanceNames(*manager_));
    EXPECT_EQ("a11 out", inputString("a1", 0));
    EXPECT_EQ("a1 out", inputString("a11", 0));
    EXPECT_EQ("", inputString("a", 0));
    float x = 0, y = 0;
    instance("a").GetPosition(x, y);
    EXPECT_EQ(100.0f, x);
    instance("a1").GetPosition(x, y);
    EXPECT_EQ(1.0f, x);
    instance("a11").GetPosition(x, y);
    EXPECT_EQ(3.0f, x);
}

TEST_F(FlowFile, TakenNameGetsTheFirstFreeCounterAndSendersOfEarlierLoadsStayReachable) {
    configure("MgProbe step\nMgProbe step1\n");
    configure("MgProbe step\n\ttext step out\nMgProbe q\n\ttext step1 out\n");
    EXPECT_EQ(Lines({"step", "step1", "step2", "q"}), instanceNames(*manager_));
    EXPECT_EQ("step2 out", inputString("step2", 0));
    EXPECT_EQ("step1 out", inputString("q", 0));
}

TEST_F(FlowFile, LoadGivesInstancesAndPositionsOnlyUntilAnEditorConnects) {
    std::string dir = tk::makeScratchDir();
    std::string path = dir + "/flow.mivet";
    tk::writeFile(path, "MgProbe gen\nMgProbe p\n\ttext gen out\n\tsteps \"4\"\n\n*p 3 4 C\n");
    std::string out = stdoutOf([&] { EXPECT_TRUE(manager_->loadFromFile(path)); });
    EXPECT_EQ(std::string::npos, out.find("p: steps")) << out;
    EXPECT_EQ(path, manager_->getFilename());
    EXPECT_TRUE(instance("p").IsCollapsed());
    EXPECT_EQ("", inputString("p", 0));

    manager_->valuePass = true;
    EXPECT_EQ("p: steps 4\n", stdoutOf([&] { manager_->connectObjects(0); }));
    manager_->valuePass = false;
    EXPECT_EQ("gen: connect 0 to p 0\n", stdoutOf([&] { manager_->connectObjects(0); }));
    EXPECT_EQ("gen out", inputString("p", 0));
    tk::removeTree(dir);
}

TEST_F(FlowFile, FlowFilesThatCannotBeReadAreReported) {
    std::string dir = tk::makeScratchDir();
    std::string missing = dir + "/missing.mivet";
    std::string err = stderrOf([&] { EXPECT_FALSE(manager_->configureFromFile(missing)); });
    EXPECT_EQ("Configuration file " + missing + " not found.\n", err);
    EXPECT_EQ(missing, manager_->getFilename());
    err = stderrOf([&] { EXPECT_FALSE(manager_->loadFromFile(missing)); });
    EXPECT_EQ("Configuration file " + missing + " not found.\n", err);

    err = stderrOf([&] { EXPECT_FALSE(manager_->configureFromFile(dir)); });
    EXPECT_EQ("Configuration file " + dir + " could not be read.\n", err);
    EXPECT_TRUE(manager_->instances.empty());

    std::string good = dir + "/good.mivet";
    tk::writeFile(good, "MgProbe p\n\tsteps \"2\"\n");
    std::string out = stdoutOf([&] { EXPECT_TRUE(manager_->configureFromFile(good)); });
    EXPECT_NE(std::string::npos, out.find("p: steps 2\n"));
    EXPECT_EQ(good, manager_->getFilename());
    tk::removeTree(dir);
}

TEST_F(FlowFile, InstanceWithoutPluginIsLeftOutOfTheWrittenFlow) {
    configure("MgProbe p\n\tsteps \"1\"\n");
    manager_->instances.push_back(new Corvane(nullptr, "bare"));
    EXPECT_EQ("MgProbe p\n\tsteps \"1\"\n\n\n*p 100 100 \n", manager_->stringRepresentation());
}

}  // namespace
