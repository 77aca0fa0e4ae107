// The flow manager's instances, run control and entry points, with the test
// plug-ins loaded from the scratch catalogue.

#include <dlfcn.h>

#include <memory>

#include "MgManagerTesting.h"

namespace {

using mgtest::instanceNames;
using mgtest::pluginIndex;
using tk::splitLines;
using captured::stderrOf;
using captured::stdoutOf;
typedef std::vector<std::string> Lines;

std::unique_ptr<Mesgrave> quietManager() {
    std::unique_ptr<Mesgrave> manager;
    stdoutOf([&] { manager.reset(new Mesgrave("")); });
    return manager;
}

Corvane* quietInstance(Mesgrave& manager, const std::string& className, const std::string& name) {
    Corvane* instance = nullptr;
    stdoutOf([&] { instance = manager.makeInstance(className, name); });
    return instance;
}

TEST(ManagerLifecycle, PrintsItsLinesAndDeletesLastFirstThroughEachOwnPlugin) {
    std::string out = stdoutOf([] {
        Mesgrave manager("");
        manager.makeInstance("MgProbe", "X");
        manager.makeInstance("MgEmpty", "Y");
        manager.makeInstance("MgProbe", "Z");
    });
    EXPECT_EQ(Lines({"New manager", "New manager done", "X instantiated", "X initialized by MgProbe, 0 listed",
                     "Y instantiated", "Z instantiated", "Z initialized by MgProbe, 2 listed", "Delete manager",
                     "MgProbe delObject Z", "Z deleted", "MgEmpty delObject Y", "Y deleted", "MgProbe delObject X",
                     "X deleted", "Delete manager done"}),
              splitLines(out));
}

TEST(ManagerLifecycle, StartsWithoutAidaSystemAndWithEditorSizes10And4) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    EXPECT_EQ(nullptr, manager->GetAIDASystem());
    EXPECT_EQ(10, manager->GetFontSize());
    EXPECT_EQ(4, manager->GetSkipSize());
    manager->SetFontSize(12, 3);
    EXPECT_EQ(12, manager->GetFontSize());
    EXPECT_EQ(3, manager->GetSkipSize());
    int factory = 0;
    manager->SetAIDAFactory(&factory);
    EXPECT_EQ(static_cast<void*>(&factory), static_cast<void*>(manager->GetAIDASystem()));
    manager->SetAIDAFactory(nullptr);
    std::string out = stdoutOf([&] {
        manager->showPlotter();
        manager->interactPlotter();
    });
    EXPECT_EQ("", out);
}

TEST(MakeInstance, DefaultNamesCountUpFromTheClassName) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    int probe = pluginIndex("MgProbe");
    ASSERT_GE(probe, 0);
    stdoutOf([&] {
        manager->makeInstance(probe);
        manager->makeInstance(probe);
        manager->makeInstance("MgProbe", "MgProbe3");
        manager->makeInstance(probe);
        manager->makeInstance(probe);
    });
    EXPECT_EQ(Lines({"MgProbe", "MgProbe1", "MgProbe3", "MgProbe2", "MgProbe4"}), instanceNames(*manager));
}

TEST(MakeInstance, ByClassAndNameKeepsRepeatedNamesAndFindsTheFirst) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    Corvane* first = quietInstance(*manager, "MgProbe", "x");
    Corvane* second = quietInstance(*manager, "MgEmpty", "x");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(Lines({"x", "x"}), instanceNames(*manager));
    EXPECT_EQ(first, manager->findObject("x"));
    EXPECT_EQ(0, manager->findObjectNr("x"));
    EXPECT_EQ(nullptr, manager->findObject("y"));
    EXPECT_EQ(-1, manager->findObjectNr("y"));
    EXPECT_EQ(&Mesgrave::VornPlugins[pluginIndex("MgEmpty")], second->GetHandle());
    EXPECT_EQ(manager.get(), second->GetManager());
}

