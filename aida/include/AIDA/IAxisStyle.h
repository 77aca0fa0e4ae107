#ifndef AIDA_IAXISSTYLE_H
#define AIDA_IAXISSTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how an axis, its labels and ticks are drawn; its parameters are the AIDA system's.
class IAxisStyle : public IBaseStyle {
public:
    virtual ~IAxisStyle() {}
};

}  // namespace AIDA

#endif
