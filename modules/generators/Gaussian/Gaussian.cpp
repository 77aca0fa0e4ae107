#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "Corvane.h"

// Gaussian sends a normally distributed random number on each trigger,
// drawn by the polar method from the process's unseeded rand(): two
// triggers use one pair, the second sending the held spare value.
//
// Threads: all calls on the flow thread.
class Gaussian : public Corvane {
public:
    explicit Gaussian(std::string& instanceName);
    ~Gaussian() override;

    // Sends the next number; the value is not read.
    void step(void* value);
    // Set the distribution from a double; a held spare value is discarded.
    void setMean(void* value);
    void setSigma(void* value);

    double mean;
    double sigma;
    bool needPair;
    double spare;
};

Gaussian::Gaussian(std::string& instanceName)
    : Corvane(nullptr, "NoName"), mean(10.0), sigma(1.0), needPair(true), spare(0.0) {
    name = instanceName;
    description = "A normal distributed random number generator";
    inputs.push_back(Corvane::Input("step", CORVANE_HANDLER(&Gaussian::step), vorn_any, "Input from Stepper"));
    inputs.push_back(Corvane::Input("mean", CORVANE_HANDLER(&Gaussian::setMean), vorn_double,
                                    "Position of the Gaussian"));
    inputs.push_back(Corvane::Input("sigma", CORVANE_HANDLER(&Gaussian::setSigma), vorn_double,
                                    "Width of the Gaussian"));
    outputs.push_back(Corvane::Output("data", vorn_double, "Random Gauss-distributed numbers"));
    std::cout << name << " instantiated" << std::endl;
}

Gaussian::~Gaussian() { std::cout << name << " deleted" << std::endl; }

void Gaussian::step(void*) {
    if (!needPair) {
        needPair = true;
        SendOutput(0, &spare);
        return;
    }
    needPair = false;
    double u, v, s;
    do {
        u = rand() / 2147483647.0 * 2 - 1;
        v = rand() / 2147483647.0 * 2 - 1;
        s = v * v + u * u;
    } while (s > 1.0);
    double m = std::sqrt(-2 * std::log(s) / s);
    spare = v * m * sigma + mean;
    double value = u * m * sigma + mean;
    SendOutput(0, &value);
}

void Gaussian::setMean(void* value) {
    if (value == nullptr) return;
    mean = *static_cast<double*>(value);
    needPair = true;
}

void Gaussian::setSigma(void* value) {
    if (value == nullptr) return;
    sigma = *static_cast<double*>(value);
    needPair = true;
}

CORVANE_MODULE(Gaussian)
