#include "core/platform/mapped_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace zentorak {

void* MapPages(size_t size, bool faultIn) {
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | (faultIn ? MAP_POPULATE : 0), -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    return mapped;
}

void UnmapPages(void* base, size_t size) {
    munmap(base, size);
}

// Blocks of 2 MB and more are whole, aligned huge pages where the system offers them on
// request: a large load then takes one page fault per 2 MB instead of one per 4 KB. Smaller
// blocks, which are filled at once, are faulted in by the mapping, not page by page.
MappedBlock MappedBlock::Map(size_t size) {
    const bool huge = size >= kHugePage;
    size = SizeFor(size);
    if (!huge) {
        return {static_cast<std::byte*>(MapPages(size, true)), size};
    }
    // Mapped with a huge page to spare, of which the aligned part is kept.
    const size_t slack = kHugePage;
    auto* base = static_cast<std::byte*>(MapPages(size + slack, false));
    const size_t head = (kHugePage - reinterpret_cast<uintptr_t>(base) % kHugePage) % kHugePage;
    if (head > 0) {
        munmap(base, head);
    }
    if (slack - head > 0) {
        munmap(base + head + size, slack - head);
    }
    base += head;
    madvise(base, size, MADV_HUGEPAGE);
    return {base, size};
}

void MappedBlock::Unmap() {
    if (base) {
        munmap(base, size);
        *this = {};
    }
}

MappedBlock HugePageArena::Cut(size_t size) {
    if (rest_.size < size) {
        rest_.Unmap();
        rest_ = MappedBlock::Map(kHugePage);
#ifdef MADV_POPULATE_WRITE
        madvise(rest_.base, rest_.size, MADV_POPULATE_WRITE);  // else faulted in when written
#endif
    }
    const MappedBlock block{rest_.base, size};
    rest_.base += size;
    rest_.size -= size;
    if (rest_.size == 0) {
        rest_ = {};
    }
    return block;
}

}  // namespace zentorak
