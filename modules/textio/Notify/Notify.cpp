#include <errno.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "ChildSpawn.h"
#include "Corvane.h"
#include "RunStop.h"

// Notify reacts to a trigger by printing a fixed message, optionally in
// terminal colours, and/or by running a shell command. Running the command
// that the flow gives through the shell is the module's purpose: the text
// reaches /bin/sh as it is.
//
// Threads: all calls on the flow thread; a command blocks it until the
// shell ends, or until the run stops: then the shell is ended.
class Notify : public Corvane {
public:
    explicit Notify(std::string& instanceName);
    ~Notify() override;

    void Init() override;
    // Does nothing.
    void Reset() override;

    // A non-empty text (a std::string) becomes the message; an empty one
    // resets it to "BEEP" with a line on standard error.
    void setMessage(void* value);
    // Rebuilds the escape text from option letters and SGR commands.
    void setOptions(void* value);
    // Sets the command; a leading '+' asks for the message as well.
    void setCommand(void* value);
    // Runs the command, then prints the message when due; the value is not
    // read. A failing command is reported and cleared for good; one ended
    // because the run stops is reported, and nothing else is printed.
    void Trigger(void* value);

    std::string message;
    std::string escapeText;
    std::string command;
    bool messageAndCommand;

private:
    // Reads one SGR command after a backslash, from `at` in `options`;
    // returns false when the reading of the options ends there.
    bool readSgrCommand(const std::string& options, size_t& at);
};

