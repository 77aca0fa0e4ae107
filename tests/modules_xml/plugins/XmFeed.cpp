#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"

// XmFeed sends the contents of files as strings: each signal on "step"
// sends the next file of the list "files" (names separated by blanks),
// starting again after the last. A file that cannot be read is reported
// on standard error and sends nothing.
//
// Threads: all calls on the flow thread.
class XmFeed : public Corvane {
public:
    explicit XmFeed(std::string& instanceName);
    ~XmFeed() override;

    void setFiles(void* value);
    void step(void* value);

    std::vector<std::string> files;
    size_t next;
};

XmFeed::XmFeed(std::string& instanceName) : Corvane(nullptr, "NoName"), next(0) {
    name = instanceName;
    description = "Sends file contents (test)";
    inputs.push_back(Corvane::Input("files", CORVANE_HANDLER(&XmFeed::setFiles), vorn_string, "File names"));
    inputs.push_back(Corvane::Input("step", CORVANE_HANDLER(&XmFeed::step), vorn_any, "Send the next file"));
    outputs.push_back(Corvane::Output("text", vorn_string, "Contents of a file"));
}

XmFeed::~XmFeed() {}

void XmFeed::setFiles(void* value) {
    files.clear();
    next = 0;
    std::istringstream names(*static_cast<std::string*>(value));
    for (std::string file; names >> file;) files.push_back(file);
}

void XmFeed::step(void*) {
    if (files.empty()) return;
    const std::string& file = files[next];
    next = (next + 1) % files.size();
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        std::cerr << name << ": cannot read " << file << std::endl;
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string contents = text.str();
    SendOutput(0, &contents);
}

CORVANE_MODULE(XmFeed)
