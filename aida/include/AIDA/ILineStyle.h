#ifndef AIDA_ILINESTYLE_H
#define AIDA_ILINESTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how a line is drawn; its parameters are the AIDA system's.
class ILineStyle : public IBaseStyle {
public:
    virtual ~ILineStyle() {}
};

}  // namespace AIDA

#endif
