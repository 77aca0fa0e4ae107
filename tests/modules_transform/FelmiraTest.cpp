// Felmira under torvask: strings from TrScript's "text" output are matched
// and the groups land in the record that TrSink prints.

#include <string>

#include "TrFlow.h"

namespace tr {
namespace {

using FelmiraTest = TrFlowTest;

// Felmira fed by the script's texts (and optionally more inputs), one sink.
std::string felmiraFlow(const std::string& regex, const std::string& properties,
                        std::initializer_list<std::string> more = {}) {
    std::string felmira = "Felmira felmira\n\tstring script text\n";
    if (!regex.empty()) felmira += "\tregex \"" + regex + "\"\n";
    if (!properties.empty()) felmira += "\tproperties \"" + properties + "\"\n";
    for (const std::string& line : more) felmira += "\t" + line + "\n";
    return scriptDriver() + felmira + "\n" + module("TrSink", "sink", {"record felmira fevent"});
}

TEST_F(FelmiraTest, GroupsFillTheNamedProperties) {
    tk::ChildResult result = run(felmiraFlow("([0-9]+) ([0-9.]+)", "* a b"), "text 12 3.5\ntext 4 5\n");
    EXPECT_NE(std::string::npos, result.out.find("sink record announce\n  a 25\n  b 25\n--- run\n"));
    EXPECT_EQ("sink record data\n  a 25:   12 \n  b 25:  3.5 \n"
              "sink record data\n  a 25:    4 \n  b 25:    5 \n",
              runOf(result.out));
}

TEST_F(FelmiraTest, GroupTextIsReadAsNumbersAsFarAsTheyGo) {
    const struct {
        const char* text;
        const char* values;
    } cases[] = {
        {"1 2 3", "   1    2    3 "},
        {"1,2", "   1 "},
        {"abc", ""},
        {"", ""},
        {"  -1.5e2\t7 x 8", "-150    7 "},
        {"1e999 2", ""},
    };
    std::string script, expected;
    for (const auto& c : cases) {
        script += std::string("text <") + c.text + ">\n";
        expected += std::string("sink record data\n  v 25: ") + c.values + "\n";
    }
    EXPECT_EQ(expected, runOf(run(felmiraFlow("<(.*)>", "* v"), script).out));
}

TEST_F(FelmiraTest, SlotsWithoutMatchOrNameOrBeyondTheGroups) {
    // Group 1 is optional; "x" twice is one property filled by the later
    // slot; "*" skips; names beyond the groups are added but never filled.
    tk::ChildResult result =
        run(felmiraFlow("(a)?([0-9]+):([0-9]+)", "whole x n x extra"), "text 5:6\ntext a7:8\ntext none\n");
    EXPECT_EQ("sink record data\n  extra 25: \n  n 25:    5 \n  whole 25:    5 \n  x 25:    6 \n"
              "sink record data\n  extra 25: \n  n 25:    7 \n  whole 25: \n  x 25:    8 \n",
              runOf(result.out));
}

// The list of names is taken as the text's split gives it: a piece for
// every single blank, empty pieces included, tabs inside a name.
TEST_F(FelmiraTest, NamesAreTheListAsGivenEmptyNamesIncluded) {
    const struct {
        const char* properties;
        const char* record;
    } cases[] = {
        {"* a  b", "   25:    2 \n  a 25:    1 \n  b 25:    3 \n"},
        {" a", "   25:    1    2    3 \n  a 25:    1 \n"},
        {"*\ta b", "  *\ta 25:    1    2    3 \n  b 25:    1 \n"},
        {"* a ", "  a 25:    1 \n"},
    };
    std::string flow = scriptDriver(), expected;
    for (size_t k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
        std::string felmira = "f" + std::to_string(k), sink = "out" + std::to_string(k);
        flow += module("Felmira", felmira,
                       {"string script text", "regex \"([0-9]+) ([0-9]+) ([0-9]+)\"",
                        std::string("properties \"") + cases[k].properties + "\""});
        flow += module("TrSink", sink, {"record " + felmira + " fevent"});
        expected += sink + " record data\n" + cases[k].record;
    }
    EXPECT_EQ(expected, runOf(run(flow, "text 1 2 3\n").out));
}

TEST_F(FelmiraTest, OnlyTheFirstNinetyNineGroupsAreFilled) {
    std::string regex, properties = "*", text;
    for (int k = 1; k <= 120; ++k) {
        regex += "([0-9]+) ";
        text += std::to_string(k) + " ";
        properties += k == 99 ? " g99" : k == 100 ? " g100" : " *";
    }
    tk::ChildResult result = run(felmiraFlow(regex, properties), "text " + text + "\n");
    EXPECT_EQ("sink record data\n  g100 25: \n  g99 25:   99 \n", runOf(result.out));
}

TEST_F(FelmiraTest, AnAsteriskAloneStoresNothingButSendsEveryMatch) {
    tk::ChildResult result = run(felmiraFlow("[0-9]", "*"), "text 1\ntext x\ntext 2\n");
    EXPECT_EQ("sink record data\nsink record data\n", runOf(result.out));
}

TEST_F(FelmiraTest, WithoutRegexNothingIsConverted) {
    tk::ChildResult result = run(felmiraFlow("", "* a"), "text 1\n");
    EXPECT_EQ("", runOf(result.out));
}

TEST_F(FelmiraTest, EachReceiverIsAnnouncedToOnceAtConnectionAndAllAtNewNames) {
    std::string flow = felmiraFlow("([0-9]+)", "* a", {"properties script control"}) +
                       module("TrSink", "second", {"record felmira fevent"});
    tk::ChildResult result = run(flow, "control * b\ntext 3\n");
    std::string load = loadOf(result.out);
    EXPECT_NE(std::string::npos, load.find("Loading: TrSink\nsink record announce\n  a 25\n"
                                           "second record announce\n  a 25\n"));
    EXPECT_EQ(1, countOf(load, "sink record"));
    EXPECT_EQ(1, countOf(load, "second record"));
    EXPECT_EQ("sink record announce\n  a 25\n  b 25\nsecond record announce\n  a 25\n  b 25\n"
              "sink record data\n  a 25: \n  b 25:    3 \nsecond record data\n  a 25: \n  b 25:    3 \n",
              runOf(result.out));
}

TEST_F(FelmiraTest, AdoptsAnAnnouncedRecordAndIgnoresDataRecords) {
    std::string flow = felmiraFlow("([0-9]+)", "* a", {"fevent script fevent"});
    std::string script =
        "prop q vint\nset q 9\n"
        "send\ntext 7\n"          // a data record changes nothing: the own record is filled
        "announce\ntext 8\n";     // the announced record is adopted and filled from now on
    EXPECT_EQ("sink record data\n  a 25:    7 \n"
              "sink record announce\n  a 25\n  q 21\n"
              "sink record data\n  a 25:    8 \n  q 21:    9 \n",
              runOf(run(flow, script).out));
}

TEST_F(FelmiraTest, ListedPropertyOfAnotherTypeIsWarnedAboutAtEveryString) {
    std::string flow = felmiraFlow("([0-9]+) ([0-9]+)", "* q a", {"fevent script fevent"});
    std::string script = "prop q vint\nset q 9\nannounce\ntext 1 2\ntext 3 4\n";
    const std::string warning = "felmira: Warning: FlowProperty q is not of type vector<double>. Ignoring.\n";
    EXPECT_EQ("sink record announce\n  a 25\n  q 21\n" + warning +
                  "sink record data\n  a 25:    2 \n  q 21:    9 \n" + warning +
                  "sink record data\n  a 25:    4 \n  q 21:    9 \n",
              runOf(run(flow, script).out));
}

TEST_F(FelmiraTest, InvalidPatternIsReportedAndStringsWaitForAValidOne) {
    std::string flow = felmiraFlow("([0-9]+", "* a", {"regex script control"});
    tk::ChildResult result = run(flow, "text 1\ncontrol (\ncontrol ([0-9]+)\ntext 2\n");
    EXPECT_NE(std::string::npos, result.out.find("felmira: Invalid regular expression, Unmatched ( or \\(: ([0-9]+\n"));
    EXPECT_EQ("felmira: Invalid regular expression, Unmatched ( or \\(: (\n"
              "sink record data\n  a 25:    2 \n",
              runOf(result.out));
}

// Intervals up to the library's own bound pass; a pattern whose compiled
// form would take too much memory (nested or skippable repetitions) is
// refused before the library tries.
TEST_F(FelmiraTest, PatternsThatWouldCompileTooLargeAreRefused) {
    const struct {
        const char* pattern;
        bool refused;
    } cases[] = {
        {"a{1,32767}", true},
        {"((a{1,255}){1,255}){1,255}", true},
        {"((a{100}){100}){200}", true},
        {"(a?){4000}", true},
        {"(()){32767}", true},
        {"(ab){1,1000}", false},
        {"(a{1001})", false},
        {"a{32767}", false},
        {"((a{100}){100}){100}", false},
        {"(x|yz){32767}", false},
        {"(a{1,100}){1,100}", false},
        {"[{]{2000}", false},
        {"[]{]{2,}x{0}", false},
        {"\\{100000}", false},  // an escaped brace is no interval
    };
    std::string flow = scriptDriver(), expected;
    for (size_t k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
        std::string felmira = "f" + std::to_string(k);
        flow += module("Felmira", felmira,
                       {"string script text", std::string("regex \"") + cases[k].pattern + "\"", "properties \"n\""});
        flow += module("TrSink", "out" + std::to_string(k), {"record " + felmira + " fevent"});
        if (cases[k].refused)
            expected += felmira + ": Invalid regular expression, Regular expression too big: " +
                        cases[k].pattern + "\n";
    }
    tk::ChildResult result = run(flow, "text {aab\n");
    std::string refusals;
    for (const std::string& line : tk::splitLines(loadOf(result.out)))
        if (line.find("Invalid regular expression") != std::string::npos) refusals += line + "\n";
    EXPECT_EQ(expected, refusals);
    // Refused patterns convert nothing; the others still match.
    EXPECT_EQ(0, countOf(runOf(result.out), "out0 record"));
    EXPECT_EQ(1, countOf(runOf(result.out), "out5 record data\n  n 25: \n"));
}

TEST_F(FelmiraTest, AnythingButARecordOnFeventIsIgnoredWithOneLine) {
    std::string flow = felmiraFlow("([0-9]+)", "* a", {"fevent script raw"});
    EXPECT_EQ("felmira: Input fevent takes Tavrels only, ignoring a value of type 18.\n"
              "sink record data\n  a 25:    5 \n",
              runOf(run(flow, "raw\nraw\ntext 5\n").out));
}

TEST_F(FelmiraTest, ItsOwnOutputLoopedBackIsNotHandedOnAgain) {
    std::string flow = felmiraFlow("([0-9]+)", "* a", {"fevent felmira fevent", "properties script control"});
    tk::ChildResult result = run(flow, "control * b\ntext 6\n");
    EXPECT_EQ("sink record announce\n  a 25\n  b 25\n"
              "sink record data\n  a 25: \n  b 25:    6 \n",
              runOf(result.out));
}

TEST_F(FelmiraTest, LongInputIsReadWhole) {
    std::string numbers, expected = "sink record data\n  v 25: ";
    for (int k = 0; k < 20000; ++k) {
        numbers += "1 ";
        expected += "   1 ";
    }
    EXPECT_EQ(expected + "\n", runOf(run(felmiraFlow("(.*)", "* v"), "text " + numbers + "\n").out));
}

}  // namespace
}  // namespace tr
