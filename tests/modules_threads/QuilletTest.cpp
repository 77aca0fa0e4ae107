// Quillet: a TCP text server with a server thread, tested with real
// sockets on 127.0.0.1 on ports that were free.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "ThSupport.h"
#include "fm_flow_run.h"

namespace th {
namespace {

using fm::module;

// ThFeed's lines go to a Quillet on `port` with these further inputs.
std::string serverFlow(int port, std::initializer_list<std::string> inputs) {
    std::string quillet = "Quillet quillet\n\tport \"" + std::to_string(port) + "\"\n";
    for (const std::string& input : inputs) quillet += "\t" + input + "\n";
    return module("ThFeed", "feed", {}) + quillet + "\tdata feed line\n\n";
}

// What the server printed about the default port, which it serves until
// the flow's port arrives, unless another process has it.
std::string defaultPortLines(const std::string& out) {
    const std::string listened = "quillet: Server listening on port 4711\n";
    if (out.find(listened) != std::string::npos) return listened + "quillet: Server stopped\n";
    return "quillet: Could not bind socket to port 4711\n";
}

std::string listeningLine(int port) { return "quillet: Server listening on port " + std::to_string(port) + "\n"; }

class QuilletFlowTest : public FlowTest {
protected:
    void TearDown() override {
        for (int fd : clients) close(fd);
        FlowTest::TearDown();
    }

    void start(std::initializer_list<std::string> inputs) {
        port = freePort();
        torvask = startFlow(serverFlow(port, inputs));
        ASSERT_TRUE(torvask->waitForOutput(listeningLine(port), 30));
    }

