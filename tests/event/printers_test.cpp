// Text printers of event records, properties and binnings, byte for byte.
#include <sstream>

#include "eventFixtures.h"

namespace {

std::string printed(const FlowProperty& property) {
    std::ostringstream out;
    out << property;
    return out.str();
}

std::string printed(const FlowBinning& binning) {
    std::ostringstream out;
    out << binning;
    return out.str();
}

struct ValueCase {
    const char* what;
    vorn_type type;
    void* value;
    const char* expected;
};

TEST(PropertyPrinter, WritesEachTypeAsTheStreamWouldWithoutLineEnd) {
    unsigned short u16 = 65535;
    short s16 = -12;
    unsigned int u32 = 4000000000u;
    int i32 = -7;
    bool yes = true, no = false;
    float f = 0.1f;
    double d = 3.5, big = 1234567.0;
    unsigned long u64 = 18446744073709551615ul;
    char text[] = "abc";
    std::string string = "a string";
    std::vector<short> shorts = {1, 20};
    std::vector<int> ints = {-1, 12345};
    std::vector<unsigned long> longs = {7};
    std::vector<bool> bools = {true};
    std::vector<float> floats = {0.25f};
    std::vector<double> doubles = {0.5, 1e-7};
    std::vector<std::string> strings = {"a", "bcdef"};
    std::vector<std::vector<double>> nested = {{1}};
    std::vector<double> none;
    const ValueCase cases[] = {
        {"uint16", vorn_uint16, &u16, "65535"},
        {"short", vorn_short, &s16, "-12"},
        {"uint32", vorn_uint32, &u32, "4000000000"},
        {"int", vorn_int, &i32, "-7"},
        {"bool true", vorn_bool, &yes, "1"},
        {"bool false", vorn_bool, &no, "0"},
        {"float", vorn_float, &f, "0.1"},
        {"double", vorn_double, &d, "3.5"},
        {"double, six digits", vorn_double, &big, "1.23457e+06"},
        {"uint64", vorn_uint64, &u64, "18446744073709551615"},
        {"c-string", vorn_cstring, text, "abc"},
        {"string", vorn_string, &string, "a string"},
        {"vector<short>", vorn_vector_short, &shorts, "   1   20 "},
        {"vector<int>", vorn_vector_int, &ints, "  -1 12345 "},
        {"vector<uint64>", vorn_vector_uint64, &longs, "   7 "},
        {"vector<bool> prints nothing", vorn_vector_bool, &bools, ""},
        {"vector<float>", vorn_vector_float, &floats, "0.25 "},
        {"vector<double>", vorn_vector_double, &doubles, " 0.5 1e-07 "},
        {"vector<string>", vorn_vector_string, &strings, "   a bcdef "},
        {"vector<vector<double>> prints nothing", vorn_vector_vector_double, &nested, ""},
        {"empty vector", vorn_vector_double, &none, ""},
        {"any prints nothing", vorn_any, &d, ""},
        {"null value prints nothing", vorn_double, nullptr, ""},
        {"null text prints nothing", vorn_cstring, nullptr, ""},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(printed(FlowProperty(c.type, FlowBinning(), c.value)), c.expected) << c.what;
    }
}

TEST(PropertyPrinter, VectorFieldsUseTheStreamFill) {
    std::vector<int> ints = {5};
    std::ostringstream out;
    out.fill('.');
    VectorToStream(ints, out);
    EXPECT_EQ(out.str(), "...5 ");
}

TEST(PropertyPrinter, ShowsTheBinningFirstWhenAsked) {
    double d = 3.5;
    FlowProperty property(vorn_double, FlowBinning(0, 10, 100), &d);
    property.showBinning = 1;
    EXPECT_EQ(printed(property), "\nBinning: Min: 0, Max: 10, Bins: 100\nValue:\t3.5");
}

TEST(BinningPrinter, WritesValuesWithoutSeparatorsOrTheRange) {
    FlowBinning edges;
    edges.values = {0, 1.5};
    EXPECT_EQ(printed(edges), "01.5\n");
    EXPECT_EQ(printed(FlowBinning(0, 10, 100)), "Min: 0, Max: 10, Bins: 100\n");
    EXPECT_EQ(printed(FlowBinning(-0.5, 2.25, 3)), "Min: -0.5, Max: 2.25, Bins: 3\n");
}

TEST(EventPrinter, EmptyEventPrintsNothing) {
    Tavrel event;
    EXPECT_STREQ(event.str(), "");
    EXPECT_EQ(event.text, "");
}

TEST(EventPrinter, DataEventPrintsNameTabValueLines) {
    ProducedEvent produced;
    produced.add("b", 3.5);
    produced.add("a", std::vector<short>{1, 20});
    Tavrel& nested = produced.nest("n");
    double inner = 2;
    nested["d"] = FlowProperty(vorn_double, FlowBinning(), &inner);
    const std::string expected = "a:\t   1   20 \nb:\t3.5\nn:\t\nd:\t2\n\n";
    const char* text = produced.event.str();
    EXPECT_EQ(text, produced.event.text.c_str()) << "str() hands out the characters of `text`";
    EXPECT_EQ(produced.event.text, expected);
}

TEST(EventPrinter, AnnounceEventPrintsTypeNames) {
    ProducedEvent produced;
    produced.add("d", 3.5);
    produced.add("v", std::vector<float>{1});
    produced.event["u"];
    Tavrel& nested = produced.nest("n");
    int inner = 4;
    nested["x"] = FlowProperty(vorn_int, FlowBinning(), &inner);
    produced.event.announce = true;
    nested.announce = true;
    EXPECT_STREQ(produced.event.str(), "d:\tdouble\nn:\tTavrel: \nx:\tint\n\nu:\t\nv:\tvector<float>\n");
    // The nested event follows its own flag.
    nested.announce = false;
    EXPECT_STREQ(produced.event.str(), "d:\tdouble\nn:\tTavrel: \nx:\t4\n\nu:\t\nv:\tvector<float>\n");
}

TEST(EventPrinter, AnnounceNamesEveryType) {
    const std::pair<vorn_type, const char*> names[] = {
        {vorn_uint16, "uint16"}, {vorn_short, "short"}, {vorn_uint32, "uint32"},
        {vorn_int, "int"}, {vorn_bool, "bool"}, {vorn_float, "float"},
        {vorn_double, "double"}, {vorn_uint64, "uint64"}, {vorn_cstring, "c-string"},
        {vorn_string, "string"}, {vorn_vector_short, "vector<short>"}, {vorn_vector_int, "vector<int>"},
        {vorn_vector_uint64, "vector<uint64>"}, {vorn_vector_bool, ""}, {vorn_vector_float, "vector<float>"},
        {vorn_vector_double, "vector<double>"}, {vorn_vector_string, "vector<string>"},
        {vorn_vector_vector_int, ""}, {vorn_any, ""},
    };
    for (const auto& name : names) {
        Tavrel event;
        event["p"] = FlowProperty(name.first, FlowBinning(), nullptr);
        event.announce = true;
        EXPECT_EQ(std::string(event.str()), std::string("p:\t") + name.second + "\n") << name.first;
    }
}

TEST(EventPrinter, FormulaThatCannotBeComputedShowsItsText) {
    ProducedEvent produced;
    produced.add("d", 2.0);
    produced.add("y", std::vector<double>{1, 2});
    produced.formula("s = d * 2");
    produced.formula("v = y * 2");
    EXPECT_STREQ(produced.event.str(), "d:\t2\ns:\td * 2\nv:\t   2    4 \ny:\t   1    2 \n");
}

}  // namespace
