// The menu resources as tables: the main menu 105 (its first item is the left soft key, its
// second the "メニュー" popup), the radar popup 181 and the list popup 182, plus the string
// table. Data only; building widgets from them is menu_builder's job.
#pragma once

#include <span>
#include <string_view>

namespace zentorak::res {

// One item: a command (id > 0), a separator (id 0, no text) or a popup (children).
struct MenuItem {
    int id = 0;
    std::string_view text;  // UTF-8
    std::span<const MenuItem> children;
};

std::span<const MenuItem> MainMenu();   // 105: "更新", "メニュー" ▶
std::span<const MenuItem> RadarMenu();  // 181: its first (only) popup is shown
std::span<const MenuItem> ListMenu();   // 182: likewise

// Where the start-up code inserts the built popups into the "メニュー" popup.
inline constexpr int kFavoritesMenuPosition = 4;
inline constexpr int kViewMenuPosition = 6;

// The string table; empty for an unknown id.
std::string_view LoadResourceString(int id);

}  // namespace zentorak::res
