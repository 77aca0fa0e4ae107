#include "Corvane.h"

// A plug-in that exports newObject but no delObject.
Corvane* newObject(std::string& name) { return new Corvane(nullptr, name); }
