#include "core/app/details_rows.h"

namespace zentorak {

std::vector<DetailsRow> DetailsRows(const ColumnMap& columns, const TargetRecord& target) {
    std::vector<DetailsRow> rows;
    for (int slot = 2; slot < kColumnSlots; ++slot) {
        if (!columns.Present(slot)) {
            continue;
        }
        int k = slot - 2;
        rows.push_back({columns.columnCaption[static_cast<size_t>(slot)],
                        std::u16string(target.Info(k)), target.HasInfo(k)});
    }
    rows.push_back({columns.columnCaption[0], FormatDms(target.lat), true});
    rows.push_back({columns.columnCaption[1], FormatDms(target.lon), true});
    return rows;
}

std::u16string DetailsItemText(const DetailsRow& row) {
    return row.caption + u":" + (row.present ? row.value : std::u16string());
}

DetailsForm DetailsFormFor(const Settings& settings) {
    switch (settings.DtlDlgMode) {
        case 1:
            return DetailsForm::kCompact;
        case 2:
            return DetailsForm::kFullScreen;
        default:
            return DetailsForm::kNone;
    }
}

int CurrentIndexOf(const FoundTargets& found, const TargetRecord* record) {
    for (int i = 0; i < found.count; ++i) {
        if (found.targets[static_cast<size_t>(i)] == record) {
            return i;
        }
    }
    return kAppNotInList;
}

bool ApplyDetailsTap(const ItemListSend& send) {
    if (send(ILVM_GETDRAGSTATE, 0, 0) != 0) {
        return false;
    }
    MsgResult pressed = send(ILVM_GETPRESSED, 0, 0);
    MsgResult h = send(ILVM_GETITEMHEIGHT, static_cast<MsgWParam>(-1), 0);
    auto flagsOf = [&](MsgResult row) {
        return static_cast<std::uint32_t>(send(ILVM_GETITEMFLAGS, static_cast<MsgWParam>(row), 0));
    };
    // Only the own-height bit changes; any other bit a row carries stays.
    auto setRow = [&](MsgResult row, bool open) {
        auto index = static_cast<MsgWParam>(row);
        std::uint32_t flags = flagsOf(row);
        flags = open ? (flags | ILVIF_OWNHEIGHT) : (flags & ~ILVIF_OWNHEIGHT);
        send(ILVM_SETITEMHEIGHT, index, open ? 5 * h : h);
        send(ILVM_SETITEMFLAGS, index, static_cast<MsgLParam>(flags));
    };
    if (pressed < 0) {
        MsgResult count = send(ILVM_GETCOUNT, 0, 0);
        for (MsgResult row = 0; row < count; ++row) {
            setRow(row, true);
        }
        return true;
    }
    setRow(pressed, (flagsOf(pressed) & ILVIF_OWNHEIGHT) == 0);
    return true;
}

}  // namespace zentorak
