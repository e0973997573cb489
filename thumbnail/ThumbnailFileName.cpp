#include "ThumbnailFileName.h"

namespace {

constexpr const char* ThumbnailSuffix = "缩图";

// Index of the last byte of `path` that is one of `separators`, or npos. A byte scan is sound here:
// "/" (0x2F) and "." (0x2E) lie below every UTF-8 continuation byte (0x80 and up) and every GBK
// trail byte (0x40 and up), so neither can be part of a multi-byte character.
std::size_t LastSeparator(const std::string& path, const char* separators) {
    return path.find_last_of(separators);
}

} // namespace

std::string ThumbnailFileName(const std::string& sourcePath) {
    const std::size_t extensionStart = LastSeparator(sourcePath, "./");
    const std::string extension =
        (extensionStart != std::string::npos && sourcePath[extensionStart] == '.')
            ? sourcePath.substr(extensionStart)
            : std::string();
    const std::size_t nameStart = LastSeparator(sourcePath, "/");
    const std::string fileName =
        nameStart == std::string::npos ? sourcePath : sourcePath.substr(nameStart + 1);
    const std::string baseName = fileName.substr(0, fileName.size() - extension.size());
    return baseName + ThumbnailSuffix + extension;
}

std::string ThumbnailDestination(const std::string& folder, const std::string& fileName) {
    return folder + "/" + fileName;
}
