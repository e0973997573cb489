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

// The file name's extension from its last "." to the end, the dot included; "" when the file name
// holds no ".". Letters keep their case.
std::string ExtractFileExt(const std::string& path);

// ASCII letters upper-cased, every other byte as it is.
inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when the two texts are equal but for the case of ASCII letters.
bool SameTextAscii(std::string_view a, std::string_view b);
