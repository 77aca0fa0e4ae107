#include <iostream>
#include <string>

#include "Corvane.h"
#include "Tavrel.h"

// Test sink: notes every record on "fevent" as "A" (an announcement) or by
// the first element of its vector<int> property "id" ("?" without one),
// and prints "<name>: <notes>" when it is deleted.
class AnTally : public Corvane {
public:
    explicit AnTally(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("fevent", CORVANE_HANDLER(&AnTally::take), vorn_tavrel, "records"));
    }
    ~AnTally() override { std::cout << name << ":" << notes << std::endl; }

private:
    void take(void* value) {
        Tavrel* record = static_cast<Tavrel*>(static_cast<stringstore*>(value));
        if (record->announce) {
            notes += " A";
            return;
        }
        auto found = record->properties.find("id");
        if (found == record->end() || found->second.type != vorn_vector_int || found->second.value == nullptr) {
            notes += " ?";
            return;
        }
        std::vector<int>& id = *static_cast<std::vector<int>*>(found->second.value);
        notes += id.empty() ? " ?" : " " + std::to_string(id[0]);
    }

    std::string notes;
};

CORVANE_MODULE(AnTally)
