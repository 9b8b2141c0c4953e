#include "ui/TerminationSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>

#include "base/AtomicFile.h"

namespace ip2h {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};
// A connected socket pair: [0] read by the event loop, [1] written by the handler.
int g_wakeSockets[2] = {-1, -1};
struct sigaction g_previous[2];

void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Only async-signal-safe calls here; a full socket buffer already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_wakeSockets[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QWidget& window) : m_window(window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_wakeSockets) != 0) {
        g_wakeSockets[0] = g_wakeSockets[1] = -1;
        return;  // without the sockets the signals keep their default action
    }
    m_notifier = new QSocketNotifier(g_wakeSockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::OnSignalled);
    struct sigaction action {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals() {
    if (g_wakeSockets[0] < 0) return;
    for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_wakeSockets[0]);
    ::close(g_wakeSockets[1]);
    g_wakeSockets[0] = g_wakeSockets[1] = -1;
}

void TerminationSignals::OnSignalled() {
    char bytes[16];
    while (ReadSome(g_wakeSockets[0], bytes, sizeof bytes) > 0) {
    }
    m_window.close();
}

}  // namespace ip2h
