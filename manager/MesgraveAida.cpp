// AIDA system loading and plotter display of the flow manager.

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterFactory.h"
#include "Mesgrave.h"

// The analysis factory created last in this process, by any manager.
AIDA::IAnalysisFactory* gAIDA = nullptr;

namespace {

typedef AIDA::IAnalysisFactory* (*CreateAnalysisFactory)();

const char kEntryPoint[] = "AIDA_createAnalysisFactory";

// The loader's pending error text, or "" when it has none.
std::string loaderError() {
    const char* text = dlerror();
    return text ? text : "";
}

// The directory that holds this library.
std::string ownDirectory() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&loaderError), &info) || !info.dli_fname) return "";
    std::string path = info.dli_fname;
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// Opens `file` with the loader's own search rules. A bare file name is then
// also looked for beside this library, as this library's run path says: an
// interposed loader (a sanitizer's, say) searches with its own run path and
// would miss the AIDA system that is installed next to the manager.
// `error` receives the loader's text for `file` when nothing opened.
void* openLibrary(const std::string& file, std::string& error) {
    void* library = dlopen(file.c_str(), RTLD_NOW);
    if (library) return library;
    error = loaderError();
    std::string dir = ownDirectory();
    if (file.find('/') != std::string::npos || dir.empty()) return nullptr;
    library = dlopen((dir + "/" + file).c_str(), RTLD_NOW);
    loaderError();
    return library;
}

// Calls an AIDA system's entry point. Analysis factories are never deleted,
// since modules of any manager may still use one; each is kept here, so a
// later load that replaces gAIDA leaves the earlier one reachable, not lost.
AIDA::IAnalysisFactory* createAnalysisFactory(void* entry) {
    static std::vector<AIDA::IAnalysisFactory*>* created = new std::vector<AIDA::IAnalysisFactory*>;
    AIDA::IAnalysisFactory* factory = reinterpret_cast<CreateAnalysisFactory>(entry)();
    if (factory) created->push_back(factory);
    return factory;
}

// Plotters and their factories stay alive for the rest of the process: a
// shown plotter may still be on screen. Keeping them here leaves them
// reachable rather than lost.
void keepForProcess(AIDA::IPlotterFactory* plotterFactory, AIDA::IPlotter* plotter) {
    static std::vector<AIDA::IPlotterFactory*>* factories = new std::vector<AIDA::IPlotterFactory*>;
    static std::vector<AIDA::IPlotter*>* plotters = new std::vector<AIDA::IPlotter*>;
    factories->push_back(plotterFactory);
    if (plotter) plotters->push_back(plotter);
}

// Creates the plotter of `factory` from the words of ONX_ARGS. Prints
// `noFactoryMessage`, when given, if no plotter factory comes back. Returns
// null when nothing could be created.
AIDA::IPlotter* createPlotter(void* factory, const char* noFactoryMessage) {
    if (!factory) return nullptr;
    int count;
    char** args = plotterArguments(count);
    AIDA::IPlotterFactory* plotterFactory =
        static_cast<AIDA::IAnalysisFactory*>(factory)->createPlotterFactory(count, args, "", "");
    if (!plotterFactory) {
        if (noFactoryMessage) std::cout << noFactoryMessage << std::endl;
        return nullptr;
    }
    AIDA::IPlotter* plotter = plotterFactory->create("");
    keepForProcess(plotterFactory, plotter);
    if (!plotter) std::cout << "Mesgrave: Could not create plotter" << std::endl;
    return plotter;
}

}  // namespace

void Mesgrave::loadAIDA(const std::string& name) {
    std::cout << "Mesgrave: Loading AIDA system " << name << std::endl;
    const std::string candidates[] = {"lib" + name + ".so", name + ".bundle", name + ".so", name};
    void* library = nullptr;
    std::string error;
    for (const std::string& file : candidates) {
        // An empty file name would give the program itself, not a library.
        if (file.empty()) continue;
        library = openLibrary(file, error);
        if (library) break;
    }
    if (library) {
        loaderError();
        void* entry = dlsym(library, kEntryPoint);
        if (entry) {
            gAIDA = createAnalysisFactory(entry);
        } else {
            std::cerr << loaderError() << std::endl;
        }
    } else {
        std::cerr << "AIDA system " << name << " not found!" << std::endl;
        std::cout << error << std::endl;
    }
    analysisFactory = gAIDA;
    std::cout << "IAnalysisFactory found" << std::endl;
}

void Mesgrave::findAIDA() {
    std::cout << "Mesgrave: Looking up AIDA_createAnalysisFactory" << std::endl;
    void* entry = dlsym(RTLD_DEFAULT, kEntryPoint);
    if (!entry) return;
    std::cout << "...found" << std::endl;
    gAIDA = createAnalysisFactory(entry);
    if (gAIDA) {
        analysisFactory = gAIDA;
        std::cout << "IAnalysisFactory created" << std::endl;
    }
}

// The words are kept for the whole process and never overwritten: an AIDA
// system may hold on to the argument vector that it was given. Like the rest
// of flow building, call it from one thread at a time.
char** plotterArguments(int& count) {
    static std::list<std::vector<char*> >* kept = new std::list<std::vector<char*> >;
    kept->push_back(Mesgrave::GetArgs("ONX_ARGS"));
    count = static_cast<int>(kept->back().size());
    return kept->back().empty() ? nullptr : kept->back().data();
}

std::vector<char*> Mesgrave::GetArgs(const char* variable) {
    static std::vector<std::unique_ptr<char[]>>* words = new std::vector<std::unique_ptr<char[]>>;
    std::vector<char*> result;
    const char* text = variable ? std::getenv(variable) : nullptr;
    if (!text) return result;
    const char* blanks = " \t\n\v\f\r";
    std::string value(text);
    std::string::size_type begin = value.find_first_not_of(blanks);
    while (begin != std::string::npos) {
        std::string::size_type end = value.find_first_of(blanks, begin);
        std::string word = value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        std::unique_ptr<char[]> copy(new char[word.size() + 1]);
        word.copy(copy.get(), word.size());
        copy[word.size()] = '\0';
        result.push_back(copy.get());
        words->push_back(std::move(copy));
        begin = end == std::string::npos ? end : value.find_first_not_of(blanks, end);
    }
    return result;
}

void Mesgrave::interactPlotter(void* factory) {
    AIDA::IPlotter* plotter = createPlotter(factory, nullptr);
    if (!plotter) return;
    plotter->show();
    plotter->interact();
}

void Mesgrave::showPlotter(void* factory) {
    AIDA::IPlotter* plotter = createPlotter(factory, "Could not create plotter factory");
    if (plotter) plotter->show();
}

void Mesgrave::interactPlotter() const {
    if (analysisFactory) interactPlotter(analysisFactory);
}

void Mesgrave::showPlotter() const {
    if (analysisFactory) showPlotter(analysisFactory);
}

void* Mesgrave::findSymbol(void* library, const std::string& className, const std::string& function,
                           const std::string& signature) {
    loaderError();
    void* address = dlsym(library, mangledFunctionName(className, function, signature).c_str());
    std::string error = loaderError();
    if (!error.empty()) {
        std::cerr << error << std::endl;
        return nullptr;
    }
    return address;
}
