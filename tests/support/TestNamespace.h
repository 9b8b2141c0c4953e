#pragma once

// For tests that use the peers scripts/netns-run starts (tests/fixtures/netns.d): the DNS
// server on 127.0.0.1 and the NetBIOS responder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ip2h::test {

inline std::string TestEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

inline bool InTestNamespace() {
    return TestEnvironment("IP2H_TEST_NETNS") == "1";
}

// Held shared by tests that need the DNS server answering, exclusively by one that stops it.
class TestDnsLock {
public:
    explicit TestDnsLock(bool stopsServer)
        : m_fd(::open(TestEnvironment("IP2H_TEST_DNS_LOCK").c_str(), O_RDONLY | O_CLOEXEC)) {
        EXPECT_GE(m_fd, 0) << "no lock file: run the test through scripts/netns-run";
        if (m_fd >= 0) {
            EXPECT_EQ(::flock(m_fd, stopsServer ? LOCK_EX : LOCK_SH), 0);
        }
    }
    ~TestDnsLock() {
        if (m_fd >= 0) ::close(m_fd);
    }
    TestDnsLock(const TestDnsLock&) = delete;
    TestDnsLock& operator=(const TestDnsLock&) = delete;

private:
    int m_fd;
};

}  // namespace ip2h::test

#define IP2H_REQUIRE_TEST_NAMESPACE()                                             \
    if (!::ip2h::test::InTestNamespace()) {                                       \
        GTEST_SKIP() << "runs only inside scripts/netns-run (IP2H_TEST_NETNS=1)"; \
    }                                                                             \
    static_assert(true)
