#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_io.h"

namespace plexor::test {

// The real system calls, except that the disk fills up after `room` bytes or
// some step fails on request.
class FailingOps : public FileWriteOps {
public:
    std::size_t room = SIZE_MAX;
    bool failCreate = false;
    bool failSync = false;
    bool failRename = false;
    std::size_t written = 0;

    int createNew(const std::string& path) override
    {
        if (failCreate) {
            errno = EACCES;
            return -1;
        }
        return FileWriteOps::createNew(path);
    }

    long write(int fd, const std::uint8_t* data, std::size_t size) override
    {
        if (written >= room) {
            errno = ENOSPC;
            return -1;
        }
        const long wrote = FileWriteOps::write(fd, data, std::min(size, room - written));
        if (wrote > 0) written += static_cast<std::size_t>(wrote);
        return wrote;
    }

    int sync(int fd) override
    {
        if (failSync) {
            errno = EIO;
            return -1;
        }
        return FileWriteOps::sync(fd);
    }

    int rename(const std::string& from, const std::string& to) override
    {
        if (failRename) {
            errno = EXDEV;
            return -1;
        }
        return FileWriteOps::rename(from, to);
    }
};

} // namespace plexor::test
