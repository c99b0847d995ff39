#include "core/position/wsim_query.h"

#include <cstdio>

#include "core/position/lbc_response.h"
#include "core/text/code_page.h"

namespace zentorak {

namespace {

constexpr std::u16string_view kRule = u"--------";

// Formats ASCII-only text (numbers and punctuation) as UTF-16.
template <typename... Args>
std::u16string Ascii(const char* format, Args... args) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return FromUtf8(buffer);
}

std::u16string Exchange(WsimPort& port, std::u16string_view command, const SleepFn& sleep,
                        bool wait) {
    port.Rx().Clear();
    port.SendCommand(command);
    if (wait) {
        sleep(kWsimReplyWait);
    }
    return port.Rx().Text();
}

void LogFix(ExchangeLog& log, const WsimFix& fix) {
    log.AppendLine(Ascii("rc:%d", 0));
    log.AppendLine(u"郵便番号:" + Ascii("%d", fix.postal));
    log.AppendLine(u"緯度:" + FormatDms(fix.lat));
    log.AppendLine(u"経度:" + FormatDms(fix.lon));
    log.AppendLine(kRule);
}

}  // namespace

int WsimQuery(int attempts, WsimPort& port, ExchangeLog& log, const SleepFn& sleep, WsimFix& fix) {
    fix = WsimFix{};
    log.Clear();
    log.AppendLine(kRule);
    log.AppendLine(Exchange(port, u"AT@LBC1\r", sleep, true));
    log.AppendLine(kRule);
    int parsed = 0;
    for (int i = 0; i < attempts; ++i) {
        const std::u16string reply = Exchange(port, u"AT@LBC?\r", sleep, true);
        log.AppendLine(reply);
        log.AppendLine(Ascii("-- %02d --", i));
        // Parsed into a fresh record: a failed reply must not leave half an angle behind.
        WsimFix candidate;
        parsed = ParseLbcResponse(kLbcLatitude | kLbcLongitude, reply, candidate.postal,
                                  candidate.lat, candidate.lon);
        if (parsed == 0) {
            candidate.found = true;
            fix = candidate;
            LogFix(log, fix);
            break;
        }
        log.AppendLine(u"RETRY--------");
    }
    log.AppendLine(Exchange(port, u"AT@LBC2\r", sleep, false));
    log.AppendLine(kRule);
    log.AppendLine(u"end.");
    if (!fix.found) {
        log.AppendLine(u"位置を取得できませんでした。");
    }
    return -parsed;
}

}  // namespace zentorak
