#include "thumbnail/ThumbnailFileName.h"

#include "platform/FileNames.h"

std::string ThumbnailFileName(const std::string& sourcePath) {
    const std::string extension = ExtractFileExt(sourcePath);
    const std::string fileName = ExtractFileName(sourcePath);
    // The extension is always a tail of the file name.
    const std::string baseName = fileName.substr(0, fileName.size() - extension.size());
    return baseName + "缩图" + extension;
}

std::string ThumbnailDestination(const std::string& folder, const std::string& fileName) {
    return JoinPath(folder, fileName);
}
