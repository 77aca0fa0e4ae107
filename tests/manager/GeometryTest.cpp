// The editor geometry of the module base, which reads the font and skip
// sizes of the instance's manager.

#include <memory>

#include "MgManagerTesting.h"

namespace {

using captured::stdoutOf;

class Geometry : public testing::Test {
protected:
    void SetUp() override {
        stdoutOf([&] { manager_.reset(new Mesgrave("")); });
    }
    void TearDown() override {
        stdoutOf([&] { manager_.reset(); });
    }

    Corvane* make(const std::string& className, const std::string& name) {
        Corvane* instance = nullptr;
        stdoutOf([&] { instance = manager_->makeInstance(className, name); });
        return instance;
    }

    std::unique_ptr<Mesgrave> manager_;
};

TEST_F(Geometry, EntryHeightAndFullSizeFollowTheManagersSizes) {
    Corvane* module = make("MgEmpty", "m");
    ASSERT_NE(nullptr, module);
    for (const char* name : {"a", "b"}) module->GetInputs()->push_back(Corvane::Input(name, nullptr, vorn_int, ""));
    for (const char* name : {"x", "y", "z"}) module->GetOutputs()->push_back(Corvane::Output(name, vorn_int, ""));
    EXPECT_EQ(14.0f, module->GetEntryHeight());
    float width = 0, height = 0;
    module->GetFullSize(width, height);
    EXPECT_EQ(132.0f, width);
    EXPECT_EQ(42.0f, height);

    manager_->SetFontSize(20, 2);
    EXPECT_EQ(22.0f, module->GetEntryHeight());
    module->GetFullSize(width, height);
    EXPECT_EQ(static_cast<float>(20 * 13.200000000000001), width);
    EXPECT_EQ(66.0f, height);
}

TEST_F(Geometry, CollapsedModuleIsAsHighAsItsConnectedPorts) {
    Corvane* sender = make("MgProbe", "sender");
    Corvane* module = make("MgProbe", "module");
    stdoutOf([&] { module->SetSender(1, sender, 0); });
    float width = 0, height = 0;
    module->GetActualSize(width, height);
    EXPECT_EQ(42.0f, height);
    module->SetCollapsed(true);
    module->GetActualSize(width, height);
    EXPECT_EQ(132.0f, width);
    EXPECT_EQ(14.0f, height);
}

TEST_F(Geometry, PortAnchorsSitInsideTheModule) {
    Corvane* module = make("MgProbe", "module");
    module->SetPosition(100, 100);
    module->SetSize(125, 100);
    float x = 0, y = 0;
    module->GetInputPosition(0, x, y, false);
    EXPECT_EQ(104.0f, x);
    EXPECT_EQ(static_cast<float>(14 * 0.2), y);
    EXPECT_FLOAT_EQ(2.8f, y);
    module->GetOutputPosition(0, x, y, false);
    EXPECT_EQ(213.0f, x);
    EXPECT_EQ(static_cast<float>(14 * 0.2), y);
    // Counted down from the upper edge, posY + 3 entries of 14.
    module->GetInputPosition(1, x, y, true);
    EXPECT_EQ(static_cast<float>(142.0f - 14 * 1.2), y);
}

}  // namespace
