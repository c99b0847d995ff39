#include "core/targets/nearest_walk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace zentorak {

namespace {

// Nominal cell and sub-cell edges may differ from where rounding put a target by far less than
// this; lower bounds taken from them are lowered by it.
constexpr double kEdgeSlack = 1e-9;

double BoxDistance(double lat, double lon, double minLat, double maxLat, double minLon,
                   double maxLon) {
    double dLat = lat < minLat ? minLat - lat : (lat > maxLat ? lat - maxLat : 0.0);
    double dLon = lon < minLon ? minLon - lon : (lon > maxLon ? lon - maxLon : 0.0);
    return std::sqrt(dLon * dLon + dLat * dLat);
}

// The least distance from (lat, lon) to anything outside the square of half-width (i - 1)
// around (row, column) on a grid whose line j lies at south + j * step; sides beyond the grid's
// lines 0..size hold nothing and do not count.
double RingBound(double lat, double lon, int row, int column, int i, double south, double west,
                 double step, int size) {
    double bound = HUGE_VAL;
    if (row - i >= 0) {
        bound = std::min(bound, lat - (south + (row - i + 1) * step));
    }
    if (row + i < size) {
        bound = std::min(bound, south + (row + i) * step - lat);
    }
    if (column - i >= 0) {
        bound = std::min(bound, lon - (west + (column - i + 1) * step));
    }
    if (column + i < size) {
        bound = std::min(bound, west + (column + i) * step - lon);
    }
    return std::max(0.0, bound - kEdgeSlack);
}

enum class Kind : uint8_t { kCell, kSubRing, kBucket };

struct Pending {
    double bound;
    uint32_t id;     // cell or bucket
    uint32_t order;  // ring walk order of the cell
    int32_t ring;    // sub-ring of a dense cell
    Kind kind;
    bool operator>(const Pending& o) const { return bound > o.bound; }
};

class Walker {
public:
    Walker(const TargetStore& store, double lat, double lon, int row, int column, int wanted,
           std::vector<NearestCandidate>& best)
        : s_(store),
          lat_(lat),
          lon_(lon),
          row_(row),
          column_(column),
          wanted_(wanted),
          best_(best) {}

    void Run();

private:
    void PushRing(int i);
    void OpenSubRing(const Pending& p);
    void Scan(uint32_t bucket, uint32_t order);
    void Offer(double distance, uint32_t order, uint32_t record);
    // Offered earlier: nearer, or as near from a cell earlier in the walk, or from the same cell
    // and loaded later (the load number is looked up for such ties only).
    bool Before(const NearestCandidate& a, const NearestCandidate& b) const {
        if (a.distance != b.distance) {
            return a.distance < b.distance;
        }
        if (a.cellOrder != b.cellOrder) {
            return a.cellOrder < b.cellOrder;
        }
        return TargetStore::LoadNumberOf(s_.At(a.record)) >
               TargetStore::LoadNumberOf(s_.At(b.record));
    }
    double Worst() const { return best_.back().distance; }
    bool Full() const { return static_cast<int>(best_.size()) >= wanted_; }

    const TargetStore& s_;
    double lat_, lon_;
    int row_, column_, wanted_;
    std::vector<NearestCandidate>& best_;
    // A heap kept in a buffer of the calling thread, so a search allocates nothing once warm.
    struct Queue {
        std::vector<Pending>& heap;
        bool empty() const { return heap.empty(); }
        const Pending& top() const { return heap.front(); }
        void push(const Pending& p) {
            heap.push_back(p);
            std::push_heap(heap.begin(), heap.end(), std::greater<Pending>());
        }
        void pop() {
            std::pop_heap(heap.begin(), heap.end(), std::greater<Pending>());
            heap.pop_back();
        }
    };
    Queue queue_{Buffer()};
    static std::vector<Pending>& Buffer() {
        thread_local std::vector<Pending> buffer;
        buffer.clear();
        return buffer;
    }
};

}  // namespace

uint32_t RingWalkOrder(int dr, int dc) {
    int i = std::max(std::abs(dr), std::abs(dc));
    int place;
    if (i == 0) {
        place = 0;
    } else if (dc == -i && dr < i) {
        place = dr + i;
    } else if (dr == i && dc < i) {
        place = 2 * i + dc + i;
    } else if (dc == i && dr > -i) {
        place = 4 * i + i - dr;
    } else {
        place = 6 * i + i - dc;
    }
    return static_cast<uint32_t>(i * 256 + place);
}

