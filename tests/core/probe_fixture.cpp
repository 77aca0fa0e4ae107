#include "probe_fixture.h"

#include <gtest/gtest.h>

pluginHandle& probePlugin() {
    static pluginHandle* handle = [] {
        pluginHandle* loaded = new pluginHandle("CoreProbe", nullptr, nullptr, nullptr);
        loaded->SetPath(ZARN_TEST_PLUGINS);
        loaded->Load();
        return loaded;
    }();
    return *handle;
}

CoreProbe* makeProbe(const std::string& name, std::vector<std::string>* log) {
    pluginHandle& handle = probePlugin();
    if (handle.newObject == nullptr) ADD_FAILURE() << "CoreProbe plug-in did not load";
    std::string instanceName = name;
    CoreProbe* probe = static_cast<CoreProbe*>(handle.newObject(instanceName));
    probe->log = log;
    return probe;
}

void deleteProbe(Corvane* probe) { probePlugin().delObject(probe); }

int inputIndex(Corvane* module, const std::string& name) { return module->GetNumberForInput(name); }
