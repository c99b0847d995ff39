// Pen gestures on the radar: tap, tap-and-hold menu, pan and zoom, in both origin modes, and the
// zoom by steps that the strip's keys, the wheel, a pinch and the + and - keys share.
#include <QAction>
#include <QMenu>
#include <cstdlib>

#include "core/resources/resource_ids.h"
#include "gui/app/main_window.h"
#include "gui/app/radar_widget.h"
#include "gui/app/result_panes.h"
#include "gui/platform/tap_and_hold.h"
#include "gui/resources/menu_builder.h"

namespace zentorak {

using namespace res;

namespace {

PixelPoint ToPixel(QPoint p) {
    return {p.x(), p.y()};
}

}  // namespace

void MainWindow::PenDown(QPoint p, bool rightButton) {
    if (inputGate_) {
        inputGate_();
    }
    state_.pressPoint = state_.lastPoint = ToPixel(p);
    bool inStrip = InZoomStrip(p.x(), state_.layout, state_.dpi);
    if (rightButton && !inStrip) {
        TapAndHoldAt(p);
        return;
    }
    state_.dragState = kDragPending;
    // A hold inside the zoom strip stays a pending drag.
    if (!inStrip && !rightButton) {
        tapAndHold_->Press(p);
    }
}

void MainWindow::TapAndHoldAt(QPoint p) {
    tapAndHold_->Release();
    state_.pressPoint = state_.lastPoint = ToPixel(p);
    state_.dragState = kDragIdle;
    bool onMarker = MarkerAt(state_.pressPoint) >= 0;
    FindCommand(radarPopup_, ID_RADAR_DETAILS)->setEnabled(onMarker);
    FindCommand(radarPopup_, ID_RADAR_CALL)->setEnabled(onMarker);
    RefreshOriginModeTexts();
    ShowPopup(IDR_RADAR_POPUP, radar_->mapToGlobal(p));
}

void MainWindow::PenMove(QPoint p) {
    tapAndHold_->Move(p);
    PixelPoint pt = ToPixel(p);
    switch (state_.dragState) {
        case kDragPending:
            if (std::abs(pt.x - state_.pressPoint.x) <= state_.dpi.ScaleX(4) &&
                std::abs(pt.y - state_.pressPoint.y) <= state_.dpi.ScaleY(4)) {
                return;
            }
            if (!InZoomStrip(state_.pressPoint.x, state_.layout, state_.dpi)) {
                state_.dragState = kDragPan;  // measured from the press: no movement is lost
                return;
            }
            // The zoom is measured from here, not from the press, so that the threshold does
            // not count; every move applies the whole run so far to the view the drag began
            // with, and a quick drag zooms as far as a slow one.
            state_.dragState = kDragZoom;
            state_.lastPoint = pt;
            state_.zoomDragStart = state_.View();
            return;
        case kDragZoom:
            ZoomDragTo(pt);
            Repaint();
            return;
        case kDragPan:
            state_.originX += pt.x - state_.lastPoint.x;
            state_.originY += pt.y - state_.lastPoint.y;
            break;
        default:
            return;
    }
    Repaint();
    state_.lastPoint = pt;
}

void MainWindow::PenUp(QPoint p) {
    tapAndHold_->Release();
    int drag = state_.dragState;
    state_.dragState = kDragIdle;
    PixelPoint pt = ToPixel(p);
    if (drag == kDragPending) {
        if (InZoomStrip(state_.pressPoint.x, state_.layout, state_.dpi)) {
            // A tap on the strip's keys: one step in or out.
            ZoomBy(ZoomKeyAt(state_.pressPoint.y, state_.layout) > 0 ? kZoomInFactor
                                                                     : kZoomOutFactor);
            return;
        }
        int k = MarkerAt(state_.pressPoint);
        if (k >= 0) {
            // The row goes with the marker, so that the list shows which place was tapped.
            panes_->SelectRow(k);
            ShowDetails(k);
        }
    } else if (drag == kDragZoom) {
        ZoomDragTo(pt);
        Repaint();
    } else if (drag == kDragPan) {
        state_.originX += pt.x - state_.lastPoint.x;
        state_.originY += pt.y - state_.lastPoint.y;
        if (state_.settings.OrgFixedMode == 1) {
            Repaint();
        } else {
            FinishFloatingPan(p);
        }
    }
}

void MainWindow::PenCancel() {
    tapAndHold_->Release();
    state_.dragState = kDragIdle;
}

void MainWindow::ZoomDragTo(PixelPoint pt) {
    RadarView view = state_.zoomDragStart;
    // A new position may have come during the drag: keep the origin's angles it set.
    view.originLat = state_.originLat;
    view.originLon = state_.originLon;
    ApplyZoomStep(view, pt.y - state_.lastPoint.y, ViewCentrePoint(), state_.dpi);
    state_.SetView(view);
}

void MainWindow::ZoomBy(double factor) {
    RadarView view = state_.View();
    ApplyZoomFactor(view, factor, ViewCentrePoint());
    state_.SetView(view);
    Repaint();
}

// The list follows the view centre while the origin jumps by whole grid spacings, so that the
// picture stays where the pen left it.
void MainWindow::FinishFloatingPan(QPoint) {
    PixelPoint centre = ViewCentrePoint();
    DmsAngle lat, lon;
    PointToPosition(state_.View(), centre, lat, lon);
    SearchNearest(state_.grid, lat, lon, state_.settings.TrgtSrchNum, state_.found);
    panes_->Fill(content_->width());
    PixelPoint snapped = SnapToGrid({state_.originX, state_.originY}, centre, state_.gridSpacing);
    SetOriginAtPoint(snapped);
    state_.originX = snapped.x;
    state_.originY = snapped.y;
    Repaint();
}

}  // namespace zentorak
