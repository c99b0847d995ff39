#include "core/app/options_pages.h"

#include "core/map/map_urls.h"
#include "core/platform/serial_port.h"
#include "core/text/code_page.h"

namespace zentorak {
namespace {

int OnOff(bool on) {
    return on ? 1 : 2;
}

const MapService& ServiceAt(int serviceEntry) {
    const MapService* service = FindMapService(serviceEntry + 1);
    return service != nullptr ? *service : *FindMapService(1);
}

}  // namespace

GeneralPageValues GeneralPageFrom(const Settings& settings) {
    GeneralPageValues page;
    // Truncating division: 50 shows "40"; 10, 150 and negative counts show "20".
    const int entry = (settings.TrgtSrchNum - 20) / 20;
    page.searchCountEntry =
        entry >= 0 && entry < static_cast<int>(kSearchCountEntries.size()) ? entry : 0;
    page.startupSearch = settings.StartupSrchMode == 1;
    page.updateModeEntry = settings.InfoUpdateMode == 1 || settings.InfoUpdateMode == 2
                               ? settings.InfoUpdateMode - 1
                               : 1;
    page.saveUpdateState = settings.SaveUpdateStatMode == 1;
    page.searchAfterJump = settings.SrchAfterJump == 1;
    page.fullScreenDetails = settings.DtlDlgMode == 2;
    return page;
}

void TakeOverGeneralPage(const GeneralPageValues& page, Settings& settings) {
    settings.TrgtSrchNum = (page.searchCountEntry + 1) * 20;
    settings.StartupSrchMode = OnOff(page.startupSearch);
    settings.InfoUpdateMode = page.updateModeEntry + 1;
    if (settings.InfoUpdateMode == 1) {
        if (settings.AutoUpdateMode == 0) {
            settings.AutoUpdateMode = 1;
        }
    } else if (settings.InfoUpdateMode == 2) {
        settings.AutoUpdateMode = 0;
    }
    settings.SaveUpdateStatMode = OnOff(page.saveUpdateState);
    settings.SrchAfterJump = OnOff(page.searchAfterJump);
    settings.DtlDlgMode = page.fullScreenDetails ? 2 : 1;
}

std::vector<std::u16string_view> MapServiceEntries() {
    std::vector<std::u16string_view> entries;
    for (const MapService& service : MapServices()) {
        entries.push_back(service.label);
    }
    return entries;
}

std::vector<std::u16string_view> ScaleEntries(int serviceEntry) {
    std::vector<std::u16string_view> entries;
    for (const MapScale& scale : ServiceAt(serviceEntry).scales) {
        entries.push_back(scale.label);
    }
    return entries;
}

// The map display falls back to the same scale (MapUrl), so the page and the map agree.
int FallbackScaleEntry(int serviceEntry) {
    return ServiceAt(serviceEntry).defaultScaleIx - 1;
}

MapPageValues MapPageFrom(Settings& settings) {
    if (FindMapService(settings.MapSiteNo) == nullptr) {
        settings.MapSiteNo = 1;
    }
    MapPageValues page;
    page.serviceEntry = settings.MapSiteNo - 1;
    const int scales = static_cast<int>(ServiceAt(page.serviceEntry).scales.size());
    page.scaleEntry = settings.MapScaleIx >= 1 && settings.MapScaleIx <= scales
                          ? settings.MapScaleIx - 1
                          : FallbackScaleEntry(page.serviceEntry);
    page.googleCorrection = settings.GoogleCrrctMode == 1;
    page.confirmBeforeMap = settings.ConfBfrMapDispMode == 1;
    page.rememberScale = settings.MemMapScaleMode == 1;
    return page;
}

void ChangeMapService(MapPageValues& page, int serviceEntry) {
    if (serviceEntry == page.serviceEntry || FindMapService(serviceEntry + 1) == nullptr) {
        return;
    }
    page.serviceEntry = serviceEntry;
    page.scaleEntry = FallbackScaleEntry(serviceEntry);
}

void TakeOverMapPage(const MapPageValues& page, Settings& settings) {
    settings.MapSiteNo = page.serviceEntry + 1;
    settings.MapScaleIx = page.scaleEntry + 1;
    settings.GoogleCrrctMode = page.googleCorrection ? 1 : 0;
    settings.ConfBfrMapDispMode = OnOff(page.confirmBeforeMap);
    settings.MemMapScaleMode = OnOff(page.rememberScale);
}

DevicePageValues DevicePageFrom(const Settings& settings) {
    DevicePageValues page;
    page.methodEntry = settings.MthdGetLocInfo == 1 || settings.MthdGetLocInfo == 2
                           ? settings.MthdGetLocInfo - 1
                           : -1;
    page.portEntry =
        settings.PortName >= 0 && settings.PortName < static_cast<int>(kPortNames.size())
            ? settings.PortName
            : 0;
    return page;
}

void TakeOverDevicePage(const DevicePageValues& page, Settings& settings) {
    if (page.methodEntry == 0 || page.methodEntry == 1) {
        settings.MthdGetLocInfo = page.methodEntry + 1;
    } else if (settings.MthdGetLocInfo != 1 && settings.MthdGetLocInfo != 2) {
        settings.MthdGetLocInfo = Settings{}.MthdGetLocInfo;
    }
    if (page.portEntry >= 0 && page.portEntry < static_cast<int>(kPortNames.size())) {
        settings.PortName = page.portEntry;
    }
}

std::vector<std::u16string> PortDeviceTexts(const std::filesystem::path& portFolder) {
    std::vector<std::u16string> texts;
    for (std::u16string_view name : kPortNames) {
        texts.push_back(FromUtf8(DescribeSerialPort(ToUtf8(name), portFolder).string()));
    }
    return texts;
}

void ReleaseOptionsPages(bool applied, const OptionsPageValues& pages, Settings& settings,
                         LocationInfoFileList& files) {
    if (!applied) {
        return;
    }
    if (pages.general) {
        TakeOverGeneralPage(*pages.general, settings);
    }
    if (pages.files) {
        TakeOverFileList(*pages.files, files);
    }
    if (pages.specialItems) {
        TakeOverSpecialItems(*pages.specialItems, settings);
    }
    if (pages.map) {
        TakeOverMapPage(*pages.map, settings);
    }
    if (pages.device) {
        TakeOverDevicePage(*pages.device, settings);
    }
}

}  // namespace zentorak
