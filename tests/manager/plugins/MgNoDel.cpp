#include <string>

#include "Corvane.h"

// Test plug-in that exports newObject but no delObject: the manager must
// make no instance of it, since none could be deleted.
Corvane* newObject(std::string& name) { return new Corvane(nullptr, name); }
