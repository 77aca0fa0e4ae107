#ifndef ZARN_CORE_CORVANE_H
#define ZARN_CORE_CORVANE_H

#include <atomic>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#if !defined(_GLIBCXX_USE_CXX11_ABI) || _GLIBCXX_USE_CXX11_ABI != 0
#error "Build with -D_GLIBCXX_USE_CXX11_ABI=0: plug-in entry points use the original std::string ABI"
#endif

#include "stringstore.h"
#include "vorn_type.h"

class Mesgrave;
class pluginHandle;

// Corvane is the base class of every module: it owns the module's typed
// input and output ports, its connections to other modules' inputs and the
// synchronous delivery of values along them.
//
// Threads: connections are made on the thread that builds the flow, and
// may change on any thread that delivers (a reader thread wiring at its
// first record, a handler replacing inputs); the process-wide tables behind
// them (links to each receiver, converter objects) take a lock, a module's
// own port records are its own to guard. Delivery (SendOutput, SetInput)
// runs on the thread that sends and takes no lock.
//
// The field order and the order of the virtual operations are part of the
// plug-in interface: modules built separately rely on both.
class Corvane {
public:
    typedef void (Corvane::*Handler)(void*);

    // One input port: the module's handler for it, the type it expects and
    // the literal value or sender that feeds it.
    class Input {
    public:
        Input(const std::string& name, void (Corvane::*callback)(void*), vorn_type type,
              const std::string& description);
        virtual ~Input();

        // Chooses `converter` for values of type `source` and makes the
        // converter object when one is needed.
        virtual void SetConverterFrom(vorn_type source);
        // "<sender> <output>" while a sender is connected, else `value`.
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

    // One output port and its connections: entry k of the four lists
    // describes the k-th connection.
    class Output {
    public:
        Output(const std::string& name, vorn_type type, const std::string& description);
        Output();

        std::string name;
        vorn_type type;
        std::string description;
        std::vector<Corvane*> receivers;
        std::vector<unsigned int> receiverInputs;
        std::vector<Corvane*> targets;
        std::vector<void (Corvane::*)(void*)> methods;
    };

    Corvane(pluginHandle* handle, const std::string& name);
    // Disconnects the module from every sender and receiver.
    virtual ~Corvane();

    virtual void Init();
    virtual void Reset();

    // Connects output `output` of this module to input `input` of
    // `receiver`; out-of-range indices or unknown names do nothing.
    virtual void AddReceiver(const std::string& output, Corvane* receiver, const std::string& input);
    virtual void AddReceiver(int output, Corvane* receiver, int input);
    virtual void RemoveReceiver(const std::string& output, Corvane* receiver, const std::string& input);
    virtual void RemoveReceiver(int output, Corvane* receiver, int input);
    // Recomputes the call targets of every connection of `output` after its
    // type changed.
    virtual void RefreshReceivers(int output);
    // Connects this module's input to the sender's output, dropping the
    // input's previous sender.
    virtual void SetSender(const std::string& input, Corvane* sender, const std::string& output);
    virtual void SetSender(int input, Corvane* sender, int output);
    // Gives an input a NUL-terminated text, converted to the input's type.
    virtual void SetInput(const std::string& input, void* value);
    virtual void SetInput(int input, void* value);
    // Sends `value` on output `output`; an unknown index prints
    // "Function <n> not defined" on standard error.
    virtual void SendOutput(unsigned int output, void* value);

    virtual void Start();
    virtual void Stop();

    virtual void SetPosition(float x, float y);
    virtual void GetPosition(float& x, float& y);
    virtual void SetSize(float width, float height);
    virtual void GetSize(float& width, float& height);
    // The manager's font size plus its skip size.
    virtual float GetEntryHeight();
    // The size needed to show every port.
    virtual void GetFullSize(float& width, float& height);
    // The size needed in the current collapse state.
    virtual void GetActualSize(float& width, float& height);
    virtual void SetCollapsed(bool collapse);
    virtual bool IsCollapsed();

    virtual void SetName(const std::string& name);
    virtual std::string& GetName();
    virtual void SetHandle(pluginHandle* handle);
    virtual pluginHandle* GetHandle();
    virtual void SetManager(Mesgrave* manager);
    virtual Mesgrave* GetManager();

    // Delivers `value` to every connection of `output`, depth-first.
    virtual void SendOutput(Corvane::Output& output, void* value);

