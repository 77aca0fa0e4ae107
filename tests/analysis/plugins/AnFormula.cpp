#include <set>
#include <string>

#include "Corvane.h"
#include "Tavrel.h"

// Test relay: adds the formula property defined on "formula" to each
// announced record (once per record object), then passes every record on.
class AnFormula : public Corvane {
public:
    explicit AnFormula(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("fevent", CORVANE_HANDLER(&AnFormula::relay), vorn_tavrel, "records"));
        inputs.push_back(Input("formula", CORVANE_HANDLER(&AnFormula::setFormula), vorn_string, "definition"));
        outputs.push_back(Output("fevent", vorn_tavrel, "records with the formula"));
    }

private:
    void setFormula(void* value) { formula = *static_cast<std::string*>(value); }

    void relay(void* value) {
        Tavrel* record = static_cast<Tavrel*>(static_cast<stringstore*>(value));
        if (record->announce && !formula.empty() && extended.insert(record).second) {
            record->ParseFormula(formula);
            record->SetBinnings();
        }
        SendOutput(0u, value);
    }

    std::string formula;
    std::set<Tavrel*> extended;
};

CORVANE_MODULE(AnFormula)
