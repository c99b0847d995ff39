// The rules of the options sheet's general, map and device pages: what each control shows for the
// stored settings (with the fallbacks for values the pages do not offer), what the map page does
// when the service changes, and how the sheet's pages hand their values back when it closes.
// Holds no controls: the Qt sheet (gui/dialogs/options_sheet.h) reads and fills them from these.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/options_files.h"
#include "core/settings/settings_store.h"

namespace zentorak {

inline constexpr std::u16string_view kOptionsTitle = u"オプション";
inline constexpr int kOptionsPageCount = 5;
inline constexpr int kGeneralPage = 0;
inline constexpr int kFilesPage = 1;
inline constexpr int kSpecialItemsPage = 2;
inline constexpr int kMapPage = 3;
inline constexpr int kDevicePage = 4;
inline constexpr std::array<std::u16string_view, kOptionsPageCount> kOptionsPageTitles = {
    u"全般", u"位置情報", u"特別項目", u"地図情報", u"デバイス"};

// The general page. Entries are 0-based positions in the drop-down lists.
inline constexpr std::array<std::u16string_view, 5> kSearchCountEntries = {u"20", u"40", u"60",
                                                                           u"80", u"100"};
inline constexpr std::array<std::u16string_view, 2> kUpdateModeEntries = {u"定期更新", u"手動更新"};

struct GeneralPageValues {
    int searchCountEntry = 0;        // 1055: TrgtSrchNum
    bool startupSearch = false;      // 1057: StartupSrchMode
    int updateModeEntry = 1;         // 1058: InfoUpdateMode (and AutoUpdateMode)
    bool saveUpdateState = false;    // 1060: SaveUpdateStatMode
    bool searchAfterJump = false;    // 1061: SrchAfterJump
    bool fullScreenDetails = false;  // 1073: DtlDlgMode
    bool operator==(const GeneralPageValues&) const = default;
};

// What the page shows: a search count it does not offer shows entry 0 ("20"), an unknown update
// mode shows "手動更新".
GeneralPageValues GeneralPageFrom(const Settings& settings);
// Choosing "定期更新" starts a manual program's periodic update (AutoUpdateMode 0 becomes 1) but
// keeps a stopped one stopped; "手動更新" sets AutoUpdateMode to 0.
void TakeOverGeneralPage(const GeneralPageValues& page, Settings& settings);

// The map page.
struct MapPageValues {
    int serviceEntry = 0;           // 1068: MapSiteNo - 1
    int scaleEntry = 0;             // 1069: MapScaleIx - 1
    bool googleCorrection = false;  // 1074: GoogleCrrctMode
    bool confirmBeforeMap = false;  // 1071: ConfBfrMapDispMode
    bool rememberScale = false;     // 1070: MemMapScaleMode (its check counts while disabled)
    bool operator==(const MapPageValues&) const = default;
};

// The service names in list order (MapSiteNo 1..7).
std::vector<std::u16string_view> MapServiceEntries();
// The scale labels of the service at `serviceEntry`.
std::vector<std::u16string_view> ScaleEntries(int serviceEntry);
// The entry a service's scale list falls back to when the stored index does not fit it.
int FallbackScaleEntry(int serviceEntry);
// Opening the page: a MapSiteNo outside 1..7 is set to 1 in `settings` at once (the correction
// stays when the sheet is cancelled); a scale index the service does not have shows its fallback.
MapPageValues MapPageFrom(Settings& settings);
// Another service chosen in 1068: its scale list is shown on its fallback entry, whatever the
// stored MapScaleIx. Choosing the service already shown changes nothing.
void ChangeMapService(MapPageValues& page, int serviceEntry);
// 1070 is enabled only while 1071 is checked.
inline bool RememberScaleEnabled(const MapPageValues& page) {
    return page.confirmBeforeMap;
}
void TakeOverMapPage(const MapPageValues& page, Settings& settings);

// The device page.
inline constexpr std::array<std::u16string_view, 2> kMethodEntries = {u"W-SIM", u"GPS"};

struct DevicePageValues {
    int methodEntry = -1;  // 1072: MthdGetLocInfo - 1; -1 while nothing is selected
    int portEntry = 0;     // 1056: the index into kPortNames
    bool operator==(const DevicePageValues&) const = default;
};

// A method other than 1 or 2 leaves the method list without a selection.
DevicePageValues DevicePageFrom(const Settings& settings);
// No method selected keeps the previous method, or the default (GPS) when the previous value
// was none: an update must always have a method to try.
void TakeOverDevicePage(const DevicePageValues& page, Settings& settings);
// The device each port name of the list stands for on this machine, in list order (see
// DescribeSerialPort): what a person sees beside COM0 .. COM9.
std::vector<std::u16string> PortDeviceTexts(const std::filesystem::path& portFolder);

// What the sheet's pages hold when it closes; a page the person never opened is nullopt.
struct OptionsPageValues {
    std::optional<GeneralPageValues> general;
    std::optional<std::vector<std::u16string>> files;
    std::optional<SpecialItemsValues> specialItems;
    std::optional<MapPageValues> map;
    std::optional<DevicePageValues> device;
};

// The pages' release when the sheet closes: after OK (`applied`) every page that was opened
// hands its values over; after Cancel, and for pages never opened, nothing changes.
void ReleaseOptionsPages(bool applied, const OptionsPageValues& pages, Settings& settings,
                         LocationInfoFileList& files);

}  // namespace zentorak
