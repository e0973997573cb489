#include "pictures/FileContents.h"

#include "pictures/PictureLimits.h"
#include "platform/Exceptions.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <random>
#include <string>
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
    void Reset(int fd) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now, so that a failure to close can be reported; true when it closed cleanly.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// A new file in the destination's folder that takes the destination's place once complete. Where
// the file system allows it the file has no name until then (O_TMPFILE), so that a save killed
// midway leaves nothing; elsewhere it is a hidden named file, removed again on any failure.
class PendingFile {
public:
    // Throws EFCreateError, naming `destination`, when its folder takes no new file.
    explicit PendingFile(const std::string& destination)
        : destination_(destination), folder_(ExtractFilePath(destination)) {
        // 0666 lets the umask (and a folder's default ACL) decide, as for any new file.
        fd_.Reset(::open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                         0666));
        if (fd_.Get() >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throw EFCreateError(destination_, SystemErrorText(errno));
        CreateNamed([this](const std::string& candidate) {
            return ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
    }
    ~PendingFile() {
        if (!name_.empty())
            ::unlink(name_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    FileDescriptor& File() { return fd_; }

    // Puts the complete file in the destination's place, replacing a file or a symbolic link of
    // that name (never what the link names). Throws EFCreateError with the system's reason.
    void Replace() {
        if (name_.empty()) {
            // A destination that does not exist yet gets its name in one step.
            if (LinkUnnamed(destination_) == 0)
                return;
            if (errno != EEXIST)
                throw EFCreateError(destination_, SystemErrorText(errno));
            CreateNamed([this](const std::string& candidate) {
                return LinkUnnamed(candidate) == 0 ? 0 : -1;
            });
        }
        if (::rename(name_.c_str(), destination_.c_str()) != 0)
            throw EFCreateError(destination_, SystemErrorText(errno));
        name_.clear();
    }

private:
    // Gives the unnamed file a name; 0 or -1 with errno.
    int LinkUnnamed(const std::string& name) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != ENOENT)
            return -1;
        // Without /proc only the privileged may name a descriptor.
        return ::linkat(fd_.Get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
    }

    // Makes a hidden name beside the destination with `make` (a descriptor, or -1 with errno),
    // trying new names while one is taken.
    template <typename Make> void CreateNamed(Make make) {
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = folder_ + ".corvantis-" + std::to_string(entropy()) + ".tmp";
            const int result = make(candidate);
            if (result >= 0) {
                if (fd_.Get() < 0)
                    fd_.Reset(result);
                name_ = std::move(candidate);
                return;
            }
            if (errno != EEXIST)
                throw EFCreateError(destination_, SystemErrorText(errno));
        }
        throw EFCreateError(destination_, SystemErrorText(EEXIST));
    }

    // The folder part keeps its closing "/"; a bare name gives "", the working directory.
    std::string destination_;
    std::string folder_;
    FileDescriptor fd_{-1};
    // The file's name while it has one of its own.
    std::string name_;
};

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

    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
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
    // The name itself, not what a symbolic link of that name points to: a link is replaced.
    struct stat existing;
    bool exists = false;
    if (::lstat(path.c_str(), &existing) == 0)
        exists = !S_ISLNK(existing.st_mode);
    else if (errno != ENOENT)
        throw EFCreateError(path, SystemErrorText(errno));
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw EFCreateError(path, SystemErrorText(EISDIR));
        if (!S_ISREG(existing.st_mode))
            throw EFCreateError(path, SystemErrorText(EINVAL));
        // Read-only for everyone, root included, as the read-only attribute was.
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw EFCreateError(path, SystemErrorText(EACCES));
        if (::access(path.c_str(), W_OK) != 0)
            throw EFCreateError(path, SystemErrorText(errno));
    }

    PendingFile pending(path);
    const int fd = pending.File().Get();
    if (exists) {
        // Best effort: only root may give the file away, and a mode is still kept without it.
        [[maybe_unused]] const int owned = ::fchown(fd, existing.st_uid, existing.st_gid);
        ::fchmod(fd, existing.st_mode & 07777);
    }
    WriteAll(fd, bytes);
    if (::fsync(fd) != 0)
        throw EWriteError();
    pending.Replace();
    if (!pending.File().Close())
        throw EWriteError();
}
