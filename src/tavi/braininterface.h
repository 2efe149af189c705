// What a unit needs of any brain: it hands messages to it and deletes it through this interface.
#pragma once

#include "tavi/eventmessage.h"

namespace tavi {

class BrainInterface {
public:
    virtual ~BrainInterface() = default;
    virtual void post(const EventMessage& message) = 0;
};

}  // namespace tavi
