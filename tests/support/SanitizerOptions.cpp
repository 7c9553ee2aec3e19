// The sanitized suite's settings, built into its test program so that a run
// by hand reports as a run under CTest does. The plain build gets nothing.
#if defined(__SANITIZE_ADDRESS__)

extern "C" {

// Any report ends the test program with a failure. Leak checking stays on:
// each test runs in a process of its own and winsim's world stays reachable
// from its globals, so a block found lost at exit is the program's (or a
// test's). A use of a local after its function has returned is caught too:
// the program hands buffers around.
__attribute__((used, visibility("default"))) const char* __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:"
           "check_initialization_order=1";
}

__attribute__((used, visibility("default"))) const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

}  // extern "C"

#endif
