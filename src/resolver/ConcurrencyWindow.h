#pragma once

#include <chrono>

namespace ip2h {

// How many queries an asynchronous client keeps in flight, learnt from the server's answers:
// - it starts at kInitialWindow and, while nothing is lost, grows by up to five for each
//   answer (six times as large each round trip), so that a distant server is soon kept busy;
//   the nearer the server, the less it grows per answer;
// - it stops growing that fast once round trips grow well above the shortest seen: a queue
//   is building at the server, and a server that drops under bursts is close; while they
//   stay that long, it does not grow at all, and while the smoothed round trip is over four
//   times the shortest it shrinks by a fifth each round trip;
// - a query unanswered for RetransmitAfter() counts as lost: the window halves, or falls to
//   what the server answered in a round trip when that is less, once per round of losses;
//   then it grows by one per round trip; each round of losses also doubles
//   the wait before the next query is taken for lost, until an answer comes;
// - an answer that arrives for a query counted as lost undoes the last halving: the server
//   is slow, not overrun.
// Never below kMinWindow, never above the most allowed.
class ConcurrencyWindow {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int kInitialWindow = 128;
    static constexpr int kMinWindow = 8;
    // A lost query is sent again after no less than this, however fast the server answers.
    static constexpr std::chrono::milliseconds kMinRetransmit{20};

    // `retransmitCeiling`: the time a query waits for its answer before it times out.
    ConcurrencyWindow(int maxInFlight, std::chrono::milliseconds retransmitCeiling);

    int Limit() const { return static_cast<int>(m_window); }
    // An answer to a query sent at `sent`; `wanted`: more queries were waiting to be sent.
    void OnAnswer(Clock::time_point sent, Clock::time_point now, bool wanted);
    // A query sent at `sent` is taken for lost.
    void OnLoss(Clock::time_point sent, Clock::time_point now);
    // An answer came for a query taken for lost.
    void OnLateAnswer();
    // How long a query waits before it is taken for lost and sent again.
    Clock::duration RetransmitAfter() const;
    // Whether a round trip has been measured: until then RetransmitAfter() is a guess.
    bool Measured() const { return m_srtt >= 0; }

private:
    double m_window;
    double m_max;
    bool m_slowStart = true;
    Clock::duration m_ceiling;
    Clock::time_point m_lastDecrease{};
    double m_beforeDecrease = 0;
    bool m_slowStartBefore = false;
    int m_backoff = 1;
    // Answers a microsecond, measured over spans of at least a round trip.
    double m_answerRate = 0;
    int m_answersCounted = 0;
    Clock::time_point m_countSince{};
    // Smoothed round trip, its mean deviation and the shortest seen, in microseconds; a
    // negative smoothed round trip means no sample yet.
    double m_srtt = -1;
    double m_rttvar = 0;
    double m_minRtt = 0;
};

}  // namespace ip2h
