#include "gui/platform/geoclue_driver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGeoCoordinate>
#include <QGeoPositionInfoSource>
#include <QThread>
#include <cerrno>

#include "core/gpsd/gpsd_driver.h"
#include "gui/platform/qt_text.h"

namespace zentorak {

namespace {

const QString kGeoclueService = QStringLiteral("org.freedesktop.GeoClue2");

int FixMode(const QGeoCoordinate& coordinate) {
    switch (coordinate.type()) {
        case QGeoCoordinate::Coordinate2D:
            return kFixMode2D;
        case QGeoCoordinate::Coordinate3D:
            return kFixMode3D;
        case QGeoCoordinate::InvalidCoordinate:
            break;
    }
    return kFixModeNone;
}

}  // namespace

// Owns Qt's position source on the driver's thread; every member runs on that thread.
class GeoclueBridge : public QObject {
public:
    explicit GeoclueBridge(GeoclueDriver& driver) : driver_(driver) {}

    int Start(const QString& desktopId) {
        if (!ServiceReachable()) {
            return ECONNREFUSED;
        }
        source_ = QGeoPositionInfoSource::createSource(
            QStringLiteral("geoclue2"), {{QStringLiteral("desktopId"), desktopId}}, this);
        if (!source_) {
            return ENOENT;
        }
        // Qt hands out the position it saved at the end of an earlier run as the first update;
        // that is no fix of this session.
        stale_ = source_->lastKnownPosition();
        connect(source_, &QGeoPositionInfoSource::positionUpdated, this,
                [this](const QGeoPositionInfo& info) { OnPosition(info); });
        connect(source_, &QGeoPositionInfoSource::errorOccurred, this,
                [this](QGeoPositionInfoSource::Error error) { OnError(error); });
        source_->setPreferredPositioningMethods(QGeoPositionInfoSource::AllPositioningMethods);
        source_->startUpdates();
        return 0;
    }

    void Stop() {
        if (source_) {
            source_->stopUpdates();
            delete source_;
            source_ = nullptr;
        }
    }

private:
    // GeoClue is usually started by the bus when first asked, so a service that may be started
    // counts as reachable.
    static bool ServiceReachable() {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected() || !bus.interface()) {
            return false;
        }
        QDBusConnectionInterface* names = bus.interface();
        return names->isServiceRegistered(kGeoclueService).value() ||
               names->activatableServiceNames().value().contains(kGeoclueService);
    }

    void OnPosition(const QGeoPositionInfo& info) {
        if (stale_.isValid() && info == stale_) {
            stale_ = QGeoPositionInfo();
            return;
        }
        // A record is valid only with a coordinate and its time.
        if (!IsRealFix(FixMode(info.coordinate()), info.isValid())) {
            return;
        }
        GpsPosition fix;
        fix.latitude = info.coordinate().latitude();
        fix.longitude = info.coordinate().longitude();
        if (info.hasAttribute(QGeoPositionInfo::GroundSpeed)) {
            fix.speed = static_cast<float>(info.attribute(QGeoPositionInfo::GroundSpeed));
        }
        if (info.hasAttribute(QGeoPositionInfo::Direction)) {
            fix.heading = static_cast<float>(info.attribute(QGeoPositionInfo::Direction));
        }
        driver_.Deliver(fix);
    }

    void OnError(QGeoPositionInfoSource::Error error) {
        switch (error) {
            case QGeoPositionInfoSource::AccessError:
                driver_.Fail(u"GPS: GeoClue が位置情報の利用を許可しませんでした", true);
                break;
            case QGeoPositionInfoSource::ClosedError:
                driver_.Fail(u"GPS: GeoClue との接続が切れました", true);
                break;
            case QGeoPositionInfoSource::NoError:
            case QGeoPositionInfoSource::UpdateTimeoutError:
                break;  // startUpdates has no time-out; nothing to say
            default:
                driver_.Fail(u"GPS: GeoClue のエラー " + ToU16(QString::number(error)), true);
                break;
        }
    }

