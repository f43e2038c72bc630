// Linked into the test programs that open a GL context only: Mesa and SDL
// leak at exit from libraries already unloaded, so LeakSanitizer could only
// report the driver's leaks. Set in the program rather than by CTest, so a
// program started by hand passes as it does under CTest. AddressSanitizer
// calls this before main; other builds never do, and ASAN_OPTIONS still
// overrides it.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
