#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "Corvane.h"
#include "TextNumbers.h"

// Stepper drives flows whose modules do not produce data by themselves: its
// Start sends an empty signal a given number of times (or without end),
// sleeping a fixed interval after each one, until done or stopped.
//
// Threads: Start runs the loop on the flow thread; Stop may be called from
// any thread while it runs.
class Stepper : public Corvane {
public:
    explicit Stepper(std::string& instanceName);
    ~Stepper() override;

    // Runs the loop; returns when the count is reached or the run stopped.
    void Start() override;
    // Ends the run after the signal in progress; prints nothing.
    void Stop() override;

    // Input handlers, given an int and a float; a negative step count is
    // taken as its unsigned form. They take effect at the next pass.
    void setSteps(void* value);
    void setInterval(void* value);

    unsigned int steps;
    float interval;

private:
    // Sleeps the interval after a signal, in slices so that a stopped run
    // ends at once.
    void pause();
};

namespace {

// About 31 years: beyond any run, and far from overflowing the clock.
constexpr double kLongestPauseMicros = 1e15;
constexpr std::chrono::milliseconds kPauseSlice(50);

}  // namespace

Stepper::Stepper(std::string& instanceName) : Corvane(nullptr, "NoName"), steps(0), interval(0) {
    name = instanceName;
    description = "Driver module for modules that don't drive themselves";
    outputs.push_back(Corvane::Output("step", vorn_any, "Empty signals to nudge other modules"));
    inputs.push_back(Corvane::Input("steps", CORVANE_HANDLER(&Stepper::setSteps), vorn_int, "How many steps"));
    inputs.push_back(Corvane::Input("interval", CORVANE_HANDLER(&Stepper::setInterval), vorn_float,
                                    "Wait between steps in s"));
    std::cout << name << " instantiated" << std::endl;
}

Stepper::~Stepper() { std::cout << "Stepper weg" << std::endl; }

void Stepper::Start() {
    // Each line leaves in one piece: in thread mode the main thread prints too.
    std::cout << "Stepper running: " + vorn::toText(steps) + ", " + vorn::toText(interval) + "\n" << std::flush;
    running = true;
    for (unsigned int i = 0; (steps == 0 || i < steps) && running; ++i) {
        SendOutput(0, nullptr);
        pause();
    }
    running = false;
    std::cout << "Stop()\n" << std::flush;
}

void Stepper::Stop() { running = false; }

void Stepper::setSteps(void* value) {
    if (value != nullptr) steps = static_cast<unsigned int>(*static_cast<int*>(value));
}

void Stepper::setInterval(void* value) {
    if (value != nullptr) interval = *static_cast<float*>(value);
}

void Stepper::pause() {
    double micros = static_cast<double>(interval) * 1000000.0;
    // Negative and NaN intervals, and those below one microsecond, do not sleep.
    if (!(micros >= 1.0)) return;
    if (micros > kLongestPauseMicros) micros = kLongestPauseMicros;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::microseconds(static_cast<long>(micros));
    while (running) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return;
        std::this_thread::sleep_until(std::min(deadline, now + kPauseSlice));
    }
}

CORVANE_MODULE(Stepper)
