#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "probe_fixture.h"

namespace {

using Log = std::vector<std::string>;

class Delivery : public ::testing::Test {
protected:
    CoreProbe* probe(const std::string& name) {
        CoreProbe* made = makeProbe(name, &log);
        made->outputs[0].type = vorn_any;
        alive.push_back(made);
        return made;
    }
    void destroy(CoreProbe* gone) {
        alive.erase(std::find(alive.begin(), alive.end(), gone));
        deleteProbe(gone);
    }
    void TearDown() override {
        while (!alive.empty()) destroy(alive.back());
    }
    void send(CoreProbe* sender, double value) {
        sender->outputs[0].type = vorn_double;
        sender->RefreshReceivers(0);
        sender->SendOutput(0u, &value);
    }

    Log log;
    std::vector<CoreProbe*> alive;
};

TEST_F(Delivery, SameConnectionTwiceIsRecordedOnce) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    a->AddReceiver(0, b, inputIndex(b, "double"));
    a->AddReceiver("out", b, "double");
    EXPECT_EQ(a->outputs[0].receivers.size(), 1u);
    send(a, 2);
    EXPECT_EQ(log, Log{"b.double=2"});
}

TEST_F(Delivery, OneReceiverThroughTwoInputsIsCalledOncePerInputInConnectionOrder) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    a->AddReceiver("out", b, "int");
    a->AddReceiver("out", b, "cstring");
    send(a, 2.5);
    EXPECT_EQ(log, (Log{"b.int=2", "b.cstring='2.5'"}));
}

TEST_F(Delivery, ReceiverThatSendsDeliversDepthFirst) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* c = probe("c");
    CoreProbe* d = probe("d");
    a->AddReceiver("out", b, "relay");
    a->AddReceiver("out", c, "any");
    b->AddReceiver("out", d, "any");
    a->SendOutput(0u, nullptr);
    EXPECT_EQ(log, (Log{"b.relay", "d.any=null", "c.any=null"}));
}

TEST_F(Delivery, OutOfRangeIndicesDoNothing) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    int inputs = static_cast<int>(b->inputs.size());
    a->AddReceiver(1, b, 0);
    a->AddReceiver(-1, b, 0);
    a->AddReceiver(0, b, inputs);
    a->AddReceiver(0, b, -1);
    a->AddReceiver("nothing", b, "int");
    a->AddReceiver("out", b, "nothing");
    a->AddReceiver(0, nullptr, 0);
    b->SetSender(inputs, a, 0);
    b->SetSender("nothing", a, "out");
    b->SetInput(inputs, nullptr);
    b->SetInput("nothing", nullptr);
    a->RemoveReceiver(0, b, inputs);
    EXPECT_TRUE(a->outputs[0].receivers.empty());
    EXPECT_TRUE(a->connectedOutputs.empty());
    EXPECT_TRUE(b->connectedInputs.empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(Delivery, UnknownOutputIndexIsReported) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    a->AddReceiver("out", b, "any");
    testing::internal::CaptureStderr();
    a->SendOutput(1u, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Function 1 not defined\n");
    EXPECT_TRUE(log.empty());
}

TEST_F(Delivery, CurrentInputNamesTheFedInputAlsoThroughAConverter) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    a->AddReceiver("out", b, "float");
    send(a, 1);
    EXPECT_EQ(b->currentInput, inputIndex(b, "float"));
    a->AddReceiver("out", b, "double");
    send(a, 1);
    EXPECT_EQ(b->currentInput, inputIndex(b, "double"));
}

TEST_F(Delivery, SetSenderReplacesThePreviousSender) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* c = probe("c");
    c->SetSender("double", a, "out");
    c->SetSender("double", b, "out");
    EXPECT_TRUE(a->outputs[0].receivers.empty());
    EXPECT_EQ(b->outputs[0].receivers, std::vector<Corvane*>{c});
    EXPECT_EQ(c->GetInputString(inputIndex(c, "double")), "b out");
    c->SetSender(inputIndex(c, "double"), a, 7);
    EXPECT_EQ(c->inputs[inputIndex(c, "double")].sender, b);
    EXPECT_EQ(b->outputs[0].receivers.size(), 1u);
}

TEST_F(Delivery, InputStringIsSenderAndOutputOrTheLiteral) {
    CoreProbe* gauss = probe("gauss");
    CoreProbe* b = probe("b");
    gauss->outputs[0].name = "data";
    b->SetSender("double", gauss, "data");
    char literal[] = "5";
    b->SetInput("int", literal);
    b->inputs[inputIndex(b, "int")].value = "5";
    EXPECT_EQ(b->GetInputString(inputIndex(b, "double")), "gauss data");
    EXPECT_EQ(b->GetInputString(inputIndex(b, "int")), "5");
}

