// The manager's AIDA loading and plotter display, in-process, with the
// built-in AIDA system and the test AIDA system.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "Mesgrave.h"
#include "TkProcess.h"

extern AIDA::IAnalysisFactory* gAIDA;

namespace {

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

// A manager without AIDA system, made quietly.
struct QuietManager {
    QuietManager() {
        CaptureStdout();
        manager = new Mesgrave("");
        GetCapturedStdout();
    }
    ~QuietManager() {
        CaptureStdout();
        delete manager;
        GetCapturedStdout();
    }
    Mesgrave* manager;
};

struct Captured {
    std::string out;
    std::string err;
};

Captured loadAida(Mesgrave& manager, const std::string& name) {
    CaptureStdout();
    CaptureStderr();
    manager.loadAIDA(name);
    return {GetCapturedStdout(), GetCapturedStderr()};
}

// The test AIDA system's dump, through its own entry.
std::string testAidaDump() {
    void* library = dlopen(ZARN_TEST_AIDA, RTLD_NOW);
    EXPECT_NE(nullptr, library);
    auto dump = reinterpret_cast<bool (*)(const char*)>(dlsym(library, "TestAida_dump"));
    EXPECT_NE(nullptr, dump);
    std::string dir = tk::makeScratchDir();
    std::string text;
    if (dump && dump((dir + "/dump").c_str())) text = tk::readFile(dir + "/dump");
    tk::removeTree(dir);
    dlclose(library);
    return text;
}

// Whether `factory` is the test AIDA system's: only its trees hold things.
bool isTestAida(AIDA::IAnalysisFactory* factory) {
    CaptureStdout();
    AIDA::ITreeFactory* trees = factory->createTreeFactory();
    bool result = trees->create()->cast("ITree") != nullptr;
    delete trees;
    GetCapturedStdout();
    return result;
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        const char* old = getenv(name);
        hadOld = old != nullptr;
        if (hadOld) oldValue = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (hadOld)
            setenv(name, oldValue.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    bool hadOld;
    std::string oldValue;
};

TEST(AidaLoading, CastrineIsFoundByNameNextToTheManager) {
    QuietManager quiet;
    Captured result = loadAida(*quiet.manager, "Castrine");
    EXPECT_EQ(
        "Mesgrave: Loading AIDA system Castrine\n"
        "creating main factory\n"
        "Castrine::Castrine\n"
        "IAnalysisFactory found\n",
        result.out);
    EXPECT_EQ("", result.err);
    ASSERT_NE(nullptr, quiet.manager->analysisFactory);
    EXPECT_EQ(gAIDA, quiet.manager->analysisFactory);
    EXPECT_EQ(gAIDA, quiet.manager->GetAIDASystem());
}

TEST(AidaLoading, FailedLoadReportsAndKeepsTheFactoryOfEarlierLoads) {
    QuietManager first;
    AIDA::IAnalysisFactory* before = gAIDA;
    Captured failed = loadAida(*first.manager, "NoSuchAidaSystem");
    EXPECT_EQ("AIDA system NoSuchAidaSystem not found!\n", failed.err);
    std::vector<std::string> lines = tk::splitLines(failed.out);
    ASSERT_EQ(3u, lines.size()) << failed.out;
    EXPECT_EQ("Mesgrave: Loading AIDA system NoSuchAidaSystem", lines[0]);
    EXPECT_NE(std::string::npos, lines[1].find("NoSuchAidaSystem"));  // the loader's text
    EXPECT_EQ("IAnalysisFactory found", lines[2]);
    EXPECT_EQ(before, first.manager->analysisFactory);

    loadAida(*first.manager, "Castrine");
    AIDA::IAnalysisFactory* castrine = first.manager->analysisFactory;
    ASSERT_NE(nullptr, castrine);
    QuietManager second;
    loadAida(*second.manager, "NoSuchAidaSystem");
    EXPECT_EQ(castrine, second.manager->analysisFactory);
}

TEST(AidaLoading, FirstFailedLoadLeavesNoFactory) {
    if (gAIDA != nullptr) GTEST_SKIP() << "an AIDA system was loaded earlier in this process";
    QuietManager quiet;
    loadAida(*quiet.manager, "NoSuchAidaSystem");
    EXPECT_EQ(nullptr, quiet.manager->analysisFactory);
}

TEST(AidaLoading, LibraryWithoutTheEntryPointIsReported) {
    QuietManager quiet;
    std::string path = std::string(ZARN_BUILD_DIR) + "/lib/Corvane.zlk";
    AIDA::IAnalysisFactory* before = gAIDA;
    Captured result = loadAida(*quiet.manager, path);
    EXPECT_EQ("Mesgrave: Loading AIDA system " + path + "\nIAnalysisFactory found\n", result.out);
    EXPECT_NE(std::string::npos, result.err.find("AIDA_createAnalysisFactory")) << result.err;
    EXPECT_EQ(before, quiet.manager->analysisFactory);
}

TEST(AidaLoading, BundleIsTriedBeforeSoAndSoBeforeTheBareName) {
    std::string dir = tk::makeScratchDir();
    std::string castrine = std::string(ZARN_BUILD_DIR) + "/lib/libCastrine.so";
    ASSERT_EQ(0, symlink(ZARN_TEST_AIDA, (dir + "/First.bundle").c_str()));
    ASSERT_EQ(0, symlink(castrine.c_str(), (dir + "/First.so").c_str()));
    ASSERT_EQ(0, symlink(castrine.c_str(), (dir + "/First").c_str()));
    ASSERT_EQ(0, symlink(ZARN_TEST_AIDA, (dir + "/Second.so").c_str()));
    ASSERT_EQ(0, symlink(castrine.c_str(), (dir + "/Second").c_str()));
    QuietManager quiet;
    Captured bundle = loadAida(*quiet.manager, dir + "/First");
    EXPECT_EQ("Mesgrave: Loading AIDA system " + dir + "/First\nIAnalysisFactory found\n", bundle.out);
    EXPECT_TRUE(isTestAida(quiet.manager->analysisFactory));
    Captured so = loadAida(*quiet.manager, dir + "/Second");
    EXPECT_EQ("Mesgrave: Loading AIDA system " + dir + "/Second\nIAnalysisFactory found\n", so.out);
    EXPECT_TRUE(isTestAida(quiet.manager->analysisFactory));
    tk::removeTree(dir);
}

TEST(AidaLoading, GetArgsSplitsAtAnyWhiteSpace) {
    struct Case {
        const char* value;
        std::vector<std::string> words;
    } cases[] = {
        {nullptr, {}},
        {"", {}},
        {" \t\n ", {}},
        {"one", {"one"}},
        {"one    two", {"one", "two"}},
        {"\t-a b\nc  \td\n", {"-a", "b", "c", "d"}},
    };
    for (const Case& c : cases) {
        ScopedEnv env("ONX_ARGS", c.value);
        std::vector<char*> args = Mesgrave::GetArgs("ONX_ARGS");
        std::vector<std::string> words(args.begin(), args.end());
        EXPECT_EQ(c.words, words) << (c.value ? c.value : "(unset)");
    }
}

TEST(AidaLoading, GetArgsKeepsEarlierWordsIntact) {
    ScopedEnv first("ONX_ARGS", "alpha beta");
    std::vector<char*> earlier = Mesgrave::GetArgs("ONX_ARGS");
    ScopedEnv second("ONX_ARGS", "gamma delta epsilon");
    std::vector<char*> later = Mesgrave::GetArgs("ONX_ARGS");
    ASSERT_EQ(2u, earlier.size());
    ASSERT_EQ(3u, later.size());
    EXPECT_STREQ("alpha", earlier[0]);
    EXPECT_STREQ("beta", earlier[1]);
    EXPECT_STREQ("epsilon", later[2]);
}

class PlotterDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        loadAida(*quiet.manager, ZARN_TEST_AIDA);
        factory = quiet.manager->analysisFactory;
        ASSERT_TRUE(factory && isTestAida(factory));
    }

