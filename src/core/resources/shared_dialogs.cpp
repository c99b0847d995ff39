#include "core/resources/shared_dialogs.h"

namespace zentorak::res {
namespace {

constexpr MenuItem kFileMenu[] = {
    {ID_FILE_NEW_FOLDER, "新規フォルダー", {}},
    {0, "", {}},
    {ID_FILE_CLOSE, "閉じる", {}},
};

constexpr MenuItem kFilePopup[] = {
    {ID_FILE_NEW_FOLDER, "新規フォルダー", {}},
    {ID_FILE_RENAME, "名前の変更", {}},
    {0, "", {}},
    {ID_FILE_DELETE, "削除", {}},
};

}  // namespace

std::span<const MenuItem> FileDialogMenu() {
    return kFileMenu;
}

std::span<const MenuItem> FileDialogPopup() {
    return kFilePopup;
}

}  // namespace zentorak::res
