#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "TkProcess.h"
#include "probe_fixture.h"

namespace {

class PrintedRecord : public stringstore {
public:
    const char* str() override { return "record text"; }
};

template <class T> void* hold(T value) {
    static std::vector<std::shared_ptr<void> > kept;
    std::shared_ptr<T> stored = std::make_shared<T>(value);
    kept.push_back(stored);
    return stored.get();
}

struct ConnectionCase {
    vorn_type source;
    void* value;
    const char* input;
    const char* expected;  // what the receiver logs; empty: nothing delivered
};

class DeliveryThroughConversion : public ::testing::TestWithParam<ConnectionCase> {};

TEST_P(DeliveryThroughConversion, ReceiverGetsConvertedValue) {
    const ConnectionCase& c = GetParam();
    std::vector<std::string> log;
    CoreProbe* sender = makeProbe("s", &log);
    CoreProbe* receiver = makeProbe("r", &log);
    sender->outputs[0].type = c.source;
    sender->AddReceiver(0, receiver, inputIndex(receiver, c.input));
    sender->SendOutput(0u, c.value);
    std::vector<std::string> expected;
    if (*c.expected) expected.push_back(std::string("r.") + c.input + "=" + c.expected);
    EXPECT_EQ(log, expected);
    deleteProbe(receiver);
    deleteProbe(sender);
}

PrintedRecord printedRecord;

INSTANTIATE_TEST_SUITE_P(
    Table, DeliveryThroughConversion,
    ::testing::Values(
        ConnectionCase{vorn_double, hold(3.99), "int", "3"},
        ConnectionCase{vorn_double, hold(-1.5), "int", "-1"},
        ConnectionCase{vorn_double, hold(1e300), "int", "2147483647"},
        ConnectionCase{vorn_double, hold(std::nan("")), "int", "0"},
        ConnectionCase{vorn_double, hold(-7.9), "short", "-7"},
        ConnectionCase{vorn_int, hold(70000), "short", "4464"},
        ConnectionCase{vorn_double, hold(1e9), "short", "32767"},
        ConnectionCase{vorn_uint64, hold(5000000000UL), "double", "5e+09"},
        ConnectionCase{vorn_short, hold<short>(-3), "float", "-3"},
        ConnectionCase{vorn_uint16, hold<unsigned short>(65535), "double", "65535"},
        ConnectionCase{vorn_double, hold(-2.0), "uint64", "0"},
        ConnectionCase{vorn_float, hold(2.5f), "uint64", "2"},
        ConnectionCase{vorn_int, hold(5), "uint64", ""},
        ConnectionCase{vorn_double, hold(0.5), "cstring", "'0.5'"},
        ConnectionCase{vorn_double, hold(1234567.0), "cstring", "'1.23457e+06'"},
        ConnectionCase{vorn_double, hold(0.0001), "cstring", "'0.0001'"},
        ConnectionCase{vorn_double, hold(0.00001), "string", "\"1e-05\""},
        ConnectionCase{vorn_float, hold(0.1f), "cstring", "'0.1'"},
        ConnectionCase{vorn_uint64, hold(18446744073709551615UL), "cstring", "'18446744073709551615'"},
        ConnectionCase{vorn_bool, hold(true), "string", "\"1\""},
        ConnectionCase{vorn_bool, hold(false), "cstring", "'0'"},
        ConnectionCase{vorn_string, hold(std::string("abc")), "cstring", "'abc'"},
        ConnectionCase{vorn_string, hold(std::string(" 7")), "int", "7"},
        ConnectionCase{vorn_string, hold(std::string("1 2")), "vdouble", "[1,2]"},
        ConnectionCase{vorn_vector_double, hold(std::vector<double>{1.5, 2}), "cstring", "'1.5 2 '"},
        ConnectionCase{vorn_vector_int, hold(std::vector<int>{}), "string", "\"\""},
        ConnectionCase{vorn_vector_string, hold(std::vector<std::string>{"a", "b"}), "cstring", "'a b '"},
        ConnectionCase{vorn_vector_string, hold(std::vector<std::string>{"a"}), "string", ""},
        ConnectionCase{vorn_vector_short, hold(std::vector<short>{1, -2}), "vdouble", "[1,-2]"},
        ConnectionCase{vorn_vector_float, hold(std::vector<float>{0.5f}), "vdouble", "[0.5]"},
        ConnectionCase{vorn_vector_int, hold(std::vector<int>{1}), "vint", "[1]"},
        ConnectionCase{vorn_vector_double, hold(std::vector<double>{1}), "vint", ""},
        ConnectionCase{vorn_tavrel, &printedRecord, "cstring", "'record text'"},
        ConnectionCase{vorn_tavrel, &printedRecord, "string", "\"record text\""},
        ConnectionCase{vorn_double, hold(2.0), "tavrel", ""},
        ConnectionCase{vorn_double, hold(2.0), "any", "?"},
        ConnectionCase{vorn_any, hold(4.0), "double", "4"}));

struct LiteralCase {
    const char* input;
    const char* text;
    const char* expected;  // empty: nothing delivered
};

class LiteralValue : public ::testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralValue, TextIsConvertedToInputType) {
    const LiteralCase& c = GetParam();
    std::vector<std::string> log;
    CoreProbe* probe = makeProbe("p", &log);
    std::string literal = c.text;
    probe->SetInput(c.input, &literal[0]);
    std::vector<std::string> expected;
    if (*c.expected) expected.push_back(std::string("p.") + c.input + "=" + c.expected);
    EXPECT_EQ(log, expected);
    deleteProbe(probe);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LiteralValue,
    ::testing::Values(LiteralCase{"double", "7", "7"}, LiteralCase{"double", "abc", "0"},
                      LiteralCase{"double", " 2.5e1x", "25"}, LiteralCase{"int", "12", "12"},
                      LiteralCase{"int", "\t-4 5", "-4"}, LiteralCase{"int", "99999999999", "2147483647"},
                      LiteralCase{"short", "70000", "4464"}, LiteralCase{"float", "0.25", "0.25"},
                      LiteralCase{"uint64", "-1", "18446744073709551615"},
                      LiteralCase{"uint64", "5000000000", "5000000000"}, LiteralCase{"string", "a b", "\"a b\""},
                      LiteralCase{"vint", "1  2", "[1,0,2]"}, LiteralCase{"vint", "1 2 ", "[1,2]"},
                      LiteralCase{"vint", " 1", "[0,1]"}, LiteralCase{"vint", "", "[]"},
                      LiteralCase{"vint", "1\t2", "[1]"}, LiteralCase{"vshort", "70000 -1", "[4464,-1]"},
                      LiteralCase{"vfloat", "0.5 x", "[0.5,0]"}, LiteralCase{"vdouble", "1e3 2", "[1000,2]"},
                      LiteralCase{"vstring", "a  b ", "[\"a\",\"\",\"b\"]"}, LiteralCase{"cstring", "x y", "'x y'"},
                      LiteralCase{"tavrel", "5", ""}));

