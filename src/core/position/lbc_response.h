// Reads the W-SIM module's reply to AT@LBC? (echo, CR LF, then N/E/postal-code lines in any
// order) into a postal code and two angles. Only parses: it does not talk to the port.
// The reply text is one UTF-16 unit per received byte, as the receive buffer holds it.
#pragma once

#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

// Item bits of the required-items mask.
inline constexpr int kLbcPostal = 1;
inline constexpr int kLbcLatitude = 2;
inline constexpr int kLbcLongitude = 4;

// Returns 0 once every item of `mask` has been read (both angles then get msec 0); a negative
// code naming the state where a bad character was met (-110, -120..-125, -150); or, when the
// text ends first, the positive number of the state it ended in. Items not in the reply keep
// the values the caller passed in.
int ParseLbcResponse(int mask, std::u16string_view text, int& postal, DmsAngle& lat, DmsAngle& lon);

}  // namespace zentorak
