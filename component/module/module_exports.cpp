// The module's entry points: the names written in its registration
// resources, forwarding to the dispatch routines.

#include "component/component_dispatch.h"
#include "component/module/exports.h"

extern "C" ComponentResult MovieImporter_ComponentDispatch(ComponentParameters* params, Handle storage) {
  return qtzyn::ImporterDispatch(params, storage);
}

extern "C" ComponentResult MediaHandler_ComponentDispatch(ComponentParameters* params, Handle storage) {
  return qtzyn::MediaHandlerDispatch(params, storage);
}
