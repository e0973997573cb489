// The file-system queries the program needs, over POSIX. Paths are byte strings and are passed to
// the system unchanged, so a doubled "/" reads as one (see JoinPath).
#pragma once

#include <string>
#include <vector>

// True when the path exists and names a directory, following symbolic links. A relative path
// counts from the working directory.
bool IsDirectory(const std::string& path);

// One entry that a directory search yields.
struct FoundEntry {
    std::string name; // the entry's name within its folder, as bytes
    bool isDirectory; // the entry (links followed) is a directory
};

// Searches `folder` for the entries whose names match `pattern`, where "*" stands for any run of
// bytes and ASCII letters compare without regard to case; every other byte compares exactly. "."
// and ".." are never yielded; hidden (dot) entries are. The entries come in the order NTFS keeps
// them: by their names' bytes after ASCII upper-casing, then by the bytes themselves. A folder that
// is missing or may not be read yields nothing; one that fails midway yields what was found before.
std::vector<FoundEntry> FindEntries(const std::string& folder, const std::string& pattern);

// True when `folder` holds at least one subfolder whose name does not begin with "." (links
// followed). Stops at the first one found, and looks at an entry's target only when the directory
// does not say what the entry is; a folder that is missing or may not be read holds none.
bool HasVisibleSubfolder(const std::string& folder);

// True when something stands at the path (a symbolic link counts itself, not its target).
bool PathExists(const std::string& path);

// Removes the file at once (no recycle bin). Returns false when it could not be removed, among
// others for a file with no write permission bit at all, which counts as read-only for every user.
bool DeleteFile(const std::string& path);
