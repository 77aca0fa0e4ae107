#include <cstdio>
#include <iostream>
#include <string>

#include "Corvane.h"
#include "EscapeCopy.h"

// Pennoch appends each incoming text to a file between a prefix and a
// suffix, flushing after every value. The file is opened at the first value
// after construction or a change of name, and reopened after a failed write.
//
// Threads: all calls on the flow thread.
class Pennoch : public Corvane {
public:
    explicit Pennoch(std::string& instanceName);
    // Closes the file.
    ~Pennoch() override;

    // Opens the file if needed and appends prefix, value and suffix.
    void writeData(void* value);
    // Store the escape copy of the value (\n and \t are understood).
    void setPrefix(void* value);
    void setSuffix(void* value);
    // Closes the open file and keeps the new name (a std::string); the
    // next value opens it.
    void setFilename(void* value);

    std::string prefix;
    std::string suffix;
    std::string filename;
    // Open in append mode, close-on-exec; null while closed.
    FILE* file;

private:
    bool append(const char* text);
    void close();
};

Pennoch::Pennoch(std::string& instanceName)
    : Corvane(nullptr, "NoName"), suffix("\n"), filename("FlowDefault.dat"), file(nullptr) {
    name = instanceName;
    description = "Write data to a file (like Display plus redirection of STDOUT, but more selective)";
    inputs.push_back(Corvane::Input("data", CORVANE_HANDLER(&Pennoch::writeData), vorn_cstring, "To be written"));
    inputs.push_back(Corvane::Input("prefix", CORVANE_HANDLER(&Pennoch::setPrefix), vorn_cstring,
                                    "e.g \"Interesting number: \""));
    inputs.push_back(Corvane::Input("suffix", CORVANE_HANDLER(&Pennoch::setSuffix), vorn_cstring, "e.g \"\\n\""));
    inputs.push_back(Corvane::Input("filename", CORVANE_HANDLER(&Pennoch::setFilename), vorn_string,
                                    "Default: FlowDefault.dat"));
    std::cout << name << " instantiated" << std::endl;
}

Pennoch::~Pennoch() {
    close();
    std::cout << "Pennoch weg" << std::endl;
}

void Pennoch::writeData(void* value) {
    if (file == nullptr) file = std::fopen(filename.c_str(), "ae");
    if (file == nullptr) {
        std::cerr << "could not open/create " << filename << std::endl;
        return;
    }
    if (!append(value != nullptr ? static_cast<const char*>(value) : "")) {
        // Closing lets the next value open the file again.
        std::cerr << name << ": could not write to " << filename << std::endl;
        close();
    }
}

bool Pennoch::append(const char* text) {
    // The pieces meet in the stream's buffer and leave in one write.
    return std::fwrite(prefix.data(), 1, prefix.size(), file) == prefix.size() && std::fputs(text, file) >= 0 &&
           std::fwrite(suffix.data(), 1, suffix.size(), file) == suffix.size() && std::fflush(file) == 0;
}

void Pennoch::close() {
    if (file == nullptr) return;
    std::fclose(file);
    file = nullptr;
}

void Pennoch::setPrefix(void* value) { prefix = vorn::escapeCopy(static_cast<const char*>(value)); }

void Pennoch::setSuffix(void* value) { suffix = vorn::escapeCopy(static_cast<const char*>(value)); }

void Pennoch::setFilename(void* value) {
    if (value == nullptr) return;
    close();
    filename = *static_cast<std::string*>(value);
}

CORVANE_MODULE(Pennoch)
