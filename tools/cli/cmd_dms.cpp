// zentorak-cli dms: parses each text as an angle and prints its fields and forms.
#include "cli.h"
#include "core/geo/dms.h"
#include "core/text/code_page.h"

namespace zentorak::cli {

namespace {

int RunDms(int argc, char** argv) {
    if (argc < 2) {
        return UsageError("dms needs at least one TEXT");
    }
    int exitCode = 0;
    for (int i = 1; i < argc; ++i) {
        std::u16string text = FromUtf8(argv[i]);
        DmsAngle angle;
        int result = ParseDms(text, angle);
        JsonObject out;
        out.Add("text", text).Add("result", result);
        if (result == 0) {
            out.Add("deg", angle.deg).Add("min", angle.min).Add("sec", angle.sec);
            out.Add("msec", angle.msec).Add("formatted", FormatDms(angle));
            out.Add("degrees", DmsToDegrees(angle));
        } else {
            // A text that does not parse has no angle.
            for (const char* key : {"deg", "min", "sec", "msec", "formatted", "degrees"}) {
                out.AddNull(key);
            }
            exitCode = 1;
        }
        out.Print();
    }
    return exitCode;
}

CommandRegistration reg{
    "dms", "dms TEXT...  (exit 1 when a text does not parse, 2 on usage errors)", RunDms};

}  // namespace

}  // namespace zentorak::cli
