// torvask: runs a flow description file from the command line.
//
//   torvask [-ti] [-a <AIDA system>] <filename>
//
// Without -t the flow runs on the main thread (and, with -i, the plotter
// interaction follows the run). With -t a second thread runs the flow while
// the main thread lets the user work with the plotter; ending that stops
// the flow.
//
// SIGINT and SIGTERM are taken by one thread of their own: the first stops
// the run as the end of the interaction does, the manager and its modules
// are deleted, and the process then ends by that same signal; a second one
// ends it at once.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <mutex>
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

// How often a run that is being stopped is asked again.
const useconds_t kStopPollMicroseconds = 1000;

struct Settings {
    std::string flowFile;
    std::string aidaSystem = "Castrine";
    bool threadMode = false;
    bool interactAfterRun = false;
};

// Ends the process by `sig` as if it had never been handled.
[[noreturn]] void endBySignal(int sig) {
    signal(sig, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(sig);
    _exit(128 + sig);
}

// Blocks the calling thread for good; another thread ends the process.
[[noreturn]] void waitForTheEnd() {
    for (;;) pause();
}

// Who ends the run and deletes the manager: the main thread, unless a
// signal came while the main thread waits in a plotter interaction that
// may never return; then the signal thread does.
enum class Teardown { Open, ByMain, BySignal };

// The run as the main thread, the flow thread and the signal thread see
// it. The signal thread calls the manager's Stop() only while the manager
// is published and not yet being deleted, under the lock, so two threads
// never stop the driver at once and never one that is gone. Every
// operation says which thread may call it.
class RunControl {
public:
    // Main thread, before any other thread exists: blocks SIGINT and
    // SIGTERM in this thread and so in every thread made later, and starts
    // the thread that waits for them. A signal that the process inherited
    // as ignored (a background job's SIGINT) stays ignored.
    void watchSignals();
    // Main thread: the manager is built and the run may begin. False when
    // a signal came first: then nothing is run.
    bool publish(Mesgrave* manager);
    // The thread that ran the driver, once Start() has returned.
    void endRun();
    bool runHasEnded();
    // Main thread, around a plotter interaction. begin is false when a
    // signal came first (skip the interaction). Between the two the main
    // thread must not touch the manager: the signal thread may delete it.
    // end never returns when the signal thread has taken the run's end over.
    bool beginInteraction();
    void endInteraction();
    // Main thread: takes the end of the run over; never returns when the
    // signal thread has it. Calling it again changes nothing.
    void beginTeardown();
    // Main thread, once the manager is deleted: ends the process by the
    // signal caught, if any, else returns.
    void finish();

private:
    static void* waitForSignals(void* control);
    // Signal thread: notes the first signal and lets a second one end the
    // process; ends it at once when the main thread has finished already.
    void noteSignal(int sig);
    // Signal thread: stops the run until the main thread takes its end
    // over, or takes it over itself (and never returns) when the main
    // thread cannot.
    void stopRun();
    void endRunHere(Mesgrave& manager);

    std::mutex lock;
    sigset_t handled;
    Mesgrave* manager = nullptr;
    bool runEnded = false;
    bool interacting = false;
    bool finished = false;
    Teardown teardown = Teardown::Open;
    int caught = 0;
};

RunControl control;

// Stops the driver, at least once after its run has ended (a module that
// keeps its running flag after Start() is stopped before it is deleted),
// and returns once the run has ended. Any thread that may stop the driver.
void stopUntilRunEnded(Mesgrave& manager) {
    bool ended;
    do {
        ended = control.runHasEnded();
        manager.Stop();
        if (!ended) usleep(kStopPollMicroseconds);
    } while (!ended);
}

void RunControl::watchSignals() {
    sigemptyset(&handled);
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction current;
        if (sigaction(sig, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&handled, sig);
    }
    if (sigisemptyset(&handled)) return;
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, waitForSignals, this) != 0) {
        pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
        std::cerr << "torvask: could not start the signal thread; a signal ends the run at once" << std::endl;
        return;
    }
    pthread_detach(thread);
}

void* RunControl::waitForSignals(void* self) {
    RunControl* control = static_cast<RunControl*>(self);
    int sig = 0;
    while (sigwait(&control->handled, &sig) != 0) {
    }
    control->noteSignal(sig);
    control->stopRun();
    // The main thread ends the process; until then a second signal does.
    waitForTheEnd();
}

