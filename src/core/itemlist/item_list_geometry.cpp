#include "core/itemlist/item_list_geometry.h"

#include <algorithm>

namespace zentorak {

int RowLayout::Normalise(int index) const {
    // An empty list has nothing to wrap onto, so its indices stay as they are.
    if (!wrap || count <= 0) {
        return index;
    }
    return ((index % count) + count) % count;
}

int RowLayout::HeightOf(int index) const {
    int height = defaultHeight;
    if (index >= 0 && index < count && ownHeight) {
        int own = ownHeight(index);
        if (own >= 0) {
            height = own;
        }
    }
    return std::max(height, 1);
}

int LastPageTop(const RowLayout& rows, int n, int clientHeight) {
    if (n < 0) {
        return n;
    }
    int top = n;
    int sum = 0;
    for (int i = n; i >= 0; --i) {
        int height = rows.HeightOf(i);
        if (sum + height >= clientHeight) {
            break;
        }
        sum += height;
        top = i;
    }
    return top;
}

RowPosition RowAtOffset(const RowLayout& rows, int n, int a) {
    if (a >= 0) {
        // Content moved down: rows above n come into view.
        int index = rows.Normalise(n - 1);
        int sum = rows.HeightOf(index);
        while (sum < a) {
            index = rows.Normalise(index - 1);
            sum += rows.HeightOf(index);
        }
        return {index, a - sum};
    }
    int index = rows.Normalise(n);
    int before = 0;
    int sum = -rows.HeightOf(index);
    while (sum > a) {
        index = rows.Normalise(index + 1);
        before = sum;
        sum -= rows.HeightOf(index);
    }
    return {index, a - before};
}

}  // namespace zentorak
