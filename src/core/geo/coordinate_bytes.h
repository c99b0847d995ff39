// Reads a coordinate field straight from its CP932 bytes for the loader: the usual form
// "d/mm/ss.mmm" (one to three degree digits) is read directly, anything else goes through
// DecodeCp932 and ParseDms. Either way the result is ParseDms's for the decoded field.
#pragma once

#include <string_view>

#include "core/geo/dms.h"

namespace zentorak {

// True when ParseDms accepts the decoded field; out then holds the angle.
bool ParseCoordinateBytes(std::string_view bytes, DmsAngle& out);

}  // namespace zentorak
