// Built into every program and test of the sanitizer build, so that running them needs no
// environment of its own: the leak checker knows the graphics and font libraries' leaks that the
// program does not own, and undefined behaviour stops the run. Options given in the environment
// still take precedence.
//
// The runtime of GCC 13 and older takes a thread-local block that happens to start 16 bytes into a
// page for one with the header of glibc before 2.25 and reads the two words before it as that
// block's bounds; the leak checker's thread then crashes now and then at exit ("Tracer caught
// signal 11") after a run that passed. Not intercepting __tls_get_addr avoids that reading.

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0";
}

const char* __lsan_default_options() {
    return "suppressions=" RUVO_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

} // extern "C"
