// zentorak-wsim-sim: a simulated W-SIM module on a pseudo-terminal, for trying the program's
// W-SIM position source without the hardware. Prints the device path and runs until killed.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "wsim/wsim_module.h"

namespace {

volatile sig_atomic_t stopRequested = 0;
void OnSignal(int) {
    stopRequested = 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zentorak-wsim-sim [--lat D:M:S] [--lon D:M:S] [--postal NNNNNNN]\n"
                 "         [--silent] [--noise] [--late MS] [--no-e-line] [--decimal-seconds]\n"
                 "         [--hyphen-postal] [--link FOLDER --com N]\n"
                 "Answers AT@LBC1, AT@LBC? and AT@LBC2 on a new pseudo-terminal. With --link it\n"
                 "makes FOLDER/ports/COMN point at it (FOLDER = the folder of zentorak.ini,\n"
                 "which zentorak-cli folder prints).\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    zentorak::wsim::ModuleOptions options;
    std::string linkFolder;
    int com = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--lat" && hasValue)
            options.lat = argv[++i];
        else if (a == "--lon" && hasValue)
            options.lon = argv[++i];
        else if (a == "--postal" && hasValue)
            options.postal = argv[++i];
        else if (a == "--late" && hasValue)
            options.late = std::chrono::milliseconds(std::atoi(argv[++i]));
        else if (a == "--link" && hasValue)
            linkFolder = argv[++i];
        else if (a == "--com" && hasValue)
            com = std::atoi(argv[++i]);
        else if (a == "--silent")
            options.silent = true;
        else if (a == "--noise")
            options.noise = true;
        else if (a == "--no-e-line")
            options.noELine = true;
        else if (a == "--decimal-seconds")
            options.decimalSeconds = true;
        else if (a == "--hyphen-postal")
            options.hyphenPostal = true;
        else
            return Usage();
    }
    if (com < 0 || com > 9) {
        return Usage();
    }
    zentorak::wsim::SimulatedModule module(options);
    std::string error;
    if (!module.Start(error) || (!linkFolder.empty() && !module.LinkAs(linkFolder, com, error))) {
        std::fprintf(stderr, "zentorak-wsim-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", module.DevicePath().c_str());
    std::fflush(stdout);
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    while (!stopRequested) {
        pause();
    }
    size_t index = 0;
    for (const std::string& command : module.Commands()) {
        std::fprintf(stderr, "%zu %s\n", ++index, command.c_str());
    }
    return 0;
}
