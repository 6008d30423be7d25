#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/byte_buffer.h"

namespace plexor {

// Reads the whole of a regular file. Throws PictureError: "Cannot open file %s"
// when it cannot be opened or is not a regular file, "Stream read error" when
// it holds more than `maxBytes` bytes or a read fails.
ByteBuffer readWholeFile(const std::string& path, std::uint64_t maxBytes);

// Reads at most `maxBytes` bytes from the start of a regular file; fewer when
// the file is shorter. Throws as readWholeFile does, but not for its size.
ByteBuffer readFileHead(const std::string& path, std::size_t maxBytes);

// The system calls through which a file is written. The program uses these
// as they are; tests override them to make a disk fill up or a file refuse to
// be created. Each returns what the system call does: -1 with errno set on
// failure.
class FileWriteOps {
public:
    virtual ~FileWriteOps() = default;
    // Creates a new file, failing when the name exists.
    virtual int createNew(const std::string& path);
    virtual long write(int fd, const std::uint8_t* data, std::size_t size);
    virtual int sync(int fd);
    virtual int close(int fd);
    virtual int rename(const std::string& from, const std::string& to);
    virtual int remove(const std::string& path);
};

// Replaces `path` with `bytes` as one step: the bytes go to a new hidden file
// beside it, named for this process, which is flushed to the disk and
// renamed over `path` only once every byte is written: processes writing
// into one folder at once never meet, and each file there is whole or absent. On failure the former file is untouched
// and the new one removed. Throws PictureError, naming the file and the system's reason: "Cannot create file %s: %s"
// when the file can be neither created nor replaced, "Cannot write file %s: %s" when the bytes cannot all be written
// and flushed (a full disk).
void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, FileWriteOps& ops);
void writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace plexor
