// A stand-in tool that accepts every command and does nothing; it holds a registry key until
// the real tool of that name exists.
#pragma once

#include "tavi/tool/toolkit.h"

namespace tavi::tool {

class Placeholder : public IToolKit {};

}  // namespace tavi::tool