void Walker::Run() {
    best_.clear();
    if (wanted_ <= 0) {
        return;
    }
    int ring = 0;
    PushRing(0);
    for (;;) {
        while (ring < kLastRing &&
               (queue_.empty() || RingBound(lat_, lon_, row_, column_, ring + 1, kAreaLatMin,
                                            kAreaLonMin, 0.1, kGridRows) <= queue_.top().bound)) {
            PushRing(++ring);
        }
        if (queue_.empty()) {
            return;
        }
        Pending p = queue_.top();
        queue_.pop();
        if (Full() && p.bound > Worst()) {
            return;  // nothing left can be nearer than the last entry
        }
        if (p.kind == Kind::kBucket) {
            Scan(p.id, p.order);
        } else if (p.kind == Kind::kCell && s_.cells[p.id].k == 1) {
            Scan(s_.cells[p.id].firstBucket, p.order);
        } else {
            OpenSubRing(p);
        }
    }
}

void Walker::PushRing(int i) {
    for (int dr = -i; dr <= i; ++dr) {
        int r = row_ + dr;
        if (r < 0 || r >= kGridRows) {
            continue;
        }
        // Inner rows of the ring hold only its two side cells.
        int stride = (dr == -i || dr == i) ? 1 : 2 * i;
        for (int dc = -i; dc <= i; dc += stride > 0 ? stride : 1) {
            int c = column_ + dc;
            if (c < 0 || c >= kGridColumns) {
                continue;
            }
            uint32_t cell = static_cast<uint32_t>(r * kGridColumns + c);
            const TargetStore::Cell& info = s_.cells[cell];
            if (info.k == 0) {
                continue;
            }
            double bound =
                BoxDistance(lat_, lon_, info.minLat, info.maxLat, info.minLon, info.maxLon);
            queue_.push({bound, cell, RingWalkOrder(dr, dc), 0, Kind::kCell});
        }
    }
}

// Visits a dense cell's sub-cells ring by ring around the sub-cell nearest the point, so a
// search touches only the sub-cells that can still matter.
void Walker::OpenSubRing(const Pending& p) {
    const TargetStore::Cell& cell = s_.cells[p.id];
    int k = cell.k;
    double south = RowSouth(static_cast<int>(p.id) / kGridColumns);
    double west = ColumnWest(static_cast<int>(p.id) % kGridColumns);
    double step = 0.1 / k;
    int si = SubCellIndex(lat_, south, k * 10.0, k);
    int sj = SubCellIndex(lon_, west, k * 10.0, k);
    int j = p.kind == Kind::kCell ? 0 : p.ring;
    for (int a = si - j; a <= si + j; ++a) {
        if (a < 0 || a >= k) {
            continue;
        }
        int stride = (a == si - j || a == si + j) ? 1 : 2 * j;
        for (int b = sj - j; b <= sj + j; b += stride > 0 ? stride : 1) {
            if (b < 0 || b >= k) {
                continue;
            }
            uint32_t bucket = s_.subMaps[cell.subMap + a * k + b];
            if (bucket == TargetStore::kNoBucket) {
                continue;
            }
            const TargetStore::Bucket& box = s_.buckets[bucket];
            double bound = BoxDistance(lat_, lon_, box.minLat, box.maxLat, box.minLon, box.maxLon);
            queue_.push({bound, bucket, p.order, 0, Kind::kBucket});
        }
    }
    if (j + 1 <= std::max(std::max(si, k - 1 - si), std::max(sj, k - 1 - sj))) {
        double bound =
            std::max(p.bound, RingBound(lat_, lon_, si, sj, j + 1, south, west, step, k));
        queue_.push({bound, p.id, p.order, j + 1, Kind::kSubRing});
    }
}

void Walker::Scan(uint32_t bucket, uint32_t order) {
    const TargetStore::Bucket& box = s_.buckets[bucket];
    for (uint32_t p = box.begin; p < box.end; ++p) {
        const TargetRecord& target = s_.At(p);
        double d = SortingDistance(lat_, lon_, DmsToDegrees(target.lat), DmsToDegrees(target.lon));
        if (Full() && d > Worst()) {
            continue;
        }
        Offer(d, order, p);
    }
}

void Walker::Offer(double distance, uint32_t order, uint32_t record) {
    NearestCandidate c{distance, order, record};
    if (Full() && !Before(c, best_.back())) {
        return;
    }
    if (Full()) {
        best_.pop_back();
    }
    auto at = std::upper_bound(best_.begin(), best_.end(), c,
                               [this](const auto& a, const auto& b) { return Before(a, b); });
    best_.insert(at, c);
}

void WalkNearest(const TargetStore& store, double lat, double lon, int row, int column, int wanted,
                 std::vector<NearestCandidate>& best) {
    best.clear();
    if (!store.indexed()) {
        return;
    }
    Walker(store, lat, lon, row, column, wanted, best).Run();
}
}  // namespace zentorak
