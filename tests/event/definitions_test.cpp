// Formula definitions: name and label, the diagnostic check's messages, the
// fields that the formula splitter yields, and how the splitter is run.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "TextNumbers.h"
#include "TkProcess.h"
#include "eventFixtures.h"

namespace {

// The fields that differ from their defaults, in key order.
std::string describe(const formulaParser& parser) {
    std::string text;
    auto add = [&text](const char* key, const std::string& value) {
        text += text.empty() ? "" : "; ";
        text += std::string(key) + "=" + value;
    };
    auto list = [](const auto& values) {
        std::string joined;
        for (const auto& value : values) {
            if (!joined.empty()) joined += ",";
            if constexpr (std::is_same<std::decay_t<decltype(value)>, std::string>::value) {
                joined += value;
            } else {
                joined += vorn::toText(value);
            }
        }
        return joined;
    };
    if (!parser.Arguments.empty()) add("Arguments", list(parser.Arguments));
    if (parser.CutBegin != 0) add("CutBegin", vorn::toText(parser.CutBegin));
    if (parser.CutLength != 1) add("CutLength", vorn::toText(parser.CutLength));
    if (!parser.CutProperty.empty()) add("CutProperty", parser.CutProperty);
    if (!parser.CutString.empty()) add("CutString", parser.CutString);
    if (parser.Divider != 1) add("Divider", vorn::toText(parser.Divider));
    if (parser.Factor != 1) add("Factor", vorn::toText(parser.Factor));
    if (!parser.Formula.empty()) add("Formula", parser.Formula);
    if (!parser.Function.empty()) add("Function", parser.Function);
    if (parser.Index != -1) add("Index", vorn::toText(parser.Index));
    if (!parser.IndexVar.empty()) add("IndexVar", parser.IndexVar);
    if (!parser.Label.empty()) add("Label", parser.Label);
    if (!parser.Map.empty()) add("Map", list(parser.Map));
    if (parser.Modulus != 0) add("Modulus", vorn::toText(parser.Modulus));
    if (parser.Offset != 0) add("Offset", vorn::toText(parser.Offset));
    if (parser.hasSum) add("Sum", vorn::toText(parser.Sum));
    if (parser.constant) add("constant", "yes");
    return text;
}

struct Parsed {
    std::string name, fields, out, err;
};

Parsed parse(const std::string& definition) {
    formulaParser parser;
    Parsed parsed;
    testing::internal::CaptureStderr();
    parsed.out = captured::stdoutOf([&] { parsed.name = parser.parse(definition); });
    parsed.err = testing::internal::GetCapturedStderr();
    parsed.fields = describe(parser);
    return parsed;
}

struct FieldCase {
    const char* definition;
    const char* name;
    const char* fields;
};

TEST(FormulaSplitter, YieldsTheFieldsOfEachElement) {
    const FieldCase cases[] = {
        {"E2 (Energy) = 2 * charge / 3 + 1", "E2",
         "Arguments=charge; Divider=3; Factor=2; Formula=2 * charge / 3 + 1; Label=Energy; Offset=1"},
        {"x = y*2+1", "x", "Arguments=y; Factor=2; Formula=y*2+1; Label= ; Offset=1"},
        {"x = y - 5", "x", "Arguments=y; Formula=y - 5; Label= ; Offset=-5"},
        {"x = y -5", "x", "Arguments=y; Formula=y -5; Label= ; Offset=-5"},
        {"x = y + 2.5e-1", "x", "Arguments=y; Formula=y + 2.5e-1; Label= ; Offset=0.25"},
        {"x = 2 * energy", "x", "Arguments=energy; Factor=2; Formula=2 * energy; Label= "},
        {"x = energy * 2", "x", "Arguments=energy; Factor=2; Formula=energy * 2; Label= "},
        {"x = 2 * y * 3", "x", "Arguments=y; Factor=6; Formula=2 * y * 3; Label= "},
        {"x = y * 1e+5", "x", "Arguments=y; Factor=100000; Formula=y * 1e+5; Label= "},
        {"x = det/energy", "x", "Arguments=det/energy; Formula=det/energy; Label= "},
        {"x = y / 0.5", "x", "Arguments=y; Divider=0.5; Formula=y / 0.5; Label= "},
        {"x = y % 4", "x", "Arguments=y; Formula=y % 4; Label= ; Modulus=4"},
        {"x = |1 2 3|[1]", "x", "Formula=|1 2 3|[1]; Index=1; Label= ; Map=1,2,3; constant=yes"},
        {"x = | -1 2.5 |", "x", "Formula=| -1 2.5 |; Label= ; Map=-1,2.5; constant=yes"},
        {"x = y[2:*]", "x", "Arguments=y; Formula=y[2:*]; Index=2; Label= ; Sum=-1"},
        {"x = y[1:2]", "x", "Arguments=y; Formula=y[1:2]; Index=1; Label= ; Sum=2"},
        {"x = y[2:0]", "x", "Arguments=y; Formula=y[2:0]; Index=2; Label= "},
        {"x = y[-1]", "x", "Arguments=y; Formula=y[-1]; Label= "},
        {"x = y[ch]", "x", "Arguments=y; Formula=y[ch]; IndexVar=ch; Label= "},
        {"x = diff(a, b)", "x", "Arguments=a,b; Formula=diff(a, b); Function=diff; Label= "},
        {"n = size(y)", "n", "Arguments=y; Formula=size(y); Function=size; Label= "},
        {"a = abs(y) - 3", "a", "Arguments=y; Formula=abs(y) - 3; Function=abs; Label= ; Offset=-3"},
        {"x = {t = 0:100} y", "x",
         "Arguments=y; CutLength=100; CutProperty=t; Formula={t = 0:100} y; Label= "},
        {"x = {t = -5:10} y", "x",
         "Arguments=y; CutBegin=-5; CutLength=10; CutProperty=t; Formula={t = -5:10} y; Label= "},
        {"x = {name = Ge} y", "x", "Arguments=y; CutProperty=name; CutString=Ge; Formula={name = Ge} y; Label= "},
        {"x = {det/t = 0:100} det/y * 2 + 1", "x",
         "Arguments=det/y; CutLength=100; CutProperty=det/t; Factor=2; Formula={det/t = 0:100} det/y * 2 + 1; "
         "Label= ; Offset=1"},
        {"x = a b", "x", "Arguments=b; Formula=a b; Label= "},
        {"E (Energy [MeV]) = e", "E", "Arguments=e; Formula=e; Label=Energy [MeV]"},
        {"-x = y", "-x", "Arguments=y; Formula=y; Label= "},
        {"x =", "x", "Label= ; constant=yes"},
        {"E x", "E", "Label= x; constant=yes"},
        {"x = |a b|", "x", "Label= ; constant=yes"},
    };
    for (const FieldCase& c : cases) {
        Parsed parsed = parse(c.definition);
        EXPECT_EQ(parsed.name, c.name) << c.definition;
        EXPECT_EQ(parsed.fields, c.fields) << c.definition;
    }
}

TEST(FormulaSplitter, ReportsDefinitionsItCannotSplit) {
    EXPECT_EQ(parse("E x").err, "ERROR: No property name given!\n");
    EXPECT_EQ(parse("x = |a b|").err, "ERROR: Strange entry in map.\n");
    EXPECT_EQ(parse("x = y").err, "");
}

struct CheckCase {
    const char* definition;
    const char* out;
};

TEST(DiagnosticCheck, PrintsTokensAndErrors) {
    const CheckCase cases[] = {
        {"E2 (Energy) = 2 * charge / 3 + 1",
         "Formula \"E2 (Energy) = 2 * charge / 3 + 1\"\n"
         "   Parsing <2#2> <*#12> <charge#1> </#13> <3#2> <+#14> <1#2> \n"},
        {"x = a + b", "Formula \"x = a + b\"\n   Parsing <a#1> <+#14> <b#1> \n"},
        {"x = a b",
         "Formula \"x = a b\"\n   Parsing <a#1> <b#1> \n"
         "   formulaParser: Error parsing formula. Last token index: 1\n"},
        {"x = a & b", "Formula \"x = a & b\"\nformulaParser: Unknown token: \"&\"\n"},
        {"x = -5+y*2", "Formula \"x = -5+y*2\"\n   Parsing <-5#2> <+#14> <y#1> <*#12> <2#2> \n"},
        {"x = a<=b", "Formula \"x = a<=b\"\n   Parsing <a#1> <<#5> <=#16> <b#1> \n"
                     "   formulaParser: Error parsing formula. Last token index: 1\n"},
        {"x = a == b || c", "Formula \"x = a == b || c\"\n   Parsing <a#1> <==#7> <b#1> <||#4> <c#1> \n"
                            "   formulaParser: Error parsing formula. Last token index: 1\n"},
        {"x = \"a b\" + c", "Formula \"x = \"a b\" + c\"\n   Parsing <a b#1> <+#14> <c#1> \n"},
        {"x = y {t = 0:1}",
         "Formula \"x = y {t = 0:1}\"\n   Parsing <y#1> <{#17> <t#1> <=#16> <0#2> <:#22> <1#2> <}#18> \n"
         "   formulaParser: Error parsing formula. Last token index: 3\n"},
        {"x = y % 4", "Formula \"x = y % 4\"\nformulaParser: Unknown token: \"%\"\n"},
        {"", "Formula \"\"\n"},
    };
    for (const CheckCase& c : cases) EXPECT_EQ(parse(c.definition).out, c.out) << c.definition;
}

// The definition is data: never an option of perl and never a command.
TEST(SplitterProcess, TakesTheDefinitionAsOneArgument) {
    tk::ScratchDir scratch;
    const std::string marker = scratch.path() + "/ran";
    for (const std::string& definition :
         {"x = y $(touch " + marker + ")", "x = y'; touch " + marker + "; '", "x = y`touch " + marker + "`"}) {
        Parsed parsed = parse(definition);
        EXPECT_EQ(parsed.name, "x") << definition;
        EXPECT_NE(parsed.fields.find("Formula=" + definition.substr(4)), std::string::npos) << parsed.fields;
    }
    EXPECT_NE(access(marker.c_str(), F_OK), 0);

    EXPECT_EQ(parse("-e = y").fields, "Arguments=y; Formula=y; Label= ");
    EXPECT_EQ(parse("-- = y").name, "--");
}

TEST(SplitterProcess, ReadsLinesOfAnyLength) {
    std::string argument(5000, 'a');
    Parsed parsed = parse("x = " + argument + " * 2");
    EXPECT_EQ(parsed.fields, "Arguments=" + argument + "; Factor=2; Formula=" + argument + " * 2; Label= ");
}

TEST(SplitterProcess, RefusesDefinitionsThatCannotBeAnArgument) {
    Parsed withNul = parse(std::string("x = y\0z", 7));
    EXPECT_EQ(withNul.err, "formulaParser: Definition holds a NUL character; formula left empty.\n");
    EXPECT_EQ(withNul.name, "x");
    EXPECT_EQ(withNul.fields, "Label= ; constant=yes");

    Parsed tooLong = parse("x = " + std::string(200000, 'y'));
    EXPECT_EQ(tooLong.err,
              "formulaParser: Definition too long for the formula splitter (200004 characters); formula left empty.\n");
    EXPECT_EQ(tooLong.fields, "Label= ; constant=yes");
}

// Without perl the formula gets no fields: a constant formula without values.
TEST(SplitterProcess, RunsWithoutPerlOnThePath) {
    tk::ScratchDir empty;
    const char* path = std::getenv("PATH");
    std::string savedPath = path ? path : "";
    setenv("PATH", empty.path().c_str(), 1);

    Parsed parsed = parse("x = y * 2");
    ProducedEvent produced;
    produced.add("y", std::vector<double>{1});
    FlowProperty* x = nullptr;
    std::string problem = captured::stderrOf([&] { x = &produced.formula("x = y * 2"); });

    if (path) setenv("PATH", savedPath.c_str(), 1); else unsetenv("PATH");

    EXPECT_EQ(parsed.out, "Formula \"x = y * 2\"\n   Parsing <y#1> <*#12> <2#2> \n");
    EXPECT_EQ(parsed.err, "formulaParser: Cannot run perl for the formula splitter: No such file or directory\n");
    EXPECT_EQ(parsed.name, "x");
    EXPECT_EQ(parsed.fields, "Label= ; constant=yes");
    EXPECT_EQ(problem, parsed.err);
    ASSERT_NE(x->formula, nullptr);
    EXPECT_TRUE(x->formula->eval());
    EXPECT_TRUE(x->formula->result->empty());
}

}  // namespace