void RunControl::noteSignal(int sig) {
    vorn::requestRunStop();
    std::lock_guard<std::mutex> guard(lock);
    caught = sig;
    if (finished) endBySignal(sig);
    // From here on a signal takes its default action on this thread, the
    // only one that does not block it: a second signal ends the process.
    for (int other : {SIGINT, SIGTERM})
        if (sigismember(&handled, other)) signal(other, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
}

void RunControl::stopRun() {
    Mesgrave* running = nullptr;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (teardown == Teardown::ByMain) return;
            if (interacting && manager != nullptr) {
                teardown = Teardown::BySignal;
                running = manager;
                break;
            }
            if (manager != nullptr && !runEnded) manager->Stop();
        }
        usleep(kStopPollMicroseconds);
    }
    endRunHere(*running);
}

// The main thread waits in an interaction: the run is ended here as the
// main thread would, then the process ends by the signal.
void RunControl::endRunHere(Mesgrave& running) {
    stopUntilRunEnded(running);
    delete &running;
    endBySignal(caught);
}

bool RunControl::publish(Mesgrave* running) {
    std::lock_guard<std::mutex> guard(lock);
    if (caught != 0) {
        runEnded = true;
        return false;
    }
    manager = running;
    return true;
}

void RunControl::endRun() {
    std::lock_guard<std::mutex> guard(lock);
    runEnded = true;
}

bool RunControl::runHasEnded() {
    std::lock_guard<std::mutex> guard(lock);
    return runEnded;
}

bool RunControl::beginInteraction() {
    std::lock_guard<std::mutex> guard(lock);
    if (caught != 0) return false;
    interacting = true;
    return true;
}

void RunControl::endInteraction() {
    std::unique_lock<std::mutex> guard(lock);
    interacting = false;
    if (teardown != Teardown::BySignal) return;
    guard.unlock();
    waitForTheEnd();
}

void RunControl::beginTeardown() {
    std::unique_lock<std::mutex> guard(lock);
    if (teardown == Teardown::BySignal) {
        guard.unlock();
        waitForTheEnd();
    }
    teardown = Teardown::ByMain;
    manager = nullptr;
}

void RunControl::finish() {
    std::lock_guard<std::mutex> guard(lock);
    finished = true;
    if (caught != 0) endBySignal(caught);
}

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

// Once the interaction has begun the signal thread may delete the manager,
// so the interaction is run on the AIDA system alone (the manager does not
// own it).
void interact(Mesgrave& manager) {
    AIDA::IAnalysisFactory* aida = manager.GetAIDASystem();
    if (!control.beginInteraction()) return;
    if (aida != nullptr) Mesgrave::interactPlotter(aida);
    control.endInteraction();
}

void runInForeground(Mesgrave& manager, bool interactAfterRun) {
    manager.showPlotter();
    manager.Start();
    control.endRun();
    if (interactAfterRun) interact(manager);
}

void* runFlow(void* manager) {
    run_manager(manager);
    control.endRun();
    return nullptr;
}

// Runs the flow on a second thread while the main thread interacts with the
// plotter. The interaction may end before the driver has even started (no
// AIDA system, standard input at its end), so the main thread keeps asking
// the flow to stop until the flow thread's run has ended.
void runInThread(Mesgrave& manager, bool interactAfterRun) {
    pthread_t thread;
    if (pthread_create(&thread, nullptr, runFlow, &manager) != 0) {
        std::cerr << "torvask: could not start the flow thread; running in the foreground" << std::endl;
        runInForeground(manager, interactAfterRun);
        return;
    }
    interact(manager);
    control.beginTeardown();
    vorn::requestRunStop();
    stopUntilRunEnded(manager);
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
    control.watchSignals();

    Mesgrave* manager = new Mesgrave(settings.aidaSystem);
    bool opened = manager->configureFromFile(settings.flowFile);
    listMissingClasses(*manager);
    if (control.publish(manager)) {
        if (settings.threadMode)
            runInThread(*manager, settings.interactAfterRun);
        else
            runInForeground(*manager, settings.interactAfterRun);
    }
    control.beginTeardown();
    delete manager;
    control.finish();
    return opened ? 0 : 1;
}
