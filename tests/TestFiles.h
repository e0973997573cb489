// Files and folders for tests: a temporary folder of the test's own, and whole-file reads and
// writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace test_files {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path);
// Fails the test when the file cannot be written whole.
void WriteBytes(const std::string& path, const Bytes& bytes);

// A folder of its own under the system's temporary folder, removed with everything in it (also
// when a test took the write permission away from it).
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;
    // An empty file, or a folder, of that name with that mode; fails the test when it cannot.
    void MakeFile(const std::string& name, mode_t mode = 0644) const;
    void MakeFolder(const std::string& name) const;

private:
    std::string path_;
};

// While it lives, HOME names a temporary folder of its own holding an empty Desktop folder, so
// that the folder tree's desktop is Desktop(). The old HOME comes back at the end.
class TemporaryHome {
public:
    TemporaryHome();
    ~TemporaryHome();
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::string& Path() const { return folder_.Path(); }
    std::string Desktop() const { return folder_.File("Desktop"); }

private:
    TemporaryFolder folder_;
    std::optional<std::string> savedHome_;
};

} // namespace test_files
