// The library's two entry points, the only symbols it exports.
#pragma once

#include "host/component_manager.h"

#define QTZYN_EXPORT __attribute__((visibility("default")))

extern "C" {
QTZYN_EXPORT ComponentResult MovieImporter_ComponentDispatch(ComponentParameters* params, Handle storage);
QTZYN_EXPORT ComponentResult MediaHandler_ComponentDispatch(ComponentParameters* params, Handle storage);
}