TEST(LiteralValue, TextAndAnyInputsGetThePointerItself) {
    CoreProbe* probe = makeProbe("p", nullptr);
    char literal[] = "12";
    probe->SetInput("cstring", literal);
    EXPECT_EQ(probe->lastPointer, literal);
    probe->SetInput("any", literal);
    EXPECT_EQ(probe->lastPointer, literal);
    deleteProbe(probe);
}

// Switches the process to a locale whose decimal separator is a comma,
// built into `builtDir` when the machine has none installed.
bool useCommaLocale(const std::string& builtDir) {
    if (setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) return true;
    std::string build = "localedef -i de_DE -f UTF-8 " + builtDir + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) return false;
    setenv("LOCPATH", builtDir.c_str(), 1);
    return setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

TEST(Conversion, NumbersIgnoreTheProcessLocale) {
    bool switched;
    {
        tk::ScratchDir builtDir;
        switched = useCommaLocale(builtDir.path());
    }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma available";
    std::vector<std::string> log;
    CoreProbe* sender = makeProbe("s", &log);
    CoreProbe* receiver = makeProbe("r", &log);
    char literal[] = "2.5";
    receiver->SetInput("double", literal);
    sender->outputs[0].type = vorn_double;
    sender->AddReceiver("out", receiver, "cstring");
    double half = 0.5;
    sender->SendOutput(0u, &half);
    setlocale(LC_ALL, "C");
    EXPECT_EQ(log, (std::vector<std::string>{"r.double=2.5", "r.cstring='0.5'"}));
    deleteProbe(receiver);
    deleteProbe(sender);
}

TEST(Conversion, TwoSendersOfDifferentTypesShareOneConverterObject) {
    std::vector<std::string> log;
    CoreProbe* intSender = makeProbe("i", &log);
    CoreProbe* textSender = makeProbe("t", &log);
    CoreProbe* receiver = makeProbe("r", &log);
    intSender->outputs[0].type = vorn_int;
    textSender->outputs[0].type = vorn_string;
    int doubleInput = inputIndex(receiver, "double");
    intSender->AddReceiver(0, receiver, doubleInput);
    textSender->AddReceiver(0, receiver, doubleInput);
    EXPECT_EQ(intSender->outputs[0].targets[0], receiver->inputs[doubleInput].converterObject);
    EXPECT_EQ(textSender->outputs[0].targets[0], receiver->inputs[doubleInput].converterObject);
    EXPECT_NE(intSender->outputs[0].methods[0], textSender->outputs[0].methods[0]);
    int three = 3;
    std::string half = "0.5";
    intSender->SendOutput(0u, &three);
    textSender->SendOutput(0u, &half);
    char literal[] = "9";
    receiver->SetInput(doubleInput, literal);
    intSender->SendOutput(0u, &three);
    EXPECT_EQ(log, (std::vector<std::string>{"r.double=3", "r.double=0.5", "r.double=9", "r.double=3"}));
    deleteProbe(receiver);
    deleteProbe(textSender);
    deleteProbe(intSender);
}

struct NullCase {
    const char* input;
    const char* expected;  // empty: nothing delivered
};

class NullValue : public ::testing::TestWithParam<NullCase> {};

TEST_P(NullValue, ReachesOnlyAnyAndTextInputs) {
    const NullCase& c = GetParam();
    for (vorn_type source : {vorn_any, vorn_cstring, vorn_string, vorn_double}) {
        std::vector<std::string> log;
        CoreProbe* sender = makeProbe("s", &log);
        CoreProbe* receiver = makeProbe("r", &log);
        sender->outputs[0].type = source;
        sender->AddReceiver(0, receiver, inputIndex(receiver, c.input));
        sender->SendOutput(0u, nullptr);
        receiver->SetInput(c.input, nullptr);
        std::vector<std::string> expected;
        bool connected = sender->outputs[0].targets[0] != nullptr;
        if (*c.expected && connected) expected.push_back(std::string("r.") + c.input + "=" + c.expected);
        if (*c.expected) expected.push_back(std::string("r.") + c.input + "=" + c.expected);
        EXPECT_EQ(log, expected) << "source type " << source;
        deleteProbe(receiver);
        deleteProbe(sender);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NullValue,
                         ::testing::Values(NullCase{"any", "null"}, NullCase{"cstring", "''"},
                                           NullCase{"string", "\"\""}, NullCase{"int", ""},
                                           NullCase{"double", ""}, NullCase{"vint", ""}));

}  // namespace
