// Whole-file reading and writing for the picture kinds. Paths are byte strings passed to the system
// unchanged.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The largest file a picture reads; a compressed picture beyond it could not decode within the
// pixel limit anyway.
inline constexpr std::uint64_t MaxPictureFileBytes = std::uint64_t{1} << 30;

// Opens the file read-only and reads it whole. Throws EFOpenError with the system's reason when it
// cannot be opened or is no regular file, EOutOfMemory when it is larger than
// MaxPictureFileBytes, and EReadError when fewer bytes can be read than it holds.
std::vector<std::uint8_t> ReadFileContents(const std::string& path);

// Makes the file at `path` hold exactly `bytes`. The bytes go to a new file in the same folder,
// which replaces the destination only once it is completely written, so on any failure the
// destination is as it was and nothing is left behind. A replaced file keeps its mode (and, where
// the system allows, its owner); a new one gets 0666 less the umask. A symbolic link is followed
// to the file it names.
// Throws EFCreateError with the system's reason when the destination may not be written (a file
// without any write permission bit counts as read-only for every user), when its folder is
// missing or refuses new files, or when the destination is a folder; EWriteError when the disk
// cannot take the bytes.
void WriteFileContents(const std::string& path, std::span<const std::uint8_t> bytes);
