// A program built the way a separately compiled plug-in is: it includes
// none of the system's headers and declares the classes it uses itself,
// field by field and virtual operation by virtual operation, in the order
// plug-ins rely on. It then drives real modules, input records and a real
// event record through those declarations, so a moved slot, a changed
// return type or a changed layout in Corvane.zlk or Tavrel.so makes it fail.
// It also creates trees of the built-in AIDA system and reads them from the
// system's global list, declared here as such a plug-in declares it.
//
//   interface_pin <directory of Counter.zlk and Display.zlk> <scratch file>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

enum vorn_type {
    vorn_none = 0, vorn_short = 5, vorn_int = 7, vorn_bool = 8, vorn_float = 9, vorn_double = 10, vorn_uint64 = 11,
    vorn_cstring = 13, vorn_any = 18, vorn_string = 19, vorn_vector_short = 20, vorn_vector_int = 21,
    vorn_vector_float = 24, vorn_vector_double = 25, vorn_vector_string = 26, vorn_tavrel = 100
};

class Mesgrave;
class pluginHandle;
class stringstore;

class Corvane {
public:
    class Input {
    public:
        Input(const std::string& name, void (Corvane::*callback)(void*), vorn_type type,
              const std::string& description);
        virtual ~Input();
        virtual void SetConverterFrom(vorn_type source);
        virtual std::string GetInputString();

        std::string name;
        void (Corvane::*callback)(void*);
        void (Corvane::*converter)(void*);
        vorn_type type;
        std::string description;
        std::string value;
        Corvane* sender;
        Corvane* converterObject;
        unsigned int senderOutput;
    };

    class Output {
    public:
        std::string name;
        vorn_type type;
        std::string description;
        std::vector<Corvane*> receivers;
        std::vector<unsigned int> receiverInputs;
        std::vector<Corvane*> targets;
        std::vector<void (Corvane::*)(void*)> methods;
    };

    virtual ~Corvane();
    virtual void Init();
    virtual void Reset();
    virtual void AddReceiver(const std::string& output, Corvane* receiver, const std::string& input);
    virtual void AddReceiver(int output, Corvane* receiver, int input);
    virtual void RemoveReceiver(const std::string& output, Corvane* receiver, const std::string& input);
    virtual void RemoveReceiver(int output, Corvane* receiver, int input);
    virtual void RefreshReceivers(int output);
    virtual void SetSender(const std::string& input, Corvane* sender, const std::string& output);
    virtual void SetSender(int input, Corvane* sender, int output);
    virtual void SetInput(const std::string& input, void* value);
    virtual void SetInput(int input, void* value);
    virtual void SendOutput(unsigned int output, void* value);
    virtual void Start();
    virtual void Stop();
    virtual void SetPosition(float x, float y);
    virtual void GetPosition(float& x, float& y);
    virtual void SetSize(float width, float height);
    virtual void GetSize(float& width, float& height);
    virtual float GetEntryHeight();
    virtual void GetFullSize(float& width, float& height);
    virtual void GetActualSize(float& width, float& height);
    virtual void SetCollapsed(bool collapsed);
    virtual bool IsCollapsed();
    virtual void SetName(const std::string& name);
    virtual std::string& GetName();
    virtual void SetHandle(pluginHandle* handle);
    virtual pluginHandle* GetHandle();
    virtual void SetManager(Mesgrave* manager);
    virtual Mesgrave* GetManager();
    virtual void SendOutput(Corvane::Output& output, void* value);
    virtual std::vector<Corvane::Output>* GetOutputs();
    virtual std::vector<Corvane::Output*>* GetOutputPointers();
    virtual std::vector<Corvane::Output*>* GetConOutputs();
    virtual void convertToShort(std::string*);
    virtual void convertToShort(char*);
    virtual void convertToInt(std::string*);
    virtual void convertToInt(char*);
    virtual void convertToInt64(std::string*);
    virtual void convertToInt64(char*);
    virtual void convertToFloat(std::string*);
    virtual void convertToFloat(char*);
    virtual void convertToDouble(std::string*);
    virtual void convertToDouble(char*);
    virtual void convertToString(bool*);
    virtual void convertToString(char*);
    virtual void convertToCString(bool*);
    virtual void convertToCString(std::string*);
    virtual void convertToIntV(char*);
    virtual void convertToIntV(std::string*);
    virtual void convertToStringV(std::string*);
    virtual void convertToStringV(char*);
    virtual void convertToShortV(char*);
    virtual void convertToShortV(std::string*);
    virtual void convertToFloatV(char*);
    virtual void convertToFloatV(std::string*);
    virtual void convertToDoubleV(char*);
    virtual void convertToDoubleV(std::string*);
    virtual std::vector<Corvane::Input>* GetInputs();
    virtual std::vector<Corvane::Input*>* GetInputPointers();
    virtual std::vector<Corvane::Input*>* GetConInputs();
    virtual Corvane* FindReceiver(Corvane* receiver, vorn_type source, Corvane::Input& input);
    virtual int GetNumberForInput(const std::string& name);
    virtual std::string GetInputString(int index);
    virtual void GetInputPosition(int index, float& x, float& y, bool yUp);
    virtual void GetOutputPosition(int index, float& x, float& y, bool yUp);

