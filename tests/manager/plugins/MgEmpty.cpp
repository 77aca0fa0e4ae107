#include <iostream>
#include <string>

#include "MgEntryPoints.h"

// Test module without ports.
class MgEmpty : public Corvane {
public:
    explicit MgEmpty(std::string& instanceName) : Corvane(nullptr, "NoName") {
        name = instanceName;
        description = "No ports";
        std::cout << name << " instantiated" << std::endl;
    }
    ~MgEmpty() override { std::cout << name << " deleted" << std::endl; }
};

MG_TEST_MODULE(MgEmpty)
