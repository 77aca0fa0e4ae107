// Drovin under torvask: records read by Ambrel from a file written here go
// through cuts on vector, string, scalar and formula properties; AnTally
// modules behind "pass" and "fail" note which records arrive.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "AnSupport.h"

namespace {

// Five records, id 1 to 5.
void writeRecords(an::FlowRun& run) {
    an::EventFile file;
    file.declare("id", vorn_vector_int);
    file.declare("bla", vorn_vector_int);
    file.declare("tags", vorn_vector_string);
    file.declare("sh", vorn_vector_short);
    file.declare("big", vorn_vector_int);
    file.declare("f", vorn_vector_float);
    file.declare("u", vorn_vector_uint64);
    file.declare("scalar", vorn_double);
    file.declare("long", vorn_vector_short);
    std::vector<short> longList(40000, 0);
    longList[39000] = 7;
    struct Record {
        std::vector<int> bla;
        std::vector<std::string> tags;
        std::vector<short> sh;
        std::vector<int> big;
        std::vector<float> f;
        std::vector<unsigned long> u;
        std::vector<short> longList;
    } records[] = {
        {{2, 3}, {"xaby", "z"}, {32767, -32768}, {INT_MAX, INT_MIN}, {1.5f, std::nanf("")}, {5, 1ul << 63}, longList},
        {{2, 4}, {}, {}, {}, {}, {}, {}},
        {{1, 1, 2}, {"abc"}, {1}, {5}, {2.5f}, {1}, {7}},
        {{3, -2, 7}, {"ab", "ab", "cd"}, {3, -2, 7}, {0, 0}, {0.25f, 0.5f}, {3, 3}, {1, 2, 3}},
        {{}, {}, {}, {}, {}, {}, {}},
    };
    for (int k = 0; k < 5; ++k) {
        Record& r = records[k];
        std::vector<int> id = {k + 1};
        double scalar = k + 1;
        for (const void* value : std::vector<const void*>{&id, &r.bla, &r.tags, &r.sh, &r.big, &r.f, &r.u, &scalar,
                                                          &r.longList})
            file.value(value);
        file.endRecord();
    }
    file.save(run.file("events.fevent"));
}

struct Cut {
    std::string text;
    std::string passed;
    std::string failed;
};

const char* const kReader = "Ambrel src\n\tfilename \"events.fevent\"\n";

// Drovin "cut<n>" fed by `source`, its cut given by `cutLine` (an input
// line, or nothing), with a tally behind each of its outputs.
std::string gate(const std::string& n, const std::string& source, const std::string& cutLine) {
    return "Drovin cut" + n + "\n\tfevent " + source + "\n" + cutLine + "AnTally pass" + n + "\n\tfevent cut" + n +
           " pass\n" + "AnTally fail" + n + "\n\tfevent cut" + n + " fail\n";
}

// A Drovin per cut, fed by the reader (or by `source`), with a tally
// behind each of its outputs.
std::string cutFlow(const std::vector<Cut>& cuts, const std::string& source = "src Tavrel") {
    std::string flow = kReader;
    for (size_t i = 0; i < cuts.size(); ++i)
        flow += gate(std::to_string(i), source, "\tcut \"" + cuts[i].text + "\"\n");
    return flow;
}

void expectTallies(const tk::ChildResult& result, const std::vector<Cut>& cuts) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    for (size_t i = 0; i < cuts.size(); ++i) {
        std::string n = std::to_string(i);
        EXPECT_EQ(std::vector<std::string>{"pass" + n + ": A" + cuts[i].passed},
                  an::linesWith(result.out, "pass" + n + ": "))
            << cuts[i].text;
        EXPECT_EQ(std::vector<std::string>{"fail" + n + ": A" + cuts[i].failed},
                  an::linesWith(result.out, "fail" + n + ": "))
            << cuts[i].text;
    }
}

TEST(Drovin, CutsOnVectorsPassAndFailRecords) {
    const std::vector<Cut> cuts = {
        {"bla = 1 3 6", " 1 3 4", " 2 5"},
        {"bla < 0", " 4", " 1 2 3 5"},
        {"bla > 6.5", " 4", " 1 2 3 5"},
        {"bla m= 2", " 1 2 3", " 4 5"},
        {"bla d> 8", " 4", " 1 2 3 5"},
        {"bla d= 0", " 5", " 1 2 3 4"},
        {"bla s< 3", " 1 2 5", " 3 4"},
        {"bla s= 3 0", " 3 4 5", " 1 2"},
        {"bla = 0", "", " 1 2 3 4 5"},
        {"bla =", "", " 1 2 3 4 5"},
        {"scalar > 0", "", " 1 2 3 4 5"},
        {"tags grep ab", " 1 3 4", " 2 5"},
        {"tags grep", "", " 1 2 3 4 5"},
        {"tags m= 2", " 1 4", " 2 3 5"},
        {"tags s> 0", " 1 3 4", " 2 5"},
        {"f > 1", " 1 3", " 2 4 5"},
        {"f m= 2", " 1 4", " 2 3 5"},
        {"u = 3", " 4", " 1 2 3 5"},
    };
    an::FlowRun run;
    writeRecords(run);
    tk::ChildResult result = run.run(cutFlow(cuts));
    expectTallies(result, cuts);
    run.expectRunsWithoutTestAida(cutFlow(cuts));
}

