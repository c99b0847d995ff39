// Every CP932 location-info file that the tests, the companion's checks, the demo data and the
// fuzz corpus load must keep loading exactly as it did before the reader learned UTF-8, decimal
// degrees and coordinate columns found by caption. The expected digests in
// testdata/legacy_loads.txt were written by the reader as it was then (the CP932 files of
// testdata/cp932 are the files the test suites loaded at that time, saved as they were read).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "core/locinfo/location_info.h"
#include "core/targets/target_store.h"

namespace zentorak {
namespace {

namespace fs = std::filesystem;

// FNV-1a over everything a load leaves behind: the result, the column map and every target in
// load order with its position and its items (absent ones marked as such).
class Digest {
public:
    void Add(int64_t value) {
        for (int i = 0; i < 8; ++i) {
            Byte(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
        }
    }
    void Add(std::u16string_view text) {
        Add(static_cast<int64_t>(text.size()));
        for (char16_t c : text) {
            Byte(static_cast<uint8_t>(c));
            Byte(static_cast<uint8_t>(c >> 8));
        }
    }
    void Add(const DmsAngle& a) { Add(a.deg), Add(a.min), Add(a.sec), Add(a.msec); }
    uint64_t value() const { return hash_; }

private:
    void Byte(uint8_t b) {
        hash_ ^= b;
        hash_ *= 1099511628211ull;
    }
    uint64_t hash_ = 14695981039346656037ull;
};

uint64_t LoadDigest(const std::string& path, size_t& targets) {
    TargetGrid grid;
    ColumnMap columns;
    Digest d;
    d.Add(LoadLocationInfoFile(grid, columns, path));
    for (int s = 0; s < kColumnSlots; ++s) {
        d.Add(columns.slot[s]);
        d.Add(columns.columnCaption[s]);
    }
    targets = grid.size();
    d.Add(static_cast<int64_t>(targets));
    for (uint32_t i = 0; i < grid.size(); ++i) {
        const TargetRecord& t = grid.store().Loaded(i);
        d.Add(t.lat);
        d.Add(t.lon);
        for (int k = 0; k < kInfoItems; ++k) {
            d.Add(t.HasInfo(k));
            d.Add(t.Info(k));
        }
    }
    return d.value();
}

// The files, by their path under the source tree.
std::map<std::string, std::string> Cp932Files() {
    std::map<std::string, std::string> files;
    const fs::path source = ZENTORAK_SOURCE_DIR;
    for (const char* folder :
         {"tests/core/locinfo/testdata/cp932", "fuzz/seeds/load_location_info"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(source / folder)) {
            files[fs::relative(entry.path(), source).string()] = entry.path().string();
        }
    }
    files["tools/cli/testdata/shops.csv"] = (source / "tools/cli/testdata/shops.csv").string();
    return files;
}

TEST(LegacyLoad, Cp932FilesLoadExactlyAsBefore) {
    std::ifstream manifest(fs::path(ZENTORAK_SOURCE_DIR) /
                           "tests/core/locinfo/testdata/legacy_loads.txt");
    std::map<std::string, std::pair<size_t, uint64_t>> expected;
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string name;
        size_t targets = 0;
        uint64_t digest = 0;
        if (line.empty() || line[0] == '#' || !(fields >> name >> targets >> std::hex >> digest)) {
            continue;
        }
        expected[name] = {targets, digest};
    }
    std::map<std::string, std::string> files = Cp932Files();
    ASSERT_GT(files.size(), 70u);
    size_t withTargets = 0;
    for (const auto& [name, path] : files) {
        size_t targets = 0;
        uint64_t digest = LoadDigest(path, targets);
        auto it = expected.find(name);
        if (it == expected.end()) {
            // Seeds added since are the new forms; a CP932 file among them needs its digest.
            std::vector<std::u16string> header;
            TextEncoding encoding = TextEncoding::kCp932;
            ReadCsvHeader(path, header, &encoding);
            EXPECT_EQ(encoding, TextEncoding::kUtf8) << name << " has no expected digest";
            continue;
        }
        EXPECT_EQ(targets, it->second.first) << name;
        EXPECT_EQ(digest, it->second.second) << name;
        expected.erase(it);
        withTargets += targets > 0;
    }
    for (const auto& [name, digest] : expected) {
        ADD_FAILURE() << name << " is gone";
    }
    EXPECT_GT(withTargets, 60u);  // the comparison is about targets, not only about failures
}

}  // namespace
}  // namespace zentorak
