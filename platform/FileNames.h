// The parts of a path. "/" is the only separator, and "." starts an extension. A byte scan is sound
// for both: "/" (0x2F) and "." (0x2E) lie below every UTF-8 continuation byte (0x80 and up) and
// every GBK trail byte (0x40 and up), so neither can be part of a multi-byte character.
#pragma once

#include <string>
#include <string_view>

// The text up to and including the last "/" (the folder part), or "" when there is none.
std::string ExtractFilePath(const std::string& path);

// The text after the last "/", or the whole path when there is none.
std::string ExtractFileName(const std::string& path);

// Joining a folder and a name. The root "/" is the one folder whose path ends in "/", and the two
// joins differ only there:
// - JoinPath keeps the folder as it stands, so the root gives "//name". The program's own paths are
//   made this way (the file list's entries, the mask of the listing, a thumbnail's destination);
//   the doubled "/" stays visible in them, and every file operation reads it as one "/", so the
//   path still names the file in the root folder.
// - ChildPath gives the path in normal form, "/name" for the root, for the folder tree, whose paths
//   have no doubled "/" and no closing "/" except "/" itself.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string ChildPath(const std::string& folder, const std::string& name);

// The file name's extension from its last "." to the end, the dot included; "" when the file name
// holds no ".". Letters keep their case.
std::string ExtractFileExt(const std::string& path);

// ASCII letters upper-cased, every other byte as it is.
inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when the two texts are equal but for the case of ASCII letters.
bool SameTextAscii(std::string_view a, std::string_view b);