TEST_F(Delivery, PairWithoutConverterIsRecordedButNeverDelivered) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    a->outputs[0].type = vorn_int;
    a->AddReceiver("out", b, "uint64");
    ASSERT_EQ(a->outputs[0].receivers.size(), 1u);
    EXPECT_EQ(a->outputs[0].targets[0], nullptr);
    EXPECT_EQ(b->inputs[inputIndex(b, "uint64")].sender, a);
    int value = 1;
    a->SendOutput(0u, &value);
    EXPECT_TRUE(log.empty());
}

// Many connections, one of them undeliverable and one receiver fed twice:
// each call goes to the receiver, input and handler of its own connection.
TEST_F(Delivery, EveryConnectionIsDeliveredToItsOwnReceiverAndInput) {
    CoreProbe* a = probe("a");
    a->outputs[0].type = vorn_int;
    const struct {
        const char* receiver;
        const char* input;
    } connections[] = {{"b", "int"},     {"c", "uint64"}, {"d", "double"},
                       {"e", "cstring"}, {"b", "float"},  {"f", "short"}};
    std::map<std::string, CoreProbe*> receivers;
    for (const auto& connection : connections) {
        CoreProbe*& receiver = receivers[connection.receiver];
        if (receiver == nullptr) receiver = probe(connection.receiver);
        a->AddReceiver("out", receiver, connection.input);
    }
    ASSERT_EQ(a->outputs[0].receivers.size(), 6u);
    int value = 3;
    a->SendOutput(0u, &value);
    EXPECT_EQ(log, (Log{"b.int=3", "d.double=3", "e.cstring='3'", "b.float=3", "f.short=3"}));
}

TEST_F(Delivery, DestroyingAReceiverRemovesItFromEverySender) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* untyped = probe("u");
    CoreProbe* r = probe("r");
    untyped->outputs[0].type = vorn_none;
    a->AddReceiver("out", r, "double");
    b->AddReceiver("out", r, "double");
    untyped->AddReceiver("out", r, "any");
    destroy(r);
    for (CoreProbe* sender : {a, b, untyped}) {
        EXPECT_TRUE(sender->outputs[0].receivers.empty());
        EXPECT_TRUE(sender->outputs[0].targets.empty());
        EXPECT_TRUE(sender->connectedOutputs.empty());
    }
    send(a, 1);
    send(b, 1);
    EXPECT_TRUE(log.empty());
}

TEST_F(Delivery, DestroyingASenderLeavesItsReceiversWithoutSender) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* r = probe("r");
    a->AddReceiver("out", r, "double");
    b->AddReceiver("out", r, "int");
    destroy(a);
    EXPECT_EQ(r->inputs[inputIndex(r, "double")].sender, nullptr);
    EXPECT_EQ(r->inputs[inputIndex(r, "int")].sender, b);
    EXPECT_EQ(r->connectedInputs.size(), 1u);
    send(b, 4);
    EXPECT_EQ(log, Log{"r.int=4"});
}

TEST_F(Delivery, RemovingOneOfTwoSendersKeepsTheOtherAsSender) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* r = probe("r");
    a->AddReceiver("out", r, "double");
    b->AddReceiver("out", r, "double");
    a->RemoveReceiver("out", r, "double");
    EXPECT_EQ(r->inputs[inputIndex(r, "double")].sender, b);
    EXPECT_EQ(r->connectedInputs.size(), 1u);
    destroy(b);
    EXPECT_EQ(r->inputs[inputIndex(r, "double")].sender, nullptr);
    EXPECT_TRUE(r->connectedInputs.empty());
}

TEST_F(Delivery, RemovingTheLatestSenderNamesTheOneBefore) {
    CoreProbe* a = probe("a");
    CoreProbe* b = probe("b");
    CoreProbe* r = probe("r");
    a->AddReceiver("out", r, "double");
    b->AddReceiver("out", r, "double");
    b->RemoveReceiver("out", r, "double");
    EXPECT_EQ(r->inputs[inputIndex(r, "double")].sender, a);
    b->AddReceiver("out", r, "double");
    destroy(b);
    EXPECT_EQ(r->inputs[inputIndex(r, "double")].sender, a);
    EXPECT_EQ(r->connectedInputs.size(), 1u);
}

// Receivers whose Corvane part is not their first base, and handlers that a
// derived module overrides: each call reaches the whole receiver and the
// override.
class Tagged {
public:
    virtual ~Tagged() {}
    double tag = 7;
};

class SecondBaseModule : public Tagged, public Corvane {
public:
    SecondBaseModule() : Corvane(nullptr, "second") {
        inputs.push_back(Input("x", CORVANE_HANDLER(&SecondBaseModule::take), vorn_double, ""));
    }
    void take(void* value) { got = *static_cast<double*>(value) + tag; }
    double got = 0;
};