    // The plot log lines that were added since `before`.
    static std::vector<std::string> newLogLines(const std::vector<std::string>& before) {
        std::vector<std::string> all;
        for (const std::string& line : tk::splitLines(testAidaDump()))
            if (line.rfind("log ", 0) == 0) all.push_back(line);
        return std::vector<std::string>(all.begin() + std::min(before.size(), all.size()), all.end());
    }
    static std::vector<std::string> logNow() { return newLogLines({}); }

    QuietManager quiet;
    AIDA::IAnalysisFactory* factory = nullptr;
};

TEST_F(PlotterDisplay, ShowHandsTheWordsOfOnxArgsToThePlotterFactory) {
    ScopedEnv env("ONX_ARGS", "one    two");
    std::vector<std::string> before = logNow();
    CaptureStdout();
    Mesgrave::showPlotter(factory);
    EXPECT_EQ("", GetCapturedStdout());
    std::vector<std::string> expected{
        "log plotterFactory argc=2 argv [one] [two] options=\"\" name=\"\"",
        "log plotter \"\" created",
        "log plotter \"\" show",
    };
    EXPECT_EQ(expected, newLogLines(before));
}

TEST_F(PlotterDisplay, InteractShowsThenInteractsWithNoArgumentsWhenUnset) {
    ScopedEnv env("ONX_ARGS", nullptr);
    std::vector<std::string> before = logNow();
    quiet.manager->interactPlotter();
    std::vector<std::string> expected{
        "log plotterFactory argc=0 argv=null options=\"\" name=\"\"",
        "log plotter \"\" created",
        "log plotter \"\" show",
        "log plotter \"\" interact",
    };
    EXPECT_EQ(expected, newLogLines(before));
}

