#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <utility>

namespace plexor {

// Gives a mapping obtained from the system back to it.
struct PageRelease {
    std::size_t length = 0;
    void operator()(std::uint8_t* base) const noexcept;
};

// A block of bytes of fixed size with one owner. Unlike a vector it can be
// obtained without clearing, for bytes that are about to be overwritten.
// Large blocks come straight from the system in large pages where it offers
// them, which makes first touching a whole picture several times cheaper;
// such blocks start out zero at no cost.
class ByteBuffer {
public:
    ByteBuffer() = default;

    static ByteBuffer uninitialised(std::size_t size) { return obtain(size, false); }
    static ByteBuffer zeroed(std::size_t size) { return obtain(size, true); }

    static ByteBuffer copyOf(std::span<const std::uint8_t> bytes)
    {
        ByteBuffer buffer = uninitialised(bytes.size());
        if (!bytes.empty()) std::memcpy(buffer.data(), bytes.data(), bytes.size());
        return buffer;
    }

    ByteBuffer(ByteBuffer&& other) noexcept
        : heap_(std::move(other.heap_)), pages_(std::move(other.pages_)), data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0))
    {}

    ByteBuffer& operator=(ByteBuffer&& other) noexcept
    {
        heap_ = std::move(other.heap_);
        pages_ = std::move(other.pages_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    std::uint8_t* data() noexcept { return data_; }
    const std::uint8_t* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }

    std::uint8_t& operator[](std::size_t i) noexcept { return data_[i]; }
    const std::uint8_t& operator[](std::size_t i) const noexcept { return data_[i]; }

    std::span<std::uint8_t> bytes() noexcept { return {data_, size_}; }
    std::span<const std::uint8_t> bytes() const noexcept { return {data_, size_}; }

    // Gives the block back: the buffer is empty afterwards.
    void release() noexcept { *this = ByteBuffer(); }

    // Drops the last bytes; the block itself stays as it is.
    void shrink(std::size_t size) noexcept
    {
        if (size < size_) size_ = size;
    }

private:
    // Throws std::bad_alloc when the memory cannot be had.
    static ByteBuffer obtain(std::size_t size, bool zeroed);

    std::unique_ptr<std::uint8_t[]> heap_;
    std::unique_ptr<std::uint8_t, PageRelease> pages_;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace plexor
