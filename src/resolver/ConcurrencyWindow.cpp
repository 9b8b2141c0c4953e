#include "resolver/ConcurrencyWindow.h"

#include <algorithm>
#include <cmath>

namespace ip2h {

namespace {

double Microseconds(ConcurrencyWindow::Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

}  // namespace

ConcurrencyWindow::ConcurrencyWindow(int maxInFlight, std::chrono::milliseconds retransmitCeiling)
    : m_window(std::clamp<double>(kInitialWindow, 1, std::max(1, maxInFlight))),
      m_max(std::max(1, maxInFlight)),
      m_ceiling(std::max<Clock::duration>(retransmitCeiling, kMinRetransmit)) {}

void ConcurrencyWindow::OnAnswer(Clock::time_point sent, Clock::time_point now, bool wanted) {
    const double rtt = std::max(0.0, Microseconds(now - sent));
    if (m_srtt < 0) {
        m_srtt = rtt;
        m_rttvar = rtt / 2;
        m_minRtt = rtt;
    } else {
        m_rttvar += (std::abs(m_srtt - rtt) - m_rttvar) / 4;
        m_srtt += (rtt - m_srtt) / 8;
        m_minRtt = std::min(m_minRtt, rtt);
    }
    // A queue at the server: the round trip is well above the shortest, and by more than the
    // noise of a busy machine.
    if (m_slowStart && rtt > 2 * m_minRtt + 2000) m_slowStart = false;
    if (!wanted) return;
    m_window = std::min(m_max, m_window + (m_slowStart ? 3.0 : 1.0 / m_window));
}

void ConcurrencyWindow::OnLoss(Clock::time_point sent, Clock::time_point now) {
    // Queries sent before the last halving were sent into the overrun it answered.
    if (sent <= m_lastDecrease) return;
    m_beforeDecrease = m_window;
    m_slowStartBefore = m_slowStart;
    m_slowStart = false;
    m_window = std::max<double>(std::min<double>(kMinWindow, m_max), m_window / 2);
    m_lastDecrease = now;
}

void ConcurrencyWindow::OnLateAnswer() {
    if (m_beforeDecrease <= 0) return;
    m_window = std::max(m_window, m_beforeDecrease);
    m_slowStart = m_slowStart || m_slowStartBefore;
    m_beforeDecrease = 0;
}

ConcurrencyWindow::Clock::duration ConcurrencyWindow::RetransmitAfter() const {
    // Before the first answer: as long as the server's timeout allows, up to a second.
    if (m_srtt < 0) return std::min<Clock::duration>(m_ceiling, std::chrono::seconds(1));
    const auto after = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double, std::micro>(2 * m_srtt + 4 * m_rttvar));
    return std::clamp<Clock::duration>(after, kMinRetransmit, m_ceiling);
}

}  // namespace ip2h
