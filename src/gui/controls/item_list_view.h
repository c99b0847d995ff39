// The item list window: a Qt widget that carries ItemListCore, turns Qt's input, resize and
// paint events into the control's messages, and draws rows through the drawing slots. Users
// talk to it only with SendMessage and may replace its procedure to see messages first. It
// does not store items itself; the core's store slots do.
#pragma once

#include <QFont>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/itemlist/item_list_core.h"

class QBrush;
class QPainter;
class QPen;

namespace zentorak {

inline constexpr char16_t kItemListClassName[] = u"INERT_LIST_VIEW";

// Registers the control's window class once at start-up; 0 on success. Registering again is
// harmless. Until it has run, ItemListView::Create makes no control.
int RegisterItemListClass();

// Built for each row while painting and handed to drawing slots 18 and 19.
struct InertDrawContext {
    QPainter* dc;
    const QRect* rect;
    const QBrush* rowBrush;
    const QBrush* pressedBrush;
    const QBrush* emptyBrush;
    const QPen* separatorPen;
    const QPen* pressedSeparatorPen;
    int index;
};

class ItemListView : public QWidget, private ItemListHost {
    Q_OBJECT

public:
    using Procedure = std::function<MsgResult(ItemListView& view, std::uint32_t msg,
                                              MsgWParam wParam, MsgLParam lParam)>;

    // Creates a child control; the low byte of style holds the text-format bits. Null when the
    // class is not registered or the control's state cannot be made.
    static ItemListView* Create(QWidget* parent, std::uint32_t style, int id);
    ~ItemListView() override;

    // Delivers a message through the current procedure, as a sent window message would be.
    MsgResult SendMessage(std::uint32_t msg, MsgWParam wParam = 0, MsgLParam lParam = 0);
    // Replaces the procedure and returns the previous one, to which the new one forwards.
    Procedure SetProcedure(Procedure procedure);
    // The control's own procedure.
    static MsgResult DefaultProcedure(ItemListView& view, std::uint32_t msg, MsgWParam wParam,
                                      MsgLParam lParam);

    int ControlId() const { return id_; }
    std::uint32_t TextFormat() const { return textFormat_; }
    ItemListCore& Core() { return *core_; }
    const QFont& RowFont() const { return font_ ? *font_ : font(); }

    // Tests replace the tick count and the frame sleep; both must be safe on any thread.
    void SetTiming(std::function<std::int64_t()> now, std::function<void(int)> sleep);

signals:
    // ILVN_COASTBEGIN or ILVN_COASTEND, always delivered later on the user-interface thread,
    // as a posted message would be.
    void notification(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    ItemListView(QWidget* parent, std::uint32_t style, int id);
    MsgResult Paint(MsgWParam wParam);
    MsgResult DrawRowThroughSlot(InertDrawContext& dc, bool isItem, MsgWParam wParam);
    void SetRowFont(MsgWParam handle);

    // ItemListHost
    void Invalidate() override;
    void UpdateNow() override;
    void SetFocus() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    std::int64_t NowMs() override;
    void SleepMs(int ms) override;
    void RequestRepaint() override;
    void PostNotification(int code) override;
    void PostTask(std::function<void()> task) override;

    int id_;
    std::uint32_t textFormat_;
    std::unique_ptr<ItemListCore> core_;
    Procedure procedure_;
    std::optional<QFont> font_;
    MsgWParam fontHandle_ = 0;
    bool captured_ = false;
    bool inPaintEvent_ = false;
    std::function<std::int64_t()> now_;
    std::function<void(int)> sleep_;
};

}  // namespace zentorak