class VirtualHandlerModule : public Corvane {
public:
    VirtualHandlerModule() : Corvane(nullptr, "virtual") {
        inputs.push_back(Input("x", CORVANE_HANDLER(&VirtualHandlerModule::take), vorn_double, ""));
    }
    virtual void take(void*) { got = -1; }
    double got = 0;
};

class OverridingModule : public VirtualHandlerModule {
public:
    void take(void* value) override { got = *static_cast<double*>(value); }
};

TEST_F(Delivery, HandlersOfLaterBasesAndOverriddenHandlersAreCalledOnTheReceiver) {
    CoreProbe* sender = probe("s");
    SecondBaseModule second;
    OverridingModule overriding;
    sender->AddReceiver(0, &second, 0);
    sender->AddReceiver(0, &overriding, 0);
    send(sender, 2.5);
    EXPECT_EQ(second.got, 9.5);
    EXPECT_EQ(overriding.got, 2.5);
}

// A receiver whose handler counts its calls and runs the test's action.
class Rewiring : public Corvane {
public:
    Rewiring() : Corvane(nullptr, "rewiring") {
        inputs.push_back(Input("x", CORVANE_HANDLER(&Rewiring::take), vorn_double, ""));
    }
    void take(void*) {
        ++calls;
        if (action) action();
    }
    std::function<void()> action;
    int calls = 0;
};

// A handler that drops a later connection and adds enough new ones to move
// the sender's lists: the dropped receiver gets nothing, the new ones get the
// value that is being delivered.
TEST_F(Delivery, AHandlerMayChangeTheConnectionsOfTheValueItReceives) {
    CoreProbe* sender = probe("s");
    Rewiring first, dropped;
    std::vector<std::unique_ptr<Rewiring> > added(8);
    for (auto& receiver : added) receiver.reset(new Rewiring);
    sender->AddReceiver(0, &first, 0);
    sender->AddReceiver(0, &dropped, 0);
    first.action = [&] {
        if (first.calls > 1) return;
        sender->RemoveReceiver(0, &dropped, 0);
        for (auto& receiver : added) sender->AddReceiver(0, receiver.get(), 0);
    };
    send(sender, 1);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(dropped.calls, 0);
    for (auto& receiver : added) EXPECT_EQ(receiver->calls, 1);
}

// A module whose output feeds its own input: while `looping`, each value it
// receives goes out again, nesting until the stack check drops it.
class SelfFeeding : public Corvane {
public:
    SelfFeeding() : Corvane(nullptr, "self") {
        inputs.push_back(Input("x", CORVANE_HANDLER(&SelfFeeding::take), vorn_double, ""));
        outputs.push_back(Output("y", vorn_double, ""));
        AddReceiver(0, this, 0);
    }
    void take(void* value) {
        if (looping) SendOutput(0u, value);
    }
    bool looping = true;
};

// Each case sends one value per step, looping or not, from a thread of its
// own: a run of drops gets one line, and a run ends with an outermost
// delivery that dropped nothing.
TEST(Nesting, ARunOfDropsGetsOneLineAndEndsWithADeliveryThatDropsNothing) {
    struct Case {
        std::vector<bool> looping;
        int lines;
    };
    const Case cases[] = {
        {{true, true, true}, 1},
        {{true, false, true}, 2},
        {{true, false, false, true, true}, 2},
        {{false, true, false, true, false, true}, 3},
    };
    const std::string line = "self: values nested too deep (a loop in the flow?), value dropped\n";
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        std::thread([&c] {
            SelfFeeding module;
            double value = 1;
            for (bool looping : c.looping) {
                module.looping = looping;
                module.SendOutput(0u, &value);
            }
        }).join();
        std::string err = testing::internal::GetCapturedStderr();
        int lines = 0;
        for (size_t at = err.find(line); at != std::string::npos; at = err.find(line, at + 1)) ++lines;
        EXPECT_EQ(lines, c.lines) << ::testing::PrintToString(c.looping) << "\n" << err;
    }
}

TEST_F(Delivery, BaseStartAndStop) {
    CoreProbe* a = probe("lonely");
    testing::internal::CaptureStdout();
    a->Start();
    EXPECT_TRUE(a->running);
    a->Stop();
    EXPECT_FALSE(a->running);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "lonely has no function 'Run()'!\n"
              "Select different plugin as \"driver\" (first plugin in mivet file).\n"
              "Stop()\n");
}

class DynamicInputs : public Delivery {
protected:
    // Replaces the probe's inputs from "cstring" on, keeping the last `keep`.
    void replace(CoreProbe* module, std::vector<std::string> names, int keep) {
        Corvane::Input prototype("dummy", module->inputs[0].callback, vorn_cstring, "");
        module->replaceInputs(prototype, names, first, keep);
    }
    int first = 5;
};

