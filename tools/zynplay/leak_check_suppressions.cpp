// Leak checks (in sanitizer builds) of the player skip what the libraries
// it and the component library load keep for the whole process and never
// free: fontconfig's set-up (the framework's text), the OpenGL drivers'
// dispatch tables, screens and compiled shaders (the component's renderer),
// and the window system's and sound system's connections. The leak checker
// reads one definition, the program's own, so this list joins them all.
// Our own allocations are never suppressed.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libOSMesa.so\n"
         "leak:libEGL_mesa.so\n"
         "leak:libEGL.so\n"
         "leak:libGLdispatch.so\n"
         "leak:libglapi.so\n"
         "leak:libgallium\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n"
         "leak:libdrm\n"
         "leak:libX11.so\n"
         "leak:libSDL2\n"
         "leak:libasound.so\n"
         "leak:libdbus\n";
}
