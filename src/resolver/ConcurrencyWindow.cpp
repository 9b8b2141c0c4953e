#include "resolver/ConcurrencyWindow.h"

#include <algorithm>
#include <cmath>

namespace ip2h {

namespace {

// In microseconds: a round trip longer than twice the shortest by this much means a queue.
constexpr double kQueueSlack = 1000;
// In microseconds: from this round trip on, the window grows by the full step per answer.
constexpr double kFarRoundTrip = 10000;
// Growth per answer before the first loss: the window six times as large each round trip.
constexpr double kSlowStartGrowth = 5;

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
    m_backoff = 1;
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
    const bool queued = rtt > 2 * m_minRtt + kQueueSlack;
    if (queued) m_slowStart = false;
    if (m_countSince == Clock::time_point{}) m_countSince = now;
    ++m_answersCounted;
    if (const double span = Microseconds(now - m_countSince); span >= std::max(m_srtt, 1000.0)) {
        m_answerRate = m_answersCounted / span;
        m_answersCounted = 0;
        m_countSince = now;
    }
    // A long queue, not noise: shrink it, at most once a round trip.
    if (m_srtt > 4 * m_minRtt + 2 * kQueueSlack && Microseconds(now - m_lastDecrease) >= m_srtt) {
        m_window = std::max<double>(std::min<double>(kMinWindow, m_max), m_window * 0.8);
        m_lastDecrease = now;
        m_beforeDecrease = 0;
        m_slowStart = false;
    }
    // More queries would only wait in the server's queue.
    if (!wanted || queued) return;
    // Growth slows with the server's own round trip (the shortest, free of any queue): a near
    // server answers so fast that growing by the answer would outrun the signal of a queue.
    const double growth = kSlowStartGrowth * std::min(1.0, m_minRtt / kFarRoundTrip);
    m_window = std::min(m_max, m_window + (m_slowStart ? growth : 1.0 / m_window));
}

void ConcurrencyWindow::OnLoss(Clock::time_point sent, Clock::time_point now) {
    // Queries sent before the last halving were sent into the overrun it answered.
    if (sent <= m_lastDecrease) return;
    m_beforeDecrease = m_window;
    m_slowStartBefore = m_slowStart;
    m_slowStart = false;
    double target = m_window / 2;
    if (m_answerRate > 0 && m_srtt > 0) target = std::min(target, m_answerRate * m_srtt);
    m_window = std::max<double>(std::min<double>(kMinWindow, m_max), target);
    m_lastDecrease = now;
    m_backoff = std::min(m_backoff * 2, 64);
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
        std::chrono::duration<double, std::micro>((2 * m_srtt + 4 * m_rttvar) * m_backoff));
    return std::clamp<Clock::duration>(after, kMinRetransmit, m_ceiling);
}

}  // namespace ip2h