namespace {

// Longest introducer or code of an SGR command, and longest code applied.
const size_t kLongestSgrPart = 6;
const size_t kLongestSgrCode = 4;

// How long a command that is ended because the run stops may take after
// SIGTERM before it is killed, and the longest pause between two looks at a
// running command (the pauses grow from 1 ms so that short commands cost
// no more than they take).
const useconds_t kTermGraceMicroseconds = 1000000;
const useconds_t kLongestPauseMicroseconds = 100000;

// Whether `child` has ended; then `status` is its wait status.
bool hasEnded(pid_t child, int& status) {
    pid_t done;
    while ((done = waitpid(child, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    return done != 0;
}

// The processes that `parent` started, and theirs, as the system lists them
// now (parents before their children).
void collectDescendants(pid_t parent, std::vector<pid_t>& found) {
    std::ifstream list("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children");
    pid_t child;
    while (list >> child) {
        found.push_back(child);
        collectDescendants(child, found);
    }
}

// Sends `sig` to the shell and to what it started: a shell that is ended
// does not end the commands it waits for, and these may hold the flow's
// standard output open.
void signalCommand(pid_t shell, int sig) {
    std::vector<pid_t> processes;
    collectDescendants(shell, processes);
    kill(shell, sig);
    for (pid_t process : processes) kill(process, sig);
}

// Waits for `child` to end; when the run stops first, asks it and what it
// started to end, and kills them if the shell does not end within the
// grace. Returns the wait status and sets `stopped` when the child was
// ended because the run stops.
int waitForShell(pid_t child, bool& stopped) {
    int status = 0;
    useconds_t pause = 1000;
    useconds_t sinceTerm = 0;
    stopped = false;
    while (!hasEnded(child, status)) {
        if (!stopped && vorn::runStopRequested()) {
            stopped = true;
            signalCommand(child, SIGTERM);
        } else if (stopped && sinceTerm >= kTermGraceMicroseconds) {
            signalCommand(child, SIGKILL);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        usleep(pause);
        if (stopped) sinceTerm += pause;
        pause = std::min(pause * 2, kLongestPauseMicroseconds);
    }
    return status;
}

// Runs `command` with /bin/sh -c and waits for it, as the system call does,
// except that the shell inherits no descriptor beyond standard input, output
// and error, starts with no blocked signals, and is ended when the run stops
// (then `stopped` is set). Returns the wait status, or -1 when the shell
// could not be started.
int runShell(const std::string& command, bool& stopped) {
    char shell[] = "sh";
    char option[] = "-c";
    char* argv[] = {shell, option, const_cast<char*>(command.c_str()), nullptr};
    pid_t child = -1;
    stopped = false;
    if (vorn::spawnChild(child, "/bin/sh", argv, -1, -1) != 0) return -1;
    return waitForShell(child, stopped);
}

// Whether a command processor exists: a shell that runs "exit 0".
bool haveCommandProcessor() {
    bool stopped;
    return runShell("exit 0", stopped) == 0;
}

// The introducers that an SGR command may be written with.
bool isSgrIntroducer(const std::string& text) {
    return text == "e" || text == "E" || text == "033" || text == "33";
}

// Reads from `at` up to `delimiter`, which is consumed, into `part`. False
// when more than kLongestSgrPart characters come first or the text ends.
bool readSgrPart(const std::string& options, size_t& at, char delimiter, std::string& part) {
    part.clear();
    while (at < options.size()) {
        char c = options[at++];
        if (c == delimiter) return true;
        if (part.size() == kLongestSgrPart) return false;
        part += c;
    }
    return false;
}

}  // namespace

Notify::Notify(std::string& instanceName) : Corvane(nullptr, "NoName"), message("BEEP"), messageAndCommand(false) {
    name = instanceName;
    description = "Send a predefined message to STDOUT and/or call shell command on incoming trigger";
    inputs.push_back(
        Corvane::Input("trigger", CORVANE_HANDLER(&Notify::Trigger), vorn_any, "Send message to STDOUT"));
    inputs.push_back(Corvane::Input("message", CORVANE_HANDLER(&Notify::setMessage), vorn_string,
                                    "Message to be displayed (automatically followed by line break)"));
    inputs.push_back(Corvane::Input(
        "options", CORVANE_HANDLER(&Notify::setOptions), vorn_string,
        "Display options (if supported by STDOUT device, letters rgb for text colour, RGB for background colour, "
        "X for bold, Y for blinking; also accepts ANSI SGR commands)"));
    inputs.push_back(Corvane::Input("command", CORVANE_HANDLER(&Notify::setCommand), vorn_string,
                                    "Shell command to be executed (if supported, prepend '+' to get message AND "
                                    "command)"));
}

Notify::~Notify() { std::cout << name << " deleted" << std::endl; }

void Notify::Init() { std::cout << name << " initialized." << std::endl; }

void Notify::Reset() {}

void Notify::setMessage(void* value) {
    if (value == nullptr) return;
    const std::string& text = *static_cast<std::string*>(value);
    if (!text.empty()) {
        message = text;
        return;
    }
    std::cerr << name + ": no message given, resetting to \"BEEP\"\n" << std::flush;
    message = "BEEP";
}

void Notify::setOptions(void* value) {
    escapeText.clear();
    if (value == nullptr) return;
    const std::string options = *static_cast<std::string*>(value);
    size_t at = 0;
    while (at < options.size()) {
        char option = options[at++];
        switch (option) {
            case 'r': escapeText += "\033[31m"; break;
            case 'g': escapeText += "\033[32m"; break;
            case 'b': escapeText += "\033[34m"; break;
            case 'R': escapeText += "\033[41m"; break;
            case 'G': escapeText += "\033[42m"; break;
            case 'B': escapeText += "\033[44m"; break;
            case 'X': escapeText += "\033[1m"; break;
            case 'Y': escapeText += "\033[5m"; break;
            case '\\':
                if (!readSgrCommand(options, at)) return;
                break;
            default: std::cerr << name + ": don't understand option " + option + "\n" << std::flush;
        }
    }
}

bool Notify::readSgrCommand(const std::string& options, size_t& at) {
    std::string introducer;
    if (!readSgrPart(options, at, '[', introducer)) return false;
    if (!isSgrIntroducer(introducer)) return true;
    std::string code;
    if (!readSgrPart(options, at, 'm', code)) return false;
    if (!code.empty() && code.size() <= kLongestSgrCode) escapeText += "\033[" + code + "m";
    return true;
}

void Notify::setCommand(void* value) {
    command.clear();
    messageAndCommand = false;
    if (value == nullptr) return;
    const std::string& text = *static_cast<std::string*>(value);
    if (text.empty()) return;
    if (!haveCommandProcessor()) {
        std::cerr << name + ": System calls not supported on this system.\n" << std::flush;
        return;
    }
    if (text[0] == '+') {
        messageAndCommand = true;
        command = text.substr(1);
    } else {
        command = text;
    }
}

void Notify::Trigger(void*) {
    if (!command.empty()) {
        // What the flow printed so far comes before what the command prints.
        std::cout.flush();
        bool stopped;
        int status = runShell(command, stopped);
        if (stopped) {
            std::cerr << name + ": Ended command '" + command + "': the run stops\n" << std::flush;
            return;
        }
        if (status != 0) {
            std::cerr << name + ":  Couldn't execute command '" + command + "'\n" << std::flush;
            command.clear();
        }
    }
    if (messageAndCommand || command.empty())
        std::cout << escapeText + message + "\033[0m\n" << std::flush;
}

CORVANE_MODULE(Notify)
