// Linked into every program of the sanitizer build only. Mesa loads its
// driver with dlopen and unloads it when the display closes; LeakSanitizer
// reports at exit, when it can no longer name the library a leak came from,
// so tests/sanitizer-suppressions.txt could not match it. Keeping every
// library loaded lets the leaks of Mesa and X be suppressed by name while
// ours are still reported.
extern "C" int dlclose(void *)
{
  return 0;
}
