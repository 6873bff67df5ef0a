# Sourced before building or testing with -DLADOSLOV_SANITIZE=ON.
# libfaketime is preloaded by some end-to-end tests, so the ASan runtime cannot insist on coming first.
_san_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS="detect_leaks=1:verify_asan_link_order=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$_san_dir/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
unset _san_dir