TEST(Drovin, CountsAndSpreadsNeitherTruncateNorOverflow) {
    const std::vector<Cut> cuts = {
        {"sh d> 65000", " 1", " 2 3 4 5"},
        {"big d> 4e9", " 1", " 2 3 4 5"},
        {"u d> 9e18", " 1", " 2 3 4 5"},
        {"long s> 35000", " 1", " 2 3 4 5"},
        {"long = 7", " 1 3", " 2 4 5"},
        {"long m= 2", " 1", " 2 3 4 5"},
    };
    an::FlowRun run;
    writeRecords(run);
    tk::ChildResult result = run.run(cutFlow(cuts));
    expectTallies(result, cuts);
}

TEST(Drovin, CutsThatCannotApplyBlockWithTheirMessages) {
    const std::vector<Cut> cuts = {
        {"tags = 1", "", " 1 2 3 4 5"},
        {"tags d< 5 6", "", " 1 2 3 4 5"},
        {"bla grep 1", "", " 1 2 3 4 5"},
        {"bla ~ 3", "", " 1 2 3 4 5"},
        {"gone > 1", "", " 1 2 3 4 5"},
    };
    an::FlowRun run;
    writeRecords(run);
    tk::ChildResult result = run.run(cutFlow(cuts));
    expectTallies(result, cuts);
    EXPECT_EQ(5u, an::linesWith(result.out, "cut0: operation not valid for strings.").size());
    EXPECT_EQ(10u, an::linesWith(result.out, "cut1: operation not valid for strings.").size());
    EXPECT_EQ(5u, an::linesWith(result.out, "cut2: grep not applicable for non-strings").size());
    EXPECT_EQ(std::vector<std::string>{"cut3: I don't understand '~'. Blocking."}, an::linesWith(result.out, "cut3: "));
    EXPECT_EQ(1u, an::linesWith(result.out, "FlowProperty gone not found.").size());
    EXPECT_EQ(std::vector<std::string>{"cut4: Cut property gone not found. Blocking."},
              an::linesWith(result.out, "cut4: "));
}

// Until a cut is set (and with an empty one) the cut's path is empty: the
// first record looks it up, which the record reports, and the gate blocks.
TEST(Drovin, WithoutACutTheEmptyPathIsLookedUpAndEveryRecordFails) {
    const std::vector<std::string> lookedUp = {"FlowProperty  not found.", "cut0: Cut property  not found. Blocking."};
    const std::string notUnderstood = "cut0: I don't understand ''. Blocking.";
    const struct {
        const char* cutLine;
        std::vector<std::string> lines;
    } cases[] = {
        {"", lookedUp},
        {"\tcut \"\"\n", {notUnderstood, lookedUp[0], lookedUp[1]}},
        {"\tcut \"  \"\n", {notUnderstood, lookedUp[0], lookedUp[1]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cutLine);
        an::FlowRun run;
        writeRecords(run);
        tk::ChildResult result = run.run(kReader + gate("0", "src Tavrel", c.cutLine));
        expectTallies(result, {{c.cutLine, "", " 1 2 3 4 5"}});
        std::vector<std::string> lines;
        for (const std::string& line : tk::splitLines(result.out))
            if (line.find("not found.") != std::string::npos || line.rfind("cut0: ", 0) == 0) lines.push_back(line);
        EXPECT_EQ(c.lines, lines);
    }
}

TEST(Drovin, FormulaPropertiesAreEvaluatedBeforeTheTest) {
    const std::vector<Cut> cuts = {{"twice > 10", " 4", " 1 2 3 5"}, {"twice = 4", " 1 2 3", " 4 5"}};
    an::FlowRun run;
    writeRecords(run);
    std::string flow = cutFlow(cuts, "formula fevent");
    flow += "AnFormula formula\n\tfevent src Tavrel\n\tformula \"twice = bla * 2\"\n";
    tk::ChildResult result = run.run(flow);
    expectTallies(result, cuts);
}

TEST(Drovin, IgnoresValuesThatAreNoRecords) {
    an::FlowRun run;
    tk::ChildResult result = run.run(
        "AnValues src\n"
        "\tvalues \"1 2\"\n"
        "Drovin cut\n"
        "\tfevent src raw\n"
        "\tcut \"x > 1\"\n"
        "AnTally pass\n"
        "\tfevent cut pass\n"
        "AnTally fail\n"
        "\tfevent cut fail\n");
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::vector<std::string>{"cut: Input fevent takes Tavrels only, ignoring a value of type 18."},
              an::linesWith(result.out, "cut: "));
    EXPECT_EQ(std::vector<std::string>{"pass:"}, an::linesWith(result.out, "pass:"));
    EXPECT_EQ(std::vector<std::string>{"fail:"}, an::linesWith(result.out, "fail:"));
}

}  // namespace
