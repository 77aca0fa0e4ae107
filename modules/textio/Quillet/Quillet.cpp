#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "Corvane.h"
#include "EscapeCopy.h"
#include "TextNumbers.h"

// Quillet is a TCP text server: it listens on a port (4711 unless set),
// accepts any number of clients and writes each text on its input "data",
// between a prefix and a suffix, to every connected client. What clients
// send is read and dropped; it only shows when a client has gone.
//
// Threads: the flow thread sets the inputs, resets and destroys the module;
// texts may also come from another module's thread. The server thread
// accepts and drops clients. `lock` guards the client list, prefix, suffix
// and the wake pipe; exactly one server thread runs at a time, and it is
// stopped and joined at every port change and at destruction.
class Quillet : public Corvane {
public:
    explicit Quillet(std::string& instanceName);
    // Stops and joins the server, then closes the clients.
    ~Quillet() override;

    // Starts a server thread on the current port in place of a running one;
    // returns once it listens or has given up.
    void Init() override;
    // Closes and forgets every client; the server keeps listening.
    void Reset() override;

    // Server loop, on the server thread.
    void Listen();
    // Writes prefix, text and suffix to every client; a client whose write
    // fails, is cut short or stalls longer than the send time-out is removed.
    void sendData(void* value);
    // Store the escape copy of the value (\n and \t are understood).
    void setPrefix(void* value);
    void setSuffix(void* value);
    // Takes an int: drops the clients and serves on the new port.
    void setPort(void* value);

    std::string prefix;
    std::string suffix;
    int port;
    std::vector<int> clients;
    // Opened, used and closed by the server thread; 0 while none is open.
    int listener;

private:
    bool openListener();
    void serve();
    void acceptClient();
    void readClient(int fd);
    // False once the wake pipe's write end has been closed.
    bool drainWake();
    // Waits a moment, or less when the server is woken.
    void pauseAfterFailure();
    // Makes the server thread re-read the client list; `lock` held.
    void wakeServer();
    // Closes one client and takes it off the list; `lock` held.
    void dropClient(size_t index);
    void stopServer();

    std::mutex lock;
    std::thread server;
    // A byte in the wake pipe makes the server re-read the client list;
    // closing the write end stops it.
    int wakeRead;
    int wakeWrite;
    std::promise<void> started;
};

namespace {

// A client that takes nothing of a text for this long is removed, so a
// stalled reader cannot hold the flow.
const int kSendTimeoutSeconds = 2;
// After a failed accept the server waits this long before it tries again.
const int kAcceptRetryMillis = 100;

// One line on standard output in one write: two threads print.
void say(const std::string& line) { std::cout << line + '\n' << std::flush; }

void* run_server(void* module) {
    static_cast<Quillet*>(module)->Listen();
    return nullptr;
}

}  // namespace

Quillet::Quillet(std::string& instanceName)
    : Corvane(nullptr, "NoName"), suffix("\n"), port(4711), listener(0), wakeRead(-1), wakeWrite(-1) {
    name = instanceName;
    description = "TCP/IP server for distributing the input string to connected clients";
    inputs.push_back(Corvane::Input("data", CORVANE_HANDLER(&Quillet::sendData), vorn_cstring,
                                    "To be sent to clients"));
    inputs.push_back(Corvane::Input("prefix", CORVANE_HANDLER(&Quillet::setPrefix), vorn_cstring,
                                    "e.g. \"Interesting number: \""));
    inputs.push_back(Corvane::Input("suffix", CORVANE_HANDLER(&Quillet::setSuffix), vorn_cstring, "e.g. \"\\n\""));
    inputs.push_back(Corvane::Input("port", CORVANE_HANDLER(&Quillet::setPort), vorn_int, "TCP/IP port to listen on"));
    say(name + " instantiated");
}

Quillet::~Quillet() {
    stopServer();
    Reset();
    say(name + " deleted.");
}

void Quillet::Init() {
    stopServer();
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        say(name + ": Could not open socket");
        return;
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        wakeRead = wake[0];
        wakeWrite = wake[1];
    }
    started = std::promise<void>();
    std::future<void> listening = started.get_future();
    try {
        server = std::thread(run_server, this);
    } catch (const std::system_error&) {
        stopServer();
        say(name + ": Could not start the server thread");
        return;
    }
    listening.wait();
}

void Quillet::Reset() {
    std::lock_guard<std::mutex> guard(lock);
    while (!clients.empty()) dropClient(clients.size() - 1);
    wakeServer();
}

void Quillet::setPort(void* value) {
    if (value == nullptr) return;
    port = *static_cast<int*>(value);
    Reset();
    Init();
}

void Quillet::setPrefix(void* value) {
    std::string text = vorn::escapeCopy(static_cast<const char*>(value));
    std::lock_guard<std::mutex> guard(lock);
    prefix = text;
}