TEST(MakeInstance, RefusesUnknownClassesAndIndexesOutsideTheCatalogue) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    int size = static_cast<int>(Mesgrave::VornPlugins.size());
    std::string out = stdoutOf([&] {
        EXPECT_EQ(nullptr, manager->makeInstance("NoSuchClass", "a"));
        EXPECT_EQ(nullptr, manager->makeInstance(-1, "a"));
        EXPECT_EQ(nullptr, manager->makeInstance(size, "a"));
        EXPECT_EQ(nullptr, manager->makeInstance(-1));
        EXPECT_EQ(nullptr, manager->makeInstance(size));
    });
    EXPECT_EQ("", out);
    EXPECT_TRUE(manager->instances.empty());
}

TEST(MakeInstance, EditorSizeFollowsThePortCount) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    float width = 0, height = 0;
    quietInstance(*manager, "MgProbe", "three_in_one_out")->GetSize(width, height);
    EXPECT_EQ(120.0f, width);
    EXPECT_EQ(88.0f, height);
    quietInstance(*manager, "MgEmpty", "no_ports")->GetSize(width, height);
    EXPECT_EQ(120.0f, width);
    EXPECT_EQ(28.0f, height);
}

TEST(MakeInstance, PluginWithoutDelObjectGivesNoInstanceAndSaysWhy) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    std::string out;
    std::string err = stderrOf([&] {
        out = stdoutOf([&] { EXPECT_EQ(nullptr, manager->makeInstance("MgNoDel", "n")); });
    });
    EXPECT_EQ("", out);
    ASSERT_EQ(1u, splitLines(err).size()) << err;
    EXPECT_NE(std::string::npos, err.find("MgNoDel")) << err;
    EXPECT_NE(std::string::npos, err.find("delObject")) << err;
    EXPECT_TRUE(manager->instances.empty());
}

TEST(MakeInstance, PluginFileThatDoesNotLoadGivesNoInstance) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    std::string out;
    std::string err = stderrOf([&] {
        out = stdoutOf([&] { EXPECT_EQ(nullptr, manager->makeInstance("MgBroken", "b")); });
    });
    EXPECT_EQ("Loading: MgBroken\n", out);
    EXPECT_NE("", err);
    EXPECT_TRUE(manager->instances.empty());
}

TEST(Instances, SetStartMovesOneInstanceToTheFront) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    for (const char* name : {"W", "X", "Y", "Z"}) quietInstance(*manager, "MgEmpty", name);
    int index = 2;
    manager->setStart(index);
    EXPECT_EQ(0, index);
    EXPECT_EQ(Lines({"Y", "W", "X", "Z"}), instanceNames(*manager));
    for (int outside : {-1, 4}) {
        index = outside;
        manager->setStart(index);
        EXPECT_EQ(outside, index);
        EXPECT_EQ(Lines({"Y", "W", "X", "Z"}), instanceNames(*manager));
    }
}

TEST(Instances, RemoveObjectDeletesThroughItsPluginAndDisconnects) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    Corvane* sender = quietInstance(*manager, "MgProbe", "a");
    Corvane* receiver = quietInstance(*manager, "MgProbe", "b");
    stdoutOf([&] { receiver->SetSender(0, sender, 0); });
    ASSERT_EQ(sender, (*receiver->GetInputs())[0].sender);
    std::string out = stdoutOf([&] {
        manager->removeObject(2);
        manager->removeObject(-1);
        manager->removeObject(0);
    });
    EXPECT_EQ("MgProbe delObject a\na deleted\n", out);
    EXPECT_EQ(Lines({"b"}), instanceNames(*manager));
    EXPECT_EQ(nullptr, (*receiver->GetInputs())[0].sender);
    std::unique_ptr<std::vector<Corvane::Input*> > connected(receiver->GetConInputs());
    EXPECT_TRUE(connected->empty());
}

