#include "gui/controls/item_list_draw.h"

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include "gui/controls/item_list_view.h"
#include "gui/platform/qt_text.h"

namespace zentorak {
namespace {

int AlignmentOf(std::uint32_t format) {
    int flags = (format & DT_CENTER)  ? Qt::AlignHCenter
                : (format & DT_RIGHT) ? Qt::AlignRight
                                      : Qt::AlignLeft;
    // As with the handset's text drawing, vertical placement applies to single lines only.
    if ((format & DT_SINGLELINE) != 0) {
        flags |= (format & DT_VCENTER)  ? Qt::AlignVCenter
                 : (format & DT_BOTTOM) ? Qt::AlignBottom
                                        : Qt::AlignTop;
        return flags;
    }
    flags |= Qt::AlignTop;
    if ((format & DT_WORDBREAK) != 0) {
        flags |= Qt::TextWordWrap;
    }
    return flags;
}

void DrawRowText(QPainter& painter, const QRect& rect, QString text, std::uint32_t format,
                 const QColor& color) {
    if ((format & DT_SINGLELINE) != 0 && (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0) {
        text = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    }
    painter.setPen(color);
    painter.drawText(rect, AlignmentOf(format), text);
}

}  // namespace

QColor ColorFromRef(ColorRef color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

MsgResult DefaultDrawRow(void* target, MsgLParam, MsgLParam, MsgLParam context) {
    auto& view = *static_cast<ItemListView*>(target);
    const auto& dc = *reinterpret_cast<const InertDrawContext*>(context);
    ItemListCore& core = view.Core();
    auto* text = reinterpret_cast<char16_t*>(core.CallSlot(kSlotGetText, dc.index));
    if (text == nullptr) {
        return -100;
    }
    bool pressed = dc.index == core.PressedIndex() && core.PenDown();
    QPainter& painter = *dc.dc;
    const QRect& rect = *dc.rect;
    painter.fillRect(rect, pressed ? *dc.pressedBrush : *dc.rowBrush);
    QString string = ToQString(text);
    FreeItemText(text);
    if ((core.Flags() & ILVF_SHADOW) != 0) {
        DrawRowText(painter, rect.adjusted(1, 1, 0, 0), string, view.TextFormat(),
                    ColorFromRef(core.Color(pressed ? 8 : 3)));
    }
    DrawRowText(painter, rect, string, view.TextFormat(),
                ColorFromRef(core.Color(pressed ? 6 : 1)));
    // The last pixel row of every row is its separator.
    painter.setPen(pressed ? *dc.pressedSeparatorPen : *dc.separatorPen);
    int y = rect.top() + rect.height() - 1;
    painter.drawLine(0, y, rect.left() + rect.width() - 1, y);
    return 0;
}

MsgResult DefaultDrawEmptyRow(void*, MsgLParam, MsgLParam, MsgLParam context) {
    const auto& dc = *reinterpret_cast<const InertDrawContext*>(context);
    dc.dc->fillRect(*dc.rect, *dc.emptyBrush);
    return 0;
}

MsgResult ItemListView::Paint(MsgWParam wParam) {
    if (!inPaintEvent_) {
        // Painting happens only inside Qt's paint event; a stray WM_PAINT asks for one.
        update();
        return 0;
    }
    const ItemListCore& core = *core_;
    QPainter painter(this);
    painter.setFont(RowFont());
    QBrush emptyBrush(ColorFromRef(core.Color(0)));
    QBrush rowBrush(ColorFromRef(core.Color(4)));
    QBrush pressedBrush(ColorFromRef(core.Color(9)));
    QPen separatorPen(ColorFromRef(core.Color(5)), 1);
    QPen pressedSeparatorPen(ColorFromRef(core.Color(10)), 1);
    QRect rect;
    InertDrawContext dc{
        &painter, &rect, &rowBrush, &pressedBrush, &emptyBrush, &separatorPen, &pressedSeparatorPen,
        0};
    return core_->PaintRows(height(), [&](int index, int top, int rowHeight, bool isItem) {
        rect = QRect(0, top, width(), rowHeight);
        dc.index = index;
        return DrawRowThroughSlot(dc, isItem, wParam);
    });
}

MsgResult ItemListView::DrawRowThroughSlot(InertDrawContext& dc, bool isItem, MsgWParam wParam) {
    InertListCallback slot = core_->Slot(isItem ? kSlotDrawRow : kSlotDrawEmptyRow);
    if (slot == nullptr) {
        return 0;
    }
    return slot(this, wm::kPaint, static_cast<MsgLParam>(wParam), reinterpret_cast<MsgLParam>(&dc));
}

}  // namespace zentorak
