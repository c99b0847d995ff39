#include "gui/platform/finger_scroll.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QMouseEvent>
#include <QScroller>

namespace zentorak {
namespace {

// Once the finger scrolls, the mouse moves Qt makes from it must not reach the view as well:
// an item view would select every row the finger passes over. The press before (a tap may
// still become a selection) and the release after go through.
class DragMovesToScroller : public QObject {
public:
    explicit DragMovesToScroller(QWidget* viewport) : QObject(viewport), viewport_(viewport) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == viewport_ && event->type() == QEvent::MouseMove &&
            static_cast<QMouseEvent*>(event)->source() != Qt::MouseEventNotSynthesized) {
            const QScroller::State state = QScroller::scroller(viewport_)->state();
            return state == QScroller::Dragging || state == QScroller::Scrolling;
        }
        return false;
    }

private:
    QWidget* viewport_;
};

}  // namespace

void EnableFingerScrolling(QAbstractScrollArea* view) {
    // Row by row, the content would jump under the finger instead of following it.
    if (auto* items = qobject_cast<QAbstractItemView*>(view)) {
        items->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        items->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    QWidget* viewport = view->viewport();
    QScroller::grabGesture(viewport, QScroller::TouchGesture);
    viewport->installEventFilter(new DragMovesToScroller(viewport));
}

}  // namespace zentorak
