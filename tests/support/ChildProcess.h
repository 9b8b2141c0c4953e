#pragma once

#include <functional>

namespace ip2h::test {

// Runs `body` in a forked child and returns its result as the child's exit status (0..255),
// or -1 when the child could not be started or did not exit normally. For tests that change
// process-wide state (mount namespace, resource limits) that must not leak into others.
// The body must not use gtest assertions; it reports through its result.
int RunInChildProcess(const std::function<int()>& body);

}  // namespace ip2h::test
