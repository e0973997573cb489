// Whole-file reading and writing for the picture kinds. Paths are byte strings passed to the system
// unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Opens the file read-only and reads it whole. Throws EFOpenError with the system's reason when it
// cannot be opened or is no regular file, EOutOfMemory when it is larger than
// MaxPictureFileBytes (PictureLimits.h), before reading it, or when its bytes cannot be held, and
// EReadError when fewer bytes can be read than it holds.
std::vector<std::uint8_t> ReadFileContents(const std::string& path);

// Makes the file at `path` hold exactly `bytes`. The bytes go to a new file in the same folder,
// which replaces the destination only once it is completely written, so on any failure the
// destination is as it was and nothing is left behind; where the file system allows it that file
// has no name until it is complete, so a save killed midway leaves nothing either. A replaced file
// keeps its mode (and, where the system allows, its owner); a new one gets 0666 less the umask. A
// symbolic link at `path` is itself replaced by the new file: what it names is never written.
// Throws EFCreateError with the system's reason when the destination may not be written (a file
// without any write permission bit counts as read-only for every user), when its folder is
// missing or refuses new files, or when the destination is a folder; EWriteError when the disk
// cannot take the bytes.
void WriteFileContents(const std::string& path, std::span<const std::uint8_t> bytes);
