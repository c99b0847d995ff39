// zentorak-cli folder [--exe PATH]: which folder the program keeps zentorak.ini and ports/ in,
// decided as the program decides it, for the zentorak beside this companion (or one folder up,
// as in the build tree) or for the executable given. Prints {"executable", "folder",
// "besideExecutable", "settings", "exists"}; creates nothing.
#include <unistd.h>

#include <cstdlib>

#include "cli.h"
#include "core/platform/app_folder.h"

namespace zentorak::cli {
namespace {

// The full path with links and ".." resolved, as /proc/self/exe gives it; the path as it is
// when there is no such file.
std::string Resolved(const std::string& path) {
    char* full = ::realpath(path.c_str(), nullptr);
    std::string result = full ? full : path;
    std::free(full);
    return result;
}

std::string ProgramBesideCompanion(const std::string& companion) {
    const std::string folder = companion.substr(0, companion.rfind('/') + 1);
    for (const char* candidate : {"zentorak", "../zentorak"}) {
        if (::access((folder + candidate).c_str(), X_OK) == 0) {
            return Resolved(folder + candidate);
        }
    }
    return folder + "zentorak";
}

int RunFolder(int argc, char** argv) {
    AppFolderInputs in = ProcessAppFolderInputs();
    if (argc == 3 && std::string_view(argv[1]) == "--exe") {
        in.executable = Resolved(argv[2]);
    } else if (argc == 1) {
        in.executable = ProgramBesideCompanion(in.executable);
    } else {
        return UsageError("folder [--exe PATH]");
    }
    const AppFolder folder = ChooseAppFolder(in);
    JsonObject()
        .Add("executable", in.executable)
        .Add("folder", folder.path)
        .AddRaw("besideExecutable", folder.besideExecutable ? "true" : "false")
        .Add("settings", AppFolderFile(folder, "zentorak.ini"))
        .AddRaw("exists", ::access(folder.path.c_str(), F_OK) == 0 ? "true" : "false")
        .Print();
    return 0;
}

CommandRegistration reg{"folder",
                        "folder [--exe PATH]  (the folder of zentorak.ini and ports/ for the "
                        "zentorak beside this program, or for PATH)",
                        RunFolder};

}  // namespace
}  // namespace zentorak::cli
