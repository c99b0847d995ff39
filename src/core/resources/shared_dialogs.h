// Ids and menus of the shared dialogs: file selection (template 159, soft keys 183 with the
// popup of menu 184, tap-and-hold menu 185, controls 1450-1459), value input (160), coordinate
// entry (156) and the About box (151). Data only; the dialogs live in gui/dialogs.
#pragma once

#include <span>

#include "core/resources/menu_tables.h"

namespace zentorak::res {

// Templates.
inline constexpr int IDD_ABOUT = 151;
inline constexpr int IDD_COORDINATES = 156;
inline constexpr int IDD_FILE_SELECT = 159;
inline constexpr int IDD_VALUE_INPUT = 160;

// File selection dialog (FSD).
inline constexpr int IDR_FSD_SOFT_KEYS = 183;
inline constexpr int IDR_FSD_MENU = 184;
inline constexpr int IDR_FSD_POPUP = 185;
inline constexpr int IDC_FSD_OK = 1450;
inline constexpr int IDC_FSD_CANCEL = 1451;
inline constexpr int IDC_FSD_TITLE = 1452;
inline constexpr int IDC_FSD_FOLDER = 1453;
inline constexpr int IDC_FSD_UP = 1454;
inline constexpr int IDC_FSD_LIST = 1455;
inline constexpr int IDC_FSD_NAME_LABEL = 1456;
inline constexpr int IDC_FSD_NAME = 1457;
inline constexpr int IDC_FSD_TYPE_LABEL = 1458;
inline constexpr int IDC_FSD_TYPE = 1459;
inline constexpr int ID_FSD_DELETE = 32797;
inline constexpr int ID_FSD_NEW_FOLDER = 32799;
inline constexpr int ID_FSD_RENAME = 32800;
inline constexpr int ID_FSD_MENU_BUTTON = 40003;
inline constexpr int ID_FSD_UP = 40004;
inline constexpr int ID_FSD_CLOSE = 40005;

// Value input dialog.
inline constexpr int IDC_VALUE_EDIT = 1500;

// Coordinate entry dialog.
inline constexpr int IDC_COORD_LAT_LABEL = 1201;
inline constexpr int IDC_COORD_LAT_DEG = 1202;
inline constexpr int IDC_COORD_LAT_MIN = 1203;
inline constexpr int IDC_COORD_LAT_SEC = 1204;
inline constexpr int IDC_COORD_LON_LABEL = 1205;
inline constexpr int IDC_COORD_LON_DEG = 1206;
inline constexpr int IDC_COORD_LON_MIN = 1207;
inline constexpr int IDC_COORD_LON_SEC = 1208;
inline constexpr int IDC_COORD_SEARCH_AFTER = 1209;

// About box.
inline constexpr int IDC_ABOUT_TITLE = 1051;
inline constexpr int IDC_ABOUT_ICON = 1261;
inline constexpr int IDC_ABOUT_NAME = 1402;
inline constexpr int IDC_ABOUT_VERSION = 1403;
inline constexpr int IDC_ABOUT_COPYRIGHT1 = 1404;
inline constexpr int IDC_ABOUT_COPYRIGHT2 = 1405;
inline constexpr int IDC_ABOUT_URL = 1406;

// The popup of the file dialog's "メニュー" key (menu 184): new folder, a separator, close.
std::span<const MenuItem> FileDialogMenu();
// The first popup of menu 185, shown on a held row: new folder, rename, a separator, delete.
std::span<const MenuItem> FileDialogPopup();

}  // namespace zentorak::res
