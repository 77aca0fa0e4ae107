#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"

// Test driver that sends event records: it announces its event once per
// Start (and whenever its "announce" input gets a value), then sends
// "events" data events with values that depend only on the event number.
// The input "set" chooses the properties:
//   all     one property of every type that event records carry, binnings included
//   abc     the doubles a, b and c
//   mix     a nested event n, the string s "abc", the text t "hi", the shorts v {1, -1}
//   shorts  one vector of "size" shorts named v
//   retype  x and y, changing from event to event in ways a file cannot hold
class EfDriver : public Corvane {
public:
    explicit EfDriver(std::string& instanceName) : Corvane(nullptr, "NoName"), events(3), size(0), set("all") {
        name = instanceName;
        description = "Sends event records of every property type";
        outputs.push_back(Output("fevent", vorn_tavrel, "the event records"));
        inputs.push_back(Input("events", CORVANE_HANDLER(&EfDriver::setEvents), vorn_int, "data events per Start"));
        inputs.push_back(Input("set", CORVANE_HANDLER(&EfDriver::setSet), vorn_string, "property set"));
        inputs.push_back(Input("size", CORVANE_HANDLER(&EfDriver::setSize), vorn_int, "vector size of set shorts"));
        inputs.push_back(Input("announce", CORVANE_HANDLER(&EfDriver::announceNow), vorn_any, "announce now"));
        nested["inner"] = FlowProperty(vorn_double, FlowBinning(0, 1, 2), &nestedValue);
    }

    void Start() override {
        running = true;
        build();
        announce();
        for (int i = 0; i < events && running; ++i) {
            fill(i);
            SendOutput(0, static_cast<stringstore*>(&event));
            event.Reset();
        }
        running = false;
    }

private:
    void setEvents(void* value) { events = *static_cast<int*>(value); }
    void setSet(void* value) { set = *static_cast<std::string*>(value); }
    void setSize(void* value) { size = *static_cast<int*>(value); }
    void announceNow(void*) {
        build();
        announce();
    }

    void announce() {
        event.announce = true;
        SendOutput(0, static_cast<stringstore*>(&event));
        event.announce = false;
    }

    void add(const std::string& propertyName, vorn_type type, void* value, int k) {
        event[propertyName] = FlowProperty(type, FlowBinning(-k, k * 1.5, k), value);
    }

    void build() {
        while (event.begin() != event.end()) event.erase(event.begin()->first);
        if (set == "all") {
            add("t01_uchar", vorn_uchar, &uc, 1);
            add("t02_schar", vorn_schar, &sc, 2);
            add("t03_char", vorn_char, &ch, 3);
            add("t04_uint16", vorn_uint16, &u16, 4);
            add("t05_short", vorn_short, &s16, 5);
            add("t06_uint32", vorn_uint32, &u32, 6);
            add("t07_int", vorn_int, &i32, 7);
            add("t08_bool", vorn_bool, &flag, 8);
            add("t09_float", vorn_float, &f32, 9);
            add("t10_double", vorn_double, &f64, 10);
            add("t11_uint64", vorn_uint64, &u64, 11);
            add("t13_cstring", vorn_cstring, text, 13);
            add("t18_any", vorn_any, nullptr, 18);
            add("t19_string", vorn_string, &str, 19);
            add("t20_vshort", vorn_vector_short, &vs, 20);
            add("t21_vint", vorn_vector_int, &vi, 21);
            add("t22_vuint64", vorn_vector_uint64, &vu, 22);
            add("t23_vbool", vorn_vector_bool, &vb, 23);
            add("t24_vfloat", vorn_vector_float, &vf, 24);
            add("t25_vdouble", vorn_vector_double, &vd, 25);
            add("t26_vstring", vorn_vector_string, &vstr, 26);
            add("t27_vvshort", vorn_vector_vector_short, &vvs, 27);
            add("t28_vvint", vorn_vector_vector_int, &vvi, 28);
            add("t29_vvfloat", vorn_vector_vector_float, &vvf, 29);
            add("t30_vvdouble", vorn_vector_vector_double, &vvd, 30);
            add("t99_nested", vorn_tavrel, &nested, 99);
        } else if (set == "abc") {
            event["a"] = FlowProperty(vorn_double, FlowBinning(0, 10, 100), &a);
            event["b"] = FlowProperty(vorn_double, FlowBinning(-1, 1, 20), &b);
            event["c"] = FlowProperty(vorn_double, FlowBinning(), &c);
        } else if (set == "mix") {
            event["n"] = FlowProperty(vorn_tavrel, FlowBinning(), &nested);
            event["s"] = FlowProperty(vorn_string, FlowBinning(), &str);
            event["t"] = FlowProperty(vorn_cstring, FlowBinning(), text);
            event["v"] = FlowProperty(vorn_vector_short, FlowBinning(), &vs);
        } else if (set == "shorts") {
            event["v"] = FlowProperty(vorn_vector_short, FlowBinning(0, 1, 1), &vs);
        }
    }

