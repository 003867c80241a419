# Sourced by sanitize.sh and fuzz.sh: every sanitizer report ends the program with a
# failure, with a symbolised stack. Leaks are looked for too; the suite, Qt's offscreen
# windows included, leaks nothing, so no suppression list is needed.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
