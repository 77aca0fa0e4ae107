#ifndef AIDA_ITEXTSTYLE_H
#define AIDA_ITEXTSTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how text is drawn; its parameters are the AIDA system's.
class ITextStyle : public IBaseStyle {
public:
    virtual ~ITextStyle() {}
};

}  // namespace AIDA

#endif
