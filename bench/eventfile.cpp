// Writing and reading an event file of 10^6 records of 10 properties (five
// doubles, four ints and a vector of 100 shorts): Lorvick fed by a driver
// and Ambrel with no receivers, loaded from their plug-ins, against plain
// fwrite/fread loops over the same layout (the floor), in interleaved rounds.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"
#include "eventfile_floor.h"
#include "pluginHandle.h"
#include "rounds.h"

namespace {

const long kRecords = 1000000;
const int kRounds = 7;

// Sends kRecords data events of a BenchRecord to its output.
class BenchDriver : public Corvane {
public:
    BenchDriver() : Corvane(nullptr, "driver") {
        outputs.push_back(Output("fevent", vorn_tavrel, "events"));
        const char* doubles[] = {"d0", "d1", "d2", "d3", "d4"};
        const char* ints[] = {"i0", "i1", "i2", "i3"};
        for (int k = 0; k < 5; ++k) event[doubles[k]] = FlowProperty(vorn_double, FlowBinning(), &record.d[k]);
        for (int k = 0; k < 4; ++k) event[ints[k]] = FlowProperty(vorn_int, FlowBinning(), &record.i[k]);
        event["v"] = FlowProperty(vorn_vector_short, FlowBinning(), &record.v);
    }

    void run(long records) {
        event.announce = true;
        SendOutput(0, static_cast<stringstore*>(&event));
        event.announce = false;
        for (long r = 0; r < records; ++r) {
            record.fill(r);
            SendOutput(0, static_cast<stringstore*>(&event));
            event.Reset();
        }
    }

private:
    BenchRecord record;
    Tavrel event;
};

// Keeps the count that arrives on "eof".
class EofCounter : public Corvane {
public:
    EofCounter() : Corvane(nullptr, "eof") {
        inputs.push_back(Input("eof", CORVANE_HANDLER(&EofCounter::take), vorn_int, "records"));
    }
    void take(void* value) { records = *static_cast<int*>(value); }
    int records = 0;
};

// One plug-in of the build, loaded by path.
class Plugin {
public:
    explicit Plugin(const std::string& name) : handle(name, nullptr, nullptr, nullptr) {
        handle.SetPath(std::string(ZARN_BUILD_DIR) + "/lib/");
        handle.Load();
        if (handle.newObject == nullptr) {
            std::fprintf(stderr, "cannot load %s\n", name.c_str());
            std::exit(1);
        }
    }
    Corvane* make(std::string name) { return handle.newObject(name); }
    void destroy(Corvane* instance) { handle.delObject(instance); }

private:
    pluginHandle handle;
};

// The modules' life lines go nowhere while they run.
class Quiet {
public:
    Quiet() : sink("/dev/null"), saved(std::cout.rdbuf(sink.rdbuf())) {}
    ~Quiet() { std::cout.rdbuf(saved); }

private:
    std::ofstream sink;
    std::streambuf* saved;
};

// Each run in interleaved rounds; the first is the floor.
std::vector<bench::Result> inRounds(const std::vector<std::function<void()> >& runs) {
    std::vector<bench::Contender> contenders;
    for (const std::function<void()>& run : runs) contenders.push_back({"", [run] { return bench::secondsOf(run); }});
    return bench::runRounds(contenders, kRounds);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// One table row: records/s and MB/s of the median round, and the ratio.
void printRow(const char* what, const bench::Result& result, double bytes, const std::string& last) {
    double seconds = result.figure.median;
    std::printf("| %-26s | %12.0f | %8.1f | %-22s |\n", what, kRecords / seconds, bytes / seconds / 1e6, last.c_str());
}

}  // namespace

int main() {
    const std::string floorFile = "bench_eventfile_floor.fevent";
    const std::string moduleFile = "bench_eventfile.fevent";
    Plugin lorvickPlugin("Lorvick");
    Plugin ambrelPlugin("Ambrel");

    std::vector<bench::Result> writing;
    {
        Quiet quiet;
        BenchDriver driver;
        Corvane* lorvick = lorvickPlugin.make("rec");
        driver.AddReceiver(0, lorvick, 0);
        writing = inRounds({[&] { floorWrite(floorFile, kRecords); },
                               [&] {
                                   std::string name = moduleFile;
                                   lorvick->SetInput("filename", &name[0]);
                                   driver.run(kRecords);
                               },
                               [&] { floorWrite(floorFile, kRecords, false); }});
        lorvickPlugin.destroy(lorvick);
    }
    std::string written = readFile(moduleFile);
    if (written != readFile(floorFile)) {
        std::fprintf(stderr, "Lorvick's file differs from the floor's\n");
        return 1;
    }
    double bytes = written.size();
    written.clear();

    long floorRecords = 0, unlockedRecords = 0;
    int ambrelRecords = 0;
    std::vector<bench::Result> reading;
    {
        Quiet quiet;
        Corvane* ambrel = ambrelPlugin.make("amb");
        EofCounter eof;
        ambrel->AddReceiver(1, &eof, 0);
        reading = inRounds({[&] { floorRecords = floorRead(moduleFile); },
                               [&] {
                                   std::string name = moduleFile;
                                   ambrel->SetInput("filename", &name[0]);
                                   ambrel->Start();
                               },
                               [&] { unlockedRecords = floorRead(moduleFile, false); }});
        ambrelRecords = eof.records;
        ambrelPlugin.destroy(ambrel);
    }
    if (floorRecords != kRecords || unlockedRecords != kRecords || ambrelRecords != kRecords) {
        std::fprintf(stderr, "read %ld records with the floor, %ld without locks, %d with Ambrel\n", floorRecords,
                     unlockedRecords, ambrelRecords);
        return 1;
    }

    std::printf("%ld records of 10 properties (5 doubles, 4 ints, 100 shorts), %.0f bytes each\n\n", kRecords,
                bytes / kRecords);
    std::printf("| %-26s | %12s | %8s | %-22s |\n", "", "records/s", "MB/s", "ratio");
    std::printf("|----------------------------|--------------|----------|------------------------|\n");
    // The recorder flushes every record so that a reader sees whole records;
    // the first row shows what that costs, the floor pays it too.
    printRow("write: fwrite, no flush", writing[2], bytes, bench::ratioText(writing[2].ratio));
    printRow("write: fwrite + fflush", writing[0], bytes, "floor");
    printRow("write: Lorvick", writing[1], bytes, bench::ratioText(writing[1].ratio));
    // fread takes the stream's lock on every call; the next row shows what
    // that costs the floor.
    printRow("read: fread_unlocked", reading[2], bytes, bench::ratioText(reading[2].ratio));
    printRow("read: fread", reading[0], bytes, "floor");
    printRow("read: Ambrel, no receivers", reading[1], bytes, bench::ratioText(reading[1].ratio));
    bench::printRoundsNote(kRounds);
    unlink(floorFile.c_str());
    unlink(moduleFile.c_str());
    return 0;
}
