#include "core/resources/shared_dialogs.h"

namespace zentorak::res {
namespace {

constexpr MenuItem kFileMenu[] = {
    {ID_FSD_NEW_FOLDER, "新規フォルダー", {}},
    {0, "", {}},
    {ID_FSD_CLOSE, "閉じる", {}},
};

constexpr MenuItem kFilePopup[] = {
    {ID_FSD_NEW_FOLDER, "新規フォルダー", {}},
    {ID_FSD_RENAME, "名前の変更", {}},
    {0, "", {}},
    {ID_FSD_DELETE, "削除", {}},
};

}  // namespace

std::span<const MenuItem> FileDialogMenu() {
    return kFileMenu;
}

std::span<const MenuItem> FileDialogPopup() {
    return kFilePopup;
}

}  // namespace zentorak::res
