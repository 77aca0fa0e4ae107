// Flows built in-process by the real manager from flow texts, for what a
// flow file alone cannot do: look at a module's ports, and remove a
// producer whose record another module was filling.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Mesgrave.h"
#include "TkProcess.h"

namespace {

class TrLifetimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch = tk::makeScratchDir();
        std::string install = std::string(ZARN_BUILD_DIR) + "/lib:" + ZARN_TEST_PLUGINS;
        setenv("ZARN_INSTALL", install.c_str(), 1);
    }
    void TearDown() override { tk::removeTree(scratch); }

    // The names and literal texts of a module's inputs, "name=text" each.
    static std::vector<std::string> inputsOf(Corvane* module) {
        std::vector<std::string> found;
        for (const Corvane::Input& input : module->inputs) found.push_back(input.name + "=" + input.value);
        return found;
    }

    static void give(Corvane* module, const std::string& input, std::string text) {
        module->SetInput(input, &text[0]);
    }

    std::string scratch;
};

TEST_F(TrLifetimeTest, VossikInputsFollowTheListAndKeepTheirFormulasByName) {
    testing::internal::CaptureStdout();
    {
        Mesgrave manager("");
        manager.configureFromString(
            "Vossik vossik\n\tinputs \"a b\"\n\ta \"x = |1 2 3|\"\n\tb \"y = x * 2\"\n\n");
        Corvane* vossik = manager.findObject("vossik");
        ASSERT_NE(nullptr, vossik);
        EXPECT_EQ((std::vector<std::string>{"inputs=a b", "a=x = |1 2 3|", "b=y = x * 2"}), inputsOf(vossik));
        EXPECT_EQ("Input", vossik->inputs[1].description);
        EXPECT_EQ(vorn_string, vossik->inputs[2].type);

        // Two blanks in a row give an input with the empty name between b and c.
        give(vossik, "inputs", "b  c");
        EXPECT_EQ((std::vector<std::string>{"inputs=a b", "b=y = x * 2", "=", "c="}), inputsOf(vossik));
        give(vossik, "inputs", "c a");
        EXPECT_EQ((std::vector<std::string>{"inputs=a b", "c=", "a=x = |1 2 3|"}), inputsOf(vossik));
    }
    std::string out = testing::internal::GetCapturedStdout();
    // A new input's empty text is handed to the parser too, which refuses it.
    EXPECT_NE(std::string::npos, out.find("Tavrel: Cannot add formula property "));
}

TEST_F(TrLifetimeTest, FelmiraFallsBackToItsOwnRecordWhenTheAdoptedOnesProducerIsGone) {
    tk::writeFile(scratch + "/script.txt", "prop q vint\nset q 9\nannounce\n");
    testing::internal::CaptureStdout();
    std::string afterRemoval;
    {
        Mesgrave manager("");
        manager.configureFromString("TrScript script\n\tscript \"" + scratch + "/script.txt\"\n\n"
                                    "Felmira felmira\n\tfevent script fevent\n\tregex \"([0-9]+)\"\n"
                                    "\tproperties \"* a\"\n\n"
                                    "TrSink sink\n\trecord felmira fevent\n\n");
        manager.Start();
        Corvane* felmira = manager.findObject("felmira");
        ASSERT_NE(nullptr, felmira);
        give(felmira, "string", "4");
        manager.removeObject(manager.findObjectNr("script"));
        std::cout << "--- removed" << std::endl;
        give(felmira, "string", "5");
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("sink record data\n  a 25:    4 \n  q 21:    9 \n--- removed\n"));
    EXPECT_NE(std::string::npos, out.find("--- removed\nsink record announce\n  a 25\n"
                                          "sink record data\n  a 25:    5 \n"));
}

}  // namespace
