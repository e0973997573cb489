#include "platform/FileNames.h"

#include <algorithm>

std::string ExtractFilePath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? folder + name : JoinPath(folder, name);
}

std::string ExtractFileExt(const std::string& path) {
    const std::size_t at = path.find_last_of("./");
    return (at != std::string::npos && path[at] == '.') ? path.substr(at) : std::string();
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}