    GeoclueDriver& driver_;
    QGeoPositionInfoSource* source_ = nullptr;
    QGeoPositionInfo stale_;
};

GeoclueDriver::GeoclueDriver(Notice notice, QString desktopId, Clock clock)
    : notice_(std::move(notice)), desktopId_(std::move(desktopId)), clock_(std::move(clock)) {}

GeoclueDriver::~GeoclueDriver() {
    Close();
}

int GeoclueDriver::Open(GpsEvents& events) {
    if (thread_) {
        return EBUSY;
    }
    {
        std::lock_guard lock(mutex_);
        events_ = &events;
        fix_.Forget();
        failed_ = false;
    }
    thread_ = std::make_unique<QThread>();
    thread_->setObjectName(QStringLiteral("GeoClue"));
    thread_->start();
    bridge_ = new GeoclueBridge(*this);
    bridge_->moveToThread(thread_.get());
    // The start asks the system bus, which may be slow to answer or start GeoClue; the window's
    // thread waits for it only so long. A start that ends later reports through the device
    // state: a failure then ends the request as a failed open would have.
    auto start = std::make_shared<PendingStart>();
    QMetaObject::invokeMethod(
        bridge_,
        [this, start] {
            const int error = bridge_->Start(desktopId_);
            std::lock_guard lock(start->mutex);
            start->error = error;
            start->done = true;
            start->changed.notify_all();
            if (start->abandoned && error != 0) {
                Fail(u"GPS: GeoClue を開始できませんでした", true);
            }
        },
        Qt::QueuedConnection);
    int error = 0;
    {
        std::unique_lock lock(start->mutex);
        if (start->changed.wait_for(lock, kOpenWait, [&] { return start->done; })) {
            error = start->error;
        } else {
            start->abandoned = true;
        }
    }
    if (error != 0) {
        Close();
        return error;
    }
    events.Signal(GpsEvents::kDeviceState);
    return 0;
}

int GeoclueDriver::Close() {
    if (!thread_) {
        return 0;
    }
    {
        std::lock_guard lock(mutex_);
        events_ = nullptr;
    }
    QMetaObject::invokeMethod(
        bridge_, [this] { bridge_->Stop(); }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    // The thread has ended, so nothing of the bridge's can run any more.
    delete bridge_;
    bridge_ = nullptr;
    thread_.reset();
    return 0;
}

void GeoclueDriver::Deliver(const GpsPosition& fix) {
    std::lock_guard lock(mutex_);
    fix_.Take(fix, clock_());
    if (events_) {
        events_->Signal(GpsEvents::kNewPosition);
    }
}

void GeoclueDriver::Fail(const std::u16string& line, bool final) {
    if (notice_) {
        notice_(line);
    }
    if (final) {
        std::lock_guard lock(mutex_);
        failed_ = true;
        if (events_) {
            events_->Signal(GpsEvents::kDeviceState);
        }
    }
}

int GeoclueDriver::GetPosition(GpsPosition& out, uint32_t maxAgeMs) {
    std::lock_guard lock(mutex_);
    return fix_.Get(out, clock_(), maxAgeMs);
}

int GeoclueDriver::GetDeviceState(GpsDevice& out) {
    out.friendlyName = u"GeoClue";
    std::lock_guard lock(mutex_);
    out.failed = failed_;
    return 0;
}

std::shared_ptr<GpsDriver> MakeProgramGpsDriver(FallbackGpsDriver::Notice notice) {
    return std::make_shared<FallbackGpsDriver>(
        std::vector<FallbackGpsDriver::Service>{
            {u"gpsd", [] { return std::make_shared<GpsdDriver>(); }},
            {u"GeoClue", [notice] { return std::make_shared<GeoclueDriver>(notice); }}},
        notice);
}

}  // namespace zentorak
