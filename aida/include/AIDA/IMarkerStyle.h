#ifndef AIDA_IMARKERSTYLE_H
#define AIDA_IMARKERSTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how a data point is marked; its parameters are the AIDA system's.
class IMarkerStyle : public IBaseStyle {
public:
    virtual ~IMarkerStyle() {}
};

}  // namespace AIDA

#endif
