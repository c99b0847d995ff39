// Command, control, menu and string ids of the program's resources. Every menu item, soft key
// and button keeps its id; the main window dispatches on these numbers.
#pragma once

namespace zentorak::res {

// Strings.
inline constexpr int IDS_APP_TITLE = 1;
inline constexpr int IDS_WINDOW_CLASS = 2;
inline constexpr int IDS_UPDATE = 108;
inline constexpr int IDS_MENU = 109;

// Resources.
inline constexpr int IDI_ZENTORAK = 101;
inline constexpr int IDR_MENUBAR = 104;
inline constexpr int IDR_MAIN_MENU = 105;
inline constexpr int IDR_RADAR_POPUP = 181;
inline constexpr int IDR_LIST_POPUP = 182;
inline constexpr int IDR_ACCELERATORS = 2;
inline constexpr int IDD_SEARCH = 155;

// Controls.
inline constexpr int IDC_LOG = 1002;
inline constexpr int IDC_RESULTS = 1004;
inline constexpr int IDC_SEARCH_CAPTION = 1051;
inline constexpr int IDC_SEARCH_FIRST_LABEL = 1152;  // label n: 1152 + 2n, its edit 1153 + 2n

// The options sheet: its Cancel button and the controls of its five pages.
inline constexpr int IDC_OPTIONS_CANCEL = 2;
inline constexpr int IDC_OPTIONS_FILE_LIST = 1052;
inline constexpr int IDC_OPTIONS_FILE_ADD = 1053;
inline constexpr int IDC_OPTIONS_FILE_DELETE = 1054;
inline constexpr int IDC_SEARCH_COUNT = 1055;
inline constexpr int IDC_PORT = 1056;
inline constexpr int IDC_STARTUP_SEARCH = 1057;
inline constexpr int IDC_UPDATE_MODE = 1058;
inline constexpr int IDC_SAVE_UPDATE_STATE = 1060;
inline constexpr int IDC_SEARCH_AFTER_JUMP = 1061;
inline constexpr int IDC_REFRESH_CAPTIONS = 1063;
inline constexpr int IDC_LAT_CAPTION = 1064;
inline constexpr int IDC_LON_CAPTION = 1065;
inline constexpr int IDC_FAV_NAME_COLUMN = 1066;
inline constexpr int IDC_TEL_COLUMN = 1067;
inline constexpr int IDC_MAP_SERVICE = 1068;
inline constexpr int IDC_MAP_SCALE = 1069;
inline constexpr int IDC_REMEMBER_SCALE = 1070;
inline constexpr int IDC_CONFIRM_MAP = 1071;
inline constexpr int IDC_LOCATION_METHOD = 1072;
inline constexpr int IDC_FULL_SCREEN_DETAILS = 1073;
inline constexpr int IDC_GOOGLE_CORRECTION = 1074;

// The map confirmation, the target details and the favourite dialogs, and their controls.
inline constexpr int IDD_MAP_CONFIRM = 142;
inline constexpr int IDD_DETAILS = 154;
inline constexpr int IDD_ORGANIZE_FAVORITES = 157;
inline constexpr int IDD_FAVORITE_NAME = 158;
inline constexpr int IDD_DETAILS_FULL = 161;
inline constexpr int IDC_MAP_ASK_AGAIN = 1071;
inline constexpr int IDC_DETAILS_LIST = 1101;
inline constexpr int IDC_DETAILS_CALL = 1102;
inline constexpr int IDC_DETAILS_ADD_FAVORITE = 1103;
inline constexpr int IDC_DETAILS_MAP = 1104;
inline constexpr int IDC_FAVORITE_LIST = 1251;
inline constexpr int IDC_FAVORITE_RENAME = 1252;
inline constexpr int IDC_FAVORITE_DELETE = 1253;
inline constexpr int IDC_FAVORITE_LAT = 1301;
inline constexpr int IDC_FAVORITE_LON = 1302;
inline constexpr int IDC_FAVORITE_NAME = 1303;
inline constexpr int IDC_FAVORITE_LAT_LABEL = 1304;
inline constexpr int IDC_FAVORITE_LON_LABEL = 1305;

// Commands. The favourites menu numbers its items from 2001 up to the id below the first
// command above them (core/favorites/favorite_list.h); a new command must not fall in between.
inline constexpr int ID_MENU_BUTTON = 300;
inline constexpr int ID_UPDATE = 32771;
inline constexpr int ID_OPTIONS = 32772;
inline constexpr int ID_EXIT = 32773;
inline constexpr int ID_MAP = 32774;
inline constexpr int ID_TOGGLE_PANE = 32775;
inline constexpr int ID_SEARCH = 32776;
inline constexpr int ID_SET_ORIGIN = 32777;
inline constexpr int ID_MOVE_TO_ORIGIN = 32778;
inline constexpr int ID_ENTER_COORDINATES = 32779;
inline constexpr int ID_LIST_DETAILS = 32780;
inline constexpr int ID_LIST_SET_ORIGIN = 32781;
inline constexpr int ID_ORIGIN_MODE = 32782;
inline constexpr int ID_LIST_MOVE = 32783;
inline constexpr int ID_LIST_ADD_FAVORITE = 32784;
inline constexpr int ID_LIST_MAP = 32785;
inline constexpr int ID_LIST_CALL = 32786;
inline constexpr int ID_RADAR_DETAILS = 32787;
inline constexpr int ID_RADAR_SET_ORIGIN = 32789;
inline constexpr int ID_RADAR_ORIGIN_MODE = 32790;
inline constexpr int ID_RADAR_ADD_FAVORITE = 32791;
inline constexpr int ID_RADAR_MAP = 32792;
inline constexpr int ID_RADAR_CALL = 32793;
inline constexpr int ID_ADD_FAVORITE = 32794;
inline constexpr int ID_ORGANIZE_FAVORITES = 32795;
inline constexpr int ID_POSITION_READY = 32796;
inline constexpr int ID_QUIT = 40000;
inline constexpr int ID_ABOUT = 40002;
inline constexpr int kFirstCommandAboveFavorites = ID_UPDATE;

inline constexpr int PERIODIC_TIMER_ID = 2001;
inline constexpr int PERIODIC_TIMER_MS = 6000;

}  // namespace zentorak::res
