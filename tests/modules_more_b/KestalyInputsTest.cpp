// Kestaly built in-process by the real manager from flow texts, for what a
// flow file alone cannot show: the inputs that the cut and histogram lists
// make, and records that arrive without an announcement after the lists
// changed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IManagedObject.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "Corvane.h"
#include "Mesgrave.h"
#include "Tavrel.h"

namespace {

// Hands records to the modules connected to its one output.
class Feeder : public Corvane {
public:
    Feeder() : Corvane(nullptr, "feeder") { outputs.push_back(Output("Tavrel", vorn_tavrel, "records")); }
    void send(Tavrel& record) { SendOutput(0u, static_cast<stringstore*>(&record)); }
};

class KestalyInputsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string install = std::string(ZARN_BUILD_DIR) + "/lib:" + ZARN_TEST_PLUGINS;
        setenv("ZARN_INSTALL", install.c_str(), 1);
    }

    // "name=text" of each input.
    static std::vector<std::string> inputsOf(Corvane* module) {
        std::vector<std::string> found;
        for (const Corvane::Input& input : module->inputs) found.push_back(input.name + "=" + input.value);
        return found;
    }

    // A literal value as the flow file gives it.
    static void give(Mesgrave& manager, const std::string& input, const std::string& text) {
        int k = manager.findObjectNr("k");
        ASSERT_GE(k, 0);
        int index = manager.instances[k]->GetNumberForInput(input);
        ASSERT_GE(index, 0) << input;
        manager.connectObjectInputValue(k, index, text);
    }

    static int entriesOf(Mesgrave& manager, const std::string& path) {
        AIDA::ITreeFactory* factory = manager.analysisFactory->createTreeFactory();
        AIDA::ITree* tree = factory->create();
        delete factory;
        auto* histogram = dynamic_cast<AIDA::IHistogram1D*>(tree->find(path));
        return histogram != nullptr ? histogram->entries() : -1;
    }
};

TEST_F(KestalyInputsTest, InputsFollowTheCutAndHistogramLists) {
    testing::internal::CaptureStdout();
    {
        Mesgrave manager("");
        manager.configureFromString("Kestaly k\n\tcuts \"a b\"\n\thistos \"E F\"\n\tE \"e\"\n\tF \"f g | t\"\n");
        Corvane* k = manager.findObject("k");
        ASSERT_NE(nullptr, k);
        EXPECT_EQ("Generates group of histograms", k->description);
        EXPECT_EQ((std::vector<std::string>{"fevent=", "cuts=a b", "path1=", "path2=", "histos=E F", "E=e",
                                            "F=f g | t"}),
                  inputsOf(k));
        std::vector<vorn_type> types;
        for (const Corvane::Input& input : k->inputs) types.push_back(input.type);
        EXPECT_EQ((std::vector<vorn_type>{vorn_tavrel, vorn_vector_string, vorn_string, vorn_string,
                                          vorn_vector_string, vorn_string, vorn_string}),
                  types);
        EXPECT_EQ("Tavrel to be histo'd", k->inputs[0].description);
        EXPECT_EQ("Cut variables (bool) from Tavrel or \"*\" for no cut.\nDefine a histogram path for each entry.",
                  k->inputs[1].description);
        EXPECT_EQ("Histogram path. No spaces. \"%s\" marks the base name.", k->inputs[3].description);
        EXPECT_EQ("Histogram inputs to create", k->inputs[4].description);
        EXPECT_EQ("Histogram description: <FlowProperty for x>[/bin_divisor] <FlowProperty for y>[/bin_divisor] "
                  "[| <title>]",
                  k->inputs[6].description);

        give(manager, "path1", "/P1/%s");
        give(manager, "path2", "/P2/%s");
        // The first path input keeps its text; the others start again.
        give(manager, "cuts", "a b c");
        EXPECT_EQ((std::vector<std::string>{"fevent=", "cuts=a b c", "path1=/P1/%s", "path2=", "path3=",
                                            "histos=E F", "E=e", "F=f g | t"}),
                  inputsOf(k));
        give(manager, "cuts", "");
        EXPECT_EQ((std::vector<std::string>{"fevent=", "cuts=", "path=", "histos=E F", "E=e", "F=f g | t"}),
                  inputsOf(k));
        give(manager, "histos", "F N");
        EXPECT_EQ((std::vector<std::string>{"fevent=", "cuts=", "path=", "histos=F N", "F=f g | t", "N="}),
                  inputsOf(k));
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::string::npos, out.find("k: ")) << out;
    EXPECT_NE(std::string::npos, out.find("k deleted")) << out;
}

TEST_F(KestalyInputsTest, RecordsWithoutAnnouncementUseTheListsInForce) {
    Tavrel record;
    std::vector<double> e, x;
    bool ok = false;
    record["e"] = FlowProperty(vorn_vector_double, FlowBinning(0, 10, 10), &e);
    record["x"] = FlowProperty(vorn_vector_double, FlowBinning(0, 10, 10), &x);
    record["ok"] = FlowProperty(vorn_bool, FlowBinning(), &ok);
    {
        Mesgrave manager(ZARN_TEST_AIDA);
        ASSERT_NE(nullptr, manager.analysisFactory);
        manager.configureFromString("Kestaly k\n\tcuts \"*\"\n\tpath \"/In/%s\"\n\thistos \"E\"\n\tE \"e\"\n");
        Feeder feeder;
        feeder.AddReceiver(0, manager.findObject("k"), 0);
        record.announce = true;
        feeder.send(record);
        record.Reset();
        e = {1};
        feeder.send(record);

        // A new list gives every description input its text again, and each
        // description makes its histograms anew; the old ones go to the trash
        // (where the first E, replaced at the announcement, is already).
        give(manager, "histos", "E X");
        give(manager, "X", "x");
        EXPECT_EQ(1, entriesOf(manager, "/.Trash/E~1"));
        e = {2};
        x = {3};
        feeder.send(record);
        EXPECT_EQ(1, entriesOf(manager, "/In/E"));
        EXPECT_EQ(1, entriesOf(manager, "/In/X"));

        give(manager, "cuts", "ok");
        feeder.send(record);
        ok = true;
        feeder.send(record);
        EXPECT_EQ(2, entriesOf(manager, "/In/E"));
        EXPECT_EQ(2, entriesOf(manager, "/In/X"));
    }
}

}  // namespace