TEST_F(DynamicInputs, RememberedValuesReturnWithTheirNames) {
    CoreProbe* m = probe("m");
    replace(m, {"a", "c"}, 0);
    ASSERT_EQ(m->inputs.size(), 7u);
    m->inputs[5].value = "5";
    log.clear();
    replace(m, {"a", "b"}, 0);
    EXPECT_EQ(log, (Log{"m.a='5'", "m.b=''"}));
    EXPECT_EQ(m->inputs[5].value, "5");
    log.clear();
    m->inputs[6].value = "x";
    replace(m, {"c"}, 0);
    replace(m, {"c", "b"}, 0);
    EXPECT_EQ(log.back(), "m.b='x'");
    EXPECT_FALSE(m->replacingInputs);
}

TEST_F(DynamicInputs, ErasedInputsLoseTheirSendersAndKeptInputsStayConnected) {
    CoreProbe* m = probe("m");
    CoreProbe* toErased = probe("e");
    CoreProbe* toKept = probe("k");
    toErased->AddReceiver("out", m, "vdouble");
    toKept->AddReceiver("out", m, "relay");
    int keep = static_cast<int>(m->inputs.size()) - inputIndex(m, "tavrel");
    replace(m, {"x", "y", "z"}, keep);
    EXPECT_TRUE(toErased->outputs[0].receivers.empty());
    ASSERT_EQ(toKept->outputs[0].receivers.size(), 1u);
    EXPECT_EQ(toKept->outputs[0].receiverInputs[0], static_cast<unsigned>(inputIndex(m, "relay")));
    EXPECT_EQ(m->connectedInputs.size(), 1u);
    EXPECT_EQ(*m->connectedInputs.begin(), &m->inputs[inputIndex(m, "relay")]);
    log.clear();
    toKept->SendOutput(0u, nullptr);
    EXPECT_EQ(log, Log{"m.relay"});
    destroy(m);
    EXPECT_TRUE(toKept->outputs[0].receivers.empty());
}

// Kept inputs that move up by one land on each other's old index: every
// connection must still lead to its own input, in connection order.
TEST_F(DynamicInputs, KeptInputsMovingOntoEachOthersIndexKeepTheirConnections) {
    CoreProbe* m = probe("m");
    CoreProbe* sender = probe("s");
    sender->AddReceiver("out", m, "cstring");
    sender->AddReceiver("out", m, "any");
    first = 0;
    replace(m, {"a", "b", "c"}, static_cast<int>(m->inputs.size()) - 2);
    EXPECT_EQ(sender->outputs[0].receiverInputs,
              (std::vector<unsigned>{static_cast<unsigned>(inputIndex(m, "cstring")),
                                     static_cast<unsigned>(inputIndex(m, "any"))}));
    log.clear();
    sender->SendOutput(0u, nullptr);
    EXPECT_EQ(log, (Log{"m.cstring=''", "m.any=null"}));
    destroy(m);
    EXPECT_TRUE(sender->outputs[0].receivers.empty());
}

// Logs, for each input whose handler runs, its name, how many inputs the
// module has at that moment and which input the sender's connection leads to.
class InputWatcher : public Corvane {
public:
    explicit InputWatcher(Corvane& sender) : Corvane(nullptr, "watcher"), sender(sender) {
        inputs.push_back(Input("head", CORVANE_HANDLER(&InputWatcher::take), vorn_cstring, ""));
        inputs.push_back(Input("tail", CORVANE_HANDLER(&InputWatcher::take), vorn_any, ""));
    }
    void take(void*) {
        const Output& out = sender.outputs[0];
        std::string fed = out.receiverInputs.empty() ? "-" : inputs[out.receiverInputs[0]].name;
        seen.push_back(inputs[currentInput].name + ":" + std::to_string(inputs.size()) + ":" + fed);
    }
    Corvane& sender;
    Log seen;
};

TEST_F(DynamicInputs, EachNewInputIsSetBeforeTheNextIsInserted) {
    CoreProbe* sender = probe("s");
    InputWatcher watcher(*sender);
    sender->AddReceiver("out", &watcher, "tail");
    Corvane::Input prototype("dummy", CORVANE_HANDLER(&InputWatcher::take), vorn_cstring, "");
    std::vector<std::string> names = {"a", "c"};
    watcher.replaceInputs(prototype, names, 1, 1);
    EXPECT_EQ(watcher.seen, (Log{"a:3:tail", "c:4:tail"}));
    ASSERT_EQ(watcher.inputs.size(), 4u);
    ASSERT_EQ(watcher.connectedInputs.size(), 1u);
    EXPECT_EQ(*watcher.connectedInputs.begin(), &watcher.inputs[3]);
    sender->SendOutput(0u, nullptr);
    EXPECT_EQ(watcher.seen.back(), "tail:4:tail");
}

}  // namespace
