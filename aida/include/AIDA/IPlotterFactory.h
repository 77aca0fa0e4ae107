#ifndef AIDA_IPLOTTERFACTORY_H
#define AIDA_IPLOTTERFACTORY_H

#include <string>

namespace AIDA {

class IAxisStyle;
class IDataStyle;
class IFillStyle;
class ILineStyle;
class IMarkerStyle;
class IPlotter;
class IPlotterStyle;
class ITextStyle;
class ITitleStyle;

// Creates plotters and plotting styles. The caller owns what it gets;
// creators return null when the AIDA system does not offer the object.
class IPlotterFactory {
public:
    virtual ~IPlotterFactory() {}

    virtual IPlotter* create(const std::string& name = "") = 0;
    virtual IMarkerStyle* createMarkerStyle() = 0;
    virtual ITextStyle* createTextStyle() = 0;
    virtual ILineStyle* createLineStyle() = 0;
    virtual IFillStyle* createFillStyle() = 0;
    virtual IDataStyle* createDataStyle() = 0;
    virtual IAxisStyle* createAxisStyle() = 0;
    virtual ITitleStyle* createTitleStyle() = 0;
    virtual IPlotterStyle* createPlotterStyle() = 0;
};

}  // namespace AIDA

#endif
