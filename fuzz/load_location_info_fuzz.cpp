// LoadLocationInfoFile on any file, checked against reading the same file line by line with
// ReadTextLine and SplitCsvLine; then both searches run over what was loaded.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/geo/location_info.h"
#include "core/geo/search.h"
#include "core/geo/target_store.h"
#include "core/text/text_line.h"

namespace {

using namespace zentorak;

// The info items of the targets that line-by-line reading gives ("\xFFFF" for absent ones).
std::vector<std::u16string> Reference(int fd, const ColumnMap& columns) {
    std::vector<std::u16string> items;
    lseek(fd, 0, SEEK_SET);
    TextFileReader reader(fd, {}, 5);
    std::u16string line;
    int result = ReadTextLine(reader, line);
    // Every line after the header; the piece after the last line end when it holds anything.
    while (result == 0 &&
           ((result = ReadTextLine(reader, line)) == 0 || (result == -1 && !line.empty()))) {
        std::vector<std::u16string> f;
        DmsAngle lat, lon;
        int row, column;
        if (SplitCsvLine(line, u",", u"\"", f) != 0 || f.size() < 3 || ParseDms(f[0], lat) ||
            ParseDms(f[1], lon) || GridCellOf(lat, lon, row, column)) {
            continue;
        }
        for (int k = 0; k < kInfoItems; ++k) {
            bool present = columns.Present(k + 2) && static_cast<size_t>(k + 2) < f.size();
            items.push_back(present ? f[k + 2] : u"\xFFFF");
        }
    }
    return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("location-info", 0);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    TargetGrid grid;
    ColumnMap columns;
    int result = LoadLocationInfoFile(grid, columns, path);
    if (result == 0) {
        std::vector<std::u16string> expected = Reference(fd, columns);
        if (expected.size() != grid.size() * kInfoItems) {
            std::abort();
        }
        for (uint32_t i = 0; i < grid.size(); ++i) {
            for (int k = 0; k < kInfoItems; ++k) {
                const TargetRecord& t = grid.store().Loaded(i);
                std::u16string got = t.HasInfo(k) ? std::u16string(t.Info(k)) : u"\xFFFF";
                if (got != expected[i * kInfoItems + k]) {
                    std::abort();
                }
            }
        }
    }
    close(fd);
    FoundTargets found;
    found.Allocate(21);
    SearchNearest(grid, {35, 0, 0, 0}, {139, 0, 0, 0}, 20, found);
    if (grid.size() > 0) {
        const TargetRecord& first = grid.store().Loaded(0);
        SearchNearest(grid, first.lat, first.lon, 3, found);
        if (found.count == 0) {
            std::abort();  // the target itself lies in the origin's cell
        }
    }
    SearchTexts texts;
    texts[0] = u"a";
    found.count = 0;
    SearchByConditions(grid, columns, texts, found);
    return 0;
}
