#include "Mesgrave.h"

#include <algorithm>
#include <iostream>

#include "Corvane.h"
#include "ListIndex.h"

// The manager constructed last, started by VornCycle; null once it is gone.
Mesgrave* currentManager = nullptr;

namespace {

// Editor sizes until an editor sets its own.
const int kDefaultFontSize = 10;
const int kDefaultSkipSize = 4;

using mesgrave::inList;

// Deletes an instance through the plug-in that made it. An instance without
// a plug-in (put into the list by an outside editor) is deleted directly.
void deleteInstance(Corvane* instance) {
    pluginHandle* handle = instance->GetHandle();
    if (handle != nullptr && handle->delObject != nullptr) {
        handle->delObject(instance);
    } else {
        delete instance;
    }
}

// Drops the connections of `sender`'s outputs, all of them or only those
// into `receiver`, through the sender's own RemoveReceiver: a sender that
// delivers from a thread of its own guards its lists there and returns only
// once no delivery of its is under way.
void disconnectOutputs(Corvane* sender, const Corvane* receiver = nullptr) {
    std::vector<Corvane::Output>& outputs = *sender->GetOutputs();
    for (size_t o = 0; o < outputs.size(); ++o) {
        const std::vector<Corvane*> receivers = outputs[o].receivers;
        const std::vector<unsigned int> inputs = outputs[o].receiverInputs;
        for (size_t k = 0; k < receivers.size(); ++k)
            if (receiver == nullptr || receivers[k] == receiver)
                sender->RemoveReceiver(static_cast<int>(o), receivers[k], static_cast<int>(inputs[k]));
    }
}

}  // namespace

Mesgrave::Mesgrave(const std::string& aidaSystem)
    : analysisFactory(nullptr),
      valuePass(true),
      fontSize(kDefaultFontSize),
      skipSize(kDefaultSkipSize) {
    std::cout << "New manager" << std::endl;
    if (VornPlugins.empty()) GetListOfPlugins(std::vector<std::string>());
    if (!aidaSystem.empty()) loadAIDA(aidaSystem);
    currentManager = this;
    std::cout << "New manager done" << std::endl;
}

Mesgrave::~Mesgrave() {
    std::cout << "Delete manager" << std::endl;
    Stop();
    // No delivery may reach a module that is being or has been deleted,
    // whatever the order of deletion, while modules with threads of their
    // own (a command's reader) still run: the flow is taken apart first.
    for (Corvane* instance : instances) disconnectOutputs(instance);
    // Last first; each leaves the list before it is deleted, so no module's
    // destructor finds a dangling entry.
    while (!instances.empty()) {
        Corvane* last = instances.back();
        instances.pop_back();
        deleteInstance(last);
    }
    if (currentManager == this) currentManager = nullptr;
    std::cout << "Delete manager done" << std::endl;
}

Corvane* Mesgrave::makeInstance(int plugin, const std::string& name) {
    if (!inList(plugin, VornPlugins.size())) return nullptr;
    pluginHandle& entry = VornPlugins[plugin];
    entry.Load();
    if (entry.newObject == nullptr) return nullptr;
    // Without delObject the instance could never be deleted by its plug-in.
    if (entry.delObject == nullptr) {
        std::cerr << "Mesgrave: plug-in " << entry.name << " exports newObject but no delObject; no instance made"
                  << std::endl;
        return nullptr;
    }
    std::string instanceName = name;
    Corvane* instance = entry.newObject(instanceName);
    if (instance == nullptr) return nullptr;
    instance->SetHandle(&entry);
    instance->SetManager(this);
    instance->Init();
    size_t entries = std::max(instance->GetInputs()->size(), instance->GetOutputs()->size());
    instance->SetSize(120.0f, static_cast<float>(20 * entries + 28));
    instances.push_back(instance);
    return instance;
}

Corvane* Mesgrave::makeInstance(const std::string& className, const std::string& name) {
    size_t plugin = 0;
    while (plugin < VornPlugins.size() && VornPlugins[plugin].name != className) ++plugin;
    return makeInstance(static_cast<int>(plugin), name);
}

Corvane* Mesgrave::makeInstance(int plugin) {
    if (!inList(plugin, VornPlugins.size())) return nullptr;
    const std::string& className = VornPlugins[plugin].name;
    std::string name = className;
    for (int counter = 1; findObject(name) != nullptr; ++counter) name = className + std::to_string(counter);
    return makeInstance(plugin, name);
}

Corvane* Mesgrave::findObject(const std::string& name) {
    int index = findObjectNr(name);
    return index < 0 ? nullptr : instances[index];
}

int Mesgrave::findObjectNr(const std::string& name) {
    for (size_t i = 0; i < instances.size(); ++i)
        if (instances[i]->GetName() == name) return static_cast<int>(i);
    return -1;
}

void Mesgrave::setStart(int& index) {
    if (!inList(index, instances.size())) return;
    std::rotate(instances.begin(), instances.begin() + index, instances.begin() + index + 1);
    index = 0;
}

void Mesgrave::removeObject(int index) {
    if (!inList(index, instances.size())) return;
    Corvane* instance = instances[index];
    instances.erase(instances.begin() + index);
    // Its senders stop delivering to it before it goes, even from threads
    // of their own.
    for (Corvane* sender : instances) disconnectOutputs(sender, instance);
    disconnectOutputs(instance, instance);
    deleteInstance(instance);
}

void Mesgrave::broadcastInput(const std::string& inputName, void* value) {
    for (size_t i = 0; i < instances.size(); ++i) {
        int input = instances[i]->GetNumberForInput(inputName);
        if (input >= 0) instances[i]->SetInput(input, value);
    }
}

void Mesgrave::broadcastReset() {
    for (size_t i = 0; i < instances.size(); ++i) instances[i]->Reset();
}

void Mesgrave::Start() {
    if (!instances.empty() && !instances[0]->running) instances[0]->Start();
}

void Mesgrave::Stop() {
    if (!instances.empty() && instances[0]->running) instances[0]->Stop();
}

std::string Mesgrave::getFilename() { return filename; }
void Mesgrave::setFilename(const std::string& fileName) { filename = fileName; }

AIDA::IAnalysisFactory* Mesgrave::GetAIDASystem() { return analysisFactory; }
void Mesgrave::SetAIDAFactory(void* factory) { analysisFactory = static_cast<AIDA::IAnalysisFactory*>(factory); }

int Mesgrave::GetFontSize() { return fontSize; }
int Mesgrave::GetSkipSize() { return skipSize; }

void Mesgrave::SetFontSize(int font, int skip) {
    fontSize = font;
    skipSize = skip;
}

extern "C" {

Mesgrave* Vorn_createManager(const std::string& aidaSystem) { return new Mesgrave(aidaSystem); }

void VornCycle() {
    if (currentManager != nullptr) currentManager->Start();
}

std::vector<pluginHandle>* Mesgrave_GetPlugins() { return Mesgrave::GetPlugins(); }
std::vector<VornExample>* Mesgrave_GetExamples() { return Mesgrave::GetExamples(); }
}
