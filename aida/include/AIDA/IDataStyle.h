#ifndef AIDA_IDATASTYLE_H
#define AIDA_IDATASTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how data (histogram bins, points, functions) is drawn; its parameters are the AIDA system's.
class IDataStyle : public IBaseStyle {
public:
    virtual ~IDataStyle() {}
};

}  // namespace AIDA

#endif
