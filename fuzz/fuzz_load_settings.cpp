// LoadSettingsFile on arbitrary bytes (through a memfd). What was read must survive being
// written out and read again: a second round gives the same file text.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/settings/settings_lines.h"
#include "core/settings/settings_store.h"
#include "core/text/text_line.h"

namespace {

struct State {
    zentorak::Settings settings;
    zentorak::LocationInfoFileList files;
    zentorak::FavoriteList favorites;
};

int Load(const std::string& bytes, State& state) {
    int fd = ::memfd_create("zentorak.ini", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::abort();
    }
    int result = zentorak::LoadSettingsFile("/proc/self/fd/" + std::to_string(fd), state.settings,
                                            state.files, state.favorites);
    ::close(fd);
    return result;
}

std::string FileText(const State& state) {
    std::string text;
    zentorak::TextFileWriter writer(-1, [&](int, const void* data, size_t size) -> ssize_t {
        text.append(static_cast<const char*>(data), size);
        return static_cast<ssize_t>(size);
    });
    for (const auto& line :
         zentorak::SettingsFileLines(state.settings, state.files, state.favorites)) {
        writer.WriteTextLine(line);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    State first;
    if (Load(std::string(reinterpret_cast<const char*>(data), size), first) != 0) {
        std::abort();  // memory never fails to read
    }
    std::string once = FileText(first);
    State second;
    Load(once, second);
    State third;
    std::string twice = FileText(second);
    Load(twice, third);
    if (FileText(third) != twice) {
        std::abort();
    }
    return 0;
}
