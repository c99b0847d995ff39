#include "bench_data.h"

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "national_set.h"
#include "towns_set.h"

namespace zentorak::bench {

namespace {

std::string CacheFolder() {
    std::string folder = ZENTORAK_BENCH_CACHE;
    std::filesystem::create_directories(folder);
    return folder;
}

size_t StatusField(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    size_t length = std::char_traits<char>::length(name);
    while (std::getline(status, line)) {
        if (line.compare(0, length, name) == 0) {
            return std::strtoull(line.c_str() + length + 1, nullptr, 10) * 1024;
        }
    }
    return 0;
}

}  // namespace

bool SmokeRun() {
    const char* smoke = std::getenv("ZENTORAK_BENCH_SMOKE");
    return smoke && *smoke && std::string(smoke) != "0";
}

size_t NationalSetSize() {
    if (const char* n = std::getenv("ZENTORAK_BENCH_TARGETS")) {
        return std::strtoull(n, nullptr, 10);
    }
    return SmokeRun() ? 20000 : 1000000;
}

std::string NationalSetPath(size_t n, NationalSetForm form) {
    const char* suffix = form == NationalSetForm::kHandset   ? ""
                         : form == NationalSetForm::kUtf8Dms ? "-utf8-dms"
                                                             : "-utf8-decimal";
    std::string path = CacheFolder() + "/national-" + std::to_string(n) + suffix + ".csv";
    if (!std::filesystem::exists(path)) {
        std::string partial = path + ".part";
        WriteNationalSet(partial, n, 20111207, form);
        std::filesystem::rename(partial, path);
    }
    return path;
}

std::string TownsSetPath() {
    const char* env = std::getenv("ZENTORAK_TOWNS_CSV");
    // The shared data folder lies beside the main checkout, or two levels up from a worktree.
    std::string source = env ? env : "";
    for (const char* up : {"/../shared/", "/../../shared/"}) {
        std::string candidate = std::string(ZENTORAK_SOURCE_DIR) + up +
                                "data/places/geolonia-japanese-addresses-towns.csv";
        if (source.empty() && std::filesystem::exists(candidate)) {
            source = candidate;
        }
    }
    if (source.empty() || !std::filesystem::exists(source)) {
        return "";
    }
    std::string path = CacheFolder() + "/towns.csv";
    if (!std::filesystem::exists(path)) {
        std::string partial = path + ".part";
        if (ConvertTowns(source, partial) <= 0) {
            return "";
        }
        std::filesystem::rename(partial, path);
    }
    return path;
}

namespace {

std::string ReadAll(const std::string& path) {
    std::string bytes(std::filesystem::file_size(path), '\0');
    int fd = ::open(path.c_str(), O_RDONLY);
    size_t got = 0;
    while (fd >= 0 && got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace

std::u16string IconvFile(const std::string& path) {
    std::string bytes = ReadAll(path);
    std::u16string out(bytes.size(), u'\0');
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    char* in = bytes.data();
    size_t inLeft = bytes.size();
    char* o = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * 2;
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft / 2);
    return out;
}

void ResetPeakMemory() {
    // Writing 5 to clear_refs resets the peak resident size (VmHWM) to the current one.
    std::ofstream("/proc/self/clear_refs") << "5";
}

size_t PeakMemory() {
    return StatusField("VmHWM:");
}
size_t CurrentMemory() {
    return StatusField("VmRSS:");
}

double Median(std::vector<double> values) {
    return Percentile(std::move(values), 0.5);
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    size_t at = static_cast<size_t>(p * (values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

}  // namespace zentorak::bench
