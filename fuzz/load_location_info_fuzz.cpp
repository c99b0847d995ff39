// LoadLocationInfoFile on any file, read by one thread and checked against the slow line-by-line
// reading of the same file (tests/support/location_reference.h): the column map (where the
// coordinates are, which captions the items take), every target's position (D/M/S or decimal
// degrees) and every item in the encoding the whole file decides. The first byte's low bit puts
// the rest behind a UTF-8 byte-order mark, so inputs take the marked path too. Made for long
// campaigns: one file reused, no threads, no index (whose cell tables cost more than a small
// file's load); the index, the searches and the ranges read by several threads are
// fuzz_load_location_info_threads's.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/locinfo/location_info.h"
#include "core/locinfo/location_loader.h"
#include "core/targets/target_store.h"
#include "support/location_reference.h"

namespace {

using namespace zentorak;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The one file every input is written to.
const std::string& InputPath(const std::string& bytes) {
    static const int fd = memfd_create("location-info", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Check(fd >= 0 && ftruncate(fd, 0) == 0 &&
          pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string bytes = (data[0] & 1) ? std::string(kUtf8ByteOrderMark) : std::string();
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string& path = InputPath(bytes);
    TargetGrid grid;
    ColumnMap columns;
    LocationInfoFileReport report;
    const int result = LoadLocationInfoFileUnindexed(grid, columns, path, {}, {}, &report, {1});
    Check(report.targets == grid.size() && report.skippedLines <= report.linesRead);
    if (result == 0) {
        // The items of records not indexed yet are decoded as they are read, in load order.
        Check(testing::DifferenceFromReference(grid, columns, testing::ReferenceLoad(path, 4096))
                  .empty());
    }
    return 0;
}
