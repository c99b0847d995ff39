// Feeds arbitrary text to the gpsd report reader and to the driver's report handling.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/gpsd/gpsd_driver.h"
#include "core/gpsd/gpsd_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const zentorak::GpsdReport report = zentorak::ParseGpsdReport(line);
    if (report.kind == zentorak::GpsdReport::kTpv && report.hasLatLon &&
        (report.latitude != report.latitude || report.longitude != report.longitude)) {
        __builtin_trap();  // never NaN as a position
    }
    static zentorak::GpsdDriver driver("127.0.0.1", "1");
    driver.HandleReport(line);
    return 0;
}
