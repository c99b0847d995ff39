// zentorak-wsim-sim: a simulated W-SIM module on a pseudo-terminal, for trying the program's
// W-SIM position source without the hardware. Prints the device path and runs until stopped by
// SIGINT, SIGTERM or SIGHUP; on every way out it removes the ports/COMn link it made, which would
// otherwise point at a /dev/pts number that later belongs to another terminal.
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

// --help prints the usage on standard output; a bad option prints it on standard error.
int Usage(FILE* out = stderr) {
    std::fprintf(out,
                 "usage: zentorak-wsim-sim [--lat D:M:S] [--lon D:M:S] [--postal NNNNNNN]\n"
                 "         [--silent] [--noise] [--late MS] [--no-e-line] [--decimal-seconds]\n"
                 "         [--hyphen-postal] [--link FOLDER --com N]\n"
                 "Answers AT@LBC1, AT@LBC? and AT@LBC2 on a new pseudo-terminal. With --link it\n"
                 "makes FOLDER/ports/COMN point at it (FOLDER = the folder of zentorak.ini,\n"
                 "which zentorak-cli folder prints) and removes that link again when it stops.\n");
    return out == stderr ? 2 : 0;
}

// Waits for a stop signal without the race of testing the flag and then calling pause(): the
// signals stay blocked except inside sigsuspend.
void WaitForStop() {
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, signal);
    }
    sigprocmask(SIG_BLOCK, &stops, &previous);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    sigset_t waiting = previous;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigdelset(&waiting, signal);
    }
    while (!stopRequested) {
        sigsuspend(&waiting);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

struct Arguments {
    zentorak::wsim::ModuleOptions options;
    std::string linkFolder;
    int com = 1;
};

// 0 when the arguments were read; else what main returns (the usage was printed).
int ParseArguments(int argc, char** argv, Arguments& args) {
    zentorak::wsim::ModuleOptions& options = args.options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--help" || a == "-h")
            return Usage(stdout) == 0 ? -1 : 2;
        else if (a == "--lat" && hasValue)
            options.lat = argv[++i];
        else if (a == "--lon" && hasValue)
            options.lon = argv[++i];
        else if (a == "--postal" && hasValue)
            options.postal = argv[++i];
        else if (a == "--late" && hasValue)
            options.late = std::chrono::milliseconds(std::atoi(argv[++i]));
        else if (a == "--link" && hasValue)
            args.linkFolder = argv[++i];
        else if (a == "--com" && hasValue)
            args.com = std::atoi(argv[++i]);
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
    return args.com < 0 || args.com > 9 ? Usage() : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (int result = ParseArguments(argc, argv, args); result != 0) {
        return result < 0 ? 0 : result;
    }
    const zentorak::wsim::ModuleOptions& options = args.options;
    const std::string& linkFolder = args.linkFolder;
    const int com = args.com;
    zentorak::wsim::SimulatedModule module(options);
    std::string error;
    if (!module.Start(error)) {
        std::fprintf(stderr, "zentorak-wsim-sim: %s\n", error.c_str());
        return 1;
    }
    if (!linkFolder.empty() && !module.LinkAs(linkFolder, com, error)) {
        std::fprintf(stderr, "zentorak-wsim-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", module.DevicePath().c_str());
    std::fflush(stdout);
    WaitForStop();
    if (!linkFolder.empty()) {
        module.Unlink(linkFolder, com);
    }
    size_t index = 0;
    for (const std::string& command : module.Commands()) {
        std::fprintf(stderr, "%zu %s\n", ++index, command.c_str());
    }
    return 0;
}
