#include "core/targets/target_grid.h"

#include "core/targets/target_store.h"

namespace zentorak {

ColumnMap::ColumnMap()
    : columnCaption{u"緯度", u"経度",     u"店名",     u"郵便番号", u"住所",
                    u"TEL",  u"最寄り駅", u"営業時間", u"サービス", u"備考"} {
    for (int i = 0; i < kColumnSlots; ++i) {
        slot[i] = i;
    }
}

TargetGrid::TargetGrid() : store_(std::make_unique<TargetStore>()) {}
TargetGrid::~TargetGrid() = default;
size_t TargetGrid::size() const {
    return store_->size();
}

int FindColumnByCaption(const ColumnMap& columns, std::u16string_view keyword) {
    if (keyword.empty()) {
        return kSearchNoColumn;
    }
    for (int i = 0; i < kColumnSlots; ++i) {
        if (columns.Present(i) && columns.columnCaption[i] == keyword) {
            return i;
        }
    }
    return kSearchNoColumn;
}

void ClearTargetGrid(TargetGrid& grid) {
    grid.store().Clear();
}

}  // namespace zentorak