void Quillet::setSuffix(void* value) {
    std::string text = vorn::escapeCopy(static_cast<const char*>(value));
    std::lock_guard<std::mutex> guard(lock);
    suffix = text;
}

void Quillet::sendData(void* value) {
    std::lock_guard<std::mutex> guard(lock);
    if (clients.empty()) return;
    const std::string text = prefix + (value != nullptr ? static_cast<const char*>(value) : "") + suffix;
    bool removed = false;
    for (size_t k = 0; k < clients.size();) {
        int fd = clients[k];
        ssize_t sent;
        do {
            sent = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        } while (sent < 0 && errno == EINTR);
        // A short write is not continued: the client lost part of the text.
        if (sent == static_cast<ssize_t>(text.size())) {
            ++k;
            continue;
        }
        dropClient(k);
        say(name + ": Client " + vorn::toText(fd) + " removed");
        removed = true;
    }
    if (removed) wakeServer();
}

void Quillet::Listen() {
    bool listening = openListener();
    started.set_value();
    if (!listening) return;
    serve();
    close(listener);
    listener = 0;
    say(name + ": Server stopped");
}

bool Quillet::openListener() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        say(name + ": Could not open socket");
        return false;
    }
    int reuse = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(static_cast<uint16_t>(port));
    // Port 0 would listen on a port that nobody is told; with SO_REUSEADDR
    // a port taken by another listener fails only at listen.
    bool valid = port >= 1 && port <= 65535;
    if (!valid || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 5) != 0) {
        close(fd);
        say(name + ": Could not bind socket to port " + vorn::toText(port));
        return false;
    }
    listener = fd;
    say(name + ": " + "Server listening on port " + vorn::toText(port));
    return true;
}

void Quillet::serve() {
    std::vector<pollfd> waiting;
    for (;;) {
        waiting.assign({{wakeRead, POLLIN, 0}, {listener, POLLIN, 0}});
        {
            std::lock_guard<std::mutex> guard(lock);
            std::vector<int> ordered = clients;
            std::sort(ordered.begin(), ordered.end());
            for (int fd : ordered) waiting.push_back({fd, POLLIN, 0});
        }
        if (poll(waiting.data(), waiting.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waiting[0].revents != 0) {
            if (!drainWake()) return;
            continue;
        }
        if (waiting[1].revents != 0) {
            acceptClient();
            continue;
        }
        for (size_t i = 2; i < waiting.size(); ++i)
            if (waiting[i].revents != 0) readClient(waiting[i].fd);
    }
}

void Quillet::acceptClient() {
    int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
        say(name + ": Could not accept connection");
        // Without a pause a lasting failure (no descriptors left) would spin.
        pauseAfterFailure();
        return;
    }
    timeval limit = {kSendTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    std::lock_guard<std::mutex> guard(lock);
    clients.push_back(fd);
    say(name + ": New connection " + vorn::toText(fd) + " accepted");
}

void Quillet::readClient(int fd) {
    std::lock_guard<std::mutex> guard(lock);
    // The flow thread may have removed it since the wait.
    std::vector<int>::iterator found = std::find(clients.begin(), clients.end(), fd);
    if (found == clients.end()) return;
    char discarded[100];
    ssize_t count = recv(fd, discarded, sizeof discarded, MSG_DONTWAIT);
    if (count > 0 || (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))) return;
    dropClient(static_cast<size_t>(found - clients.begin()));
    say(name + ": Connection " + vorn::toText(fd) + " closed");
}

bool Quillet::drainWake() {
    char bytes[64];
    for (;;) {
        ssize_t count = read(wakeRead, bytes, sizeof bytes);
        if (count > 0) continue;
        if (count < 0 && errno == EINTR) continue;
        return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

void Quillet::pauseAfterFailure() {
    pollfd wake = {wakeRead, POLLIN, 0};
    poll(&wake, 1, kAcceptRetryMillis);
}

void Quillet::wakeServer() {
    if (wakeWrite < 0) return;
    const char byte = 0;
    // A full pipe already holds a wake-up.
    while (write(wakeWrite, &byte, 1) < 0 && errno == EINTR) {
    }
}

void Quillet::dropClient(size_t index) {
    int fd = clients[index];
    shutdown(fd, SHUT_RDWR);
    close(fd);
    clients.erase(clients.begin() + static_cast<long>(index));
}

void Quillet::stopServer() {
    {
        std::lock_guard<std::mutex> guard(lock);
        if (wakeWrite >= 0) close(wakeWrite);
        wakeWrite = -1;
    }
    if (server.joinable()) server.join();
    if (wakeRead >= 0) close(wakeRead);
    wakeRead = -1;
}

CORVANE_MODULE(Quillet)
