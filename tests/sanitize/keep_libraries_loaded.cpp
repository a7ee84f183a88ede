// keep_libraries_loaded.cpp: in the sanitized build, a library once loaded
// stays loaded until the process exits.
// The OpenGL driver is unloaded when its display is closed; a leak from
// code no longer mapped shows as "<unknown module>", which no suppression can
// name, so LeakSanitizer could only fail the test or be switched off. This
// definition takes the place of the C library's (and of the sanitizer's hook).
extern "C" int dlclose(void*) { return 0; }
