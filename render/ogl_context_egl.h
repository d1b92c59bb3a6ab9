#pragma once
// Offscreen OpenGL through EGL: a pbuffer surface with an OpenGL
// compatibility context, on a GPU's EGL device when one is present, else on
// Mesa's surfaceless platform. libEGL.so.1 is opened at run time.

#include <cstdint>
#include <memory>
#include <string>

#include "render/ogl_context.h"

// A context with a width × height pbuffer, current on the calling thread on
// success. `share_root` (from VOGLCreateEGLShareRoot, or null) shares its
// display lists and textures. `request.format` is rewritten when the format
// filter picked the config. Null with `reason` set on failure.
std::unique_ptr<VOGLPlatformContext> VOGLCreateEGLContext(VOGLConfigRequest& request, int width, int height,
                                                          VOGLPlatformContext* share_root, std::string* reason);
// A context without a surface that later contexts share lists with; it is
// never made current.
std::unique_ptr<VOGLPlatformContext> VOGLCreateEGLShareRoot(VOGLConfigRequest& request, std::string* reason);
// EGL_MAX_PBUFFER_WIDTH and EGL_MAX_PBUFFER_HEIGHT of the first config that
// matches the request.
bool VOGLEGLMaxPBufferSize(VOGLConfigRequest& request, int* width, int* height, std::string* reason);
// Releases the EGL context current on this thread, if any.
void VOGLEGLReleaseThread();

// The config attribute list for a request (pairs, ending with EGL_NONE):
// pbuffer surface, OpenGL, depth, red, green, blue, alpha, stencil. Answers
// the number of ints written, 0 when `capacity` is too small.
int VOGLEGLConfigAttributes(const VOGLConfigRequest& request, std::int32_t* list, int capacity);
