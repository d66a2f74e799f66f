// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace qurimo {

// What becomes of the bytes of an existing file beyond the end of the new contents.
enum class OldTail {
    Keep, // the library's way: a file is never shortened
    Drop, // a byte-for-byte copy
};

// Replaces the contents of the regular file at path by bytes, creating it if missing. The
// folder is opened as given and the name in it, so the kernel follows links by its own rules;
// what stands there has its type checked before it is opened for writing, and the replacement
// happens in the folder that holds the file that was opened, wherever that folder has moved.
// The new contents are made whole in a new file there that nobody else can open (nameless, or
// 0600 under a short random name), given the old file's owner and group where the user may
// give them, its access list, extended attributes and mode (a new file gets what
// open(O_CREAT, 0666) would: the folder's default access list, or 0666 less the umask),
// synced and renamed over the old one. So a failure leaves the old file byte for byte as it
// was, or absent, and no other file behind; a killed write leaves at most one temporary file,
// which the next write of that file removes. An existing file the user may not write, a
// deleted one, one in a folder that may only grow, a file moved or swapped during the write,
// and anything but a regular file are run-time error 75 and left alone.
// sharedAtMost limits what the new file lets its group and others do (permission bits 077).
void replaceFile(const std::string& path, std::string_view bytes, OldTail tail,
                 mode_t sharedAtMost = 077);

} // namespace qurimo
