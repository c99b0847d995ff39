// Anonymous memory mapped from the system for large blocks that are filled at once: small blocks
// faulted in by the mapping, blocks of 2 MB and more on huge pages where the system offers them,
// and arenas of huge pages cut into smaller blocks. Does not know what the blocks hold and keeps
// no list of them: their owner gives each back.
#pragma once

#include <cstddef>

namespace zentorak {

inline constexpr size_t kMemoryPage = 4096;
inline constexpr size_t kHugePage = size_t{2} << 20;

// size rounded up to whole pages.
inline size_t WholePages(size_t size) {
    return (size + kMemoryPage - 1) / kMemoryPage * kMemoryPage;
}

// Anonymous mapped memory, given back to the system by Unmap.
struct MappedBlock {
    std::byte* base = nullptr;
    size_t size = 0;

    // At least size bytes: whole huge pages, aligned, from 2 MB on; below that whole pages,
    // faulted in by the mapping. Throws std::bad_alloc.
    static MappedBlock Map(size_t size);
    // The size Map maps for size bytes.
    static size_t SizeFor(size_t size) {
        const size_t unit = size >= kHugePage ? kHugePage : kMemoryPage;
        return (size + unit - 1) / unit * unit;
    }
    void Unmap();
};

// size bytes (whole pages) of mapped memory, faulted in by the mapping when faultIn, else as
// each page is first written. Throws std::bad_alloc.
void* MapPages(size_t size, bool faultIn);
// Gives back pages that MapPages or MappedBlock::Map mapped, or any whole pages of them.
void UnmapPages(void* base, size_t size);

// Cuts blocks under 2 MB from arenas of 2 MB of huge pages, where the system offers them: one
// fault per arena instead of one per 4 KB page, which took five times as long. Unmapping a block
// cut from an arena gives back that part alone.
class HugePageArena {
public:
    HugePageArena() = default;
    HugePageArena(const HugePageArena&) = delete;
    HugePageArena& operator=(const HugePageArena&) = delete;
    ~HugePageArena() { Release(); }

    // A block of size bytes (whole pages, under kHugePage), from a new arena when the last one
    // has not room enough for it (what is left of that one is given back). Throws
    // std::bad_alloc.
    MappedBlock Cut(size_t size);
    // Gives back what is left of the last arena; the blocks cut from it stay.
    void Release() { rest_.Unmap(); }

private:
    MappedBlock rest_;
};

}  // namespace zentorak
