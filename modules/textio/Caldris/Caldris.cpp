#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Mesgrave.h"
#include "RunStop.h"

// Caldris sends the whole content of a text file as one string: at once for
// a file given on "filename", and, when it drives the flow, for each file
// named in the list file given on "listfile". Every new receiver gets the
// current content at once, since literal values arrive before connections.
// Relative names are taken from the flow file's directory.
//
// Threads: all calls on the flow thread; Stop may come from another thread.
class Caldris : public Corvane {
public:
    explicit Caldris(std::string& instanceName);
    ~Caldris() override;

    // The base connection, then the current content to every receiver.
    void AddReceiver(int output, Corvane* receiver, int input) override;
    using Corvane::AddReceiver;
    // Reads and sends every listed file in list order; a stop does not cut
    // the list short.
    void Start() override;
    // Clears the running flag; prints nothing.
    void Stop() override;

    // Reads the named file (a std::string) and sends its content; an empty
    // name does nothing, a file that cannot be read keeps the old content.
    void readFile(void* value);
    // Replaces the list by the lines of the named list file; sends nothing.
    void readList(void* value);

    std::string content;
    std::vector<std::string> list;

private:
    // `name` below the flow file's directory unless it is absolute.
    std::string resolve(const std::string& name);
    // Prints one line on standard output: the instance name, ": ", `text`.
    void report(const std::string& text);
};

namespace {

enum class ReadResult { Read, NotOpened, Refused, Failed, Stopped };

const size_t kReadChunk = 65536;

// A device, pipe or FIFO may never end (/dev/zero, `yes |`): what is read
// from one is given up beyond this size, far above any text typed or piped
// in, instead of growing until memory runs out. A regular file ends at its
// size.
const size_t kMaxStreamBytes = size_t(16) << 20;

// How long one wait for input lasts before the stop request is looked at
// again.
const int kWaitSliceMillis = 100;

// Whether a file of this kind is refused: a directory holds no text, and a
// socket cannot be opened. Regular files, devices, pipes and FIFOs are read.
bool refusedKind(mode_t mode) { return S_ISDIR(mode) || S_ISSOCK(mode); }

// Opens `path` for reading. A FIFO is opened without waiting for a writer,
// so that the wait (then done by the reads) ends when the run stops.
int openForReading(const std::string& path, bool fifo) {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | (fifo ? O_NONBLOCK : 0);
    int fd;
    do fd = open(path.c_str(), flags);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Waits until `fd` has input or a hang-up, and sets `events` to what poll
// saw; false when the run is stopped while nothing comes.
bool waitForInput(int fd, short& events) {
    for (;;) {
        pollfd input = {fd, POLLIN, 0};
        const int ready = poll(&input, 1, kWaitSliceMillis);
        if (ready > 0 || (ready < 0 && errno != EINTR)) {
            events = input.revents;
            return true;
        }
        if (vorn::runStopRequested()) return false;
    }
}

// Reads `fd`, a file of kind `mode`, to its end into `whole`. Anything but
// a regular file is read only when input is there, so that a stopped run
// ends the wait, and is given up beyond kMaxStreamBytes.
ReadResult readToEnd(int fd, mode_t mode, std::string& whole) {
    const bool regular = S_ISREG(mode);
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        short events = 0;
        if (!regular && !waitForInput(fd, events)) return ReadResult::Stopped;
        const ssize_t got = read(fd, chunk.data(), chunk.size());
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got < 0) return ReadResult::Failed;
        if (got == 0) {
            // A FIFO opened before its writer came reads as empty until the
            // writer comes; it has ended only once poll reports the hang-up
            // of a writer that came.
            if (S_ISFIFO(mode) && (events & POLLHUP) == 0) continue;
            return ReadResult::Read;
        }
        whole.append(chunk.data(), static_cast<size_t>(got));
        if (!regular && whole.size() > kMaxStreamBytes) return ReadResult::Failed;
    }
}

