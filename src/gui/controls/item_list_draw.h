// The item list control's default drawing slots: a row with its text, pressed colours, optional
// shadow and separator line, and an empty row below the items. Called only during a paint pass
// with the InertDrawContext of the row.
#pragma once

#include "core/itemlist/item_list_types.h"

class QColor;

namespace zentorak {

// Slot 18: target is the ItemListView, c the InertDrawContext. -100 when the text is missing.
MsgResult DefaultDrawRow(void* target, MsgLParam msg, MsgLParam wParam, MsgLParam context);
// Slot 19: fills the row with the empty-row brush.
MsgResult DefaultDrawEmptyRow(void* target, MsgLParam msg, MsgLParam wParam, MsgLParam context);

// 0x00BBGGRR to a Qt colour.
QColor ColorFromRef(ColorRef color);

}  // namespace zentorak
