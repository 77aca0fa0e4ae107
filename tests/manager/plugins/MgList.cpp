#include <iostream>
#include <sstream>
#include <string>

#include "MgEntryPoints.h"

// Test module with dynamic inputs: the literal of "names" (words separated
// by blanks) makes one text input per word, after "names".
class MgList : public Corvane {
public:
    explicit MgList(std::string& instanceName) : Corvane(nullptr, "NoName") {
        name = instanceName;
        description = "One input per listed name";
        inputs.push_back(Input("names", CORVANE_HANDLER(&MgList::setNames), vorn_string, "input names"));
        std::cout << name << " instantiated" << std::endl;
    }
    ~MgList() override { std::cout << name << " deleted" << std::endl; }

private:
    void setNames(void* value) {
        std::istringstream words(*static_cast<std::string*>(value));
        std::vector<std::string> names;
        std::string word;
        while (words >> word) names.push_back(word);
        replaceInputs(Input("dummy", CORVANE_HANDLER(&MgList::setItem), vorn_cstring, "an item"), names, 1, 0);
    }
    void setItem(void* value) {
        std::cout << name << ": " << inputs[currentInput].name << " \"" << static_cast<char*>(value) << "\""
                  << std::endl;
    }
};

MG_TEST_MODULE(MgList)
