// Reading zentorak.ini: a line-by-line state machine over sections that open after a blank line.
#include <unistd.h>

#include <cstdint>
#include <new>

#include "core/platform/regular_file.h"
#include "core/settings/settings_store.h"
#include "core/text/text_line.h"
#include "core/text/text_utils.h"

namespace zentorak {

namespace {

enum class Section { None, System, TrgtInfoFile, Favorite };

struct IntKey {
    std::u16string_view key;
    int Settings::*field;
};

constexpr IntKey kIntKeys[] = {
    {u"TrgtSrchNum", &Settings::TrgtSrchNum},
    {u"InfoUpdateMode", &Settings::InfoUpdateMode},
    {u"AutoUpdateMode", &Settings::AutoUpdateMode},
    {u"SaveUpdateStatMode", &Settings::SaveUpdateStatMode},
    {u"StartupSrchMode", &Settings::StartupSrchMode},
    {u"SrchAfterJump", &Settings::SrchAfterJump},
    {u"DtlDlgMode", &Settings::DtlDlgMode},
    {u"OrgFixedMode", &Settings::OrgFixedMode},
    {u"MapSiteNo", &Settings::MapSiteNo},
    {u"MapScaleIx", &Settings::MapScaleIx},
    {u"ConfBfrMapDispMode", &Settings::ConfBfrMapDispMode},
    {u"MemMapScaleMode", &Settings::MemMapScaleMode},
    {u"GoogleCrrctMode", &Settings::GoogleCrrctMode},
    {u"MthdGetLocInfo", &Settings::MthdGetLocInfo},
};

struct TextKey {
    std::u16string_view key;
    std::u16string Settings::*field;
};

constexpr TextKey kTextKeys[] = {
    {u"KwdLat", &Settings::KwdLat},
    {u"KwdLon", &Settings::KwdLon},
    {u"KwdFavName", &Settings::KwdFavName},
    {u"KwdTelNo", &Settings::KwdTelNo},
};

template <size_t N>
bool FindName(const std::array<std::u16string_view, N>& names, std::u16string_view value,
              int& index) {
    for (size_t i = 0; i < N; ++i) {
        if (names[i] == value) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void ApplySystemLine(std::u16string_view key, std::u16string_view value, Settings& settings) {
    if (key == u"PortName") {
        FindName(kPortNames, value, settings.PortName);
        return;
    }
    if (key == u"DevModel") {
        FindName(kDevModels, value, settings.DevModel);
        return;
    }
    for (const IntKey& k : kIntKeys) {
        if (key == k.key) {
            if (CheckDigits(value) == 0) {
                settings.*k.field = DigitRunValue(value);
            }
            return;
        }
    }
    for (const TextKey& k : kTextKeys) {
        // A caption longer than the 99-unit field is ignored rather than cut: a cut caption
        // would match no column, while the previous value may still match.
        if (key == k.key && value.size() <= kKeywordMaxLength) {
            settings.*k.field = std::u16string(value);
            return;
        }
    }
}

class SettingsReader {
public:
    SettingsReader(Settings& settings, LocationInfoFileList& files, FavoriteList& favorites,
                   const FavoriteAddedCallback& onAdded)
        : settings_(settings), files_(files), favorites_(favorites), onAdded_(onAdded) {}

    void Line(std::u16string_view line);

private:
    void Header(std::u16string_view line);
    void FavoriteLine(std::u16string_view key, std::u16string_view value);

    Settings& settings_;
    LocationInfoFileList& files_;
    FavoriteList& favorites_;
    const FavoriteAddedCallback& onAdded_;
    Section section_ = Section::None;
    int counter_ = 0;
    FavoriteRecord pending_;
};

void SettingsReader::Line(std::u16string_view line) {
    if (line.empty()) {
        section_ = Section::None;
        return;
    }
    if (section_ == Section::None) {
        Header(line);
        return;
    }
    if (section_ == Section::TrgtInfoFile) {
        if (counter_ < kMaxLocationInfoFiles) {
            files_[static_cast<size_t>(counter_++)] = std::u16string(line);
        }
        return;
    }
    size_t colon = line.find(u':');
    if (colon == std::u16string_view::npos) {
        return;
    }
    std::u16string_view key = line.substr(0, colon);
    std::u16string_view value = line.substr(colon + 1);
    if (section_ == Section::System) {
        ApplySystemLine(key, value, settings_);
    } else {
        FavoriteLine(key, value);
    }
}

void SettingsReader::Header(std::u16string_view line) {
    if (line == u"[System]") {
        section_ = Section::System;
    } else if (line == u"[TrgtInfoFile]") {
        section_ = Section::TrgtInfoFile;
    } else if (line == u"[Favorite]") {
        section_ = Section::Favorite;
        pending_ = FavoriteRecord{};
    }
    counter_ = 0;
}

void SettingsReader::FavoriteLine(std::u16string_view key, std::u16string_view value) {
    if (key == u"FavName") {
        pending_.name = std::u16string(value);
        counter_ |= 1;
    } else if (key == u"FavLat") {
        if (ParseDms(value, pending_.lat) == 0) {
            counter_ |= 2;
        }
    } else if (key == u"FavLon") {
        if (ParseDms(value, pending_.lon) == 0) {
            counter_ |= 4;
        }
    }
    if (counter_ != 7) {
        return;
    }
    // A favourite beyond the menu's last id is kept (and written back) without a menu item.
    if (AddFavorite(favorites_, pending_) == 0 && onAdded_ &&
        FavoriteCommandOf(favorites_.count() - 1) != 0) {
        onAdded_(FavoriteCommandOf(favorites_.count() - 1), pending_.name);
    }
    pending_.name.clear();
    counter_ = 0;
}

}  // namespace

int LoadSettingsFile(const std::string& path, Settings& settings, LocationInfoFileList& files,
                     FavoriteList& favorites, const FavoriteAddedCallback& onFavoriteAdded) {
    ClearLocationInfoFileList(files);
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return kSettingsCannotOpen;
    }
    // A file that starts with a UTF-8 byte-order mark was written so because a value needs a
    // character CP932 lacks.
    TextEncoding encoding = TextEncoding::kCp932;
    char head[3];
    if (::pread(fd, head, sizeof head, 0) == sizeof head &&
        std::string_view(head, sizeof head) == kUtf8ByteOrderMark) {
        encoding = TextEncoding::kUtf8;
        ::lseek(fd, sizeof head, SEEK_SET);
    }
    int result = 0;
    try {
        TextFileReader file(fd);
        SettingsReader reader(settings, files, favorites, onFavoriteAdded);
        std::u16string line;
        while ((result = ReadTextLine(file, line, nullptr, encoding)) == 0) {
            reader.Line(line);
        }
        // A last line without a line break (as many editors save a file) is a line too. The
        // empty piece after a final line break is not: it would only close the open section.
        if (result == kTextEndOfFile && !line.empty()) {
            reader.Line(line);
        }
        result = result == kTextEndOfFile ? 0 : kSettingsReadFailed;
    } catch (const std::bad_alloc&) {
        result = kSettingsReadFailed;
    }
    ::close(fd);
    return result;
}

}  // namespace zentorak
