#include "gui/platform/screen_dpi.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace zentorak {
namespace {

int Read(bool horizontal) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return -1;
    }
    double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return static_cast<int>(std::lround(dpi));
}

}  // namespace

int LogPixelsX() {
    static const int value = Read(true);
    return value;
}

int LogPixelsY() {
    static const int value = Read(false);
    return value;
}

Dpi ScreenDpi() {
    int x = LogPixelsX(), y = LogPixelsY();
    return {x > 0 ? x : 96, y > 0 ? y : 96};
}

namespace {
std::function<ScreenSize()>& HandsetScreenSource() {
    static std::function<ScreenSize()> source;
    return source;
}
}  // namespace

void SetHandsetScreenSource(std::function<ScreenSize()> source) {
    HandsetScreenSource() = std::move(source);
}

ScreenSize CurrentHandsetScreen() {
    const std::function<ScreenSize()>& source = HandsetScreenSource();
    return source ? source() : DefaultHandsetScreen(ScreenDpi());
}

}  // namespace zentorak
