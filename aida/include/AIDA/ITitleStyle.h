#ifndef AIDA_ITITLESTYLE_H
#define AIDA_ITITLESTYLE_H

#include "AIDA/IBaseStyle.h"

namespace AIDA {

// A style that says how a title is drawn; its parameters are the AIDA system's.
class ITitleStyle : public IBaseStyle {
public:
    virtual ~ITitleStyle() {}
};

}  // namespace AIDA

#endif
