// The event record: property paths, adding and replacing properties, Reset,
// SetBinnings and the life of formula parsers.
#include "eventFixtures.h"

namespace {

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// a: double; n: nested {d: double, m: nested {e: int}}; z: no value;
// nz: nested event without a value; u: indexed only.
class PathTest : public testing::Test {
protected:
    PathTest() {
        produced.add("a", 1.0);
        Tavrel& n = produced.nest("n");
        n["d"] = FlowProperty(vorn_double, FlowBinning(), &d);
        m["e"] = FlowProperty(vorn_int, FlowBinning(), &e);
        n["m"] = FlowProperty(vorn_tavrel, FlowBinning(), &m);
        produced.event["z"] = FlowProperty(vorn_double, FlowBinning(), nullptr);
        produced.event["nz"] = FlowProperty(vorn_tavrel, FlowBinning(), nullptr);
        produced.event["u"];
    }
    ProducedEvent produced;
    Tavrel m;
    double d = 2;
    int e = 3;
};

struct PathCase {
    const char* path;
    const FlowProperty* expected;  // null: no property
    const char* message;
};

TEST_F(PathTest, FollowsNamesThroughNestedEvents) {
    Tavrel& n = *static_cast<Tavrel*>(produced.event["n"].value);
    auto top = [&](const char* name) { return &produced.event.properties.at(name); };
    const PathCase cases[] = {
        {"a", top("a"), ""},
        {"a/", top("a"), ""},
        {"n/d", &n.properties.at("d"), ""},
        {"n/m/e", &m.properties.at("e"), ""},
        {"n", top("n"), ""},
        // A property without a value is still there.
        {"z", top("z"), ""},
        {"u", top("u"), ""},
        {"nz", top("nz"), ""},
        {"x", nullptr, "FlowProperty x not found.\n"},
        {"a/b", nullptr, ""},
        {"n/b", nullptr, "FlowProperty b not found.\n"},
        {"n/m/x", nullptr, "FlowProperty x not found.\n"},
        {"x/d", nullptr, ""},
        {"n//d", nullptr, ""},
        {"", nullptr, "FlowProperty  not found.\n"},
        // Only descending through a nested event without a value stops.
        {"nz/d", nullptr, ""},
    };
    for (const PathCase& c : cases) {
        FlowProperty* found = nullptr;
        std::string out = captured::stdoutOf([&] { found = produced.event.GetProperty(c.path); });
        EXPECT_EQ(found, c.expected) << c.path;
        EXPECT_EQ(out, c.message) << c.path;
    }
}

TEST(Record, IndexingANewNameAddsAnEmptyProperty) {
    Tavrel event;
    FlowProperty& added = event["new"];
    EXPECT_EQ(added.type, vorn_any);
    EXPECT_EQ(added.value, nullptr);
    EXPECT_EQ(added.formula, nullptr);
    EXPECT_EQ(added.owner, nullptr);
    EXPECT_EQ(added.showBinning, 0u);
    EXPECT_EQ(added.label, "");
    EXPECT_EQ(added.binning.bins, 0);
    EXPECT_EQ(event.find("new"), event.begin());
    EXPECT_EQ(event.find("old"), event.end());
    EXPECT_FALSE(event.announce);
}

TEST(Record, PropertyCopiesShareValueAndCopyTheBinning) {
    double d = 1;
    FlowBinning binning(0, 1, 2);
    binning.values = {0, 0.5};
    FlowProperty original(vorn_double, binning, &d);
    original.label = "title";
    FlowProperty copy = original;
    copy.binning.values.push_back(1);
    EXPECT_EQ(copy.value, &d);
    EXPECT_EQ(copy.label, "title");
    EXPECT_EQ(original.binning.values.size(), 2u);
}

TEST(Record, ParseFormulaReplacesEveryFieldOfAProperty) {
    ProducedEvent produced;
    produced.add("y", std::vector<double>{1}, FlowBinning(0, 10, 100));
    produced.add("x", 5.0);
    FlowProperty& x = produced.event["x"];
    x.label = "old";
    x.showBinning = 1;
    x.binning = FlowBinning(1, 2, 3);
    FlowProperty* before = &x;

    FlowProperty& replaced = produced.formula("x (Twice) = y * 2");
    EXPECT_EQ(&replaced, before);
    EXPECT_EQ(replaced.type, vorn_vector_double);
    EXPECT_EQ(replaced.label, "Twice");
    EXPECT_EQ(replaced.showBinning, 0u);
    EXPECT_EQ(replaced.binning.min, 0);
    EXPECT_EQ(replaced.binning.max, 0);
    EXPECT_EQ(replaced.binning.bins, 0);
    EXPECT_EQ(replaced.owner, &produced.event);
    ASSERT_NE(replaced.formula, nullptr);
    EXPECT_EQ(replaced.value, replaced.formula->result);
    EXPECT_EQ(replaced.formula->property, &replaced);
}

TEST(Record, DefinitionWithoutNameIsRefused) {
    for (const char* definition : {"= x", ""}) {
        Tavrel event;
        std::string out = captured::stdoutOf([&] { event.ParseFormula(definition); });
        EXPECT_NE(out.find("Tavrel: Cannot add formula property \n"), std::string::npos) << out;
        EXPECT_TRUE(event.properties.empty());
    }
}

TEST(Record, ResetClearsAnnounceAndResetsNestedFormulas) {
    ProducedEvent outer;
    ProducedEvent& inner = *new ProducedEvent;
    outer.storage.push_back(std::shared_ptr<ProducedEvent>(&inner));
    outer.event["sub"] = FlowProperty(vorn_tavrel, FlowBinning(), &inner.event);
    std::vector<double>& y = inner.add("y", std::vector<double>{1});
    formulaParser* parser = inner.formula("x = y * 2").formula;

    ASSERT_TRUE(parser->eval());
    EXPECT_EQ(*parser->result, std::vector<double>{2});
    y[0] = 5;
    outer.event.announce = true;
    outer.event.Reset();
    EXPECT_FALSE(outer.event.announce);
    EXPECT_FALSE(parser->evaluated);
    ASSERT_TRUE(parser->eval());
    EXPECT_EQ(*parser->result, std::vector<double>{10});
}

TEST(Record, SetBinningsReportsEveryFormulaProperty) {
    ProducedEvent produced;
    produced.add("y", std::vector<double>{}, FlowBinning(0, 10, 100));
    produced.formula("x = y * 2 + 1");
    produced.formula("k = |1 2 3 4|");
    std::string out = captured::stdoutOf([&] { produced.event.SetBinnings(); });
    EXPECT_EQ(out,
              "Binning set for k: Min: 1, Max: 5, Bins: 4\n"
              "Binning set for x: Min: 1, Max: 21, Bins: 100\n");
}

// Modules keep pointers to parsers: they stay usable while the event lives,
// also after their property was replaced; the event frees them at the end.
TEST(Record, ParsersLiveAsLongAsTheirEvent) {
    ProducedEvent produced;
    produced.add("y", std::vector<double>{1, 2});
    formulaParser* first = produced.formula("x = y * 2").formula;
    formulaParser* second = produced.formula("x = y * 3").formula;
    produced.event["x"] = FlowProperty(vorn_double, FlowBinning(), produced.event["y"].value);
    EXPECT_NE(first, second);
    ASSERT_TRUE(first->eval());
    EXPECT_EQ(*first->result, (std::vector<double>{2, 4}));
    ASSERT_TRUE(second->eval());
    EXPECT_EQ(*second->result, (std::vector<double>{3, 6}));
}

// A reader erases a property and adds it again with new storage; the
// formulas that used it follow the new property.
TEST(Record, ErasedPropertiesAreLookedUpAgain) {
    ProducedEvent produced;
    produced.add("y", std::vector<double>{1});
    produced.add("t", std::vector<double>{0});
    FlowProperty& x = produced.formula("x = {t = 0:1} y * 2");
    formulaParser* z = produced.formula("z = x + 1").formula;
    ASSERT_TRUE(z->eval());
    EXPECT_EQ(*z->result, std::vector<double>{3});

    EXPECT_EQ(produced.event.erase("y"), 1u);
    EXPECT_EQ(produced.event.erase("t"), 1u);
    EXPECT_EQ(produced.event.erase("t"), 0u);
    produced.add("y", std::vector<int>{4, 5});
    produced.event.Reset();
    std::string missingCut = captured::stdoutOf([&] { EXPECT_TRUE(z->eval()); });
    EXPECT_EQ(missingCut, "FlowProperty t not found.\n");
    EXPECT_EQ(*z->result, (std::vector<double>{9, 11}));
    EXPECT_EQ(*static_cast<std::vector<double>*>(x.value), (std::vector<double>{8, 10}));

    // The parser of an erased formula property stays usable.
    formulaParser* erased = x.formula;
    produced.event.erase("x");
    produced.event.Reset();
    std::string out = captured::stdoutOf([&] { EXPECT_TRUE(z->eval()); });
    EXPECT_EQ(out, "FlowProperty x not found.\n");
    EXPECT_TRUE(z->result->empty());
    EXPECT_TRUE(erased->eval());
}

// A formula evaluated before its argument exists finds it once it is added.
TEST(Record, PropertiesAddedLaterAreFoundByFormulas) {
    ProducedEvent produced;
    formulaParser* x = produced.formula("x = y * 2").formula;
    std::string out = captured::stdoutOf([&] { EXPECT_TRUE(x->eval()); });
    EXPECT_EQ(out, "FlowProperty y not found.\n");
    EXPECT_TRUE(x->result->empty());
    produced.add("y", std::vector<double>{3});
    produced.event.Reset();
    ASSERT_TRUE(x->eval());
    EXPECT_EQ(*x->result, std::vector<double>{6});
}

// A name a formula did not find is reported once: other events that are
// made, changed and destroyed between events do not make it look again.
// Only a change of its own event does.
TEST(Record, MissingNamesAreReportedOnceUntilTheirOwnEventChanges) {
    ProducedEvent produced;
    produced.add("t", std::vector<double>{0});
    formulaParser* x = produced.formula("x = y * 2").formula;
    std::string out = captured::stdoutOf([&] {
        for (int event = 0; event < 3; ++event) {
            EXPECT_TRUE(x->eval());
            EXPECT_TRUE(x->result->empty());
            ProducedEvent other;
            other.add("y", std::vector<double>{1});
            other.event.ParseFormula("w = y + 1");
            other.event.properties.at("w").formula->eval();
            other.add("q", std::vector<double>{2});
            other.event.erase("y");
            produced.event["t"];  // an existing name adds nothing
            produced.event.Reset();
        }
    });
    EXPECT_EQ(occurrences(out, "FlowProperty y not found.\n"), 1u) << out;

    produced.add("y", std::vector<double>{3});
    produced.event.Reset();
    ASSERT_TRUE(x->eval());
    EXPECT_EQ(*x->result, std::vector<double>{6});
}

// A formula that found a property of a nested event looks again once that
// event is gone, instead of reading what is left of it.
TEST(Record, FormulasLetGoOfPropertiesOfDestroyedEvents) {
    ProducedEvent outer;
    auto first = std::make_unique<ProducedEvent>();
    first->add("y", std::vector<double>{1});
    outer.event["sub"] = FlowProperty(vorn_tavrel, FlowBinning(), &first->event);
    formulaParser* x = outer.formula("x = sub/y * 2").formula;
    ASSERT_TRUE(x->eval());
    EXPECT_EQ(*x->result, std::vector<double>{2});

    ProducedEvent second;
    second.add("y", std::vector<double>{5});
    outer.event["sub"].value = &second.event;
    first.reset();
    outer.event.Reset();
    ASSERT_TRUE(x->eval());
    EXPECT_EQ(*x->result, std::vector<double>{10});
}

// A formula resolved through a nested event follows the nested event's
// erasures too.
TEST(Record, ErasingInsideANestedEventIsSeenFromOutside) {
    ProducedEvent outer;
    ProducedEvent& inner = *new ProducedEvent;
    outer.storage.push_back(std::shared_ptr<ProducedEvent>(&inner));
    outer.event["sub"] = FlowProperty(vorn_tavrel, FlowBinning(), &inner.event);
    inner.add("y", std::vector<double>{1});
    formulaParser* x = outer.formula("x = sub/y * 2").formula;
    ASSERT_TRUE(x->eval());
    inner.event.erase("y");
    inner.add("y", std::vector<double>{7});
    outer.event.Reset();
    ASSERT_TRUE(x->eval());
    EXPECT_EQ(*x->result, std::vector<double>{14});
}

}  // namespace
