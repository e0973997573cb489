#include "files/FillFileList.h"

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

void FillFileList(std::vector<std::string>& list, const std::string& mask) {
    const std::string folder = ExtractFilePath(mask);
    const std::string pattern = ExtractFileName(mask);

    if (!IsDirectory(folder)) {
        list.clear();
        return;
    }
    std::vector<std::string> found;
    for (const FoundEntry& entry : FindEntries(folder, pattern)) {
        if (!entry.isDirectory)
            found.push_back(folder + entry.name);
    }
    list.swap(found);
}
