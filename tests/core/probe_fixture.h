#ifndef ZARN_TESTS_CORE_PROBE_FIXTURE_H
#define ZARN_TESTS_CORE_PROBE_FIXTURE_H

#include <string>
#include <vector>

#include "CoreProbe.h"
#include "pluginHandle.h"

// The CoreProbe plug-in, loaded once per test process through a real handle.
pluginHandle& probePlugin();

// A new probe instance from the plug-in, logging into `log`.
CoreProbe* makeProbe(const std::string& name, std::vector<std::string>* log);
void deleteProbe(Corvane* probe);

int inputIndex(Corvane* module, const std::string& name);

#endif