TEST_F(PlotterDisplay, MissingPlotterFactoryOrPlotterIsReported) {
    struct Case {
        const char* args;
        bool interact;
        std::string out;
    } cases[] = {
        {"-noplotterfactory", false, "Could not create plotter factory\n"},
        {"-noplotterfactory", true, ""},
        {"-noplotter", false, "Mesgrave: Could not create plotter\n"},
        {"-noplotter", true, "Mesgrave: Could not create plotter\n"},
    };
    for (const Case& c : cases) {
        ScopedEnv env("ONX_ARGS", c.args);
        CaptureStdout();
        if (c.interact)
            quiet.manager->interactPlotter();
        else
            quiet.manager->showPlotter();
        EXPECT_EQ(c.out, GetCapturedStdout()) << c.args << (c.interact ? " interact" : " show");
    }
}

TEST_F(PlotterDisplay, ManagerWithoutAidaSystemShowsNothing) {
    QuietManager none;
    ASSERT_EQ(nullptr, none.manager->analysisFactory);
    std::vector<std::string> before = logNow();
    CaptureStdout();
    none.manager->showPlotter();
    none.manager->interactPlotter();
    EXPECT_EQ("", GetCapturedStdout());
    EXPECT_TRUE(newLogLines(before).empty());
}

TEST(AidaLoading, FindSymbolBuildsMangledNames) {
    QuietManager quiet;
    std::string corvanePath = std::string(ZARN_BUILD_DIR) + "/lib/Corvane.zlk";
    std::string modulePath = std::string(ZARN_TEST_PLUGINS) + "/TkCount.zlk";
    void* corvane = dlopen(corvanePath.c_str(), RTLD_NOW);
    void* module = dlopen(modulePath.c_str(), RTLD_NOW);
    ASSERT_NE(nullptr, corvane);
    ASSERT_NE(nullptr, module);
    Mesgrave& m = *quiet.manager;
    EXPECT_EQ(dlsym(module, "_Z9newObjectRSs"), m.findSymbol(module, "", "newObject", "RSs"));
    EXPECT_NE(nullptr, m.findSymbol(module, "", "newObject", "RSs"));
    EXPECT_EQ(dlsym(corvane, "_ZN7Corvane5StartEv"), m.findSymbol(corvane, "Corvane", "Start", "v"));
    EXPECT_NE(nullptr, m.findSymbol(corvane, "Corvane", "Start", "v"));
    EXPECT_EQ(dlsym(corvane, "_ZN7CorvaneC2EP12pluginHandleRKSs"),
              m.findSymbol(corvane, "Corvane", "", "P12pluginHandleRKSs"));
    EXPECT_NE(nullptr, m.findSymbol(corvane, "Corvane", "", "P12pluginHandleRKSs"));
    CaptureStderr();
    EXPECT_EQ(nullptr, m.findSymbol(module, "", "nothingHere", "v"));
    std::string err = GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("_Z11nothingHerev")) << err;
    dlclose(module);
    dlclose(corvane);
}

TEST(AidaLoading, FindAidaUsesOnlyAnEntryOfTheGlobalScope) {
    QuietManager quiet;
    quiet.manager->analysisFactory = nullptr;
    if (dlsym(RTLD_DEFAULT, "AIDA_createAnalysisFactory") == nullptr) {
        CaptureStdout();
        quiet.manager->findAIDA();
        EXPECT_EQ("Mesgrave: Looking up AIDA_createAnalysisFactory\n", GetCapturedStdout());
        EXPECT_EQ(nullptr, quiet.manager->analysisFactory);
    }
    void* global = dlopen(ZARN_TEST_AIDA, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(nullptr, global);
    CaptureStdout();
    quiet.manager->findAIDA();
    EXPECT_EQ("Mesgrave: Looking up AIDA_createAnalysisFactory\n...found\nIAnalysisFactory created\n",
              GetCapturedStdout());
    ASSERT_NE(nullptr, quiet.manager->analysisFactory);
    EXPECT_EQ(gAIDA, quiet.manager->analysisFactory);
    EXPECT_TRUE(isTestAida(quiet.manager->analysisFactory));
}

}  // namespace
