#ifndef ZARN_CORE_RUNSTOP_H
#define ZARN_CORE_RUNSTOP_H

// The process-wide request to stop the run. The program that runs a flow
// raises it when the user or a signal ends the run; code that could wait
// without end on something outside the process (a child that never reads)
// checks it and gives up. It is never lowered. Any thread may call these.
namespace vorn {

void requestRunStop();
bool runStopRequested();

}  // namespace vorn

#endif