// Reads a whole file into `text`; `text` is changed only when the whole
// file was read. The kind is checked before the open, since opening a
// socket fails as a missing file does.
ReadResult readWholeFile(const std::string& path, std::string& text) {
    struct stat info;
    const bool known = stat(path.c_str(), &info) == 0;
    if (known && refusedKind(info.st_mode)) return ReadResult::Refused;
    const int fd = openForReading(path, known && S_ISFIFO(info.st_mode));
    if (fd < 0) return ReadResult::NotOpened;
    if (fstat(fd, &info) != 0 || refusedKind(info.st_mode)) {
        close(fd);
        return ReadResult::Refused;
    }
    ReadResult result;
    try {
        std::string whole;
        result = readToEnd(fd, info.st_mode, whole);
        if (result == ReadResult::Read) text.swap(whole);
    } catch (const std::bad_alloc&) {
        result = ReadResult::Failed;
    } catch (const std::length_error&) {
        result = ReadResult::Failed;
    }
    close(fd);
    return result;
}

// The lines of `text` without their line feeds; a last line without a line
// feed counts, an empty text has no lines.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

}  // namespace

Caldris::Caldris(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    description = "Read data from file";
    inputs.push_back(Corvane::Input("filename", CORVANE_HANDLER(&Caldris::readFile), vorn_string,
                                    "Path to file to be read"));
    inputs.push_back(Corvane::Input("listfile", CORVANE_HANDLER(&Caldris::readList), vorn_string,
                                    "Path to list of files"));
    outputs.push_back(Corvane::Output("data", vorn_string, "The contents of the file as string"));
    std::cout << name << " instantiated" << std::endl;
}

Caldris::~Caldris() { std::cout << "Caldris weg" << std::endl; }

void Caldris::AddReceiver(int output, Corvane* receiver, int input) {
    Corvane::AddReceiver(output, receiver, input);
    SendOutput(0, &content);
}

void Caldris::Start() {
    std::cout << name + " running.\n" << std::flush;
    running = true;
    // A copy: a receiver may give the module a new list while it runs.
    const std::vector<std::string> entries = list;
    for (const std::string& entry : entries) {
        std::string fileName = entry;
        readFile(&fileName);
    }
    running = false;
    std::cout << "Stop()\n" << std::flush;
}

void Caldris::Stop() { running = false; }

void Caldris::readFile(void* value) {
    if (value == nullptr) return;
    const std::string fileName = *static_cast<std::string*>(value);
    if (fileName.empty()) return;
    std::string text;
    switch (readWholeFile(resolve(fileName), text)) {
        case ReadResult::NotOpened: report("File not found: " + fileName); return;
        case ReadResult::Refused: report("Not a regular file: " + fileName); return;
        case ReadResult::Failed:
            report("Reading file " + fileName);
            report("Could not read file " + fileName);
            return;
        case ReadResult::Stopped:
            report("Gave up waiting for file " + fileName + ": the run stops");
            return;
        case ReadResult::Read: break;
    }
    report("Reading file " + fileName);
    content.swap(text);
    SendOutput(0, &content);
}

void Caldris::readList(void* value) {
    list.clear();
    if (value == nullptr) return;
    const std::string listName = *static_cast<std::string*>(value);
    if (listName.empty()) return;
    std::string text;
    switch (readWholeFile(resolve(listName), text)) {
        case ReadResult::NotOpened: report("List not found: " + listName); return;
        case ReadResult::Refused: report("Not a regular file: " + listName); return;
        case ReadResult::Failed:
            report("Reading list " + listName);
            report("Could not read list " + listName);
            return;
        case ReadResult::Stopped:
            report("Gave up waiting for list " + listName + ": the run stops");
            return;
        case ReadResult::Read: break;
    }
    report("Reading list " + listName);
    list = splitLines(text);
}

std::string Caldris::resolve(const std::string& fileName) {
    if (fileName[0] == '/' || manager == nullptr) return fileName;
    const std::string flowFile = manager->getFilename();
    const size_t slash = flowFile.rfind('/');
    if (slash == std::string::npos) return fileName;
    return flowFile.substr(0, slash) + "/" + fileName;
}

void Caldris::report(const std::string& text) { std::cout << name + ": " + text + "\n" << std::flush; }

CORVANE_MODULE(Caldris)
