#include "core/position/gps_source.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

namespace zentorak {

void GpsRequest::Reset(PostCommandFn window, int command, std::atomic<int>* busyFlag) {
    std::lock_guard lock(mutex_);
    window_ = std::move(window);
    command_ = command;
    last_ = GpsPosition{};
    busyFlag_ = busyFlag;
    deviceName_.clear();
    waiting_.store(1);
}

void GpsRequest::OnNewPosition(const GpsPosition& position) {
    // The answer is posted under the lock, so that Detach() returns only once no post can
    // still be under way.
    std::lock_guard lock(mutex_);
    last_ = position;  // every position, also after the answer
    if (waiting_.load() != 1) {
        return;
    }
    if (window_) {
        window_(static_cast<uint16_t>(command_ & 0xFFFF));
    }
    waiting_.store(0);
    if (busyFlag_) {
        busyFlag_->store(0);
    }
}

void GpsRequest::Detach() {
    std::lock_guard lock(mutex_);
    window_ = {};
    if (busyFlag_) {
        busyFlag_->store(0);  // nothing is acquiring any more
    }
    busyFlag_ = nullptr;
    waiting_.store(0);
}

// A device that failed while the request waits ends it: the window is told that no answer
// will come (kGpsRequestFailed) rather than showing "位置取得中" for ever.
void GpsRequest::OnDeviceState(const GpsDevice& device) {
    std::lock_guard lock(mutex_);
    deviceName_ = device.friendlyName.substr(0, kGpsDeviceNameMax);
    if (!device.failed || waiting_.load() != 1) {
        return;
    }
    if (window_) {
        window_(kGpsRequestFailed);
    }
    waiting_.store(0);
    if (busyFlag_) {
        busyFlag_->store(0);
    }
}

GpsPosition GpsRequest::Position() const {
    std::lock_guard lock(mutex_);
    return last_;
}

std::u16string GpsRequest::DeviceName() const {
    std::lock_guard lock(mutex_);
    return deviceName_;
}

void GpsReaderThread(std::shared_ptr<GpsReaderShared> shared) {
    GpsPosition position;
    GpsDevice device;
    for (;;) {
        const GpsEvents::Index which = shared->events.WaitAny();
        if (which == GpsEvents::kStop) {
            break;
        }
        // Failures are ignored: the request waits for the next event.
        if (which == GpsEvents::kNewPosition) {
            if (shared->driver->GetPosition(position, kGpsMaximumAgeMs) == 0) {
                shared->request->OnNewPosition(position);
            }
        } else if (shared->driver->GetDeviceState(device) == 0) {
            shared->request->OnDeviceState(device);
        }
    }
    std::lock_guard lock(shared->doneMutex);
    shared->done = true;
    shared->doneChanged.notify_all();
}

GpsSource::GpsSource(DriverFactory makeDriver, std::atomic<int>& busyFlag,
                     std::chrono::milliseconds stopWait)
    : makeDriver_(std::move(makeDriver)), busyFlag_(busyFlag), stopWait_(stopWait) {}

GpsSource::~GpsSource() {
    if (session_) {
        StopGpsSession();
    }
}

int GpsSource::StartGpsRequest(PostCommandFn window, int command) {
    if (busyFlag_.exchange(1) != 0) {
        return 0;  // one request at a time
    }
    if (session_) {
        StopGpsSession();
        session_.reset();
    }
    if (!request_) {
        request_.reset(new (std::nothrow) GpsRequest);
        if (!request_) {
            busyFlag_.store(0);
            return kGpsNoRequestMemory;
        }
    }
    request_->Reset(std::move(window), command, &busyFlag_);
    session_.reset(new (std::nothrow) GpsSession);
    if (!session_) {
        busyFlag_.store(0);
        return kGpsNoThreadMemory;
    }
    if (StartSession() != 0) {
        busyFlag_.store(0);
        return kGpsSessionFailed;
    }
    return 0;
}

// Waits for the reader thread to end; a thread that does not is abandoned. Its shared state
// stays alive through its own reference, so it can still finish harmlessly.
int GpsSource::WaitForReader(std::chrono::milliseconds limit) {
    GpsReaderShared& shared = *session_->shared;
    bool done;
    {
        std::unique_lock lock(shared.doneMutex);
        done = shared.doneChanged.wait_for(lock, limit, [&] { return shared.done; });
    }
    if (session_->thread.joinable()) {
        done ? session_->thread.join() : session_->thread.detach();
    }
    if (!done) {
        // The abandoned thread keeps this request; cut it off from the window and the busy
        // flag, which may be gone before it wakes, and give later requests a record of their own.
        request_->Detach();
        request_.reset();
    }
    return done ? 0 : SystemErrorStatus(ETIMEDOUT);
}

int GpsSource::StartSession() {
    if (!request_ || session_->deviceOpen) {
        return kEInvalidArg;
    }
    try {
        session_->shared = std::make_shared<GpsReaderShared>();
        session_->shared->request = request_;
        session_->shared->driver = makeDriver_();
        session_->thread = std::thread(GpsReaderThread, session_->shared);
    } catch (const std::system_error& e) {
        session_->shared.reset();
        return SystemErrorStatus(e.code().value());
    } catch (const std::bad_alloc&) {
        session_->shared.reset();
        return SystemErrorStatus(ENOMEM);
    }
    const int error = session_->shared->driver
                          ? session_->shared->driver->Open(session_->shared->events)
                          : ENODEV;
    if (error != 0) {
        session_->shared->events.Signal(GpsEvents::kStop);
        WaitForReader(stopWait_);
        session_->shared.reset();
        return SystemErrorStatus(error);
    }
    session_->deviceOpen = true;
    return 0;
}

int GpsSource::StopGpsSession() {
    if (!session_ || !session_->deviceOpen) {
        return kEInvalidArg;
    }
    session_->shared->events.Signal(GpsEvents::kStop);
    int status = WaitForReader(stopWait_);
    // The events go with the session, but only after the device is closed: until then the
    // driver's own thread may still signal them.
    const std::shared_ptr<GpsReaderShared> shared = std::move(session_->shared);
    const int closeError = shared->driver->Close();
    session_->deviceOpen = false;
    if (closeError != 0 && status == 0) {
        status = SystemErrorStatus(closeError);
    }
    return status;
}

}  // namespace zentorak
