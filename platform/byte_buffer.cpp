#include "platform/byte_buffer.h"

#include <new>
#include <sys/mman.h>

namespace plexor {

namespace {

// Blocks from this size on are mapped from the system rather than taken from
// the heap.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;
constexpr std::size_t kLargePage = std::size_t{2} << 20;

} // namespace

void PageRelease::operator()(std::uint8_t* base) const noexcept
{
    ::munmap(base, length);
}

ByteBuffer ByteBuffer::obtain(std::size_t size, bool zeroed)
{
    ByteBuffer buffer;
    buffer.size_ = size;
    if (size == 0) return buffer;
    if (size < kMappedFrom) {
        buffer.heap_ =
            zeroed ? std::make_unique<std::uint8_t[]>(size) : std::make_unique_for_overwrite<std::uint8_t[]>(size);
        buffer.data_ = buffer.heap_.get();
        return buffer;
    }
    // One large page more than asked for, so the block can begin on a large
    // page boundary. Fresh mappings read as zero.
    if (size > SIZE_MAX - kLargePage) throw std::bad_alloc();
    const std::size_t length = size + kLargePage;
    void* base = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) throw std::bad_alloc();
    buffer.pages_ = std::unique_ptr<std::uint8_t, PageRelease>(static_cast<std::uint8_t*>(base), PageRelease{length});
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    const std::uintptr_t aligned = (address + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
    buffer.data_ = buffer.pages_.get() + (aligned - address);
    ::madvise(buffer.data_, size & ~(kLargePage - 1), MADV_HUGEPAGE);
    return buffer;
}

} // namespace plexor
