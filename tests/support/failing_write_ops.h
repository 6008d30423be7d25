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
    std::size_t Room = SIZE_MAX;
    bool FailCreate = false;
    bool FailSync = false;
    bool FailRename = false;
    std::size_t Written = 0;

    int CreateNew(const std::string& path) override
    {
        if (FailCreate) {
            errno = EACCES;
            return -1;
        }
        return FileWriteOps::CreateNew(path);
    }

    long Write(int fd, const std::uint8_t* data, std::size_t size) override
    {
        if (Written >= Room) {
            errno = ENOSPC;
            return -1;
        }
        const long wrote = FileWriteOps::Write(fd, data, std::min(size, Room - Written));
        if (wrote > 0) Written += static_cast<std::size_t>(wrote);
        return wrote;
    }

    int Sync(int fd) override
    {
        if (FailSync) {
            errno = EIO;
            return -1;
        }
        return FileWriteOps::Sync(fd);
    }

    int Rename(const std::string& from, const std::string& to) override
    {
        if (FailRename) {
            errno = EXDEV;
            return -1;
        }
        return FileWriteOps::Rename(from, to);
    }
};

} // namespace plexor::test
