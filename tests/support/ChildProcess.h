#pragma once

#include <functional>
#include <vector>

namespace ip2h::test {

// Runs body(0) .. body(copies - 1) in forked children released at the same moment and returns
// their exit statuses (0..255; -1 for a child that did not start or did not exit normally).
// For process-wide changes (mount namespace, resource limits) that must not leak into other
// tests, and for races between processes. A body reports through its result, not gtest.
std::vector<int> RunInChildProcesses(int copies, const std::function<int(int)>& body);

inline int RunInChildProcess(const std::function<int()>& body) {
    return RunInChildProcesses(1, [&](int) { return body(); }).front();
}

}  // namespace ip2h::test
