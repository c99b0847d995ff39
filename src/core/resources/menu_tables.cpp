#include "core/resources/menu_tables.h"

#include "core/resources/resource_ids.h"

namespace zentorak::res {
namespace {

constexpr MenuItem kMoveItems[] = {
    {ID_MOVE_TO_ORIGIN, "基点", {}},
    {ID_ENTER_COORDINATES, "座標指定...", {}},
};

// The two popups built at start-up go in at positions 4 and 6 (after the separators).
constexpr MenuItem kMenuItems[] = {
    {ID_SEARCH, "検索...", {}},
    {ID_SET_ORIGIN, "基点設定", {}},
    {0, "移動", kMoveItems},
    {0, "", {}},
    {0, "", {}},
    {0, "", {}},
    {ID_OPTIONS, "オプション...", {}},
    {ID_ABOUT, "バージョン情報...", {}},
    {0, "", {}},
    {ID_EXIT, "終了", {}},
};

constexpr MenuItem kMainMenu[] = {
    {ID_UPDATE, "更新", {}},
    {0, "メニュー", kMenuItems},
};

constexpr MenuItem kRadarItems[] = {
    {ID_RADAR_DETAILS, "詳細表示...", {}},
    {ID_RADAR_SET_ORIGIN, "基点設定", {}},
    {ID_RADAR_ORIGIN_MODE, "基点モード(固定)", {}},
    {0, "", {}},
    {ID_RADAR_ADD_FAVORITE, "お気に入りに追加...", {}},
    {ID_RADAR_MAP, "地図表示", {}},
    {ID_RADAR_CALL, "電話をかける", {}},
};
constexpr MenuItem kRadarMenu[] = {{0, "MAIN_POP", kRadarItems}};

constexpr MenuItem kListItems[] = {
    {ID_LIST_DETAILS, "詳細表示...", {}},
    {ID_LIST_MOVE, "移動", {}},
    {ID_LIST_SET_ORIGIN, "基点設定", {}},
    {0, "", {}},
    {ID_LIST_ADD_FAVORITE, "お気に入りに追加...", {}},
    {ID_LIST_MAP, "地図表示", {}},
    {ID_LIST_CALL, "電話をかける", {}},
};
constexpr MenuItem kListMenu[] = {{0, "LBX_POP", kListItems}};

}  // namespace

std::span<const MenuItem> MainMenu() {
    return kMainMenu;
}
std::span<const MenuItem> RadarMenu() {
    return kRadarMenu;
}
std::span<const MenuItem> ListMenu() {
    return kListMenu;
}

std::string_view LoadResourceString(int id) {
    switch (id) {
        case IDS_APP_TITLE:
        case IDS_WINDOW_CLASS:
            return "ZENTORAK";
        case IDS_UPDATE:
            return "更新";
        case IDS_MENU:
            return "メニュー";
        default:
            return {};
    }
}

}  // namespace zentorak::res
