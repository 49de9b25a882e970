// Linked into the tests of the sanitizer build only. Leaks inside system libraries that the
// leak checker reports at exit and that no code of ours can free: the font configuration cache
// Qt loads once per process. Compiled in, so a direct run of a test binary and a run under
// CTest see the same list.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
