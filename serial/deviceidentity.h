#pragma once

#include <QString>

#include <sys/stat.h>

// Whether two stat results are one device: a character device by its number,
// a pseudo-terminal also by its devpts instance (each instance, as in a chroot,
// numbers its own terminals from 0); any other file by its inode.
bool sameDevice(const struct stat& a, const struct stat& b);