    std::vector<Corvane::Output> outputs;
    std::set<Corvane::Output*> connectedOutputs;
    void (Corvane::*converterCallback)(void*);
    Corvane* converterTarget;
    std::vector<Corvane::Input> inputs;
    std::set<Corvane::Input*> connectedInputs;
    bool connectionChanged;
    bool running;
    float posX, posY;
    float sizeX, sizeY;
    bool collapsed;
    std::string name;
    std::string description;
    pluginHandle* handle;
    Mesgrave* manager;
    int currentInput;
    std::map<std::string, std::string> rememberedValues;
    bool replacingInputs;
};

class pluginHandle {
public:
    pluginHandle(const std::string& name, void* lib, Corvane* (*newObject)(std::string&), void (*delObject)(void*));
    virtual ~pluginHandle();
    virtual void* findSymbol(const std::string& className, const std::string& function, const std::string& signature);
    virtual void Load();
    virtual void SetPath(const std::string& dir);

    std::string superdir;
    std::string path;
    std::string dir;
    std::string name;
    void* lib;
    Corvane* (*newObject)(std::string&);
    void (*delObject)(void*);
};

class stringstore {
public:
    virtual const char* str() = 0;
};

class formulaParser;
class Tavrel;

class FlowBinning {
public:
    FlowBinning();
    FlowBinning(double min, double max, int bins) : min(min), max(max), bins(bins) {}
    FlowBinning(const FlowBinning& other);
    FlowBinning& operator=(const FlowBinning& other);
    ~FlowBinning();

    double min;
    double max;
    int bins;
    std::vector<double> values;
};

class FlowProperty {
public:
    FlowProperty();
    FlowProperty(vorn_type type, const FlowBinning& binning, void* value)
        : showBinning(0), type(type), binning(binning), value(value), formula(0), owner(0) {}
    FlowProperty(const FlowProperty& other);
    FlowProperty& operator=(const FlowProperty& other);
    ~FlowProperty();

    std::string label;
    unsigned int showBinning;
    vorn_type type;
    FlowBinning binning;
    void* value;
    formulaParser* formula;
    Tavrel* owner;
};

class Tavrel : public stringstore {
public:
    Tavrel();
    ~Tavrel();
    FlowProperty& operator[](const std::string& name);
    FlowProperty* GetProperty(std::string path);
    const char* str();

    std::map<std::string, FlowProperty> properties;
    std::string text;
    bool announce;
};

// The leading operations of the AIDA interfaces that make a tree.
namespace AIDA {
class ITree {
public:
    virtual ~ITree();
};
class ITreeFactory {
public:
    virtual ~ITreeFactory();
    virtual ITree* create() = 0;
};
class IAnalysisFactory {
public:
    virtual ~IAnalysisFactory();
    virtual ITreeFactory* createTreeFactory() = 0;
};
}  // namespace AIDA

class VornTree;
extern std::vector<VornTree*> treeList;
extern "C" AIDA::IAnalysisFactory* AIDA_createAnalysisFactory();

