// SPDX-License-Identifier: GPL-3.0-or-later
// A second program asking who holds a serial device, as another Brovik run
// would: holder_lookup DEVICE prints the holder it names (an empty line for
// none). With --own-terminals it first opens terminals of its own until DEVICE
// exists: run it where /dev/pts is a devpts instance of its own, as in a chroot.
#include "serial/deviceholder.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    const bool own = argc == 3 && std::strcmp(argv[1], "--own-terminals") == 0;
    if (argc != 2 && !own) {
        std::fputs("usage: holder_lookup [--own-terminals] DEVICE\n", stderr);
        return 2;
    }
    const char* device = argv[argc - 1];
    for (int i = 0; own && i < 4096 && ::access(device, F_OK) != 0; ++i) {
        const int master = ::open("/dev/pts/ptmx", O_RDWR | O_NOCTTY);
        if (master < 0 || ::unlockpt(master) != 0) {
            std::perror("holder_lookup: /dev/pts/ptmx");
            return 1;
        }
    }
    const QString holder = deviceHolder(-1, QFile::decodeName(device));
    std::printf("%s\n", holder.toLocal8Bit().constData());
    return 0;
}
