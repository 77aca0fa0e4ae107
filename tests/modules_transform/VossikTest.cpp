// Vossik under torvask: formula records announced to TrSinks, inputs made
// from lists, and a Vossik record filled by Felmira.

#include <algorithm>
#include <string>
#include <vector>

#include "TrFlow.h"

namespace tr {
namespace {

using VossikTest = TrFlowTest;

const char* const kFormulas = "  x 25 = |1 2 3|\n  y 25 = x * 2\n";

std::string vossikFlow(std::initializer_list<std::string> more) {
    std::string vossik = "Vossik vossik\n\tinputs \"a b\"\n\ta \"x = |1 2 3|\"\n\tb \"y = x * 2\"\n";
    for (const std::string& line : more) vossik += "\t" + line + "\n";
    return scriptDriver() + vossik + "\n" + module("TrSink", "one", {"record vossik Tavrel"}) +
           module("TrSink", "two", {"record vossik Tavrel"});
}

TEST_F(VossikTest, EachReceiverGetsOneAnnouncementAtItsConnection) {
    tk::ChildResult result = run(vossikFlow({}));
    std::string load = loadOf(result.out);
    // Inputs a and b are made with the empty text, which is parsed and
    // reported like any definition without a name.
    EXPECT_EQ(2, countOf(load, "Tavrel: Cannot add formula property \n"));
    EXPECT_EQ(1, countOf(result.out, "one record"));
    EXPECT_EQ(1, countOf(result.out, "two record"));
    EXPECT_NE(std::string::npos, load.find(std::string("one record announce\n") + kFormulas +
                                           "two record announce\n" + kFormulas));
    EXPECT_EQ("", runOf(result.out));
}

TEST_F(VossikTest, NewInputListKeepsFormulasByNameAndDropsTheRest) {
    // Input a's sender goes with input a; b is given its formula again and
    // the new input c its empty text, each announced to all.
    tk::ChildResult result = run(vossikFlow({"a script text", "inputs script control"}),
                                 "control b c\nsay go\ntext z = 5\n");
    const std::string both = std::string("one record announce\n") + kFormulas + "two record announce\n" + kFormulas;
    std::string announced;
    for (const std::string& line : tk::splitLines(runOf(result.out)))
        if (line.rfind("Formula ", 0) != 0 && line.rfind("   Parsing", 0) != 0) announced += line + "\n";
    EXPECT_EQ(both + "Tavrel: Cannot add formula property \n" + both + "say: go\n", announced);
}

// The list of names is taken as the text's split gives it: an input for
// every single blank, the empty name included, tabs inside a name. Each new
// input's handler runs once with the empty text, which is reported.
TEST_F(VossikTest, InputsAreTheListAsGivenEmptyNamesIncluded) {
    const struct {
        const char* inputs;
        std::vector<std::string> formulas;
        int created;
        const char* record;
    } cases[] = {
        {"p  q", {"p \"x = |1 2 3|\"", "q \"y = x * 2\""}, 3, kFormulas},
        {" p", {"p \"x = |1 2 3|\""}, 2, "  x 25 = |1 2 3|\n"},
        {"p\tq", {}, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputs);
        std::string vossik = std::string("Vossik vossik\n\tinputs \"") + c.inputs + "\"\n";
        for (const std::string& formula : c.formulas) vossik += "\t" + formula + "\n";
        std::string load = loadOf(run(scriptDriver() + vossik + "\n" + module("TrSink", "sink", {"record vossik Tavrel"})).out);
        EXPECT_EQ(c.created, countOf(load, "Tavrel: Cannot add formula property \n"));
        const std::string announced = load.substr(std::min(load.find("sink record announce\n"), load.size()));
        EXPECT_EQ(std::string("sink record announce\n") + c.record, announced);
    }
}

TEST_F(VossikTest, EveryFormulaGivenIsAnnouncedToAll) {
    tk::ChildResult result = run(vossikFlow({"b script text"}), "text y = x * 3\nsay go\ntext = 5\n");
    std::string run = runOf(result.out);
    EXPECT_NE(std::string::npos, run.find("one record announce\n  x 25 = |1 2 3|\n  y 25 = x * 3\ntwo record"));
    // A definition without a name is reported; the record is announced all the same.
    std::string afterGo = run.substr(run.find("say: go\n"));
    EXPECT_NE(std::string::npos, afterGo.find("Tavrel: Cannot add formula property \n"));
    EXPECT_EQ(1, countOf(afterGo, "one record announce\n  x 25 = |1 2 3|\n  y 25 = x * 3\n"));
    EXPECT_EQ(1, countOf(afterGo, "two record announce\n"));
}

TEST_F(VossikTest, FelmiraFillsAVossikRecordWhoseFormulasUseTheValues) {
    std::string flow = scriptDriver() + module("Vossik", "vossik", {"inputs \"f\"", "f \"d = a * 2\""}) +
                       module("Felmira", "felmira",
                              {"fevent vossik Tavrel", "string script text", "regex \"(.*)\"", "properties \"* a\""}) +
                       module("TrSink", "sink", {"record felmira fevent"});
    tk::ChildResult result = run(flow, "text 3 4\ntext 1\n");
    EXPECT_NE(std::string::npos, loadOf(result.out).find("sink record announce\n  a 25\n  d 25 = a * 2\n"));
    EXPECT_EQ("sink record data\n  a 25:    3    4 \n  d 25 = a * 2:    6    8 \n"
              "sink record data\n  a 25:    1 \n  d 25 = a * 2:    2 \n",
              runOf(result.out));
}

}  // namespace
}  // namespace tr
