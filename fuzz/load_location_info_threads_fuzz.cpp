// LoadLocationInfoFile on any file, checked against the slow line-by-line reading of the same
// file (slow: threads for every input; fuzz_load_location_info is the fast one)
// (tests/support/location_reference.h): the column map, every target's position (D/M/S or decimal
// degrees through the exact datum conversion) and every item, once read by one thread and once by
// several, each a range of a few lines. Each input is loaded as it is and once more behind a UTF-8
// byte-order mark, so every input also takes the UTF-8 path. Then both searches run over what was
// loaded.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/search.h"
#include "core/targets/target_store.h"
#include "support/location_reference.h"

namespace {

using namespace zentorak;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void LoadAndCompare(const std::string& bytes) {
    int fd = memfd_create("location-info", 0);
    Check(fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    TargetGrid grid;
    ColumnMap columns;
    if (LoadLocationInfoFile(grid, columns, path) == 0) {
        const testing::ReferenceLoadResult expected = testing::ReferenceLoad(path);
        Check(testing::DifferenceFromReference(grid, columns, expected).empty());
        // The same file read by several threads, cut after nearly every line.
        TargetGrid parts;
        ColumnMap partColumns;
        const LoadParallelism parallel{2 + static_cast<int>(bytes.size() % 5), 1};
        Check(LoadLocationInfoFileUnindexed(parts, partColumns, path, {}, {}, nullptr, parallel) ==
              0);
        IndexTargetGrid(parts);
        Check(testing::DifferenceFromReference(parts, partColumns, expected).empty());
    }
    close(fd);
    FoundTargets found;
    found.Allocate(21);
    SearchNearest(grid, {35, 0, 0, 0}, {139, 0, 0, 0}, 20, found);
    if (grid.size() > 0) {
        const TargetRecord& first = grid.store().Loaded(0);
        SearchNearest(grid, first.lat, first.lon, 3, found);
        Check(found.count > 0);  // the target itself lies in the origin's cell
    }
    SearchTexts texts;
    texts[0] = u"a";
    found.count = 0;
    SearchByConditions(grid, columns, texts, found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadAndCompare(bytes);
    LoadAndCompare(std::string(kUtf8ByteOrderMark) + bytes);
    return 0;
}
