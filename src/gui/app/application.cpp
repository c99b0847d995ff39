#include "gui/app/application.h"

#include <QTimer>
#include <cstdio>

#include "core/app/load_report.h"
#include "core/platform/app_folder.h"
#include "core/position/update_cycle.h"
#include "core/resources/resource_ids.h"
#include "core/text/code_page.h"
#include "gui/app/result_panes.h"
#include "gui/controls/item_list_view.h"
#include "gui/platform/keyboard_access.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_dpi.h"
#include "gui/platform/wait_cursor.h"

namespace zentorak {
namespace {

void StartupError(const char* text, const char* title) {
    ShowMessage(nullptr, QString::fromUtf8(text), QString::fromUtf8(title), NoticeIcon::kError);
}

// The item list control's window class (INERT_LIST_VIEW), used by the dialogs.
bool RegisterItemListControl() {
    return RegisterItemListClass() == 0;
}

}  // namespace

std::string SettingsFilePath() {
    return ToUtf8(MakeAppFolderPath(u"zentorak.ini"));
}

std::string SettingsFileBesideReadOnlyProgram() {
    return SettingsFileToRead(ProcessAppFolderInputs(), ProgramAppFolder(), "zentorak.ini");
}

Application::Application(AppState& state, std::string settingsPath)
    : state_(state), settingsPath_(std::move(settingsPath)) {
    state_.settingsPath = settingsPath_;
}

Application::~Application() {
    Teardown();
}

bool Application::Start(bool show) {
    state_.dpi = ScreenDpi();
    InstallKeyboardAccess();
    if (!RegisterItemListControl()) {
        return false;
    }
    SetDefaults(state_);
    window_ = std::make_unique<MainWindow>(state_);
    QObject::connect(window_.get(), &MainWindow::Closing, [this] { Teardown(); });
    if (factory_) {
        window_->SetPositionUpdates(factory_(*window_, state_));
    }
    if (InitApplication() != 0) {
        failed_ = true;
        return false;
    }
    if (!backgroundLoading_ && !FinishLoading()) {
        return false;
    }
    if (backgroundLoading_) {
        window_->SetInputGate([this] { FinishLoading(); });
        QObject::connect(
            window_.get(), &MainWindow::FirstPainted, window_.get(),
            [this] { QTimer::singleShot(0, window_.get(), [this] { FinishLoading(); }); },
            Qt::QueuedConnection);
    }
    if (show) {
        window_->show();
    }
    if (!backgroundLoading_) {
        AfterLoad();
    }
    return true;
}

int Application::InitApplication() {
    state_.favorites.clear();
    window_->RebuildFavoriteItems();
    if (!ReadSettings()) {
        return -1;
    }
    WaitCursor wait;
    if (AllocateFoundArrays(state_) != 0) {
        wait.Restore();
        StartupError("メモリの初期化に失敗しました。", "メモリ初期化エラー");
        return -1;
    }
    // Only the worker touches the grid and the column map until it is joined.
    loader_ = std::thread([this, keywords = CoordinateKeywordsOf(state_)] {
        loadResult_ = LoadAllLocationInfoFiles(
            state_.grid, state_.columns, state_.locationInfoFiles, keywords, &state_.loadReports);
    });
    wait.Restore();
    window_->SetSoftKeyText(ToQString(StartupUpdateModes(state_.settings)));
    window_->RefreshOriginModeTexts();
    return 0;
}

bool Application::FinishLoading() {
    if (!loader_.joinable()) {
        return !failed_;
    }
    {
        WaitCursor wait;
        loader_.join();
    }
    window_->SetInputGate({});
    if (loadResult_ != 0) {
        failed_ = true;
        StartupError("位置情報の読込みに失敗しました。", "初期化エラー");
        if (backgroundLoading_) {
            window_->close();
        }
        return false;
    }
    LookUpColumns(state_);
    // Said once the window is up and painted, never in the way of the first paint.
    if (std::optional<Notice> check =
            LoadCheckNotice(state_.locationInfoFiles, state_.loadReports, u"初期化エラー")) {
        QTimer::singleShot(0, window_.get(),
                           [this, notice = *check] { ShowNotice(window_.get(), notice); });
    }
    if (backgroundLoading_) {
        AfterLoad();
    }
    return true;
}

// The last start-up steps, once the targets are there: the start-up update (also the first round
// of a running periodic update) and the timer.
void Application::AfterLoad() {
    if (startFavorite_ > 0 && startFavorite_ <= state_.favorites.count()) {
        window_->Dispatch(kFavoriteCommandBase + startFavorite_);
    }
    if (int pollLimit = StartupPollLimit(state_.settings); pollLimit != 0) {
        window_->Updates().UpdateNow(pollLimit);
    }
    if (PeriodicRunning(state_.settings)) {
        window_->StartUpdateTimer(res::PERIODIC_TIMER_ID, res::PERIODIC_TIMER_MS);
        window_->Updates().PeriodicTimerStarted();
    }
}

bool Application::ReadSettings() {
    const std::string& from = readPath_.empty() ? settingsPath_ : readPath_;
    int result = LoadSettingsFile(from, state_.settings, state_.locationInfoFiles, state_.favorites,
                                  [this](int id, const std::u16string& name) {
                                      window_->AppendFavoriteItem(id, ToQString(name));
                                  });
    if (result == -1) {
        StartupError("設定ファイルが見つからないので初期化します。", "設定ファイルエラー");
        ClearLocationInfoFileList(state_.locationInfoFiles);
        if (SaveSettingsFile(settingsPath_, state_.settings, state_.locationInfoFiles,
                             state_.favorites) != 0) {
            StartupError("設定ファイルの書込みに失敗しました。終了します。", "設定ファイルエラー");
            return false;
        }
    } else if (result != 0) {
        StartupError("設定ファイルの読込みに失敗しました。", "設定ファイルエラー");
        return false;
    }
    return true;
}

void Application::Teardown() {
    if (tornDown_ || !window_) {
        return;
    }
    tornDown_ = true;
    if (loader_.joinable()) {
        loader_.join();
    }
    window_->Updates().Shutdown();
    window_->StopUpdateTimer();
    state_.found.count = 0;
    state_.found.targets.clear();
    state_.markerPos.clear();
    ClearTargetGrid(state_.grid);
    // A start-up that failed saves nothing.
    if (!failed_) {
        SaveAtExit();
    }
}

// A failed save would lose the favourites and options changed since start-up without a word,
// so the user may free space and try again. The old file stays intact either way.
void Application::SaveAtExit() {
    SaveSettingsFileRetrying(
        settingsPath_, state_.settings, state_.locationInfoFiles, state_.favorites,
        [this](int) {
            if (endingBySignal_) {
                std::fprintf(stderr, "zentorak: %s: 設定ファイルの書込みに失敗しました。\n",
                             settingsPath_.c_str());
                return false;
            }
            return ShowMessage(nullptr, QStringLiteral("設定ファイルの書込みに失敗しました。"),
                               QStringLiteral("設定ファイルエラー"), NoticeIcon::kError,
                               MessageButtons::RetryCancel) == kAnswerRetry;
        },
        settingsFileCalls_);
}

}  // namespace zentorak
