// Generator of a national set of shop-like targets in the location-info file format: CP932,
// CR LF, dense in the big cities and sparse elsewhere, with Japanese names, postal codes,
// addresses, telephone numbers and symbols such as ①㈱№Ⅱ髙﨑～－. Deterministic for a seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentorak::bench {

void WriteNationalSet(const std::string& path, size_t count, uint32_t seed);

}  // namespace zentorak::bench
