#include "core/app/favorite_names.h"

#include <algorithm>
#include <new>

#include "core/settings/settings_lines.h"

namespace zentorak {

namespace {

constexpr size_t kLabelCut = 38;         // captions of 39 or more are cut to this many
constexpr size_t kQuestionNameCut = 20;  // the delete question shows this many at most

}  // namespace

std::u16string CaptionLabel(std::u16string_view caption) {
    if (caption.size() > kLabelCut) {
        caption = caption.substr(0, kLabelCut);
    }
    return std::u16string(caption) + u":";
}

std::u16string CoordinateLabel(const ColumnMap& columns, int slot) {
    if (columns.Present(slot)) {
        return CaptionLabel(columns.columnCaption[static_cast<size_t>(slot)]);
    }
    return slot == 0 ? u"Latitude:" : u"Longitude:";
}

std::optional<Notice> AcceptFavoriteName(const FavoriteList& favorites, std::u16string& name) {
    if (HasLineBreak(name)) {
        return Notice{u"お気に入り名に改行を含めることはできません。", u"お気に入り名エラー",
                      NoticeIcon::kError};
    }
    if (name.size() > kFavoriteNameLimit) {
        name.resize(kFavoriteNameLimit);
    }
    bool taken = std::any_of(favorites.begin(), favorites.end(),
                             [&](const FavoriteRecord& f) { return f.name == name; });
    if (!taken) {
        return std::nullopt;
    }
    return Notice{u"指定された名前は既に存在します。別の名前を指定してください。",
                  u"お気に入り名エラー", NoticeIcon::kError};
}

Notice DeleteFavoriteQuestion(std::u16string_view name) {
    std::u16string shown(name.substr(0, kQuestionNameCut));
    if (name.size() > kQuestionNameCut) {
        shown += u"...";
    }
    return {u"'" + shown + u"'を一覧から削除してもよろしいですか？", u"お気に入りの削除の確認",
            NoticeIcon::kQuestion, true};
}

int RenameFavorite(FavoriteList& favorites, int index, std::u16string_view name) {
    if (index < 0 || index >= favorites.count()) {
        return kFavoriteBadIndex;
    }
    try {
        std::u16string copy(name);
        favorites[index].name.swap(copy);
    } catch (const std::bad_alloc&) {
        return kFavoriteNameNoMemory;
    }
    return 0;
}

}  // namespace zentorak
