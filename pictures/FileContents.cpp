#include "pictures/FileContents.h"

#include "platform/Exceptions.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Owns an open file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now, so that a failure to close can be reported; true when it closed cleanly.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// A file created beside the destination that is removed again unless it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~TemporaryFile() {
        if (!renamed_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    FileDescriptor& File() { return fd_; }
    // Returns errno's value on failure, 0 on success.
    int RenameTo(const std::string& destination) {
        if (::rename(path_.c_str(), destination.c_str()) != 0)
            return errno;
        renamed_ = true;
        return 0;
    }

private:
    std::string path_;
    FileDescriptor fd_;
    bool renamed_ = false;
};

// The file that a save changes: the target of a symbolic link, else the path itself.
std::string ResolvedDestination(const std::string& path) {
    struct stat link;
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

TemporaryFile CreateTemporaryBeside(const std::string& destination, const std::string& shownPath) {
    // The folder part keeps its closing "/"; a bare name gives "", the working directory.
    const std::string folder = ExtractFilePath(destination);
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = folder + ".corvantis-" + std::to_string(entropy()) + ".tmp";
        // 0666 lets the umask (and a folder's default ACL) decide, as for any new file.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return TemporaryFile(candidate, fd);
        if (errno != EEXIST)
            throw EFCreateError(shownPath, SystemErrorText(errno));
    }
    throw EFCreateError(shownPath, SystemErrorText(EEXIST));
}

void WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw EWriteError();
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace

std::vector<std::uint8_t> ReadFileContents(const std::string& path) {
    // Non-blocking, so that a FIFO that somebody named *.jpg cannot hang the open.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0)
        throw EFOpenError(path, SystemErrorText(errno));
    struct stat status;
    if (::fstat(file.Get(), &status) != 0)
        throw EFOpenError(path, SystemErrorText(errno));
    if (S_ISDIR(status.st_mode))
        throw EFOpenError(path, SystemErrorText(EISDIR));
    if (!S_ISREG(status.st_mode))
        throw EFOpenError(path, SystemErrorText(EINVAL));
    if (static_cast<std::uint64_t>(status.st_size) > MaxPictureFileBytes)
        throw EOutOfMemory();

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw EReadError();
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

void WriteFileContents(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string destination = ResolvedDestination(path);
    struct stat existing;
    const bool exists = ::stat(destination.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw EFCreateError(path, SystemErrorText(errno));
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw EFCreateError(path, SystemErrorText(EISDIR));
        if (!S_ISREG(existing.st_mode))
            throw EFCreateError(path, SystemErrorText(EINVAL));
        // Read-only for everyone, root included, as the read-only attribute was.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFCreateError(path, SystemErrorText(EACCES));
        if (::access(destination.c_str(), W_OK) != 0)
            throw EFCreateError(path, SystemErrorText(errno));
    }

    TemporaryFile temporary = CreateTemporaryBeside(destination, path);
    const int fd = temporary.File().Get();
    if (exists) {
        // Best effort: only root may give the file away, and a mode is still kept without it.
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
        ::fchmod(fd, existing.st_mode & 07777);
    }
    WriteAll(fd, bytes);
    if (::fsync(fd) != 0 || !temporary.File().Close())
        throw EWriteError();
    if (const int error = temporary.RenameTo(destination); error != 0)
        throw EFCreateError(path, SystemErrorText(error));
}
