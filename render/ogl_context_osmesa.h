#pragma once
// Offscreen OpenGL through OSMesa: the software rasteriser drawing into a
// BGRA buffer that the context owns, bottom row first. libOSMesa.so.8 is
// opened at run time.

#include <memory>
#include <string>

#include "render/ogl_context.h"

// True when libOSMesa can be opened; `reason` says why not.
bool VOGLOSMesaAvailable(std::string* reason);

// A context rendering into its own width × height buffer, current on the
// calling thread on success. Depth, stencil and accumulation bits come from
// the request; `share_root` (from VOGLCreateOSMesaShareRoot, or null)
// shares its display lists and textures. Null with `reason` set on failure.
std::unique_ptr<VOGLPlatformContext> VOGLCreateOSMesaContext(const VOGLConfigRequest& request, int width,
                                                             int height, VOGLPlatformContext* share_root,
                                                             std::string* reason);
// A context with no buffer that later contexts share lists with; it is
// never made current.
std::unique_ptr<VOGLPlatformContext> VOGLCreateOSMesaShareRoot(const VOGLConfigRequest& request,
                                                               std::string* reason);
// Releases the OSMesa context current on this thread, if any.
void VOGLOSMesaReleaseThread();
