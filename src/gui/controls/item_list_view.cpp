#include "gui/controls/item_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

#include "core/text/text_utils.h"
#include "gui/controls/item_list_accessible.h"
#include "gui/controls/item_list_draw.h"
#include "gui/platform/screen_dpi.h"

namespace zentorak {
namespace {

std::atomic<bool> classRegistered{false};

// The visible bit of a window style; the other window bits (child, tab stop) are how every
// item list is made anyway.
constexpr std::uint32_t kVisibleStyle = 0x10000000;

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Home:
            return vk::kHome;
        case Qt::Key_End:
            return vk::kEnd;
        case Qt::Key_Left:
            return vk::kLeft;
        case Qt::Key_Up:
            return vk::kUp;
        case Qt::Key_Right:
            return vk::kRight;
        case Qt::Key_Down:
            return vk::kDown;
        default: {
            // Digits, letters and the space bar share their codes with Qt; other keys carry 0.
            bool shared = qtKey == Qt::Key_Space || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
                          (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z);
            return shared ? qtKey : 0;
        }
    }
}

MsgLParam PointOf(const QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    return MakePointParam(p.x(), p.y());
}

}  // namespace

int RegisterItemListClass() {
    InstallItemListAccessible();
    classRegistered = true;
    return 0;
}

ItemListView* ItemListView::Create(QWidget* parent, std::uint32_t style, int id) {
    if (!classRegistered) {
        return nullptr;
    }
    auto* view = new ItemListView(parent, style, id);
    ScreenSize screen = CurrentHandsetScreen();
    int defaultHeight = QFontMetrics(view->font()).height();
    view->core_.reset(new (std::nothrow)
                          ItemListCore(*view, defaultHeight, screen.width, screen.height));
    if (view->core_ == nullptr || view->core_->InitStore() != 0) {
        delete view;
        return nullptr;
    }
    if ((style & kVisibleStyle) != 0 && parent != nullptr) {
        view->show();
    }
    bool handled = false;
    view->core_->Handle(ILVM_SETCALLBACK, kSlotDrawRow,
                        reinterpret_cast<MsgLParam>(&DefaultDrawRow), handled);
    view->core_->Handle(ILVM_SETCALLBACK, kSlotDrawEmptyRow,
                        reinterpret_cast<MsgLParam>(&DefaultDrawEmptyRow), handled);
    return view;
}

ItemListView::ItemListView(QWidget* parent, std::uint32_t style, int id)
    : QWidget(parent),
      id_(id),
      textFormat_(TextFormatFromStyle(style & 0xFF)),
      procedure_(&ItemListView::DefaultProcedure) {
    // The class background is white; rows cover it wherever they are drawn.
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

ItemListView::~ItemListView() {
    if (core_ != nullptr) {
        // Stops and joins a running coast first; its queued work dies with this object. A
        // store that refuses to go has nowhere to report it.
        core_->DestroyStore();
    }
}

MsgResult ItemListView::SendMessage(std::uint32_t msg, MsgWParam wParam, MsgLParam lParam) {
    Procedure procedure = procedure_;  // a procedure may replace itself while it runs
    return procedure(*this, msg, wParam, lParam);
}

ItemListView::Procedure ItemListView::SetProcedure(Procedure procedure) {
    Procedure previous = std::move(procedure_);
    procedure_ = std::move(procedure);
    return previous;
}

MsgResult ItemListView::DefaultProcedure(ItemListView& view, std::uint32_t msg, MsgWParam wParam,
                                         MsgLParam lParam) {
    switch (msg) {
        case wm::kPaint:
            return view.Paint(wParam);
        case wm::kSetFont:
            view.SetRowFont(wParam);
            return 0;
        case wm::kGetFont:
            return static_cast<MsgResult>(view.fontHandle_);
        default: {
            bool handled = false;
            MsgResult result = view.core_->Handle(msg, wParam, lParam, handled);
            return handled ? result : 0;
        }
    }
}

void ItemListView::SetTiming(std::function<std::int64_t()> now, std::function<void(int)> sleep) {
    now_ = std::move(now);
    sleep_ = std::move(sleep);
}

// The font handle is a const QFont* owned by the sender, as a font handle would be; the
// control keeps its own copy. Rows keep their own heights; nothing is redrawn.
void ItemListView::SetRowFont(MsgWParam handle) {
    const auto* font = reinterpret_cast<const QFont*>(handle);
    fontHandle_ = handle;
    font_.reset();
    if (font != nullptr) {
        font_ = *font;
    }
    core_->SetDefaultHeight(QFontMetrics(RowFont()).height());
}

void ItemListView::paintEvent(QPaintEvent*) {
    inPaintEvent_ = true;
    SendMessage(wm::kPaint);
    inPaintEvent_ = false;
}

void ItemListView::resizeEvent(QResizeEvent*) {
    SendMessage(wm::kSize, 0, MakePointParam(width(), height()));
}

void ItemListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SendMessage(wm::kLButtonDown, 0, PointOf(event));
    }
}

void ItemListView::mouseMoveEvent(QMouseEvent* event) {
    // Without the capture only moves over the control itself arrive.
    if (captured_ || rect().contains(event->position().toPoint())) {
        SendMessage(wm::kMouseMove, 0, PointOf(event));
    }
}

void ItemListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        (captured_ || rect().contains(event->position().toPoint()))) {
        SendMessage(wm::kLButtonUp, 0, PointOf(event));
    }
}

void ItemListView::keyPressEvent(QKeyEvent* event) {
    int key = VirtualKeyOf(event->key());
    const int top = core_->TopIndex();
    SendMessage(wm::kKeyDown, static_cast<MsgWParam>(key));
    if (core_->TopIndex() != top) {
        AnnounceItemListRow(this, core_->TopIndex());
    }
    // Keys the list does not use go on to the dialog or window around it.
    if (key >= vk::kEnd && key <= vk::kDown) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ItemListView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    AnnounceItemListRow(this, core_->TopIndex());
}

void ItemListView::keyReleaseEvent(QKeyEvent* event) {
    SendMessage(wm::kKeyUp, static_cast<MsgWParam>(VirtualKeyOf(event->key())));
    event->ignore();
}

void ItemListView::Invalidate() {
    update();
}
void ItemListView::UpdateNow() {
    repaint();
}
void ItemListView::SetFocus() {
    setFocus(Qt::MouseFocusReason);
}
void ItemListView::SetCapture() {
    captured_ = true;
}
void ItemListView::ReleaseCapture() {
    captured_ = false;
}
int ItemListView::ClientWidth() const {
    return width();
}
int ItemListView::ClientHeight() const {
    return height();
}

std::int64_t ItemListView::NowMs() {
    if (now_) {
        return now_();
    }
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

void ItemListView::SleepMs(int ms) {
    if (sleep_) {
        sleep_(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

// The three below run on the coasting thread: they only queue work for this object, which Qt
// discards if the object is gone by then.
void ItemListView::RequestRepaint() {
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
}

void ItemListView::PostNotification(int code) {
    QMetaObject::invokeMethod(
        this, [this, code] { emit notification(code); }, Qt::QueuedConnection);
}

void ItemListView::PostTask(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

}  // namespace zentorak
