// What the target details dialog shows and how its full-screen list answers a tap: the rows of
// one found target (its info items, then latitude and longitude), their texts in both forms,
// which form DtlDlgMode asks for, and the row-height toggle. Draws nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/itemlist/item_list_types.h"
#include "core/locinfo/location_info.h"
#include "core/settings/settings_store.h"
#include "core/targets/search.h"

namespace zentorak {

struct DetailsRow {
    std::u16string caption;
    std::u16string value;  // empty when the target's line had no such item
    bool present = true;
    bool operator==(const DetailsRow&) const = default;
};

// One row per info column of the loaded files, in column order, then the latitude and the
// longitude as "%d/%02d/%02d.%03d" under the captions of columns 0 and 1.
std::vector<DetailsRow> DetailsRows(const ColumnMap& columns, const TargetRecord& target);

// The full-screen list's text: "caption:value", or "caption:" when the item is absent.
std::u16string DetailsItemText(const DetailsRow& row);

enum class DetailsForm { kNone, kCompact, kFullScreen };
// DtlDlgMode 1: the compact report list; 2: full screen; anything else opens nothing.
DetailsForm DetailsFormFor(const Settings& settings);

inline constexpr int kAppNotInList = -1;  // CurrentIndexOf

// Where found target `record` stands in the list now (the periodic update may have searched
// again while the dialog was open); kAppNotInList when it is no longer there.
int CurrentIndexOf(const FoundTargets& found, const TargetRecord* record);

// The full-screen list after a pen-up, through the control's messages: a drag changes nothing; a
// tap on a row toggles it between one and five default row heights; a tap below the last row
// opens every row to five. True when row heights changed (the caller repaints).
using ItemListSend =
    std::function<MsgResult(std::uint32_t msg, MsgWParam wParam, MsgLParam lParam)>;
bool ApplyDetailsTap(const ItemListSend& send);

}  // namespace zentorak
