#include "tests/TestKit.h"

#include <algorithm>
#include <cstdlib>
#include <cxxabi.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace testkit {

namespace fs = std::filesystem;

std::string ClassName(const std::type_info& type) {
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 ? name.get() : type.name();
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "corvantis-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "cannot make a temporary folder " << pattern;
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

std::string TemporaryFolder::MakeFile(const std::string& name, mode_t mode) const {
    const std::string path = File(name);
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, mode);
    EXPECT_GE(fd, 0) << "cannot make the file " << path;
    if (fd >= 0)
        ::close(fd);
    return path;
}

std::string TemporaryFolder::MakeFolder(const std::string& name) const {
    const std::string path = File(name);
    EXPECT_EQ(::mkdir(path.c_str(), 0755), 0) << "cannot make the folder " << path;
    return path;
}

TemporaryHome::TemporaryHome() {
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

} // namespace testkit
