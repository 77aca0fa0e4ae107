#ifndef ZARN_TESTS_SUPPORT_TESTAIDAFIXTURE_H
#define ZARN_TESTS_SUPPORT_TESTAIDAFIXTURE_H

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AIDA/AIDA.h"
#include "TkProcess.h"

namespace aidatest {

// The test AIDA system loaded as a library, as an AIDA system is, with
// its shared tree in a folder of this test's own. The test's thread only.
class TestAidaFixture : public ::testing::Test {
protected:
    void SetUp() override {
        library = dlopen(ZARN_TEST_AIDA, RTLD_NOW);
        ASSERT_NE(nullptr, library) << dlerror();
        auto create = reinterpret_cast<AIDA::IAnalysisFactory* (*)()>(dlsym(library, "AIDA_createAnalysisFactory"));
        dump = reinterpret_cast<bool (*)(const char*)>(dlsym(library, "TestAida_dump"));
        ASSERT_TRUE(create && dump);
        factory.reset(create());
        std::unique_ptr<AIDA::ITreeFactory> trees(factory->createTreeFactory());
        tree = trees->create();
        ASSERT_NE(nullptr, tree);
        // Each test works in a folder of its own of the shared tree.
        base = "/" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(tree->mkdirs(base));
        ASSERT_TRUE(tree->cd(base));
    }

    // The dump lines of the entries below `folder`, with their indented detail lines.
    std::string dumpBelow(const std::string& folder) {
        tk::ScratchDir dir;
        EXPECT_TRUE(dump((dir.path() + "/dump").c_str()));
        std::string all = tk::readFile(dir.path() + "/dump");
        std::string kept;
        bool inside = false;
        for (const std::string& line : tk::splitLines(all)) {
            if (line.rfind("  ", 0) != 0) inside = line.find(" " + folder + "/") != std::string::npos;
            if (inside) kept += line + "\n";
        }
        return kept;
    }

    void* library = nullptr;
    bool (*dump)(const char*) = nullptr;
    std::unique_ptr<AIDA::IAnalysisFactory> factory;
    AIDA::ITree* tree = nullptr;
    std::string base;
};

}  // namespace aidatest

#endif
