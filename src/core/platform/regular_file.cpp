#include "core/platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace zentorak {

int OpenRegularFileForReading(const std::string& path) {
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return kFileCannotOpen;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kFileCannotOpen;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return kFileCannotOpen;
    }
    return fd;
}

off_t FileSize(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
    ssize_t n;
    do {
        n = ::pread(fd, buffer, size, offset);
    } while (n < 0 && errno == EINTR);
    return n;
}

ssize_t ReadFullyAt(int fd, void* buffer, size_t size, off_t offset) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ReadAt(fd, static_cast<char*>(buffer) + got, size - got,
                                 offset + static_cast<off_t>(got));
        if (n < 0) {
            return n;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

namespace {

// The first byte after the first line end at or after from (a CR LF counts whole), or size.
off_t LineStartAfter(int fd, off_t from, off_t size) {
    char window[64 * 1024 + 1];
    while (from < size) {
        const ssize_t n = ReadAt(fd, window, sizeof window, from);
        if (n <= 0) {
            return size;  // the read error is the ranges' reader's to report
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (window[i] == '\n') {
                return from + i + 1;
            }
            if (window[i] == '\r') {
                if (i + 1 == n) {
                    break;  // the next byte decides; read again from the CR
                }
                return from + i + 1 + (window[i + 1] == '\n');
            }
        }
        from += n > 1 && window[n - 1] == '\r' ? n - 1 : n;
    }
    return size;
}

}  // namespace

std::vector<off_t> CutAtLineStarts(int fd, off_t size, int parts) {
    std::vector<off_t> cuts{0};
    for (int i = 1; i < parts; ++i) {
        const off_t nominal = static_cast<off_t>(static_cast<double>(size) * i / parts);
        const off_t cut = LineStartAfter(fd, std::max(nominal, cuts.back()), size);
        if (cut > cuts.back() && cut < size) {
            cuts.push_back(cut);
        }
    }
    cuts.push_back(size);
    return cuts;
}

}  // namespace zentorak
