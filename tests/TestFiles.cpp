#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace test_files {

namespace fs = std::filesystem;

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "corvantis-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp";
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void TemporaryFolder::MakeFile(const std::string& name, mode_t mode) const {
    const std::string path = File(name);
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, mode);
    ASSERT_GE(fd, 0) << path;
    ::close(fd);
}

void TemporaryFolder::MakeFolder(const std::string& name) const {
    ASSERT_EQ(::mkdir(File(name).c_str(), 0755), 0) << name;
}

TemporaryHome::TemporaryHome() {
    fs::create_directories(Desktop());
    if (const char* home = std::getenv("HOME"))
        savedHome_ = home;
    ::setenv("HOME", Path().c_str(), 1);
}

TemporaryHome::~TemporaryHome() {
    if (savedHome_)
        ::setenv("HOME", savedHome_->c_str(), 1);
    else
        ::unsetenv("HOME");
}

} // namespace test_files
