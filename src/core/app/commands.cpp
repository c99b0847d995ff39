#include "core/app/commands.h"

#include <algorithm>
#include <new>

#include "core/app/dialogs.h"
#include "core/app/map_choice.h"
#include "core/app/position_updates.h"
#include "core/map/map_urls.h"

namespace zentorak {

Notice NoOriginNotice() {
    return {u"位置が設定されていません。", u"位置設定", NoticeIcon::kError};
}

Notice NoItemSelectedNotice() {
    return {u"項目が選択されていません。", u"未選択", NoticeIcon::kError};
}

Notice FixedModeQuestion() {
    return {u"基点モードが浮動になっています。検索するため固定に変更してもよろしいですか？",
            u"基点モード変更確認", NoticeIcon::kQuestion};
}

Notice FavoriteAddFailedNotice() {
    return {u"FavInfoAddにてエラー発生。", u"エラー", NoticeIcon::kError};
}

std::optional<Notice> SaveSettingsNow(const AppState& state) {
    if (SaveSettingsFile(state.settingsPath, state.settings, state.locationInfoFiles,
                         state.favorites) == 0) {
        return std::nullopt;
    }
    return Notice{u"設定ファイルの書込みに失敗しました。", u"設定ファイルエラー",
                  NoticeIcon::kError};
}

Notice FavoriteMenuFullNotice() {
    return {u"お気に入りの数が上限に達しました。", u"エラー", NoticeIcon::kError};
}

void ClearTargets(AppState& state) {
    state.found.count = 0;
    state.found.targets.clear();
    state.markerPos.clear();
    ClearTargetGrid(state.grid);
}

std::optional<Notice> ReloadTargets(AppState& state) {
    ClearTargets(state);
    if (AllocateFoundArrays(state) != 0) {
        return Notice{u"メモリの初期化に失敗しました。", u"メモリ初期化エラー", NoticeIcon::kError};
    }
    if (LoadAllLocationInfoFiles(state.grid, state.columns, state.locationInfoFiles,
                                 CoordinateKeywordsOf(state), &state.loadReports) != 0) {
        return Notice{u"位置情報の読込みに失敗しました。", u"読込みエラー", NoticeIcon::kError};
    }
    LookUpColumns(state);
    return std::nullopt;
}

void SearchAroundOrigin(AppState& state) {
    SearchNearest(state.grid, state.originLat, state.originLon, state.settings.TrgtSrchNum,
                  state.found);
    state.originX = ViewCentre(state.layout).x;
    state.originY = ViewCentre(state.layout).y;
    state.paneMode = kPaneList;
    state.foundAtPreviousPosition = false;
}

bool TextSearchNeedsFixedMode(const AppState& state) {
    return state.settings.OrgFixedMode != 1;
}

Notice RunTextSearch(AppState& state, const SearchTexts& texts, PixelPoint viewCentre) {
    state.found.count = 0;
    SearchByConditions(state.grid, state.columns, texts, state.found);
    const Notice none{u"検索対象が見つかりませんでした。", u"検索結果", NoticeIcon::kInformation};
    if (state.found.count == 0) {
        state.originValid = 0;
        return none;
    }
    // The text search may have grown the list; the markers follow it. Both keep the grown size
    // until the options reallocate them, so later searches need not grow them again.
    try {
        state.markerPos.resize(std::max(state.markerPos.size(), state.found.targets.size()));
    } catch (const std::bad_alloc&) {
        state.found.count = 0;
        return {u"メモリの初期化に失敗しました。", u"メモリ初期化エラー", NoticeIcon::kError};
    }
    const TargetRecord* first = state.found.targets[0];
    state.originLat = first->lat;
    state.originLon = first->lon;
    state.originValid = 1;
    state.paneMode = kPaneList;
    state.originX = viewCentre.x;
    state.originY = viewCentre.y;
    std::u16string text = u"検索対象が";
    for (char c : std::to_string(state.found.count)) {
        text += static_cast<char16_t>(c);
    }
    text += u"個見つかりました。";
    return {text, u"検索結果", NoticeIcon::kInformation};
}

bool BringTargetIntoView(AppState& state, int k, PixelPoint viewCentre) {
    const TargetRecord* t = state.found.targets[static_cast<size_t>(k)];
    if (state.settings.OrgFixedMode == 1) {
        double dLon = DmsToDegrees(t->lon) - DmsToDegrees(state.originLon);
        double dLat = DmsToDegrees(t->lat) - DmsToDegrees(state.originLat);
        state.originX = viewCentre.x - static_cast<int>(dLon * state.scale);
        state.originY = static_cast<int>(dLat * state.scale) + viewCentre.y;
        return false;
    }
    state.originLat = t->lat;
    state.originLon = t->lon;
    return true;
}

int ShowTargetOnMap(Settings& settings, const DmsAngle& lat, const DmsAngle& lon, Dialogs& dialogs,
                    PositionUpdates& updates, const std::function<bool(const std::string&)>& open) {
    // Even a cancelled confirmation leaves the update stopped: the person was told so first.
    updates.StopPeriodicUpdateFor(kMapStopText);
    // Without the confirmation, stored values outside the tables fall back as the confirmation
    // would show them.
    MapChoice stored = StoredMapChoice(settings);
    int service = stored.service;
    int scaleIx = stored.scaleIx;
    if (settings.ConfBfrMapDispMode == 1) {
        if (dialogs.MapConfirmation(settings, service, scaleIx) != 1) {
            return kAppMapCancelled;
        }
        if (settings.MemMapScaleMode == 1) {
            settings.MapSiteNo = service;
            settings.MapScaleIx = scaleIx;
        }
    }
    return open(MapUrl(service, scaleIx, lat, lon, settings.GoogleCrrctMode == 1))
               ? 0
               : kAppMapOpenFailed;
}

Notice MapOpenFailedNotice() {
    return {u"地図を表示できませんでした。", u"地図表示", NoticeIcon::kError};
}

}  // namespace zentorak
