// The two components' dispatch routines. The module exports them under
// their registered entry-point names (module/module_exports.cpp); a program
// linking the component's static library registers them from code.
#pragma once

#include "host/component_manager.h"

namespace qtzyn {

ComponentResult ImporterDispatch(ComponentParameters* params, Handle storage);
ComponentResult MediaHandlerDispatch(ComponentParameters* params, Handle storage);

}  // namespace qtzyn
