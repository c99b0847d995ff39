// Layout units of a 96-dpi screen turned into device pixels for a given logical resolution.
// Pure arithmetic: where the resolution comes from (the screen) is the UI's business.
#pragma once

#include "core/text/text_utils.h"

namespace zentorak {

struct Dpi {
    int x = 96;
    int y = 96;

    // The shared rule: (n * dpi + 48) / 96, truncating. Negative offsets are written as the
    // negated scaled length, as the radar does.
    int ScaleX(int n) const { return zentorak::ScaleX(n, x); }
    int ScaleY(int n) const { return zentorak::ScaleY(n, y); }
};

}  // namespace zentorak
