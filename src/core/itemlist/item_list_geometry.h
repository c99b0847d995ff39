// Row geometry of the item list control: rows of individual heights stacked from the top without
// gaps. Answers which row covers a pixel offset and where the last page starts; does not store
// items or draw anything.
#pragma once

#include <functional>

namespace zentorak {

struct RowLayout {
    int count = 0;
    int defaultHeight = 0;
    bool wrap = false;
    // The row's own height, or a value below 0 when the default applies (slot 16's answer).
    std::function<int(int index)> ownHeight;

    // The height used for index: own height inside the item range, else defaultHeight. A height
    // below 1 counts as 1 so that no walk over the rows can stall on zero-height rows.
    int HeightOf(int index) const;
    // With wrapping, an index brought into 0..count-1; otherwise unchanged.
    int Normalise(int index) const;
};

struct RowPosition {
    int index;
    int top;  // top edge relative to the reference row's top edge
};

// The smallest row index from n upwards whose rows n..index stay below clientHeight in total;
// n itself when row n alone does not fit, and -1 for n = -1.
int LastPageTop(const RowLayout& rows, int n, int clientHeight);

// The row covering offset a from the top edge of row n; a row covers (top, bottom], so offset 0
// belongs to row n - 1.
RowPosition RowAtOffset(const RowLayout& rows, int n, int a);

}  // namespace zentorak
