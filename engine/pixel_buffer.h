#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace plexor {

// A block of pixel bytes owned by the model, or empty while it has not been
// obtained. Obtaining it does not clear it: its owner fills it.
class PixelBuffer {
public:
    PixelBuffer() = default;

    // Throws std::bad_alloc when the memory cannot be had.
    static PixelBuffer obtain(std::size_t bytes)
    {
        PixelBuffer buffer;
        buffer.data_ = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
        buffer.size_ = bytes;
        return buffer;
    }

    void release() noexcept
    {
        data_.reset();
        size_ = 0;
    }

    bool empty() const noexcept { return data_ == nullptr; }
    std::size_t size() const noexcept { return size_; }
    std::uint8_t* data() noexcept { return data_.get(); }
    const std::uint8_t* data() const noexcept { return data_.get(); }
    std::uint8_t& operator[](std::size_t i) noexcept { return data_[i]; }
    const std::uint8_t& operator[](std::size_t i) const noexcept { return data_[i]; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_ = 0;
};

} // namespace plexor
