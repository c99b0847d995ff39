// An allocator for the large tables a load fills at once (the store's and the index's). From
// 2 MB on they are mapped from the system on huge pages (see MappedBlock) rather than taken from
// the heap: a fresh process's heap grows in 4 KB pages, each faulted in on its first write, which
// made the first load of a process a third slower than the loads after it. Smaller tables stay on
// the heap: a huge page for them would hold more memory than they use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "core/platform/mapped_memory.h"

namespace zentorak {

template <typename T>
struct MappedAllocator {
    using value_type = T;
    static constexpr size_t kMappedFrom = kHugePage;

    MappedAllocator() = default;
    template <typename U>
    MappedAllocator(const MappedAllocator<U>&) {}

    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) {
            throw std::bad_alloc();
        }
        if (n * sizeof(T) < kMappedFrom) {
            return std::allocator<T>().allocate(n);
        }
        return reinterpret_cast<T*>(MappedBlock::Map(n * sizeof(T)).base);
    }
    void deallocate(T* p, size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMappedFrom) {
            std::allocator<T>().deallocate(p, n);
            return;
        }
        MappedBlock{reinterpret_cast<std::byte*>(p), MappedBlock::SizeFor(bytes)}.Unmap();
    }
    friend bool operator==(const MappedAllocator&, const MappedAllocator&) { return true; }
};

// A table of 32-bit numbers with one entry per record.
using RecordTable = std::vector<uint32_t, MappedAllocator<uint32_t>>;

}  // namespace zentorak
