#include "geo/target_store.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/code_page.h"

namespace zentorak {

int SubCellIndex(double x, double x0, double step, int k) {
    double s = std::floor((x - x0) / step);
    if (!(s >= 0)) {
        return 0;
    }
    return s >= k ? k - 1 : static_cast<int>(s);
}

char16_t* TargetStore::PoolSpace(size_t units) {
    if (poolSize_ - poolUsed_ < units) {
        size_t size = std::max(kPoolBlock, units);
        pool_.push_back(std::unique_ptr<char16_t[]>(new char16_t[size]));
        poolUsed_ = 0;
        poolSize_ = size;
    }
    return pool_.back().get() + poolUsed_;
}

const TargetRecord* TargetStore::Add(const DmsAngle& lat, const DmsAngle& lon, int cell,
                                     const std::array<std::string_view, kInfoItems>& items,
                                     uint8_t present) {
    size_t need = 0;
    for (int k = 0; k < kInfoItems; ++k) {
        if (present & (1u << k)) {
            need += items[k].size() + (items[k].size() >= 0x8000 ? 2 : 1);
        }
    }
    char16_t* text = nullptr;
    try {
        if (count_ == records_.size() * kChunkSize) {
            records_.push_back(std::unique_ptr<TargetRecord[]>(new TargetRecord[kChunkSize]));
        }
        if (need > 0) {
            text = PoolSpace(need);
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    char16_t* out = text;
    for (int k = 0; k < kInfoItems; ++k) {
        if (!(present & (1u << k))) {
            continue;
        }
        bool wide = items[k].size() >= 0x8000;
        char16_t* body = out + (wide ? 2 : 1);
        size_t n = DecodeCp932(items[k].data(), items[k].size(), body);
        if (wide) {
            out[0] = static_cast<char16_t>(0x8000 | (n >> 16));
            out[1] = static_cast<char16_t>(n & 0xFFFF);
        } else {
            out[0] = static_cast<char16_t>(n);
        }
        out = body + n;
    }
    poolUsed_ += static_cast<size_t>(out - text);
    TargetRecord& record = records_[count_ >> kChunkBits][count_ & (kChunkSize - 1)];
    record.lat = lat;
    record.lon = lon;
    record.text_ = text;
    record.cell_ = cell;
    record.present_ = present;
    ++count_;
    indexed_ = false;
    return &record;
}

int TargetStore::CellOf(const TargetRecord& record) {
    return record.cell_;
}

void TargetStore::Clear() {
    // Swapping with empty vectors gives the memory back, which clear() would keep.
    std::vector<std::unique_ptr<TargetRecord[]>>().swap(records_);
    std::vector<std::unique_ptr<char16_t[]>>().swap(pool_);
    count_ = 0;
    poolUsed_ = poolSize_ = 0;
    std::vector<Cell>().swap(cells);
    std::vector<Bucket>().swap(buckets);
    std::vector<uint32_t>().swap(subMaps);
    std::vector<double>().swap(entryLat);
    std::vector<double>().swap(entryLon);
    std::vector<uint32_t>().swap(entryRecord);
    indexed_ = false;
}

}  // namespace zentorak
