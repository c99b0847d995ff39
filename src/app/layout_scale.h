// Layout units of a 96-dpi screen turned into device pixels for a given logical resolution.
// Pure arithmetic: where the resolution comes from (the screen) is the UI's business.
#pragma once

namespace zentorak {

struct Dpi {
    int x = 96;
    int y = 96;

    // (n * dpi + 48) / 96 with truncating division, so a negative length scales as -(|n| ...)
    // only when the caller negates a scaled positive value, as the radar does.
    int ScaleX(int n) const { return (n * x + 48) / 96; }
    int ScaleY(int n) const { return (n * y + 48) / 96; }
};

}  // namespace zentorak
