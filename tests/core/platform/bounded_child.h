// Runs a piece of a test in a forked child with a time and memory limit, for readers handed a
// FIFO or an endless device: a reader that blocks or grows a line without end fails the test
// instead of hanging it or eating the machine's memory.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZENTORAK_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZENTORAK_TEST_SANITIZED 1
#endif
#endif

namespace zentorak::testing {

// The child's exit status (body's result & 0xFF), or -1 when it was killed (the time ran out,
// or it died otherwise).
template <typename Body>
int RunBounded(Body body, unsigned seconds = 10, rlim_t memoryBytes = rlim_t{1} << 30) {
    pid_t pid = ::fork();
    if (pid == 0) {
#ifndef ZENTORAK_TEST_SANITIZED
        // A sanitizer reserves terabytes of address space for its shadow memory, so there only
        // the time limit holds.
        struct rlimit memory {
            memoryBytes, memoryBytes
        };
        ::setrlimit(RLIMIT_AS, &memory);
#else
        (void)memoryBytes;
#endif
        ::alarm(seconds);
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zentorak::testing
