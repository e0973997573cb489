#include "platform/FileSystem.h"

#include "platform/FileNames.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MatchesPattern(const char* name, const char* pattern) {
    // Iterative wildcard match with one backtracking point: linear for the "*.jpg" masks used here.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern && AsciiUpper(*pattern) == AsciiUpper(*name)) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

bool NtfsOrder(const FoundEntry& a, const FoundEntry& b) {
    const auto upperLess = [](char x, char y) {
        return static_cast<unsigned char>(AsciiUpper(x)) <
               static_cast<unsigned char>(AsciiUpper(y));
    };
    if (std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                     upperLess))
        return true;
    if (std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                     upperLess))
        return false;
    return a.name < b.name;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<FoundEntry> FindEntries(const std::string& folder, const std::string& pattern) {
    std::vector<FoundEntry> entries;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return entries;
    // readdir returns null both at the end and on an error; either way the search is over.
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !MatchesPattern(name.c_str(), pattern.c_str()))
            continue;
        entries.push_back({name, IsDirectory(JoinPath(folder, name))});
    }
    std::sort(entries.begin(), entries.end(), NtfsOrder);
    return entries;
}

bool HasVisibleSubfolder(const std::string& folder) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        if (entry->d_type == DT_DIR)
            return true;
        if ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
            IsDirectory(JoinPath(folder, entry->d_name)))
            return true;
    }
    return false;
}

bool PathExists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

bool DeleteFile(const std::string& path) {
    struct stat status {};
    // Read-only for everyone, root included, as the read-only attribute was. A symbolic link is
    // removed itself, whatever its target's bits.
    if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return unlink(path.c_str()) == 0;
}
