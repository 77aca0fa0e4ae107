#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "ChildSpawn.h"
#include "Corvane.h"
#include "RunStop.h"
#include "TextNumbers.h"

// Pashtin runs a command as a child process and pipes the flow through it:
// each string on input "string" goes to the command's standard input with a
// line feed, and each line that the command prints leaves on output
// "string" from the module's reader thread. The command line is split at
// white space and started without a shell; the child gets the two pipe
// ends and standard error, and no other descriptor.
//
// Threads. The flow thread (or whichever thread builds and tears down the
// flow) calls everything: the port handlers, Reset, the connection changes
// and the destructor. One reader thread per started command waits for the
// command's output and delivers its lines; the receivers run on it, so
// whatever they call back into the module (a new command, a string for the
// command, a connection change) runs on the reader thread too.
//
// Locks. `lock` guards the running command: the child's id, the write end
// of its input, the wake pipe that ends the reader, the reader's handle and
// the list of retired readers; it is never held across a delivery or a
// join. `deliveryLock` keeps the output's connections still while a line is
// delivered; it is recursive because a receiver may change the connections
// from within the delivery. A change of connections therefore returns only
// once no delivery is under way, which is what lets the manager take a flow
// apart while the reader still runs.
//
// Stopping. kill_command raises `currentSession`, so a reader that outlives
// its command sends nothing more and a write waiting for the command gives
// up; closes the wake pipe, which ends the reader's wait; and joins the
// reader, except when it runs on that reader (a receiver stopped the
// command): that thread is retired and joined by the next stop or by the
// destructor, whichever thread runs them.
//
// Writes wait for a command that reads slowly, however long it takes,
// until the run is stopped: from then on a command that has taken nothing
// for a while gets nothing more, with one line, so that the flow can end.
class Pashtin : public Corvane {
public:
    explicit Pashtin(std::string& instanceName);
    // Stops the command and waits for every reader thread.
    ~Pashtin() override;

    void Init() override;
    // Stops a running command, then starts the current one.
    void Reset() override;
    // Change the output's connections between two delivered lines.
    void AddReceiver(int output, Corvane* receiver, int input) override;
    void RemoveReceiver(int output, Corvane* receiver, int input) override;

    // Stores the command (a std::string) and restarts.
    void setCommand(void* value);
    // Writes the string (a std::string) and a line feed to the running
    // command; dropped while none runs. Blocks while the command's input
    // pipe is full, until the command is stopped or, once the run is
    // stopped, the command has read nothing for a second.
    void sendString(void* value);
    // Stops the reader, closes the command's input, ends the command and
    // reaps it. Idle afterwards.
    void kill_command();

    // Reader thread entry: delivers the lines of `fromChild` while
    // `session` is current and `wake` stays open; closes both at the end.
    static void readThread(Pashtin* module, int fromChild, int wake, unsigned int session);
    void readpipe(int fromChild, int wake, unsigned int session);

    std::string command;
    // Write end of the command's input pipe; -1 when no command runs.
    int toChild;
    std::thread reader;
    int pid;
    // Closing this write end wakes the reader and ends it.
    int wakeReader;

private:
    void start();
    // Starts the command on these pipe ends; its process id, or -1.
    int spawn(std::vector<std::string>& words, int input, int output);
    void deliver(std::string& line);
    // Joins `thread`, or keeps it for later when it is the calling thread.
    void finishReader(std::thread thread);
    // Joins the kept reader threads other than the calling one.
    void joinRetired();
    void endChild(int child);

    std::mutex lock;
    std::recursive_mutex deliveryLock;
    // Raised by every stop, so a reader that outlives its command sends
    // nothing more and a write to it gives up.
    std::atomic<unsigned int> currentSession;
    // The session that the running command was started in.
    unsigned int commandSession;
    // Set when a write gave up on the running command after the run was
    // stopped; what is sent to it later is dropped.
    bool inputAbandoned;
    // Readers that stopped their own command from a delivery; they end at
    // their next wait and are joined later.
    std::vector<std::thread> retired;
};

namespace {

// What `fgets` into a buffer of 10000 bytes reads at most: longer lines
// leave in pieces of this size.
const size_t kLongestPiece = 9999;
// How long a command may take to end after SIGTERM before it gets SIGKILL.
const std::chrono::milliseconds kTermGrace(2000);
const std::chrono::milliseconds kKillGrace(5000);
// How long a write waits for room in the pipe before it looks again whether
// it should give up, and how long the command may go without reading once
// the run is stopped.
const int kWaitSliceMillis = 100;
const std::chrono::milliseconds kStopGrace(1000);

using Clock = std::chrono::steady_clock;

// One line on standard output in one write: the reader thread prints too.
void say(const std::string& line) { std::cout << line + '\n' << std::flush; }

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

void closeIfOpen(int fd) {
    if (fd >= 0) close(fd);
}

void closePipe(int ends[2]) {
    closeIfOpen(ends[0]);
    closeIfOpen(ends[1]);
    ends[0] = ends[1] = -1;
}

// A close-on-exec pipe whose ends lie above the standard descriptors, so
// that moving them to 0 and 1 in the child can never clobber each other.
// Both ends are -1 when it fails.
bool makePipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC) != 0) {
        ends[0] = ends[1] = -1;
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (ends[i] > 2) continue;
        int moved = fcntl(ends[i], F_DUPFD_CLOEXEC, 3);
        close(ends[i]);
        ends[i] = moved;
    }
    if (ends[0] >= 0 && ends[1] >= 0) return true;
    closePipe(ends);
    return false;
}

