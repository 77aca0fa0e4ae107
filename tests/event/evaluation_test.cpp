// Formula evaluation: values computed from input properties, the per-event
// cache, and the binnings derived from cuts, arguments and maps.
#include <climits>
#include <cmath>
#include <functional>

#include "eventFixtures.h"

namespace {

typedef std::vector<double> Doubles;
typedef std::vector<int> Ints;

struct EvalCase {
    const char* definition;
    std::function<void(ProducedEvent&)> inputs;
    Doubles expected;
    bool ok;
};

TEST(FormulaEval, ComputesValuesFromInputProperties) {
    static const double nan = std::nan("");
    const EvalCase cases[] = {
        // Scale and offset.
        {"x = y * 2", [](ProducedEvent& e) { e.add("y", Doubles{1, 2}); }, {2, 4}, true},
        {"x = 2 * c / 4 + 1", [](ProducedEvent& e) { e.add("c", std::vector<short>{2, 4}); }, {2, 3}, true},
        {"x = y*2+1", [](ProducedEvent& e) { e.add("y", std::vector<float>{1.5f}); }, {4}, true},
        {"x = y - 5", [](ProducedEvent& e) { e.add("y", Ints{5}); }, {0}, true},
        // Modulus, abs, size.
        {"m = y % 4", [](ProducedEvent& e) { e.add("y", Ints{5, -5}); }, {1, -1}, true},
        {"m = y % 4", [](ProducedEvent& e) { e.add("y", Doubles{5.7}); }, {1}, true},
        {"m = y % 3", [](ProducedEvent& e) { e.add("y", Doubles{1e300, nan}); }, {INT_MAX % 3, 0}, true},
        {"m = y % -1", [](ProducedEvent& e) { e.add("y", Ints{INT_MIN}); }, {0}, true},
        {"a = abs(y) - 3", [](ProducedEvent& e) { e.add("y", Doubles{-5}); }, {2}, true},
        {"n = size(y)", [](ProducedEvent& e) { e.add("y", Doubles{4, 5, 6}); }, {3}, true},
        {"n = {y = 0:10} size(y)", [](ProducedEvent& e) { e.add("y", Doubles{-1, 0, 9.5, 10}); }, {2}, true},
        {"n = size(y)", [](ProducedEvent& e) { e.add("y", Doubles{}); }, {0}, true},
        {"n = size(d)", [](ProducedEvent& e) { e.add("d", 1.0); }, {0}, false},
        // Differences.
        {"d = diff(a, b)", [](ProducedEvent& e) { e.add("a", Ints{5, 7}); e.add("b", Ints{1, 2}); }, {4, 5}, true},
        {"d = diff(a, b)", [](ProducedEvent& e) { e.add("a", Ints{5, 7}); e.add("b", Ints{1, 2, 3}); }, {}, true},
        {"d = diff(a, b)", [](ProducedEvent& e) { e.add("a", Ints{INT_MIN}); e.add("b", Ints{1}); },
         {static_cast<double>(INT_MIN) - 1}, true},
        {"d = diff(a, b)",
         [](ProducedEvent& e) { e.add("a", std::vector<float>{0.1f}); e.add("b", std::vector<short>{0}); },
         {static_cast<double>(0.1f)}, true},
        {"d = diff(a, b)", [](ProducedEvent& e) { e.add("a", Doubles{0.1}); e.add("b", std::vector<float>{0}); },
         {0.1}, true},
        {"d = diff(a) * 2", [](ProducedEvent& e) { e.add("a", Ints{3}); }, {6}, true},
        {"d = foo(a) + 1", [](ProducedEvent& e) { e.add("a", Ints{3}); }, {4}, true},
        // Index and sums.
        {"l = y[-1]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); }, {3}, true},
        {"f = y[0]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); }, {1}, true},
        {"s = y[1:2]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3, 4}); }, {5}, true},
        {"s = y[2:5]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3, 4}); }, {7}, true},
        {"t = y[1:*]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3, 4}); }, {9}, true},
        {"o = y[5]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); }, {}, true},
        {"o = y[-4]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); }, {}, true},
        {"o = y[99999999999]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); }, {}, true},
        {"o = y[ch]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); e.add("ch", Ints{1}); }, {2}, true},
        {"o = y[ch]", [](ProducedEvent& e) { e.add("y", Doubles{1, 2, 3}); e.add("ch", 1.0); }, {1, 2, 3}, true},
        // Maps.
        {"c = |10 20 30|[ch]", [](ProducedEvent& e) { e.add("ch", Ints{2, 0}); }, {30, 10}, true},
        {"c = |10 20 30|[ch]", [](ProducedEvent& e) { e.add("ch", Doubles{-0.5, 2.9, 3, nan, 1e300}); }, {30}, true},
        {"k = |1 2 3|", [](ProducedEvent&) {}, {1, 2, 3}, true},
        {"k = |1 2 3|[-1]", [](ProducedEvent&) {}, {3}, true},
        {"k = |1 2 3|[0:2]", [](ProducedEvent&) {}, {3}, true},
        {"k = |1 2 3|[7]", [](ProducedEvent&) {}, {}, true},
        // Cuts on ranges.
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", Doubles{1, 20, 3}); e.add("y", Ints{1, 2, 3}); },
         {1, 3}, true},
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", Ints{5}); e.add("y", Ints{1, 2, 3}); },
         {1, 2, 3}, true},
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", Ints{50}); e.add("y", Ints{1, 2, 3}); }, {}, true},
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", Ints{50, 60}); e.add("y", Ints{1, 2, 3}); },
         {1, 2, 3}, true},
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", Doubles{nan, 2}); e.add("y", Ints{1, 2}); },
         {2}, true},
        {"x = {t = 0:10} y", [](ProducedEvent& e) { e.add("t", 5.0); e.add("y", Ints{1, 2}); }, {1, 2}, true},
        {"x = {t = 0:100} y * 2 + 1",
         [](ProducedEvent& e) { e.add("t", std::vector<short>{0, 99, 100}); e.add("y", Doubles{1, 2, 3}); },
         {3, 5}, true},
        // Cuts on strings.
        {"x = {name = Ge} y",
         [](ProducedEvent& e) {
             e.add("name", std::vector<std::string>{"Ge1", "Si", "xGe"});
             e.add("y", Ints{1, 2, 3});
         },
         {1, 3}, true},
        {"x = {name = Ge} y",
         [](ProducedEvent& e) {
             e.add("name", std::vector<std::string>{"Si"});
             e.add("y", Ints{1, 2});
         },
         {}, true},
        // Nested records and formulas of formulas.
        {"x = sub/y * 2",
         [](ProducedEvent& e) {
             Tavrel& sub = e.nest("sub");
             e.add("storage", Doubles{4});
             sub["y"] = FlowProperty(vorn_vector_double, FlowBinning(), e.event["storage"].value);
         },
         {8}, true},
        {"z = w + 1", [](ProducedEvent& e) { e.add("y", Doubles{1, 2}); e.formula("w = y * 10"); }, {11, 21}, true},
        {"z = {c = 0:15} y",
         [](ProducedEvent& e) { e.add("y", Doubles{1, 2}); e.formula("c = y * 10"); }, {1}, true},
        // Missing or unusable first arguments.
        {"x = d * 2", [](ProducedEvent& e) { e.add("d", 1.0); }, {}, false},
        {"x = missing * 2", [](ProducedEvent&) {}, {}, true},
        {"x = y * 2", [](ProducedEvent& e) { e.event["y"] = FlowProperty(vorn_vector_double, FlowBinning(), nullptr); },
         {}, true},
    };
    for (const EvalCase& c : cases) {
        ProducedEvent produced;
        c.inputs(produced);
        FlowProperty& property = produced.formula(c.definition);
        bool ok = false;
        captured::stdoutOf([&] { ok = property.formula->eval(); });
        EXPECT_EQ(ok, c.ok) << c.definition;
        EXPECT_EQ(*static_cast<Doubles*>(property.value), c.expected) << c.definition;
    }
}

TEST(FormulaEval, ComputesOncePerEvent) {
    ProducedEvent produced;
    Doubles& y = produced.add("y", Doubles{1, 2});
    formulaParser& x = *produced.formula("x = y * 2").formula;
    ASSERT_TRUE(x.eval());
    y = {5};
    EXPECT_TRUE(x.eval());
    EXPECT_EQ(*x.result, (Doubles{2, 4}));
    produced.event.Reset();
    EXPECT_TRUE(x.result->empty());
    ASSERT_TRUE(x.eval());
    EXPECT_EQ(*x.result, Doubles{10});
}

TEST(FormulaEval, ConstantFormulasSurviveReset) {
    ProducedEvent produced;
    formulaParser& k = *produced.formula("k = |1 2 3|").formula;
    EXPECT_TRUE(k.constant);
    ASSERT_TRUE(k.eval());
    produced.event.Reset();
    EXPECT_TRUE(k.evaluated);
    EXPECT_EQ(*k.result, (Doubles{1, 2, 3}));
}

TEST(FormulaEval, ResolvesNamesOnceAndReportsMissingOnes) {
    ProducedEvent produced;
    formulaParser& x = *produced.formula("x = {t = 0:1} y[ch]").formula;
    std::string first = captured::stdoutOf([&] { x.eval(); });
    EXPECT_EQ(first, "FlowProperty t not found.\nFlowProperty ch not found.\nFlowProperty y not found.\n");
    produced.event.Reset();
    EXPECT_EQ(captured::stdoutOf([&] { x.eval(); }), "");
}

// Formulas that lead back to themselves end without values.
TEST(FormulaEval, SelfReferenceNeitherLoopsNorCrashes) {
    const std::vector<std::vector<const char*>> groups = {
        {"x = x * 2"},
        {"x = {x = 0:10} x + 1"},
        {"x = |1 2 3|[x]"},
        {"x = y[x]"},
        {"x = diff(x, x)"},
        {"n = size(n)"},
        {"a = b + 1", "b = a + 1"},
        {"a = {b = 0:1} c", "b = {a = 0:1} c", "c = a * 2"},
    };
    for (const auto& group : groups) {
        ProducedEvent produced;
        produced.add("y", Doubles{1, 2});
        std::vector<formulaParser*> parsers;
        for (const char* definition : group) parsers.push_back(produced.formula(definition).formula);
        for (int event = 0; event < 2; ++event) {
            for (formulaParser* parser : parsers) {
                captured::stdoutOf([&] { parser->eval(); });
                EXPECT_LE(parser->result->size(), 3u) << group[0];
            }
            captured::stdoutOf([&] { produced.event.SetBinnings(); });
            produced.event.Reset();
        }
    }
}

struct BinningCase {
    std::vector<const char*> definitions;  // the last one is checked
    FlowBinning expected;
};

TEST(FormulaBinning, DerivesFromCutArgumentOrMap) {
    const BinningCase cases[] = {
        {{"x = {t = 10:20} t * 2"}, FlowBinning(20, 60, 20)},
        {{"x = {t = 0:2.5} t"}, FlowBinning(0, 2.5, 2)},
        {{"x = y * 2 + 1"}, FlowBinning(1, 21, 100)},
        {{"x = y / 2"}, FlowBinning(0, 5, 100)},
        {{"x = {t = 0:1} y - 1"}, FlowBinning(-1, 9, 100)},
        {{"a = y * 2", "x = a + 1"}, FlowBinning(1, 21, 100)},
        {{"x = |1 2 3 4|"}, FlowBinning(1, 5, 4)},
        {{"x = |3 1 2|[ch]"}, FlowBinning(1, 4, 3)},
        {{"x = |7|"}, FlowBinning(7, 8, 1)},
        {{"x = missing * 2"}, FlowBinning(0, 0, 0)},
        {{"x = x * 2"}, FlowBinning(0, 0, 0)},
    };
    for (const BinningCase& c : cases) {
        ProducedEvent produced;
        produced.add("y", Doubles{}, FlowBinning(0, 10, 100));
        produced.add("t", Doubles{}, FlowBinning(-5, 5, 3));
        FlowProperty* property = nullptr;
        for (const char* definition : c.definitions) property = &produced.formula(definition);
        captured::stdoutOf([&] { property->SetBinnings(); });
        EXPECT_EQ(property->binning.min, c.expected.min) << c.definitions.back();
        EXPECT_EQ(property->binning.max, c.expected.max) << c.definitions.back();
        EXPECT_EQ(property->binning.bins, c.expected.bins) << c.definitions.back();
    }
}

TEST(FormulaBinning, KeepsExplicitBinValues) {
    ProducedEvent produced;
    produced.add("y", Doubles{}, FlowBinning(0, 10, 100));
    FlowProperty& x = produced.formula("x = y * 2");
    x.binning.values = {1, 2};
    x.SetBinnings();
    EXPECT_EQ(x.binning.values, (Doubles{1, 2}));
    EXPECT_EQ(x.binning.max, 20);
}

}  // namespace
