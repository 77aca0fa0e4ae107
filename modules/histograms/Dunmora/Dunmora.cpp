#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "AidaAccess.h"
#include "Corvane.h"

// Writes the shared AIDA memory tree into one file per requested format,
// through the file trees that the loaded AIDA system offers, whenever a
// trigger arrives. The AIDA system gets the real file name and does the
// writing, so how safely a file is replaced is up to it; "Written." is
// printed only when mount, commit and close all worked.
//
// Threads: built on the flow's creating thread, triggered on the flow thread.
class Dunmora : public Corvane {
public:
    explicit Dunmora(std::string& instanceName);
    ~Dunmora() override;

    void Init() override;
    void Reset() override;

    // The file name that a text names: "" for an empty text or one with a
    // character that a shell would treat specially; "$VAR/rest" gives the
    // variable's value (nothing when unset) followed by "/rest".
    virtual std::string ResolvePath(const std::string& text);

private:
    void setFileName(void* value);
    void write(void* signal);
    void setExtension(void* value);

    // Writes `memory` to `file` in the store type `format`; false when the
    // file tree could not be created (later formats are then not tried).
    bool writeFile(AIDA::ITreeFactory& factory, AIDA::ITree& memory, const std::string& file,
                   const std::string& format);

    std::string filename;
    std::vector<std::string> formats;
};

namespace {

const char* const kRefused = "\t\n\\<>&*?{}!#";

}  // namespace

Dunmora::Dunmora(std::string& instanceName) : Corvane(nullptr, "NoName"), filename("output") {
    name = instanceName;
    description = "Write AIDA tree to file";
    inputs.push_back(Input("filename", CORVANE_HANDLER(&Dunmora::setFileName), vorn_string,
                           "Filename. Existing files will be replaced."));
    inputs.push_back(
        Input("write", CORVANE_HANDLER(&Dunmora::write), vorn_any, "Write trigger. File will be written immediately."));
    inputs.push_back(Input("format", CORVANE_HANDLER(&Dunmora::setExtension), vorn_vector_string,
                           "Space separated list of desired output formats (like \"root aida hbook\")"));
    std::cout << name << " instantiated" << std::endl;
}

Dunmora::~Dunmora() { std::cout << name << " deleted" << std::endl; }

void Dunmora::Init() { std::cout << name << " initialized." << std::endl; }

void Dunmora::Reset() {}

std::string Dunmora::ResolvePath(const std::string& text) {
    if (text.empty() || text.find_first_of(kRefused) != std::string::npos) return "";
    if (text[0] != '$') return text;
    size_t slash = text.find('/');
    std::string variable = text.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const char* value = std::getenv(variable.c_str());
    std::string rest = slash == std::string::npos ? "" : text.substr(slash);
    return (value != nullptr ? std::string(value) : std::string()) + rest;
}

void Dunmora::setFileName(void* value) { filename = ResolvePath(*static_cast<std::string*>(value)); }

void Dunmora::setExtension(void* value) { formats = *static_cast<std::vector<std::string>*>(value); }

void Dunmora::write(void*) {
    AIDA::IAnalysisFactory* analysis = aidaaccess::analysisFactoryOf(*this);
    if (analysis == nullptr) return;
    AIDA::ITreeFactory* factory = analysis->createTreeFactory();
    if (factory == nullptr) return;
    AIDA::ITree* memory = factory->create();
    if (memory != nullptr) {
        if (formats.empty()) std::cout << name << ": No format given." << std::endl;
        for (const std::string& format : formats)
            if (!writeFile(*factory, *memory, filename + "." + format, format)) break;
    }
    delete factory;
}

bool Dunmora::writeFile(AIDA::ITreeFactory& factory, AIDA::ITree& memory, const std::string& file,
                        const std::string& format) {
    std::cout << "Writing " << file << "." << std::endl;
    AIDA::ITree* fileTree = factory.create(file, format, false, true, "");
    if (fileTree == nullptr) {
        std::cout << name << ": Couldn't create file " << file << "." << std::endl;
        return false;
    }
    bool written = true;
    if (!fileTree->mount("/", memory, "/")) {
        std::cout << "Couldn't mount memorytree to filetree!" << std::endl;
        written = false;
    }
    if (!fileTree->commit()) {
        std::cout << "Couldn't commit!" << std::endl;
        written = false;
    }
    if (!fileTree->close()) {
        std::cout << "Couldn't close!" << std::endl;
        written = false;
    }
    fileTree->unmount("/");
    delete fileTree;
    if (written) std::cout << "Written." << std::endl;
    return true;
}

CORVANE_MODULE(Dunmora)
