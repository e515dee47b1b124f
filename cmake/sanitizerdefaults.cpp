// Compiled into every program of a sanitizer build (and only there), so that a plain run or
// ctest needs no sanitizer environment. Settings given in LSAN_OPTIONS still apply on top.

// fontconfig keeps its configuration and caches for the life of the process, and SDL's X11 video
// its D-Bus connection (not ours to free).
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}

// Matched suppressions are expected; listing them after every test is noise.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
