#pragma once
// A disk that fills up: `action` runs in a child process whose files may not
// grow beyond `bytes` (as on a full disk, a write beyond it fails); the
// child's exit code is returned (-1 when it did not exit normally).
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace prolis::test {

inline int withDiskFullAfter(rlim_t bytes, const std::function<int()>& action) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(action());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

} // namespace prolis::test