    // The port vector itself; callers may modify it.
    virtual std::vector<Corvane::Output>* GetOutputs();
    // New vectors, owned by the caller.
    virtual std::vector<Corvane::Output*>* GetOutputPointers();
    virtual std::vector<Corvane::Output*>* GetConOutputs();

    // Converter functions: run on a converter object, build a temporary of
    // the receiving input's type and call `converterCallback` on
    // `converterTarget` with it.
    virtual void convertToShort(std::string* value);
    virtual void convertToShort(char* value);
    virtual void convertToInt(std::string* value);
    virtual void convertToInt(char* value);
    virtual void convertToInt64(std::string* value);
    virtual void convertToInt64(char* value);
    virtual void convertToFloat(std::string* value);
    virtual void convertToFloat(char* value);
    virtual void convertToDouble(std::string* value);
    virtual void convertToDouble(char* value);
    virtual void convertToString(bool* value);
    virtual void convertToString(char* value);
    virtual void convertToCString(bool* value);
    virtual void convertToCString(std::string* value);
    virtual void convertToIntV(char* value);
    virtual void convertToIntV(std::string* value);
    virtual void convertToStringV(std::string* value);
    virtual void convertToStringV(char* value);
    virtual void convertToShortV(char* value);
    virtual void convertToShortV(std::string* value);
    virtual void convertToFloatV(char* value);
    virtual void convertToFloatV(std::string* value);
    virtual void convertToDoubleV(char* value);
    virtual void convertToDoubleV(std::string* value);

    virtual std::vector<Corvane::Input>* GetInputs();
    virtual std::vector<Corvane::Input*>* GetInputPointers();
    virtual std::vector<Corvane::Input*>* GetConInputs();

    // Chooses the input's converter for `source` and returns the object on
    // which delivery calls it: `receiver`, the converter object, or null
    // when the pair cannot be delivered.
    virtual Corvane* FindReceiver(Corvane* receiver, vorn_type source, Corvane::Input& input);
    // Index of the first input named `name`, or -1.
    virtual int GetNumberForInput(const std::string& name);
    virtual std::string GetInputString(int index);

    // Anchor of a port for drawing connections.
    virtual void GetInputPosition(int index, float& x, float& y, bool yUp);
    virtual void GetOutputPosition(int index, float& x, float& y, bool yUp);

    // Non-virtual converter functions.
    void convertToCString(stringstore* value);
    void convertToString(stringstore* value);
    template <class T> void convertToShort(T* value);
    template <class T> void convertToInt(T* value);
    template <class T> void convertToFloat(T* value);
    template <class T> void convertToDouble(T* value);
    template <class T> void convertToInt64(T* value);
    template <class T> void convertToCString(T* value);
    template <class T> void convertToString(T* value);
    template <class T> void convertToCString(std::vector<T>* value);
    template <class T> void convertToString(std::vector<T>* value);
    template <class T> void convertToDoubleV(std::vector<T>* value);

    // Writes every element followed by one blank.
    template <class T> static void VectorToStream(std::vector<T>& values, std::ostream& out);

    // Replaces the inputs from `first` up to the last `keepAtEnd` inputs by
    // one copy of `prototype` per name, each given the text it had last
    // time its name was present (or the empty text).
    void replaceInputs(Corvane::Input prototype, std::vector<std::string>& names, int first,
                       int keepAtEnd);

    std::vector<Corvane::Output> outputs;
    std::set<Corvane::Output*> connectedOutputs;
    void (Corvane::*converterCallback)(void*);
    Corvane* converterTarget;
    std::vector<Corvane::Input> inputs;
    std::set<Corvane::Input*> connectedInputs;
    bool connectionChanged;
    std::atomic<bool> running;  // cleared by Stop from another thread while the driver runs
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

    Corvane(const Corvane&) = delete;
    Corvane& operator=(const Corvane&) = delete;

private:

    void deliverToConverter(void* temporary) { (converterTarget->*converterCallback)(temporary); }
    void deliverNull(Corvane::Output& output);
    void detachReceiver(unsigned int output, unsigned int k);
};

// Exports the two plug-in entry points of a module class; every module file
// names its class once with this macro.
#define CORVANE_MODULE(ModuleClass)                                              \
    Corvane* newObject(std::string& name) { return new ModuleClass(name); }     \
    void delObject(void* object) { delete static_cast<Corvane*>(object); }

// Casts a module's handler to the type that port records store.
#define CORVANE_HANDLER(method) static_cast<void (Corvane::*)(void*)>(method)

#endif
