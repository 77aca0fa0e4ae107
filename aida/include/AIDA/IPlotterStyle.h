#ifndef AIDA_IPLOTTERSTYLE_H
#define AIDA_IPLOTTERSTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how a whole plot (data, axes, title) is drawn; its parameters are the AIDA system's.
class IPlotterStyle : public IBaseStyle {
public:
    virtual ~IPlotterStyle() {}
};

}  // namespace AIDA

#endif
