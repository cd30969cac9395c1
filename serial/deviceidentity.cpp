#include "serial/deviceidentity.h"

#include <sys/sysmacros.h>

namespace {

// The Unix 98 pseudo-terminal slaves.
bool isPseudoTerminal(const struct stat& st) {
    return S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

} // namespace

bool sameDevice(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode))
        return a.st_rdev == b.st_rdev && (!isPseudoTerminal(a) || a.st_dev == b.st_dev);
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
