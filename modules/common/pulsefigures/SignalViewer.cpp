#include "SignalViewer.h"

#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterRegion.h"
#include "AidaAccess.h"

bool openSignalViewer(AIDA::IAnalysisFactory& factory, AIDA::IPlotter*& plotter, AIDA::IPlotterRegion*& region) {
    plotter = aidaaccess::createPlotter(factory, "SignalViewer");
    region = nullptr;
    if (plotter == nullptr) return false;
    region = plotter->region(0);
    if (region != nullptr) region->clear();
    plotter->show();
    if (region != nullptr) {
        region->setParameter("infosRegionVisible", "TRUE");
        region->setParameter("plotter.infosStyle.options", "fit_parameters");
    }
    return true;
}
