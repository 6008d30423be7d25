#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "platform/picture_error.h"

namespace plexor {

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const noexcept { return fd_; }

private:
    int fd_;
};

[[noreturn]] void throwCannotOpen(const std::string& path)
{
    throw PictureError(formatPictureMessage(picture_message::kCannotOpen, path));
}

// Both name the file and the system's reason, given by `error` (an errno).
[[noreturn]] void throwCannotCreate(const std::string& path, int error)
{
    throw PictureError(formatPictureMessage(picture_message::kCannotCreate, {path, std::strerror(error)}));
}

[[noreturn]] void throwWriteError(const std::string& path, int error)
{
    throw PictureError(formatPictureMessage(picture_message::kWriteError, {path, std::strerror(error)}));
}

// Opens a regular file for reading and tells its size.
int openForReading(const std::string& path, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throwCannotOpen(path);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throwCannotOpen(path);
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

// Reads up to `size` bytes from `offset` into `target`; returns how many
// there were, fewer at the end of the file, or -1 on a read error.
std::int64_t readAt(int fd, std::uint8_t* target, std::size_t size, std::size_t offset) noexcept
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, target + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

// Files from this size on are read in two halves at once. Reading from the
// page cache is bound by the processor (clearing fresh pages, copying), so a
// second core halves the time a large picture takes to load.
constexpr std::size_t kSplitReadFrom = std::size_t{16} << 20;

// Reads up to `wanted` bytes from the start; a file that has shrunk since it
// was opened gives fewer.
ByteBuffer readUpTo(int fd, std::size_t wanted)
{
    ByteBuffer buffer = ByteBuffer::uninitialised(wanted);
    std::int64_t first = 0;
    std::int64_t second = 0;
    const std::size_t half = wanted >= kSplitReadFrom ? wanted / 2 : wanted;
    std::thread helper;
    if (half < wanted) {
        try {
            helper = std::thread([&] { second = readAt(fd, buffer.data() + half, wanted - half, half); });
        } catch (const std::system_error&) {
            // No thread to be had: read the second half here.
            second = readAt(fd, buffer.data() + half, wanted - half, half);
        }
    }
    first = readAt(fd, buffer.data(), half, 0);
    if (helper.joinable()) helper.join();
    if (first < 0 || second < 0) throwReadError();
    // The second half counts only when the first is whole.
    const auto firstBytes = static_cast<std::size_t>(first);
    buffer.shrink(firstBytes < half ? firstBytes : half + static_cast<std::size_t>(second));
    return buffer;
}

// A hidden name in the same folder as `path`, unlikely to be taken: the
// process's id and a random salt. Processes writing into one folder at once
// never pick the same one, and a name left by a process that was killed
// says whose it was.
std::string temporaryName(const std::string& path, std::uint32_t salt)
{
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%ld.%08x", static_cast<long>(::getpid()), salt);
    return folder + "." + name + "." + suffix + ".tmp";
}

// Writes every byte; returns 0, or the errno of the write that failed.
int writeAll(FileWriteOps& ops, int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long wrote = ops.write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        // A write that makes no progress is a full disk.
        if (wrote == 0) return ENOSPC;
        if (wrote < 0) return errno;
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

} // namespace

ByteBuffer readWholeFile(const std::string& path, std::uint64_t maxBytes)
{
    std::uint64_t size = 0;
    const FileDescriptor file(openForReading(path, size));
    if (size > maxBytes) throwReadError();
    return readUpTo(file.get(), static_cast<std::size_t>(size));
}

ByteBuffer readFileHead(const std::string& path, std::size_t maxBytes)
{
    std::uint64_t size = 0;
    const FileDescriptor file(openForReading(path, size));
    return readUpTo(file.get(), static_cast<std::size_t>(std::min<std::uint64_t>(size, maxBytes)));
}

int FileWriteOps::createNew(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

long FileWriteOps::write(int fd, const std::uint8_t* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int FileWriteOps::sync(int fd)
{
    return ::fsync(fd);
}

int FileWriteOps::close(int fd)
{
    return ::close(fd);
}

int FileWriteOps::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}

int FileWriteOps::remove(const std::string& path)
{
    return ::unlink(path.c_str());
}

void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, FileWriteOps& ops)
{
    std::random_device entropy;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryName(path, entropy());
        fd = ops.createNew(temporary);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throwCannotCreate(path, errno);

    // Each failure keeps its own errno: the clean-up after it may set another.
    int error = writeAll(ops, fd, bytes);
    if (error == 0 && ops.sync(fd) != 0) error = errno;
    if (error != 0) {
        ops.close(fd);
        ops.remove(temporary);
        throwWriteError(path, error);
    }
    if (ops.close(fd) != 0) {
        error = errno;
        ops.remove(temporary);
        throwWriteError(path, error);
    }
    if (ops.rename(temporary, path) != 0) {
        error = errno;
        ops.remove(temporary);
        throwCannotCreate(path, error);
    }
}

void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes)
{
    FileWriteOps ops;
    writeFileAtomically(path, bytes, ops);
}

} // namespace plexor
