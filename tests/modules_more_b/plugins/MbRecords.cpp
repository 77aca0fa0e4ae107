#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"
#include "TextNumbers.h"

// Test driver of event records. Literal lines declare the properties
// ("property": "<name> <type code> [<bins> <min> <max> [<label>]]") and
// formula properties ("formula": a definition), and give one record each
// ("record": "name=value ..."; list values are comma-separated, bools 0 or
// 1). A property declared on "valueless" (same form as "property") is in
// every record without a value. Start announces one record object, then
// sends the records; a record line that begins with "@ " comes from a fresh
// record object that is not announced. Values not named in a line are zero
// or empty. After the last record an empty signal goes to "done".
class MbRecords : public Corvane {
public:
    explicit MbRecords(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("property", CORVANE_HANDLER(&MbRecords::declare), vorn_string, "declaration"));
        inputs.push_back(Input("formula", CORVANE_HANDLER(&MbRecords::addFormula), vorn_string, "definition"));
        inputs.push_back(Input("record", CORVANE_HANDLER(&MbRecords::addRecord), vorn_string, "one record"));
        inputs.push_back(
            Input("valueless", CORVANE_HANDLER(&MbRecords::declareValueless), vorn_string, "declaration"));
        outputs.push_back(Output("Tavrel", vorn_tavrel, "records"));
        outputs.push_back(Output("done", vorn_any, "after the last record"));
    }

    void Start() override {
        running = true;
        Sheet* sheet = newSheet();
        sheet->record.announce = true;
        SendOutput(0u, static_cast<stringstore*>(&sheet->record));
        sheet->record.announce = false;
        for (const std::string& line : records) {
            if (!running) break;
            std::istringstream words(line);
            std::string word;
            if (line.rfind("@ ", 0) == 0) {
                sheet = newSheet();
                words >> word;
            }
            sheet->clear();
            while (words >> word) sheet->set(word);
            SendOutput(0u, static_cast<stringstore*>(&sheet->record));
            sheet->record.Reset();
        }
        SendOutput(1u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    struct Declaration {
        std::string name;
        vorn_type type;
        FlowBinning binning;
        std::string label;
        bool valueless = false;
    };

    // The storage of one property.
    struct Slot {
        vorn_type type = vorn_none;
        bool b = false;
        short s = 0;
        int i = 0;
        double d = 0;
        std::vector<short> vs;
        std::vector<int> vi;
        std::vector<float> vf;
        std::vector<double> vd;
        std::string text;

        void* pointer() {
            switch (type) {
                case vorn_bool: return &b;
                case vorn_short: return &s;
                case vorn_int: return &i;
                case vorn_double: return &d;
                case vorn_vector_short: return &vs;
                case vorn_vector_int: return &vi;
                case vorn_vector_float: return &vf;
                case vorn_vector_double: return &vd;
                default: return &text;
            }
        }
    };

    // One record object with its own storage.
    struct Sheet {
        Tavrel record;
        std::vector<std::string> names;
        std::vector<std::unique_ptr<Slot> > slots;

        void clear() {
            for (auto& slot : slots) {
                vorn_type type = slot->type;
                *slot = Slot();
                slot->type = type;
            }
        }

        void set(const std::string& word) {
            size_t equals = word.find('=');
            std::string key = word.substr(0, equals);
            std::string text = equals == std::string::npos ? "" : word.substr(equals + 1);
            for (size_t k = 0; k < names.size(); ++k)
                if (names[k] == key) assign(*slots[k], text);
        }

        static void assign(Slot& slot, const std::string& text) {
            std::vector<double> numbers;
            std::istringstream list(text);
            std::string item;
            while (std::getline(list, item, ',')) numbers.push_back(vorn::parseDouble(item.c_str()));
            double first = numbers.empty() ? 0 : numbers[0];
            slot.b = first != 0;
            slot.s = vorn::numericCast<short>(first);
            slot.i = vorn::numericCast<int>(first);
            slot.d = first;
            slot.text = text;
            for (double n : numbers) {
                slot.vs.push_back(vorn::numericCast<short>(n));
                slot.vi.push_back(vorn::numericCast<int>(n));
                slot.vf.push_back(static_cast<float>(n));
                slot.vd.push_back(n);
            }
        }
    };

    void declare(void* value) {
        std::istringstream words(*static_cast<std::string*>(value));
        Declaration d;
        int type = 0;
        words >> d.name >> type >> d.binning.bins >> d.binning.min >> d.binning.max;
        d.type = static_cast<vorn_type>(type);
        std::getline(words >> std::ws, d.label);
        declarations.push_back(d);
    }

    void declareValueless(void* value) {
        declare(value);
        declarations.back().valueless = true;
    }

    void addFormula(void* value) { formulas.push_back(*static_cast<std::string*>(value)); }
    void addRecord(void* value) { records.push_back(*static_cast<std::string*>(value)); }

    Sheet* newSheet() {
        sheets.emplace_back(new Sheet);
        Sheet& sheet = *sheets.back();
        for (const Declaration& d : declarations) {
            sheet.slots.emplace_back(new Slot);
            sheet.slots.back()->type = d.type;
            sheet.names.push_back(d.name);
            FlowProperty& property = sheet.record[d.name];
            property = FlowProperty(d.type, d.binning, d.valueless ? nullptr : sheet.slots.back()->pointer());
            property.label = d.label;
        }
        for (const std::string& definition : formulas) sheet.record.ParseFormula(definition);
        if (!formulas.empty()) sheet.record.SetBinnings();
        return &sheet;
    }

    std::vector<Declaration> declarations;
    std::vector<std::string> formulas;
    std::vector<std::string> records;
    std::vector<std::unique_ptr<Sheet> > sheets;
};

CORVANE_MODULE(MbRecords)