// The write end of the command's input pipe does not block: the writer
// waits for room itself, so that it can give up.
bool makeNonBlocking(int fd) {
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

enum class WriteEnd { written, failed, abandoned };

// Writes all of `text` to the non-blocking `fd`, in as many pieces as the
// pipe takes, waiting while it is full. Gives up (failed) when the command
// has closed its input or `commandEnding` says so, and (abandoned) when the
// run is stopped and the command has taken nothing for kStopGrace.
WriteEnd writeWaiting(int fd, const std::string& text, const std::function<bool()>& commandEnding) {
    const char* next = text.data();
    size_t left = text.size();
    Clock::time_point lastTaken = Clock::now();
    while (left > 0) {
        ssize_t written = write(fd, next, left);
        if (written > 0) {
            next += written;
            left -= static_cast<size_t>(written);
            lastTaken = Clock::now();
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written == 0 || errno != EAGAIN || commandEnding()) return WriteEnd::failed;
        if (vorn::runStopRequested() && Clock::now() - lastTaken >= kStopGrace) return WriteEnd::abandoned;
        pollfd room = {fd, POLLOUT, 0};
        poll(&room, 1, kWaitSliceMillis);
    }
    return WriteEnd::written;
}

// writeWaiting without SIGPIPE: a command that has gone away must not end
// the process, so the signal is held back on this thread and a SIGPIPE
// that the write raised is taken.
WriteEnd writeToCommand(int fd, const std::string& text, const std::function<bool()>& commandEnding) {
    sigset_t pipeOnly, previous, pending;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    sigpending(&pending);
    bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
    WriteEnd end = writeWaiting(fd, text, commandEnding);
    if (end == WriteEnd::failed && errno == EPIPE && !pendingBefore) {
        const timespec noWait = {0, 0};
        while (sigtimedwait(&pipeOnly, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return end;
}

// Reaps `child` if it ends within `limit`.
bool reapWithin(int child, std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    std::chrono::milliseconds pause(1);
    for (;;) {
        int status;
        pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) pause *= 2;
    }
}

}  // namespace

Pashtin::Pashtin(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      toChild(-1),
      pid(-1),
      wakeReader(-1),
      currentSession(0),
      commandSession(0),
      inputAbandoned(false) {
    name = instanceName;
    description = "Runs a command and pipes strings from and to it";
    inputs.push_back(Corvane::Input("command", CORVANE_HANDLER(&Pashtin::setCommand), vorn_string,
                                    "The system command to be called"));
    inputs.push_back(Corvane::Input("string", CORVANE_HANDLER(&Pashtin::sendString), vorn_string,
                                    "String to be forwarded to the command"));
    outputs.push_back(Corvane::Output("string", vorn_string, "String output of the command"));
    say(name + " instantiated");
}

Pashtin::~Pashtin() {
    kill_command();
    joinRetired();
    say(name + " deleted");
}

void Pashtin::Init() { say(name + " initialized."); }

void Pashtin::Reset() {
    kill_command();
    say(name + ": Runnnning command \"" + command + "\"");
    start();
}

void Pashtin::AddReceiver(int output, Corvane* receiver, int input) {
    std::lock_guard<std::recursive_mutex> guard(deliveryLock);
    Corvane::AddReceiver(output, receiver, input);
}

void Pashtin::RemoveReceiver(int output, Corvane* receiver, int input) {
    std::lock_guard<std::recursive_mutex> guard(deliveryLock);
    Corvane::RemoveReceiver(output, receiver, input);
}

void Pashtin::setCommand(void* value) {
    if (value == nullptr) return;
    command = *static_cast<std::string*>(value);
    Reset();
}

void Pashtin::sendString(void* value) {
    std::string text = value != nullptr ? *static_cast<std::string*>(value) : std::string();
    text += '\n';
    std::lock_guard<std::mutex> guard(lock);
    if (pid == -1 || inputAbandoned) return;
    const unsigned int session = commandSession;
    // Write errors (a command that has closed its input) are not reported.
    WriteEnd end = writeToCommand(toChild, text, [this, session] { return currentSession != session; });
    if (end != WriteEnd::abandoned) return;
    inputAbandoned = true;
    std::cerr << name + ": The run was stopped and command \"" + command +
                     "\" does not read its input: what is left for it is dropped\n"
              << std::flush;
}

void Pashtin::start() {
    std::vector<std::string> words = splitWords(command);
    if (words.empty()) return;
    int input[2] = {-1, -1}, output[2] = {-1, -1}, wake[2] = {-1, -1};
    if (!makePipe(input) || !makePipe(output) || !makePipe(wake) || !makeNonBlocking(input[1])) {
        closePipe(input);
        closePipe(output);
        closePipe(wake);
        say(name + ": Warning: Could not redirect output for command " + command);
        return;
    }
    // The child holds its own copies of these two ends; with the module's
    // closed, the end of its output reaches the reader and writes to a
    // command that has ended fail instead of filling the pipe for ever.
    int child = spawn(words, input[0], output[1]);
    close(input[0]);
    close(output[1]);
    input[0] = output[1] = -1;
    if (child < 0) {
        closePipe(input);
        closePipe(output);
        closePipe(wake);
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    pid = child;
    toChild = input[1];
    wakeReader = wake[1];
    commandSession = currentSession.load();
    inputAbandoned = false;
    try {
        reader = std::thread(readThread, this, output[0], wake[0], commandSession);
    } catch (const std::system_error&) {
        close(output[0]);
        close(wake[0]);
        say(name + ": Warning: Could not redirect output for command " + command);
    }
}

int Pashtin::spawn(std::vector<std::string>& words, int input, int output) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    pid_t child = -1;
    int error = vorn::spawnChild(child, argv[0], argv.data(), input, output);
    if (error == EAGAIN || error == ENOMEM) {
        say(name + ": Could not fork(): " + std::strerror(error));
        return -1;
    }
    if (error != 0) {
        std::cerr << name + "[Child]: Could not start process \"" + words[0] + "\". " + std::strerror(error) + "\n"
                  << std::flush;
        return -1;
    }
    return child;
}

void Pashtin::readThread(Pashtin* module, int fromChild, int wake, unsigned int session) {
    module->readpipe(fromChild, wake, session);
}

void Pashtin::readpipe(int fromChild, int wake, unsigned int session) {
    pollfd waiting[2] = {{fromChild, POLLIN, 0}, {wake, POLLIN, 0}};
    std::string line;
    char chunk[4096];
    bool outputEnded = false;
    while (currentSession == session) {
        if (poll(waiting, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (waiting[1].revents != 0) break;
        ssize_t count = read(fromChild, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            outputEnded = true;
            break;
        }
        for (ssize_t i = 0; i < count; ++i) {
            line += chunk[i];
            if (chunk[i] != '\n' && line.size() < kLongestPiece) continue;
            if (currentSession != session) break;
            deliver(line);
            line.clear();
        }
    }
    // The last line of a command's output may lack its line feed.
    if (outputEnded && !line.empty() && currentSession == session) deliver(line);
    close(fromChild);
    close(wake);
}

void Pashtin::deliver(std::string& line) {
    std::lock_guard<std::recursive_mutex> guard(deliveryLock);
    SendOutput(0, &line);
}

void Pashtin::kill_command() {
    int child, input, wake;
    std::thread stopping;
    // Raised before the lock is taken: a write waiting for the command
    // holds the lock, and gives up when it sees this.
    ++currentSession;
    {
        std::lock_guard<std::mutex> guard(lock);
        child = pid;
        input = toChild;
        wake = wakeReader;
        pid = -1;
        toChild = -1;
        wakeReader = -1;
        stopping = std::move(reader);
    }
    closeIfOpen(wake);
    finishReader(std::move(stopping));
    joinRetired();
    closeIfOpen(input);
    if (child > 0) endChild(child);
}

void Pashtin::finishReader(std::thread thread) {
    if (!thread.joinable()) return;
    if (thread.get_id() != std::this_thread::get_id()) {
        thread.join();
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    retired.push_back(std::move(thread));
}

void Pashtin::joinRetired() {
    std::vector<std::thread> ending;
    {
        std::lock_guard<std::mutex> guard(lock);
        for (size_t i = 0; i < retired.size();) {
            if (retired[i].get_id() == std::this_thread::get_id()) {
                ++i;
                continue;
            }
            ending.push_back(std::move(retired[i]));
            retired.erase(retired.begin() + static_cast<long>(i));
        }
    }
    for (std::thread& thread : ending) thread.join();
}

// The child is reaped here and nowhere else, so its id cannot be reused
// by another process while the module may still signal it.
void Pashtin::endChild(int child) {
    if (kill(child, SIGTERM) != 0 && kill(child, SIGKILL) != 0)
        say(name + ": Could not kill child process with ID " + vorn::toText(child));
    if (reapWithin(child, kTermGrace)) return;
    kill(child, SIGKILL);
    reapWithin(child, kKillGrace);
}

CORVANE_MODULE(Pashtin)
