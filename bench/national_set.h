// Generator of a national set of shop-like targets in the location-info file format, CR LF,
// dense in the big cities and sparse elsewhere, with Japanese names, postal codes, addresses,
// telephone numbers and symbols such as ①㈱№Ⅱ髙﨑～－. Deterministic for a seed; the same seed
// gives the same places and texts in every form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentorak::bench {

enum class NationalSetForm {
    kHandset,      // CP932, D/M/S on the Tokyo datum
    kUtf8Dms,      // UTF-8 with the byte-order mark, D/M/S on the Tokyo datum
    kUtf8Decimal,  // UTF-8 with the byte-order mark, decimal degrees on WGS 84
};

void WriteNationalSet(const std::string& path, size_t count, uint32_t seed,
                      NationalSetForm form = NationalSetForm::kHandset);

}  // namespace zentorak::bench
