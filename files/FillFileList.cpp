#include "FillFileList.h"

#include "FileSystem.h"

void FillFileList(std::vector<std::string>& list, const std::string& mask) {
    // A plain byte scan finds the real last separator: "/" is never the trail byte of a multi-byte
    // character in UTF-8 or in GBK, so it cannot sit inside a folder's name.
    const std::size_t lastSeparator = mask.rfind('/');
    const std::string folder =
        lastSeparator == std::string::npos ? std::string() : mask.substr(0, lastSeparator + 1);
    const std::string pattern = mask.substr(folder.size());

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
