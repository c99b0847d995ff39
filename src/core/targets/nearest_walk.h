// The nearest-target walk behind SearchNearest. It gives exactly the result of offering every
// target of rings 0..29 around the origin's cell to a sorted list (ties: the target offered
// first), but visits cells and sub-cells nearest first and stops once nothing unvisited can be
// nearer than the last entry.
#pragma once

#include <cstdint>
#include <vector>

#include "core/targets/target_store.h"

namespace zentorak {

inline constexpr int kLastRing = 29;

struct NearestCandidate {
    double distance;
    uint32_t cellOrder;  // ring and place in the ring walk; then the cell list's order decides
    uint32_t record;     // storage position
};

// The walk position of a cell at (dRow, dColumn) from the origin's cell: ring * 256 + the place
// in the ring's walk (from the corner (-i, -i): row rising, column rising, row falling, column
// falling).
uint32_t RingWalkOrder(int dRow, int dColumn);

// Fills best with up to wanted candidates, nearest first. May throw std::bad_alloc.
void WalkNearest(const TargetStore& store, double lat, double lon, int row, int column, int wanted,
                 std::vector<NearestCandidate>& best);

}  // namespace zentorak