    // Connects a client and waits until the server has accepted it; the
    // server's descriptor for it goes to `serverFds`.
    int connectClient() {
        int fd = connectTo(port);
        EXPECT_GE(fd, 0);
        clients.push_back(fd);
        for (int i = 0; i < 6000 && accepted().size() < clients.size(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(clients.size(), accepted().size());
        serverFds = accepted();
        return fd;
    }

    std::vector<int> accepted() { return numbersIn(torvask->outputSoFar(), "quillet: New connection ", " accepted"); }

    tk::ChildResult finish() {
        torvask->closeInput();
        tk::ChildResult result = torvask->wait(60);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(0, result.exitStatus);
        EXPECT_EQ("", result.err);
        return result;
    }

    // The whole standard output of a run whose clients stayed to the end.
    std::string transcript(const std::string& out, const std::string& middle = "") {
        std::string text = "quillet instantiated\n" + defaultPortLines(out) + listeningLine(port);
        for (int fd : serverFds) text += "quillet: New connection " + std::to_string(fd) + " accepted\n";
        return text + middle + "quillet: Server stopped\nquillet deleted.\n";
    }

    int port = -1;
    std::unique_ptr<tk::Child> torvask;
    std::vector<int> clients;
    std::vector<int> serverFds;
};

TEST_F(QuilletFlowTest, EveryClientReceivesEachTextBetweenPrefixAndSuffix) {
    const struct {
        std::initializer_list<std::string> inputs;
        const char* received;
    } cases[] = {
        {{}, "42\n"},
        {{"prefix \"T:\\t\""}, "T:\t42\n"},
        {{"prefix \"<\"", "suffix \">\""}, "<42>"},
        {{"suffix \"\\\\n\""}, "42\\\\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.received);
        start(c.inputs);
        int first = connectClient();
        int second = connectClient();
        // What clients send is read and dropped.
        ASSERT_EQ(6, send(first, "hello\n", 6, MSG_NOSIGNAL));
        torvask->send("42\n");
        std::string expected = c.received;
        EXPECT_EQ(expected, receive(first, expected.size(), 30));
        EXPECT_EQ(expected, receive(second, expected.size(), 30));
        tk::ChildResult result = finish();
        EXPECT_TRUE(closedByPeer(first, 30));
        EXPECT_TRUE(closedByPeer(second, 30));
        EXPECT_EQ(transcript(result.out), tk::linesStartingWith(result.out, {"quillet"}));
        for (int fd : clients) close(fd);
        clients.clear();
    }
}

TEST_F(QuilletFlowTest, AClientThatLeavesIsDroppedAndTheOthersStillServed) {
    start({});
    int leaving = connectClient();
    int staying = connectClient();
    torvask->send("1\n");
    EXPECT_EQ("1\n", receive(leaving, 2, 30));
    EXPECT_EQ("1\n", receive(staying, 2, 30));
    close(leaving);
    clients.erase(clients.begin());
    std::string closedLine = "quillet: Connection " + std::to_string(serverFds[0]) + " closed\n";
    ASSERT_TRUE(torvask->waitForOutput(closedLine, 30));
    torvask->send("2\n");
    EXPECT_EQ("2\n", receive(staying, 2, 30));
    tk::ChildResult result = finish();
    std::string text = "quillet instantiated\n" + defaultPortLines(result.out) + listeningLine(port) +
                       "quillet: New connection " + std::to_string(serverFds[0]) + " accepted\n" +
                       "quillet: New connection " + std::to_string(serverFds[1]) + " accepted\n" + closedLine +
                       "quillet: Server stopped\nquillet deleted.\n";
    EXPECT_EQ(text, tk::linesStartingWith(result.out, {"quillet"}));
}

// A client that takes nothing is removed once a write to it stalls; the
// flow goes on and the other client receives every text whole.
TEST_F(QuilletFlowTest, AClientThatStopsReadingIsRemoved) {
    start({});
    int stalled = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096;
    setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ASSERT_EQ(0, connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address));
    clients.push_back(stalled);
    int reading = connectClient();
    ASSERT_EQ(2u, serverFds.size());

    std::string drained;
    std::thread drain([&] { drained = receive(reading, std::string::npos, 120); });
    const std::string line(65536, 'x');
    std::string removedLine = "quillet: Client " + std::to_string(serverFds[0]) + " removed\n";
    int sent = 0;
    while (sent < 1000 && torvask->outputSoFar().find(removedLine) == std::string::npos) {
        torvask->send(line + "\n");
        ++sent;
    }
    torvask->send("end\n");
    tk::ChildResult result = finish();
    drain.join();
    EXPECT_EQ(1, fm::countText(result.out, removedLine)) << result.out;
    std::string expected;
    for (int i = 0; i < sent; ++i) expected += line + "\n";
    expected += "end\n";
    EXPECT_EQ(expected.size(), drained.size());
    EXPECT_TRUE(expected == drained);
}

TEST_F(QuilletFlowTest, AVanishedClientNeverEndsTheProcess) {
    start({});
    int vanishing = connectClient();
    int staying = connectClient();
    // Closing with a reset: the next write to it fails at once.
    linger reset = {1, 0};
    setsockopt(vanishing, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(vanishing);
    clients.erase(clients.begin());
    std::string fed;
    for (int i = 1; i <= 20; ++i) fed += std::to_string(i) + "\n";
    torvask->send(fed);
    EXPECT_EQ(fed, receive(staying, fed.size(), 30));
    tk::ChildResult result = finish();
    std::string id = std::to_string(serverFds[0]);
    int reports = static_cast<int>(result.out.find("quillet: Connection " + id + " closed\n") != std::string::npos) +
                  static_cast<int>(result.out.find("quillet: Client " + id + " removed\n") != std::string::npos);
    EXPECT_EQ(1, reports) << result.out;
}

// In-process: the server thread and the descriptors are seen from the test.
class QuilletTest : public ::testing::Test {
protected:
    void SetUp() override {
        threadsBefore = threadCount();
        descriptorsBefore = descriptorCount();
    }

    // Deletes the module, which closes `clients`; then no thread or
    // descriptor of it is left, and its last port takes no connections.
    void destroyAndCheckNothingIsLeft(int lastPort, std::initializer_list<int> clients) {
        quillet.destroy();
        for (int fd : clients) {
            EXPECT_TRUE(closedByPeer(fd, 30));
            close(fd);
        }
        EXPECT_EQ(threadsBefore, threadCountSettledAt(threadsBefore));
        EXPECT_EQ(descriptorsBefore, descriptorCount());
        EXPECT_EQ(-1, connectTo(lastPort));
    }

    // Sends "ping" until the client has it: then the server has accepted it.
    bool waitUntilServed(int fd) {
        for (int i = 0; i < 200; ++i) {
            quillet.set("data", "ping");
            if (receive(fd, 5, 0.05) == "ping\n") return true;
        }
        return false;
    }

    int threadsBefore = 0;
    int descriptorsBefore = 0;
    Instance quillet{"Quillet", "quillet"};
};

// Two ports that were free.
std::pair<int, int> twoPorts() {
    int first = freePort();
    int second = freePort();
    while (second == first) second = freePort();
    return {first, second};
}

TEST_F(QuilletTest, EveryPortChangeStopsTheServerAndStartsOneOnTheNewPort) {
    std::pair<int, int> ports = twoPorts();
    quillet.set("port", std::to_string(ports.first));
    int client = connectTo(ports.first);
    ASSERT_GE(client, 0);
    ASSERT_TRUE(waitUntilServed(client));
    EXPECT_EQ(threadsBefore + 1, threadCountSettledAt(threadsBefore + 1));
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        int now = round % 2 == 0 ? ports.second : ports.first;
        int before = round % 2 == 0 ? ports.first : ports.second;
        quillet.set("port", std::to_string(now));
        EXPECT_TRUE(closedByPeer(client, 30));
        close(client);
        EXPECT_EQ(-1, connectTo(before));
        client = connectTo(now);
        ASSERT_GE(client, 0);
        EXPECT_TRUE(waitUntilServed(client));
        EXPECT_EQ(threadsBefore + 1, threadCountSettledAt(threadsBefore + 1));
    }
    destroyAndCheckNothingIsLeft(ports.first, {client});
}

TEST_F(QuilletTest, APortThatCannotBeServedIsReported) {
    testing::internal::CaptureStdout();
    // The capture holds a descriptor of its own.
    descriptorsBefore = descriptorCount();
    std::pair<int, int> ports = twoPorts();
    int taken = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(ports.first));
    ASSERT_EQ(0, bind(taken, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ASSERT_EQ(0, listen(taken, 1));

    for (const std::string& port : {std::string("0"), std::string("70000"), std::string("-1"),
                                    std::to_string(ports.first), std::to_string(ports.second)})
        quillet.set("port", port);
    close(taken);
    int client = connectTo(ports.second);
    ASSERT_TRUE(waitUntilServed(client));
    destroyAndCheckNothingIsLeft(ports.second, {client});
    std::string out = testing::internal::GetCapturedStdout();
    std::vector<int> accepted = numbersIn(out, "quillet: New connection ", " accepted");
    ASSERT_EQ(1u, accepted.size());
    EXPECT_EQ("quillet: Could not bind socket to port 0\n"
              "quillet: Could not bind socket to port 70000\n"
              "quillet: Could not bind socket to port -1\n"
              "quillet: Could not bind socket to port " +
                  std::to_string(ports.first) + "\n" + listeningLine(ports.second) + "quillet: New connection " +
                  std::to_string(accepted[0]) + " accepted\nquillet: Server stopped\nquillet deleted.\n",
              out);
}

TEST_F(QuilletTest, ResetDropsTheClientsAndTheServerGoesOn) {
    int port = freePort();
    quillet.set("port", std::to_string(port));
    int first = connectTo(port);
    int second = connectTo(port);
    ASSERT_TRUE(waitUntilServed(first));
    ASSERT_TRUE(waitUntilServed(second));
    quillet->Reset();
    EXPECT_TRUE(closedByPeer(first, 30));
    EXPECT_TRUE(closedByPeer(second, 30));
    close(first);
    close(second);
    int third = connectTo(port);
    EXPECT_TRUE(waitUntilServed(third));
    destroyAndCheckNothingIsLeft(port, {third});
}

// A sender of texts on its output "text".
class Sender : public Corvane {
public:
    Sender() : Corvane(nullptr, "sender") { outputs.push_back(Output("text", vorn_cstring, "texts")); }
    void send(const char* text) { SendOutput(0, const_cast<char*>(text)); }
};

// Texts may come from another module's thread at the same time as from
// the flow thread; each reaches the client whole.
TEST_F(QuilletTest, TextsFromTwoThreadsArriveWhole) {
    int port = freePort();
    quillet.set("port", std::to_string(port));
    int client = connectTo(port);
    ASSERT_TRUE(waitUntilServed(client));
    Sender flow, other;
    flow.AddReceiver(0, quillet.get(), 0);
    other.AddReceiver(0, quillet.get(), 0);
    std::string received;
    std::thread reader([&] { received = receive(client, std::string::npos, 60); });
    auto sendMany = [](Sender* sender, const char* text) {
        for (int i = 0; i < 2000; ++i) sender->send(text);
    };
    std::thread otherThread(sendMany, &other, "bbb");
    sendMany(&flow, "aaa");
    otherThread.join();
    // The client's end of the stream lets the reader finish.
    quillet->Reset();
    reader.join();
    close(client);
    int as = 0, bs = 0;
    for (const std::string& line : tk::splitLines(received)) {
        if (line == "aaa")
            ++as;
        else if (line == "bbb")
            ++bs;
        else if (line != "ping")
            ADD_FAILURE() << line;
    }
    EXPECT_EQ(2000, as);
    EXPECT_EQ(2000, bs);
    destroyAndCheckNothingIsLeft(port, {});
}

}  // namespace
}  // namespace th