namespace {

int failures = 0;

void expect(bool holds, const std::string& what) {
    if (holds) return;
    std::cerr << "interface_pin: " << what << std::endl;
    ++failures;
}

std::string capturedFile;

std::string stdoutSoFar() {
    std::cout.flush();
    std::fflush(stdout);
    std::ifstream in(capturedFile.c_str());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The record's text through stringstore's one slot.
void pinRecord() {
    Tavrel event;
    double energy = 3.5;
    event["energy"] = FlowProperty(vorn_double, FlowBinning(0, 10, 100), &energy);
    stringstore* store = &event;
    const char* text = store->str();
    expect(text != 0 && std::strcmp(text, "energy:\t3.5\n") == 0, "str() of a data record");
    expect(text == event.text.c_str(), "str() hands out the record's own text");
    event.announce = true;
    expect(std::strcmp(store->str(), "energy:\tdouble\n") == 0, "str() of an announce record");
    expect(event.GetProperty("energy") == &event.properties["energy"], "GetProperty finds the property");
}

Corvane* load(pluginHandle& plugin, const char* dir, const char* instance) {
    plugin.SetPath(dir);
    expect(plugin.dir == dir, std::string("SetPath sets dir of ") + plugin.name);
    plugin.Load();
    expect(plugin.lib != 0 && plugin.newObject != 0 && plugin.delObject != 0, "Load finds the entry points");
    if (plugin.newObject == 0) return 0;
    expect(plugin.findSymbol("", "newObject", "RSs") == reinterpret_cast<void*>(plugin.newObject),
           "findSymbol finds newObject");
    std::string name = instance;
    return plugin.newObject(name);
}

bool listed(size_t index, const void* tree) {
    return index < treeList.size() && static_cast<const void*>(treeList[index]) == tree;
}

// Trees of the built-in AIDA system enter and leave its global list.
void pinTreeList() {
    AIDA::IAnalysisFactory* factory = AIDA_createAnalysisFactory();
    AIDA::ITreeFactory* trees = factory->createTreeFactory();
    size_t first = treeList.size();
    AIDA::ITree* a = trees->create();
    AIDA::ITree* b = trees->create();
    delete trees;
    expect(treeList.size() == first + 2 && listed(first, a) && listed(first + 1, b), "treeList holds new trees");
    delete a;
    expect(listed(first, nullptr) && listed(first + 1, b), "a deleted tree's treeList entry is null");
    delete factory;
    expect(treeList.size() == first + 2 && listed(first + 1, nullptr), "the factory deletes the trees still alive");
}

typedef void (Corvane::*Handler)(void*);
template <class Arg> Handler handler(void (Corvane::*converter)(Arg*)) { return reinterpret_cast<Handler>(converter); }

struct ConverterCase {
    vorn_type target;
    vorn_type source;
    Handler expected;  // a pointer to a virtual member holds its table slot
};

// The converter that the library picks for a pair is the one at our slot.
void pinConverters() {
    typedef std::string S;
    const ConverterCase cases[] = {
        {vorn_short, vorn_string, handler<S>(&Corvane::convertToShort)},
        {vorn_short, vorn_cstring, handler<char>(&Corvane::convertToShort)},
        {vorn_int, vorn_string, handler<S>(&Corvane::convertToInt)},
        {vorn_int, vorn_cstring, handler<char>(&Corvane::convertToInt)},
        {vorn_uint64, vorn_string, handler<S>(&Corvane::convertToInt64)},
        {vorn_uint64, vorn_cstring, handler<char>(&Corvane::convertToInt64)},
        {vorn_float, vorn_string, handler<S>(&Corvane::convertToFloat)},
        {vorn_float, vorn_cstring, handler<char>(&Corvane::convertToFloat)},
        {vorn_double, vorn_string, handler<S>(&Corvane::convertToDouble)},
        {vorn_double, vorn_cstring, handler<char>(&Corvane::convertToDouble)},
        {vorn_string, vorn_bool, handler<bool>(&Corvane::convertToString)},
        {vorn_string, vorn_cstring, handler<char>(&Corvane::convertToString)},
        {vorn_cstring, vorn_bool, handler<bool>(&Corvane::convertToCString)},
        {vorn_cstring, vorn_string, handler<S>(&Corvane::convertToCString)},
        {vorn_vector_int, vorn_cstring, handler<char>(&Corvane::convertToIntV)},
        {vorn_vector_int, vorn_string, handler<S>(&Corvane::convertToIntV)},
        {vorn_vector_string, vorn_string, handler<S>(&Corvane::convertToStringV)},
        {vorn_vector_string, vorn_cstring, handler<char>(&Corvane::convertToStringV)},
        {vorn_vector_short, vorn_cstring, handler<char>(&Corvane::convertToShortV)},
        {vorn_vector_short, vorn_string, handler<S>(&Corvane::convertToShortV)},
        {vorn_vector_float, vorn_cstring, handler<char>(&Corvane::convertToFloatV)},
        {vorn_vector_float, vorn_string, handler<S>(&Corvane::convertToFloatV)},
        {vorn_vector_double, vorn_cstring, handler<char>(&Corvane::convertToDoubleV)},
        {vorn_vector_double, vorn_string, handler<S>(&Corvane::convertToDoubleV)},
    };
    int n = 0;
    for (const ConverterCase& c : cases) {
        // Any handler will do: it is never called here.
        Corvane::Input input("in", handler<bool>(&Corvane::convertToString), c.target, "");
        input.SetConverterFrom(c.source);
        std::ostringstream what;
        what << "converter " << n++ << " (" << c.target << " from " << c.source << ")";
        expect(input.converter == c.expected && input.converterObject != 0, what.str());
    }
}

// Two real modules wired and fed through Corvane's and Input's slots.
void pinModules(const char* dir) {
    pluginHandle counterPlugin("Counter", 0, 0, 0);
    pluginHandle displayPlugin("Display", 0, 0, 0);
    Corvane* counter = load(counterPlugin, dir, "counter");
    Corvane* display = load(displayPlugin, dir, "display");
    if (counter == 0 || display == 0) return;

    expect(&counter->GetName() == &counter->name && counter->name == "counter", "GetName");
    counter->SetPosition(7, 8);
    float x = 0, y = 0;
    counter->GetPosition(x, y);
    expect(x == 7 && y == 8 && counter->posX == 7, "SetPosition/GetPosition");
    for (bool collapse : {true, false, true, false}) {
        counter->SetCollapsed(collapse);
        expect(counter->IsCollapsed() == collapse && counter->collapsed == collapse, "SetCollapsed/IsCollapsed");
    }
    counter->SetSize(30, 40);
    float width = 0, height = 0;
    counter->GetSize(width, height);
    expect(width == 30 && height == 40 && counter->sizeY == 40, "SetSize/GetSize");

    int step = counter->GetNumberForInput("step");
    int data = display->GetNumberForInput("data");
    expect(step == 2 && data == 0, "GetNumberForInput");
    expect(counter->GetInputs() == &counter->inputs && counter->GetOutputs() == &counter->outputs,
           "GetInputs/GetOutputs");
    expect(counter->outputs.size() == 1 && counter->outputs[0].name == "count" && counter->outputs[0].type == vorn_int,
           "Output record layout");

    display->SetSender(data, counter, 0);
    Corvane::Input& shown = (*display->GetInputs())[data];
    expect(shown.sender == counter && shown.type == vorn_cstring, "Input record layout");
    expect(shown.GetInputString() == "counter count", "Input::GetInputString");
    expect(display->GetInputString(data) == "counter count", "Corvane::GetInputString");

    char prefix[] = "n=";
    display->SetInput("prefix", prefix);
    char anything[] = "";
    counter->SetInput(step, anything);
    counter->SetInput(step, anything);
    std::string out = stdoutSoFar();
    expect(out.find("n=0\nn=1\n") != std::string::npos, "delivery through the converter: " + out);

    displayPlugin.delObject(display);
    counterPlugin.delObject(counter);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: interface_pin <plug-in directory> <scratch file>" << std::endl;
        return 2;
    }
    capturedFile = argv[2];
    if (std::freopen(argv[2], "w", stdout) == 0) return 2;
    pinRecord();
    pinConverters();
    pinModules(argv[1]);
    pinTreeList();
    if (failures == 0) std::cerr << "interface_pin: every slot in place" << std::endl;
    return failures == 0 ? 0 : 1;
}