TEST(Broadcast, InputReachesOnlyInstancesThatHaveIt) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    quietInstance(*manager, "MgProbe", "p");
    quietInstance(*manager, "MgEmpty", "e");
    quietInstance(*manager, "MgList", "l");
    quietInstance(*manager, "MgProbe", "q");
    char five[] = "5";
    EXPECT_EQ("p: steps 5\nq: steps 5\n", stdoutOf([&] { manager->broadcastInput("steps", five); }));
    EXPECT_EQ("", stdoutOf([&] { manager->broadcastInput("nothing", five); }));
    EXPECT_EQ("p: reset\nq: reset\n", stdoutOf([&] { manager->broadcastReset(); }));
}

TEST(RunControl, StartRunsTheDriverUnlessItRunsAlready) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    EXPECT_EQ("", stdoutOf([&] {
        manager->Start();
        manager->Stop();
    }));
    quietInstance(*manager, "MgProbe", "driver");
    Corvane* receiver = quietInstance(*manager, "MgProbe", "r");
    stdoutOf([&] { receiver->SetSender(0, manager->instances[0], 0); });

    EXPECT_EQ("driver: Start\nr: text \"tick\"\n", stdoutOf([&] { manager->Start(); }));
    EXPECT_TRUE(manager->instances[0]->running);
    EXPECT_EQ("", stdoutOf([&] { manager->Start(); }));
    EXPECT_EQ("Stop()\n", stdoutOf([&] { manager->Stop(); }));
    EXPECT_EQ("", stdoutOf([&] { manager->Stop(); }));
    EXPECT_EQ("driver: Start\nr: text \"tick\"\n", stdoutOf([&] { manager->Start(); }));
}

TEST(RunControl, DestructionStopsARunningDriver) {
    std::unique_ptr<Mesgrave> manager = quietManager();
    quietInstance(*manager, "MgProbe", "driver");
    stdoutOf([&] { manager->Start(); });
    std::string out = stdoutOf([&] { manager.reset(); });
    EXPECT_EQ("Delete manager\nStop()\nMgProbe delObject driver\ndriver deleted\nDelete manager done\n", out);
}

template <class Function> Function entryPoint(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

TEST(EntryPoints, UnmangledNamesReachTheManagerAndItsCatalogue) {
    typedef Mesgrave* (*CreateManager)(const std::string&);
    typedef void (*Cycle)();
    typedef std::vector<pluginHandle>* (*GetPlugins)();
    typedef std::vector<VornExample>* (*GetExamples)();
    CreateManager create = entryPoint<CreateManager>("Vorn_createManager");
    Cycle cycle = entryPoint<Cycle>("VornCycle");
    GetPlugins plugins = entryPoint<GetPlugins>("Mesgrave_GetPlugins");
    GetExamples examples = entryPoint<GetExamples>("Mesgrave_GetExamples");
    ASSERT_TRUE(create && cycle && plugins && examples);
    EXPECT_EQ(&Mesgrave::VornPlugins, plugins());
    EXPECT_EQ(&Mesgrave::VornExamples, examples());

    std::unique_ptr<Mesgrave> older = quietManager();
    quietInstance(*older, "MgProbe", "old");
    std::unique_ptr<Mesgrave> newest;
    stdoutOf([&] { newest.reset(create("")); });
    quietInstance(*newest, "MgProbe", "new");
    EXPECT_EQ("new: Start\n", stdoutOf([&] { cycle(); }));

    stdoutOf([&] { newest.reset(); });
    EXPECT_EQ("", stdoutOf([&] { cycle(); }));
}

TEST(EntryPoints, SecondManagerSharesTheCatalogue) {
    std::unique_ptr<Mesgrave> first = quietManager();
    const pluginHandle* entry = &Mesgrave::VornPlugins[pluginIndex("MgProbe")];
    size_t size = Mesgrave::VornPlugins.size();
    std::unique_ptr<Mesgrave> second = quietManager();
    EXPECT_EQ(size, Mesgrave::VornPlugins.size());
    EXPECT_EQ(entry, quietInstance(*second, "MgProbe", "p")->GetHandle());
}

}  // namespace
