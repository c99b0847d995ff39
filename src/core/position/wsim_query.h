// One AT@LBC exchange with the W-SIM module over an open port: LBC1, up to n position queries,
// LBC2, each step written into the log. Gives the position it read; storing it as the origin
// and opening or closing the port are the caller's business.
#pragma once

#include <chrono>
#include <functional>

#include "core/geo/dms.h"
#include "core/position/wsim_port.h"
#include "core/text/exchange_log.h"

namespace zentorak {

using SleepFn = std::function<void(std::chrono::milliseconds)>;

inline constexpr std::chrono::milliseconds kWsimReplyWait{50};

struct WsimFix {
    bool found = false;
    int postal = 0;  // 0 when the reply had none
    DmsAngle lat;
    DmsAngle lon;
};

// 0 when a position was read (fix.found set), or with n = 0; otherwise the negated result of
// the last parse, which is never 0.
int WsimQuery(int attempts, WsimPort& port, ExchangeLog& log, const SleepFn& sleep, WsimFix& fix);

}  // namespace zentorak
