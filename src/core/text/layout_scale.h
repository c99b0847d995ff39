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

// The handset the main window stands for. Its screen is a portrait QVGA one by default; the
// task bar above the main window and the soft-key bar below it are one bar height each.
inline constexpr int kHandsetWidth = 240;
inline constexpr int kHandsetHeight = 320;
inline constexpr int kBarHeight = 26;

// Screen of the handset the window stands for: width W and height H, in device pixels.
struct ScreenSize {
    int width = kHandsetWidth;
    int height = kHandsetHeight;
    bool Portrait() const { return height >= width; }
    bool operator==(const ScreenSize&) const = default;
};

// The one rule: W is the main window's content width, H its content height (the area above the
// soft-key bar) plus the two bars.
inline ScreenSize HandsetScreen(int contentWidth, int contentHeight, const Dpi& dpi) {
    return {contentWidth, contentHeight + 2 * dpi.ScaleY(kBarHeight)};
}

// Before there is a main window: the default handset's screen at this resolution.
inline ScreenSize DefaultHandsetScreen(const Dpi& dpi) {
    return {dpi.ScaleX(kHandsetWidth), dpi.ScaleY(kHandsetHeight)};
}

}  // namespace zentorak
