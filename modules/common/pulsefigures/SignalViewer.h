#ifndef ZARN_MODULES_COMMON_PULSEFIGURES_SIGNALVIEWER_H
#define ZARN_MODULES_COMMON_PULSEFIGURES_SIGNALVIEWER_H

namespace AIDA {
class IAnalysisFactory;
class IPlotter;
class IPlotterRegion;
}  // namespace AIDA

// The plotter of the pulse plots: "SignalViewer", shown, its first region
// cleared and set to show fit parameters in an info box. Returns false
// without a plotter; `region` is null when the plotter has no region.
// Neither is ever deleted.
//
// Threads: the flow's creating thread (module Init).
bool openSignalViewer(AIDA::IAnalysisFactory& factory, AIDA::IPlotter*& plotter, AIDA::IPlotterRegion*& region);

#endif
