// The settings file zentorak.ini: the options ("[System]"), the ordered location-info file list
// ("[TrgtInfoFile]") and the favourites ("[Favorite]"), in CP932 with CR LF lines (UTF-8 behind a
// byte-order mark when a value needs a character CP932 lacks).
// Reads into and writes from the fields below; does not build menus (the reader reports each
// favourite it adds through a callback).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "core/favorites/favorite_list.h"
#include "core/locinfo/location_info_files.h"

namespace zentorak {

inline constexpr std::array<std::u16string_view, 10> kPortNames = {
    u"COM0", u"COM1", u"COM2", u"COM3", u"COM4", u"COM5", u"COM6", u"COM7", u"COM8", u"COM9"};
inline constexpr std::array<std::u16string_view, 4> kDevModels = {u"WS003SH", u"WS004SH",
                                                                  u"WS007SH", u"WS011SH"};
inline constexpr size_t kKeywordMaxLength = 99;

// One field per key of the file, named by its key, holding its default. On/off switches hold 1
// for on and 2 for off; GoogleCrrctMode alone holds 1 and 0.
struct Settings {
    int PortName = 1;  // index into kPortNames
    int TrgtSrchNum = 20;
    int InfoUpdateMode = 2;
    int AutoUpdateMode = 0;
    int SaveUpdateStatMode = 1;
    int StartupSrchMode = 2;
    int SrchAfterJump = 1;
    int DtlDlgMode = 2;
    int OrgFixedMode = 2;
    int MapSiteNo = 5;
    int MapScaleIx = 7;
    int ConfBfrMapDispMode = 1;
    int MemMapScaleMode = 1;
    int GoogleCrrctMode = 1;
    std::u16string KwdLat = u"緯度";
    std::u16string KwdLon = u"経度";
    std::u16string KwdFavName = u"店名";
    std::u16string KwdTelNo = u"TEL";
    int MthdGetLocInfo = 2;
    int DevModel = 3;  // index into kDevModels
    bool operator==(const Settings&) const = default;
};

// Called for each favourite the reader adds that has a menu item: the menu command id (2000 + the
// new count) and name. Favourites beyond the menu's last id are added without a call.
using FavoriteAddedCallback = std::function<void(int commandId, const std::u16string& name)>;

// LoadSettingsFile's failures.
inline constexpr int kSettingsCannotOpen = -1;  // or not a regular file (a FIFO or a device)
inline constexpr int kSettingsReadFailed = -9;  // a line cannot be read
// SaveSettingsFile's failures.
inline constexpr int kSettingsCannotCreate = -1;
inline constexpr int kSettingsFirstWriteFailed = -2;
inline constexpr int kSettingsWriteFailed = -3;  // a later write, the sync or the rename

// 0 read to the end; kSettingsCannotOpen; kSettingsReadFailed (what was read before stays in
// effect). A last line without a line break counts. The file list is emptied first, also when
// the file cannot be opened.
int LoadSettingsFile(const std::string& path, Settings& settings, LocationInfoFileList& files,
                     FavoriteList& favorites, const FavoriteAddedCallback& onFavoriteAdded = {});

// Writes a temporary file beside the target, checks every write, syncs it and renames it over
// the old file. 0; kSettingsCannotCreate; kSettingsFirstWriteFailed; kSettingsWriteFailed. On
// failure the old file is untouched and the temporary file is removed; temporary files that
// earlier saves left behind (killed before their rename) are removed first.
// A symbolic link is followed (the link stays); a path naming anything but a regular file or
// nothing (a device, a folder) gives kSettingsCannotCreate. The file keeps its permission bits.
int SaveSettingsFile(const std::string& path, const Settings& settings,
                     const LocationInfoFileList& files, const FavoriteList& favorites);

// The system calls SaveSettingsFile makes on the temporary file; an empty member means the real
// call. Tests use it to inject failed and short writes, a failed sync or a failed rename.
struct SettingsFileCalls {
    std::function<ssize_t(int fd, const void* data, size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(const char* from, const char* to)> rename;
};

int SaveSettingsFile(const std::string& path, const Settings& settings,
                     const LocationInfoFileList& files, const FavoriteList& favorites,
                     const SettingsFileCalls& calls);

// The save at the end of a normal run, where a failure would lose every change since start-up:
// after each failed save, retry(failure) decides whether to try again. 0, or the last failure.
int SaveSettingsFileRetrying(const std::string& path, const Settings& settings,
                             const LocationInfoFileList& files, const FavoriteList& favorites,
                             const std::function<bool(int failure)>& retry,
                             const SettingsFileCalls& calls = {});

}  // namespace zentorak
