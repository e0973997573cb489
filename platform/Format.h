// printf-style formatting into a std::string, for the program's fixed message templates.
#pragma once

#include <cstdio>
#include <string>

template <typename... Args> std::string Format(const char* pattern, Args... args) {
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}