    // splitmix64: the values of event i, property k.
    static uint64_t mix(uint64_t i, uint64_t k) {
        uint64_t z = i * 0x9E3779B97F4A7C15ull + k * 0xBF58476D1CE4E5B9ull + 0x94D049BB133111EBull;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    template <class T> static T bitsOf(uint64_t r) {
        T value;
        std::memcpy(&value, &r, sizeof value);
        return value;
    }
    // A token: printable characters and bytes above 127, never white space.
    static std::string word(uint64_t r, size_t length) {
        static const char kAlphabet[] = "abcXYZ019_-+\"\\'{}\xc3\xa9\x7f\x01";
        std::string out;
        for (size_t n = 0; n < length; ++n) out.push_back(kAlphabet[mix(r, n) % (sizeof kAlphabet - 1)]);
        return out;
    }
    template <class T> static void fillVector(std::vector<T>& out, uint64_t r, size_t most) {
        out.resize(r % (most + 1));
        for (size_t n = 0; n < out.size(); ++n) out[n] = bitsOf<T>(mix(r, n));
    }
    template <class T> static void fillVectors(std::vector<std::vector<T> >& out, uint64_t r) {
        out.resize(r % 4);
        for (size_t n = 0; n < out.size(); ++n) fillVector(out[n], mix(r, n), 5);
    }

    void fill(int i) {
        if (set == "all") fillAll(i);
        if (set == "abc") {
            a = i + 0.5;
            b = -i;
            c = double(i) * i;
        }
        if (set == "mix") {
            str = "abc";
            std::strcpy(text, "hi");
            vs = {1, -1};
        }
        if (set == "shorts") {
            vs.resize(size);
            for (int n = 0; n < size; ++n) vs[n] = static_cast<short>(n * 7 + i);
        }
        if (set == "retype") retype(i);
    }

    void fillAll(int i) {
        uint64_t k = 0;
        uc = bitsOf<unsigned char>(mix(i, ++k));
        sc = bitsOf<signed char>(mix(i, ++k));
        ch = bitsOf<char>(mix(i, ++k));
        u16 = bitsOf<unsigned short>(mix(i, ++k));
        s16 = bitsOf<short>(mix(i, ++k));
        u32 = bitsOf<unsigned int>(mix(i, ++k));
        i32 = bitsOf<int>(mix(i, ++k));
        flag = mix(i, ++k) & 1;
        f32 = bitsOf<float>(mix(i, ++k));
        f64 = bitsOf<double>(mix(i, ++k));
        u64 = mix(i, ++k);
        // The longest text a reader keeps, then short ones.
        uint64_t r = mix(i, ++k);
        std::string t = word(r, i == 1 ? 255 : 1 + r % 40);
        std::memcpy(text, t.c_str(), t.size() + 1);
        r = mix(i, ++k);
        str = word(r, 1 + r % 60);
        fillVector(vs, mix(i, ++k), 6);
        fillVector(vi, mix(i, ++k), 6);
        fillVector(vu, mix(i, ++k), 6);
        vb.resize(mix(i, ++k) % 9);
        for (size_t n = 0; n < vb.size(); ++n) vb[n] = mix(i, n + 100) & 1;
        fillVector(vf, mix(i, ++k), 6);
        fillVector(vd, mix(i, ++k), 6);
        vstr.resize(mix(i, ++k) % 4);
        for (size_t n = 0; n < vstr.size(); ++n) vstr[n] = word(mix(i, n + 200), 1 + n);
        fillVectors(vvs, mix(i, ++k));
        fillVectors(vvi, mix(i, ++k));
        fillVectors(vvf, mix(i, ++k));
        fillVectors(vvd, mix(i, ++k));
        nestedValue = i;
    }

    // Cycles through: fits; x changes type; one property too many; one too
    // few; x without a value; fits again.
    void retype(int i) {
        while (event.begin() != event.end()) event.erase(event.begin()->first);
        a = i;
        i32 = 10 * i;
        int step = i % 6;
        event["x"] = FlowProperty(step == 1 ? vorn_int : vorn_double, FlowBinning(), step == 1 ? static_cast<void*>(&i32) : static_cast<void*>(&a));
        if (step != 3) event["y"] = FlowProperty(vorn_int, FlowBinning(), &i32);
        if (step == 2) event["z"] = FlowProperty(vorn_double, FlowBinning(), &a);
        if (step == 4) event["x"].value = nullptr;
    }

    int events;
    int size;
    std::string set;
    Tavrel event;
    Tavrel nested;
    double nestedValue = 0;
    unsigned char uc = 0;
    signed char sc = 0;
    char ch = 0;
    unsigned short u16 = 0;
    short s16 = 0;
    unsigned int u32 = 0;
    int i32 = 0;
    bool flag = false;
    float f32 = 0;
    double f64 = 0;
    unsigned long u64 = 0;
    char text[256] = {'x', '\0'};
    std::string str = "x";
    std::vector<short> vs;
    std::vector<int> vi;
    std::vector<unsigned long> vu;
    std::vector<bool> vb;
    std::vector<float> vf;
    std::vector<double> vd;
    std::vector<std::string> vstr;
    std::vector<std::vector<short> > vvs;
    std::vector<std::vector<int> > vvi;
    std::vector<std::vector<float> > vvf;
    std::vector<std::vector<double> > vvd;
    double a = 0, b = 0, c = 0;
};

CORVANE_MODULE(EfDriver)
