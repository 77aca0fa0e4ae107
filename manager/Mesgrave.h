#ifndef ZARN_MANAGER_MESGRAVE_H
#define ZARN_MANAGER_MESGRAVE_H

#include <istream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pluginHandle.h"

class Corvane;
struct dirent;
namespace AIDA {
class IAnalysisFactory;
}

// One example flow file of the catalogue.
class VornExample {
public:
    explicit VornExample(const std::string& fileName) : fileName(fileName) {}

    std::string fileName;
    std::string superdir;
    std::string path;
};

// The flow manager: owns the module instances of one flow (entry 0 is the
// driver), reads and writes flow description files, loads the AIDA system
// and starts and stops the driver.
//
// Threads: build and change a flow on one thread. Start runs the driver on
// the calling thread; Stop may be called from another thread while it runs.
//
// The member order and the order of the virtual operations are part of the
// interface: an outside editor calls them through the table.
class Mesgrave {
public:
    explicit Mesgrave(const std::string& aidaSystem);
    // Stops the driver and deletes the instances, last first.
    virtual ~Mesgrave();

    // Reads a flow and appends its instances: the instances and positions,
    // then every literal value, then every connection. Taken instance names
    // get a free variant. False when the file cannot be opened or read.
    virtual bool configureFromString(const std::string& text);
    virtual bool configureFromFile(const std::string& fileName);
    virtual bool configureFromStream(std::istream& in);
    // Only the first pass: instances and positions, no values, no connections.
    virtual bool loadFromFile(const std::string& fileName);
    virtual bool loadFromStream(std::istream& in);
    virtual std::string getFilename();
    virtual void setFilename(const std::string& fileName);
    // Applies the input lines of the last load to the instances from `first`
    // on: literal values while `valuePass` is set, else connections.
    virtual void connectObjects(int first);
    virtual void loadAIDA(const std::string& name);
    virtual void findAIDA();
    virtual void interactPlotter() const;
    virtual void showPlotter() const;
    // SetInput on every instance that has an input named `inputName`.
    virtual void broadcastInput(const std::string& inputName, void* value);
    virtual void broadcastReset();
    // The flow in the layout of a flow description file.
    virtual std::string stringRepresentation();
    // Deletes instance `index` through its plug-in; other indexes do nothing.
    virtual void removeObject(int index);
    // Moves instance `index` to the front and sets `index` to 0.
    virtual void setStart(int& index);
    // Creates, initialises and appends an instance of catalogue entry
    // `plugin`; null when there is no such entry or it yields no instance.
    virtual Corvane* makeInstance(int plugin, const std::string& name);
    // The same for the first catalogue entry of that class; names may repeat.
    virtual Corvane* makeInstance(const std::string& className, const std::string& name);
    // The same under the first free name of N, N1, N2, ... (N the class).
    virtual Corvane* makeInstance(int plugin);
    virtual void* findSymbol(void* library, const std::string& className, const std::string& function,
                             const std::string& signature);
    virtual void connectObject(int instance, std::istringstream& line);
    virtual void connectObjectInput(int instance, int input, std::istringstream& line);
    virtual void connectObjectInputSource(int instance, int input, int source, const std::string& output);
    virtual void connectObjectInputValue(int instance, int input, const std::string& value);
    virtual void connectObjectInputSourceOutput(int instance, int input, int source, int output);
    // Runs the driver (instance 0) on the calling thread unless it runs already.
    virtual void Start();
    // Stops a running driver; meant for another thread while Start runs.
    virtual void Stop();
    // The first instance named `name` (its index), or null (-1).
    virtual Corvane* findObject(const std::string& name);
    virtual int findObjectNr(const std::string& name);
    virtual AIDA::IAnalysisFactory* GetAIDASystem();
    virtual void SetAIDAFactory(void* factory);
    virtual int GetFontSize();
    virtual int GetSkipSize();
    virtual void SetFontSize(int font, int skip);

    // Catalogue of plug-ins and example flows, built once per process.
    static void GetListOfPlugins(const std::vector<std::string>& dirs);
    static void dl_search_paths(std::vector<std::string>& dirs);
    static void FindPathAndSuperdir(dirent* entry, const std::string& dir, std::string& path,
                                    std::string& superdir);
    static std::vector<pluginHandle>* GetPlugins();
    static std::vector<VornExample>* GetExamples();
    static bool sortPlugins(const pluginHandle& a, const pluginHandle& b);
    static bool sortExamples(const VornExample& a, const VornExample& b);

    // Words of the environment variable, split at white space.
    static std::vector<char*> GetArgs(const char* variable);
    static void interactPlotter(void* factory);
    static void showPlotter(void* factory);

    static std::vector<pluginHandle> VornPlugins;
    static std::vector<VornExample> VornExamples;

    std::vector<Corvane*> instances;
    std::vector<std::vector<std::string> > inputLines;
    AIDA::IAnalysisFactory* analysisFactory;
    std::vector<std::string> renamePairs;
    bool valuePass;
    std::set<std::string> notFound;
    std::string filename;
    int fontSize;
    int skipSize;
};

// The words of ONX_ARGS as the argument vector of a plotter factory. The
// vector stays valid for the rest of the process, since an AIDA system may
// keep the argv it is given; `count` gets the number of words, and the result
// is null when there are none. Call it from the thread that builds flows.
char** plotterArguments(int& count);

extern "C" {
Mesgrave* Vorn_createManager(const std::string& aidaSystem);
void VornCycle();
std::vector<pluginHandle>* Mesgrave_GetPlugins();
std::vector<VornExample>* Mesgrave_GetExamples();
}

#endif
