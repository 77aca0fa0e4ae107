#include <errno.h>
#include <sys/wait.h>

#include <iostream>
#include <string>

#include "ChildSpawn.h"
#include "Corvane.h"

// Notify reacts to a trigger by printing a fixed message, optionally in
// terminal colours, and/or by running a shell command. Running the command
// that the flow gives through the shell is the module's purpose: the text
// reaches /bin/sh as it is.
//
// Threads: all calls on the flow thread; a command blocks it until the
// shell ends.
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
    // read. A failing command is reported and cleared for good.
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

// Runs `command` with /bin/sh -c and waits for it, as the system call does,
// except that the shell inherits no descriptor beyond standard input, output
// and error, and starts with no blocked signals. Returns the wait status, or
// -1 when the shell could not be started.
int runShell(const std::string& command) {
    char shell[] = "sh";
    char option[] = "-c";
    char* argv[] = {shell, option, const_cast<char*>(command.c_str()), nullptr};
    pid_t child = -1;
    if (vorn::spawnChild(child, "/bin/sh", argv, -1, -1) != 0) return -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

// Whether a command processor exists: a shell that runs "exit 0".
bool haveCommandProcessor() { return runShell("exit 0") == 0; }

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
        if (runShell(command) != 0) {
            std::cerr << name + ":  Couldn't execute command '" + command + "'\n" << std::flush;
            command.clear();
        }
    }
    if (messageAndCommand || command.empty())
        std::cout << escapeText + message + "\033[0m\n" << std::flush;
}

CORVANE_MODULE(Notify)
