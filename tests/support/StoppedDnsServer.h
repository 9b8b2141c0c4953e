#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/TestNamespace.h"

namespace ip2h::test {

// Stops the test namespace's DNS server (SIGSTOP) while it lives, holding TestDnsLock
// exclusively, so every query times out. A watchdog resumes the server when this process
// closes a pipe, also by dying, so no aborted test leaves it stopped. Only inside netns-run.
class StoppedDnsServer {
public:
    StoppedDnsServer()
        : m_lock(true), m_server(std::atoi(TestEnvironment("IP2H_TEST_DNS_PID").c_str())) {
        int ends[2];
        if (m_server <= 0 || ::pipe2(ends, O_CLOEXEC) != 0) return;
        m_watchdog = ::fork();
        if (m_watchdog == 0) {
            char byte;
            ::close(ends[1]);
            while (::read(ends[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::kill(m_server, SIGCONT);
            ::_exit(0);
        }
        ::close(ends[0]);
        m_pipe = ends[1];
        m_stopped = m_watchdog > 0 && ::kill(m_server, SIGSTOP) == 0;
    }
    // The next holder of the shared lock expects answers: waits until they come, asking the
    // platform resolver directly, whatever resolver a test has put in its place.
    ~StoppedDnsServer() {
        if (m_pipe >= 0) ::close(m_pipe);
        if (m_watchdog > 0) ::waitpid(m_watchdog, nullptr, 0);
        sockaddr_in address{AF_INET, 0, {htonl(0xC0000201)}, {}};  // 192.0.2.1
        char host[NI_MAXHOST];
        for (int tries = 0; m_stopped && tries < 500; ++tries) {
            if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host,
                              sizeof host, nullptr, 0, NI_NAMEREQD) == 0) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    StoppedDnsServer(const StoppedDnsServer&) = delete;
    StoppedDnsServer& operator=(const StoppedDnsServer&) = delete;

    bool Stopped() const { return m_stopped; }

private:
    TestDnsLock m_lock;
    pid_t m_server;
    pid_t m_watchdog = -1;
    int m_pipe = -1;
    bool m_stopped = false;
};

}  // namespace ip2h::test
