#include "core/settings/settings_lines.h"

namespace zentorak {

std::u16string OneLineValue(std::u16string_view value) {
    std::u16string line(value);
    for (char16_t& c : line) {
        if (c == u'\r' || c == u'\n' || c == u'\0') {
            c = u' ';
        }
    }
    return line;
}

namespace {

std::u16string Number(int value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// An index outside its list (set by a caller, never by the reader) is written as the default
// name, so the file always holds a name the reader accepts.
template <size_t N>
std::u16string_view NameAt(const std::array<std::u16string_view, N>& names, int index,
                           int fallback) {
    return index >= 0 && static_cast<size_t>(index) < N ? names[static_cast<size_t>(index)]
                                                        : names[static_cast<size_t>(fallback)];
}

std::u16string KeyLine(std::u16string_view key, std::u16string_view value) {
    std::u16string line(key);
    line += u':';
    line += OneLineValue(value);
    return line;
}

void AddSystem(std::vector<std::u16string>& out, const Settings& s) {
    const Settings defaults;
    out.push_back(u"[System]");
    out.push_back(KeyLine(u"Program Name", kProgramName));
    out.push_back(KeyLine(u"Version", kProgramVersion));
    out.push_back(KeyLine(u"Copyright", kCopyrightNotice));
    out.push_back(KeyLine(u"PortName", NameAt(kPortNames, s.PortName, defaults.PortName)));
    out.push_back(KeyLine(u"TrgtSrchNum", Number(s.TrgtSrchNum)));
    out.push_back(KeyLine(u"InfoUpdateMode", Number(s.InfoUpdateMode)));
    out.push_back(KeyLine(u"SaveUpdateStatMode", Number(s.SaveUpdateStatMode)));
    if (s.SaveUpdateStatMode == 1) {
        out.push_back(KeyLine(u"AutoUpdateMode", Number(s.AutoUpdateMode)));
    }
    out.push_back(KeyLine(u"StartupSrchMode", Number(s.StartupSrchMode)));
    out.push_back(KeyLine(u"SrchAfterJump", Number(s.SrchAfterJump)));
    out.push_back(KeyLine(u"DtlDlgMode", Number(s.DtlDlgMode)));
    out.push_back(KeyLine(u"OrgFixedMode", Number(s.OrgFixedMode)));
    out.push_back(KeyLine(u"MapSiteNo", Number(s.MapSiteNo)));
    out.push_back(KeyLine(u"MapScaleIx", Number(s.MapScaleIx)));
    out.push_back(KeyLine(u"ConfBfrMapDispMode", Number(s.ConfBfrMapDispMode)));
    out.push_back(KeyLine(u"MemMapScaleMode", Number(s.MemMapScaleMode)));
    out.push_back(KeyLine(u"GoogleCrrctMode", Number(s.GoogleCrrctMode)));
    out.push_back(KeyLine(u"KwdLat", s.KwdLat));
    out.push_back(KeyLine(u"KwdLon", s.KwdLon));
    out.push_back(KeyLine(u"KwdFavName", s.KwdFavName));
    out.push_back(KeyLine(u"KwdTelNo", s.KwdTelNo));
    out.push_back(KeyLine(u"MthdGetLocInfo", Number(s.MthdGetLocInfo)));
    out.push_back(KeyLine(u"DevModel", NameAt(kDevModels, s.DevModel, defaults.DevModel)));
}

}  // namespace

std::vector<std::u16string> SettingsFileLines(const Settings& settings,
                                              const LocationInfoFileList& files,
                                              const FavoriteList& favorites) {
    std::vector<std::u16string> out;
    AddSystem(out, settings);
    out.push_back(u"");
    out.push_back(u"[TrgtInfoFile]");
    for (const std::u16string& file : files) {
        if (file.empty()) {
            break;
        }
        out.push_back(OneLineValue(file));
    }
    out.push_back(u"");
    for (const FavoriteRecord& favorite : favorites) {
        out.push_back(u"[Favorite]");
        out.push_back(KeyLine(u"FavName", favorite.name));
        out.push_back(KeyLine(u"FavLat", FormatDms(favorite.lat)));
        out.push_back(KeyLine(u"FavLon", FormatDms(favorite.lon)));
        out.push_back(u"");
    }
    return out;
}

}  // namespace zentorak
