// Sanitizer suppressions of the player. Each sanitizer reads one definition,
// the program's own, so these lists join those of every library the player
// and the component library load. Our own code is never suppressed.

// Leak checks skip what those libraries keep for the whole process and
// never free: fontconfig's set-up (the framework's text), the OpenGL
// drivers' dispatch tables, screens and compiled shaders (the component's
// renderer), and the window system's and sound system's connections.
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
         "leak:libdbus\n"
         // The dynamic linker's own lists of modules, made by dlopen.
         "leak:add_to_global_resize\n"
         "leak:_dl_map_object_deps\n";
}

// The leak checker leaves thread-local storage out of its roots: with the
// OpenGL driver's modules opened and closed in the process, it otherwise
// walks dynamic TLS blocks of modules that are gone and stops with a fault
// of its own instead of a report.
extern "C" const char* __lsan_default_options() { return "use_tls=0:print_suppressions=0"; }

// Thread checks skip the software OpenGL driver's own rasteriser threads,
// which synchronise in ways the uninstrumented driver does not show.
extern "C" const char* __tsan_default_suppressions() {
  return "called_from_lib:swrast_dri.so\n"
         "called_from_lib:libgallium\n"
         "called_from_lib:libOSMesa.so\n"
         "race:swrast_dri.so\n"
         "race:libgallium\n"
         "race:libOSMesa.so\n";
}
