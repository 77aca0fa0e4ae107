// Shows the catalogue of a fresh process; the catalogue tests run it with
// prepared environments, since the scan happens once per process.
//   mg_catalogue_driver paths        the search directories
//   mg_catalogue_driver scan         the plug-ins and example flows found
//   mg_catalogue_driver twice FILE   the same after a second manager, FILE
//                                    created between the two managers
//   mg_catalogue_driver make CLASS   makes one instance "i" of CLASS

#include <fstream>
#include <iostream>
#include <string>

#include "Corvane.h"
#include "Mesgrave.h"

namespace {

void printCatalogue() {
    for (const pluginHandle& plugin : *Mesgrave::GetPlugins())
        std::cout << "plugin " << plugin.name << "|" << plugin.dir << "|" << plugin.path << "|" << plugin.superdir
                  << std::endl;
    for (const VornExample& example : *Mesgrave::GetExamples())
        std::cout << "example " << example.fileName << "|" << example.path << "|" << example.superdir << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "paths") {
        std::vector<std::string> dirs;
        Mesgrave::dl_search_paths(dirs);
        for (const std::string& dir : dirs) std::cout << "dir " << dir << std::endl;
    } else if (mode == "scan") {
        Mesgrave manager("");
        printCatalogue();
    } else if (mode == "twice" && argc > 2) {
        Mesgrave first("");
        std::ofstream(argv[2]) << "created after the first scan\n";
        Mesgrave second("");
        printCatalogue();
    } else if (mode == "make" && argc > 2) {
        Mesgrave manager("");
        Corvane* instance = manager.makeInstance(argv[2], "i");
        std::cout << (instance != nullptr ? "made " + instance->GetName() : std::string("none")) << std::endl;
    } else {
        std::cerr << "usage: mg_catalogue_driver paths|scan|twice FILE|make CLASS" << std::endl;
        return 2;
    }
    return 0;
}
