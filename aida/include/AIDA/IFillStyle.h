#ifndef AIDA_IFILLSTYLE_H
#define AIDA_IFILLSTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how an area is filled; its parameters are the AIDA system's.
class IFillStyle : public IBaseStyle {
public:
    virtual ~IFillStyle() {}
};

}  // namespace AIDA

#endif
