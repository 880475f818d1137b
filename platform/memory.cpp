#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace lct {
namespace {

// Spare room below this stays with the buffer. An ordinary article leaves a
// page or two; giving them back costs a system call (with the other threads'
// address translations flushed) and a fault for each page when the heap hands
// them out again, for memory that the heap keeps at hand anyway.
constexpr std::uintptr_t kLeastReleased = 256 << 10;

}  // namespace

void returnBigBuffersWhenFreed() {
    constexpr int kThreshold = 1 << 20;
    // Setting it also stops the C library from moving it.
    mallopt(M_MMAP_THRESHOLD, kThreshold);
}

void releaseSpareCapacity(std::string& text) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto data = reinterpret_cast<std::uintptr_t>(text.data());
    // The capacity's bytes are the allocation's; the NUL after the text stays.
    const std::uintptr_t begin = (data + text.size() + 1 + page - 1) / page * page;
    const std::uintptr_t end = (data + text.capacity()) / page * page;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): whole pages of our own buffer
    if (end > begin && end - begin >= kLeastReleased)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

void releaseReadBytes(std::string_view text, std::size_t from, std::size_t end) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto data = reinterpret_cast<std::uintptr_t>(text.data());
    // Whole pages only: the allocator's own bytes before the text stay.
    const std::uintptr_t begin =
        std::max((data + page - 1) / page * page, (data + std::min(from, end)) / page * page);
    const std::uintptr_t last = (data + std::min(end, text.size())) / page * page;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): whole pages of the caller's buffer
    if (last > begin) madvise(reinterpret_cast<void*>(begin), last - begin, MADV_DONTNEED);
}

}  // namespace lct
