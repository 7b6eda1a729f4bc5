// Built into every program and test of the sanitizer build, so that running them needs no
// environment of its own: the leak checker knows the graphics and font libraries' leaks that the
// program does not own, and undefined behaviour stops the run. Options given in the environment
// still take precedence.

extern "C" {

const char* __asan_default_options() {
    return "detect_leaks=1:abort_on_error=1";
}

const char* __lsan_default_options() {
    return "suppressions=" RUVO_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

} // extern "C"
