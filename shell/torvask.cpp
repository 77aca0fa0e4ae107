// torvask: runs a flow description file from the command line.
//
//   torvask [-ti] [-a <AIDA system>] <filename>
//
// Without -t the flow runs on the main thread (and, with -i, the plotter
// interaction follows the run). With -t a second thread runs the flow while
// the main thread lets the user work with the plotter; ending that stops
// the flow.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <string>

#include "Mesgrave.h"
#include "RunStop.h"

// The flow thread's entry: runs the manager's driver to its end.
void* run_manager(void* manager) {
    static_cast<Mesgrave*>(manager)->Start();
    return nullptr;
}

namespace {

const char kUsage[] = "Usage:\ntorvask [-ti] [-a <AIDA system>] <filename>";

struct Settings {
    std::string flowFile;
    std::string aidaSystem = "Castrine";
    bool threadMode = false;
    bool interactAfterRun = false;
};

// One flow thread: the manager it runs and whether its run has ended.
struct FlowThread {
    Mesgrave* manager;
    std::atomic<bool> ended{false};
};

std::string defaultFlowFile() {
    const char* base = std::getenv("ZARN_BASE");
    return base ? std::string(base) + "/Base/" + "gaussian.mivet" : "gaussian.mivet";
}

// Prints why an option is refused and the usage, for exit status 1.
int refuse(const char* why) {
    std::cerr << why << std::endl << kUsage << std::endl;
    return 1;
}

// Reads the options into `settings`; returns the exit status when the
// program must end at once, else -1.
int parseOptions(int argc, char** argv, Settings& settings) {
    int option;
    while ((option = getopt(argc, argv, "a:fpti")) != -1) {
        switch (option) {
            case 'a':
                settings.aidaSystem = optarg;
                break;
            case 't':
                settings.threadMode = true;
                break;
            case 'i':
                settings.interactAfterRun = true;
                break;
            case 'f':
                return refuse("Option '-f' obsolete.");
            case 'p':
                return refuse("Option '-p' was replaced by '-a'.");
            default:
                break;  // getopt has said what is wrong
        }
    }
    if (optind < argc) settings.flowFile = argv[optind];
    return -1;
}

void listMissingClasses(const Mesgrave& manager) {
    if (manager.notFound.empty()) return;
    std::cout << "The following classes could not be found:" << std::endl;
    for (const std::string& name : manager.notFound) std::cout << "    " << name << std::endl;
}

void runInForeground(Mesgrave& manager, bool interactAfterRun) {
    manager.showPlotter();
    manager.Start();
    if (interactAfterRun) manager.interactPlotter();
}

void* runFlow(void* thread) {
    FlowThread* flow = static_cast<FlowThread*>(thread);
    run_manager(flow->manager);
    flow->ended = true;
    return nullptr;
}

// Runs the flow on a second thread while the main thread interacts with the
// plotter. The interaction may end before the driver has even started (no
// AIDA system, standard input at its end), so the main thread keeps asking
// the flow to stop until the flow thread's run has ended.
void runInThread(Mesgrave& manager, bool interactAfterRun) {
    FlowThread flow;
    flow.manager = &manager;
    pthread_t thread;
    if (pthread_create(&thread, nullptr, runFlow, &flow) != 0) {
        std::cerr << "torvask: could not start the flow thread; running in the foreground" << std::endl;
        runInForeground(manager, interactAfterRun);
        return;
    }
    manager.interactPlotter();
    vorn::requestRunStop();
    while (!flow.ended) {
        manager.Stop();
        usleep(1000);
    }
    pthread_join(thread, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    settings.flowFile = defaultFlowFile();
    int status = parseOptions(argc, argv, settings);
    if (status >= 0) return status;
    // A file size limit must fail the write that meets it, so that the
    // writer reports it, instead of killing the process mid-record.
    signal(SIGXFSZ, SIG_IGN);

    Mesgrave* manager = new Mesgrave(settings.aidaSystem);
    bool opened = manager->configureFromFile(settings.flowFile);
    listMissingClasses(*manager);
    if (settings.threadMode)
        runInThread(*manager, settings.interactAfterRun);
    else
        runInForeground(*manager, settings.interactAfterRun);
    delete manager;
    return opened ? 0 : 1;
}
