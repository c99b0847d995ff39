// What a screen reader learns of an item list control: a list whose items are its rows, each
// read as its text, the row at the top being the current (focused and selected) one, since the
// arrow keys move the list a row at a time.
#pragma once

namespace zentorak {

class ItemListView;

// Registers the accessible interface of the control once per process.
void InstallItemListAccessible();
// Tells a screen reader that the current row is now `row` (after the keys moved the list, or
// when the control takes the focus).
void AnnounceItemListRow(ItemListView* view, int row);

}  // namespace zentorak
