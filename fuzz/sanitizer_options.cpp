// AddressSanitizer's defaults for the fuzz targets (ASAN_OPTIONS still overrides them). A target
// frees everything an input allocated before the next one starts, so the default 256 MB quarantine
// only keeps handing out fresh pages, each a page fault, and the periodic return of free memory to
// the system makes the next inputs fault it back in. A 32 MB quarantine still holds everything one
// input frees, so a use after free within an input is caught as before.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=32:allocator_release_to_os_interval_ms=-1";
}
