// A shared library that is not a language library: it exports no
// GloskGetString, so the locale object must refuse it.
extern "C" __attribute__((visibility("default"))) int NotAStringTable() {
    return 42;
}
