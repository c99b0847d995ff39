// Reads the two coordinate cells of a location-info line straight from their bytes, in either of
// two forms: "d/mm/ss.mmm" on the Tokyo datum, read as ParseDms reads the decoded text, and
// decimal degrees on WGS 84, converted to the Tokyo datum. Both forms are ASCII, so the file's
// encoding does not matter: a byte above 0x7F makes a cell unreadable, as it makes ParseDms fail
// on the decoded text in CP932 and in UTF-8 alike. Does not check the service area of a DMS point.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

// True when ParseDms accepts the decoded field; out then holds the angle.
bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out);

// A plain decimal number: digits with at most one '.', blanks (space, tab) around it allowed, no
// sign and no exponent. True with its value.
bool ParseDecimalDegrees(std::string_view bytes, double& degrees);

enum class PointForm : uint8_t {
    kUnreadable,          // a cell in neither form
    kDms,                 // both cells D/M/S (whole numbers such as 35 count as that too)
    kDecimal,             // both cells decimal degrees, converted to the Tokyo datum
    kDecimalOutsideArea,  // decimal degrees, but not 20..46 N and 122..148 E: no point
    kMixed,               // one cell in each form: no point
};

// The point of a line from its latitude and longitude cells. A whole number of degrees reads in
// either form, so it goes with the other cell; two whole numbers are D/M/S, as they always were.
// lat and lon are set for kDms and kDecimal.
PointForm ReadPoint(std::string_view latCell, std::string_view lonCell, DmsAngle& lat,
                    DmsAngle& lon);

}  // namespace zentorak
