#include "core/position/update_cycle.h"

#include <optional>
#include <thread>

#include "core/geo/datum.h"

namespace zentorak {

namespace {

constexpr std::u16string_view kTextUpdate = u"更新";
constexpr std::u16string_view kTextStop = u"更新停止";
constexpr std::u16string_view kTextResume = u"更新再開";
constexpr std::u16string_view kCallStopText = u"電話をかけるため定期更新を停止しました。";
constexpr std::u16string_view kStopTitle = u"定期更新停止";

Notice PortFailedNotice() {
    return {u"ポートを開くことができませんでした。現在地取得を中止します。", u"ポートオープン失敗",
            NoticeIcon::kError};
}

Notice GpsFailedNotice() {
    return {u"GPSを開くことができませんでした。現在地取得を中止します。", u"GPSオープン失敗",
            NoticeIcon::kError};
}

Notice CallFailedNotice() {
    return {u"電話をすることができませんでした。", u"電話失敗", NoticeIcon::kError};
}

// Holds the acquisition flag for one acquisition; Owns() is false when another one holds it.
class AcquisitionGuard {
public:
    explicit AcquisitionGuard(bool& flag) : flag_(flag), owns_(!flag) { flag_ = true; }
    ~AcquisitionGuard() { Release(); }
    AcquisitionGuard(const AcquisitionGuard&) = delete;
    AcquisitionGuard& operator=(const AcquisitionGuard&) = delete;
    bool Owns() const { return owns_; }
    void Release() {
        if (owns_) {
            flag_ = false;
            owns_ = false;
        }
    }

private:
    bool& flag_;
    bool owns_;
};

// Restores the arrow cursor on every way out of an acquisition.
class WaitCursor {
public:
    explicit WaitCursor(UpdateHost& host) : host_(host) { host_.BeginWaitCursor(); }
    ~WaitCursor() { host_.EndWaitCursor(); }

private:
    UpdateHost& host_;
};

}  // namespace

bool PeriodicRunning(const Settings& s) {
    return s.InfoUpdateMode == 1 && s.AutoUpdateMode == 1;
}

std::u16string_view StartupUpdateModes(Settings& settings) {
    if (settings.InfoUpdateMode != 1) {
        settings.AutoUpdateMode = 0;
    } else if (settings.AutoUpdateMode != 1) {
        settings.AutoUpdateMode = 2;
    }
    return SoftKeyTextFor(settings);
}

int StartupPollLimit(const Settings& settings) {
    if (settings.StartupSrchMode == 1) {
        return kManualPollLimit;
    }
    return PeriodicRunning(settings) ? kPeriodicPollLimit : 0;
}

std::u16string_view SoftKeyTextFor(const Settings& settings) {
    if (settings.InfoUpdateMode != 1) {
        return kTextUpdate;
    }
    return settings.AutoUpdateMode == 1 ? kTextStop : kTextResume;
}

void UpdateCycle::RealSleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

UpdateCycle::UpdateCycle(UpdateHost& host, GpsSource::DriverFactory makeGpsDriver,
                         std::filesystem::path portBase, SleepFn sleep)
    : host_(host),
      gps_(std::move(makeGpsDriver), gpsBusy_),
      port_(std::move(portBase)),
      sleep_(std::move(sleep)) {
    log_.SetListener([this](const std::u16string& text) { host_.SetLogText(text); });
}

void UpdateCycle::Shutdown() {
    port_.Close();
    if (gps_.SessionOpen()) {
        gps_.StopGpsSession();
    }
    KillPeriodicTimer();
}

void UpdateCycle::UpdateNow(int pollLimit) {
    const int source = host_.CurrentSettings().MthdGetLocInfo;
    if (source == 1) {
        AcquireWsimPosition(pollLimit);
    } else if (source == 2) {
        StartGpsRequest();
    }
    host_.RepaintNow();
}

// The failure box says that acquisition stops: a running periodic update stops with it (the soft
// key then offers to resume it), or its next tick would bring the same box back. The next update
// by hand, or the resumed periodic one, tries again.
void UpdateCycle::ShowAcquisitionFailure(const Notice& notice) {
    Settings& settings = host_.CurrentSettings();
    if (PeriodicRunning(settings)) {
        KillPeriodicTimer();
        settings.AutoUpdateMode = 2;
        host_.SetSoftKeyText(kTextResume);
    }
    host_.ShowMessage(notice);
}

// A start that fails (no position service answers, -103..-105) is said as the W-SIM port's
// failure is.
void UpdateCycle::StartGpsRequest() {
    if (gpsFailureShown_) {
        return;
    }
    const int result = gps_.StartGpsRequest(
        [&host = host_](uint16_t command) {
            host.PostPositionReady(command == kGpsRequestFailed ? PositionSource::kGpsFailed
                                                                : PositionSource::kGps);
        },
        res::ID_POSITION_READY);
    if (result < 0) {
        gpsFailureShown_ = true;
        ShowAcquisitionFailure(GpsFailedNotice());
        gpsFailureShown_ = false;
    }
}

bool UpdateCycle::OpenWsimPort() {
    if (port_.IsOpen()) {
        return true;
    }
    const int index = host_.CurrentSettings().PortName;
    // An index outside the list names no port, so the open fails with its usual message.
    std::string name;
    if (index >= 0 && index < static_cast<int>(kPortNames.size())) {
        name.assign(kPortNames[index].begin(), kPortNames[index].end());
        name += ':';
    }
    return port_.Open(name) == 1;
}

int UpdateCycle::AcquireWsimPosition(int pollLimit) {
    AcquisitionGuard lock(acquiring_);
    if (!lock.Owns()) {
        return 0;
    }
    std::optional<WaitCursor> cursor(std::in_place, host_);
    if (!OpenWsimPort()) {
        cursor.reset();
        ShowAcquisitionFailure(PortFailedNotice());
        return kPortOpenFailed;
    }
    host_.ShowLogPane();
    WsimFix fix;
    const int result = WsimQuery(pollLimit, port_, log_, sleep_, fix);
    if (fix.found) {
        host_.SetOrigin(fix.lat, fix.lon);
    }
    port_.Close();
    cursor.reset();
    lock.Release();
    host_.PostPositionReady(fix.found ? PositionSource::kWsim : PositionSource::kWsimNoPosition);
    return result;
}

void UpdateCycle::OnPositionReady(PositionSource source) {
    // A service that gave up after opening is said as one that could not be opened; the
    // session is closed, so that the next update starts afresh.
    if (source == PositionSource::kGpsFailed) {
        if (gps_.SessionOpen()) {
            gps_.StopGpsSession();
        }
        if (!gpsFailureShown_) {
            gpsFailureShown_ = true;
            ShowAcquisitionFailure(GpsFailedNotice());
            gpsFailureShown_ = false;
        }
        return;
    }
    // Only a GPS answer reads the GPS record, and only while GPS is still the chosen source: an
    // answer that arrives after a switch to W-SIM must not replace the W-SIM position.
    if (source == PositionSource::kGps && gps_.Request() &&
        host_.CurrentSettings().MthdGetLocInfo == 2) {
        // The receiver reports on WGS 84 and the targets are on the Tokyo datum; unconverted,
        // the origin would sit some 400 m from where the person stands.
        const GpsPosition position = gps_.Request()->Position();
        double lat = 0;
        double lon = 0;
        Wgs84ToTokyo(position.latitude, position.longitude, lat, lon);
        host_.SetOrigin(DegreesToDms(lat), DegreesToDms(lon));
    }
    // A W-SIM query that stored nothing leaves the origin as it was: searching again would only
    // put the old list in front of the log that says what went wrong.
    if (source != PositionSource::kWsimNoPosition) {
        host_.SearchAroundOrigin();
    }
    // The timer belongs to a running periodic update only; a late answer while the update is
    // stopped must not start it behind a key that reads "更新再開".
    if (PeriodicRunning(host_.CurrentSettings()) && updateTimer_ == 0) {
        host_.StartTimer(res::PERIODIC_TIMER_ID, res::PERIODIC_TIMER_MS);
        updateTimer_ = res::PERIODIC_TIMER_ID;
    }
}

void UpdateCycle::KillPeriodicTimer() {
    if (updateTimer_ != 0) {
        host_.KillTimer(updateTimer_);
        updateTimer_ = 0;
    }
}

void UpdateCycle::OnUpdateSoftKey() {
    Settings& settings = host_.CurrentSettings();
    if (PeriodicRunning(settings)) {
        KillPeriodicTimer();
        host_.SetSoftKeyText(kTextResume);
        settings.AutoUpdateMode = 2;
    } else if (settings.InfoUpdateMode == 1) {
        // Running from here on, so that the answer's position-ready starts the timer.
        settings.AutoUpdateMode = 1;
        host_.SetSoftKeyText(kTextStop);
        UpdateNow(kPeriodicPollLimit);
    } else if (settings.InfoUpdateMode == 2) {
        UpdateNow(kManualPollLimit);
    }
}

void UpdateCycle::AfterOptionsApplied() {
    Settings& settings = host_.CurrentSettings();
    if (PeriodicRunning(settings)) {
        UpdateNow(kPeriodicPollLimit);
    } else {
        KillPeriodicTimer();
        if (settings.InfoUpdateMode != 1) {
            settings.AutoUpdateMode = 0;
        }
    }
    host_.SetSoftKeyText(SoftKeyTextFor(settings));
}

void UpdateCycle::StopPeriodicUpdateFor(std::u16string_view notice) {
    Settings& settings = host_.CurrentSettings();
    if (!PeriodicRunning(settings)) {
        return;
    }
    KillPeriodicTimer();
    host_.SetSoftKeyText(kTextResume);
    settings.AutoUpdateMode = 2;
    host_.ShowMessage(
        {std::u16string(notice), std::u16string(kStopTitle), NoticeIcon::kInformation});
}

void UpdateCycle::NoteGpsService(std::u16string_view line) {
    if (line != lastGpsService_) {
        lastGpsService_ = line;
        log_.AppendLine(line);
    }
}

std::optional<std::u16string> TelephoneAddress(std::u16string_view number) {
    if (number.size() > kMaxTelephoneLength) {
        return std::nullopt;
    }
    std::u16string address = u"TEL:";
    bool digits = false;
    for (char16_t c : number) {
        if (c >= u'０' && c <= u'９') {
            c = static_cast<char16_t>(u'0' + (c - u'０'));
        }
        if (c >= u'0' && c <= u'9') {
            digits = true;
            address += c;
        } else if (c == u'+' && address.size() == 4) {
            address += c;
        } else if (c == u'-' || c == u'.' || c == u'(' || c == u')') {
            address += c;
        } else if (c == u'*') {
            address += u"%2A";
        } else if (c == u'#') {
            address += u"%23";
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    return address;
}

int UpdateCycle::PlaceCall(int targetIndex) {
    StopPeriodicUpdateFor(kCallStopText);
    const std::optional<std::u16string> number = host_.TelephoneText(targetIndex);
    const std::optional<std::u16string> address = number ? TelephoneAddress(*number) : std::nullopt;
    if (address && host_.OpenUrl(*address)) {
        return 0;
    }
    host_.ShowMessage(CallFailedNotice());
    return kCallFailed;
}

}  // namespace zentorak
