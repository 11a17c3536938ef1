// Runs part of a test in a child process, so that the test can kill it at a
// chosen moment or let it meet limits that would end the test program. POSIX
// only.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

namespace rebound::test {

// Runs `body` in a child process and returns its exit code (-signal when it
// was killed); a body that throws exits with `if_thrown`. The child never
// returns into the test framework.
inline int in_child(const std::function<int()>& body, int if_thrown) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1000;
    if (pid == 0) {
        int code = if_thrown;
        try {
            code = body();
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace rebound::test
