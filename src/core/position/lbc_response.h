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

// The failures, each numbered after the parser state where the bad character was met.
inline constexpr int kLbcBadPostal = -110;   // a postal-code line with a non-digit before its CR
inline constexpr int kLbcNoDegrees = -120;   // no digit after N or E
inline constexpr int kLbcBadDegrees = -121;  // degrees not closed by ':'
inline constexpr int kLbcNoMinutes = -122;
inline constexpr int kLbcBadMinutes = -123;  // minutes not closed by ':'
inline constexpr int kLbcNoSeconds = -124;
inline constexpr int kLbcBadSeconds = -125;  // seconds not closed by CR
inline constexpr int kLbcNoLineFeed = -150;  // an item line's CR not followed by LF

// Returns 0 once every item of `mask` has been read (both angles then get msec 0); one of the
// failures above; or, when the text ends first, the positive number of the state it ended in.
// Items not in the reply keep the values the caller passed in.
int ParseLbcResponse(int mask, std::u16string_view text, int& postal, DmsAngle& lat, DmsAngle& lon);

}  // namespace zentorak
