#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <vector>

namespace ip2h::test {

// Runs body(0) .. body(copies - 1) in forked children released at the same moment and returns
// their exit statuses (0..255; -1 for a child that did not start or did not exit normally).
// For process-wide changes (resource limits) that must not leak into other tests, and for
// races between processes. A body reports through its result, not gtest.
inline std::vector<int> RunInChildProcesses(int copies, const std::function<int(int)>& body) {
    int gate[2];
    if (::pipe(gate) != 0) return std::vector<int>(static_cast<std::size_t>(copies), -1);
    std::vector<pid_t> children;
    for (int copy = 0; copy < copies; ++copy) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char byte;
            while (::read(gate[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(body(copy) & 0xFF);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // opens the gate for all children at once
    std::vector<int> statuses;
    for (const pid_t pid : children) {
        int status = -1;
        while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        statuses.push_back(pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return statuses;
}

}  // namespace ip2h::test
