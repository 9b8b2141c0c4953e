#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ip2h {

class ResultTable;

// The three status-bar texts: time required, progress, successes.
struct StatusTexts {
    std::string Time;
    std::string Progress;
    std::string Success;
};

// Counts of one tick, taken before any refresh.
struct RowCounts {
    int Rows = 0;
    int Pending = 0;
    int Success = 0;
};

// The clock of a run. Every 100 ms tick counts the rows, says whether the list is due for a
// refresh (which hands unanswered rows to workers) and which status texts to show. A run is
// the stretch of ticks during which some row is pending.
class ProgressTimer {
public:
    static constexpr int kIntervalMs = 100;

    struct Tick {
        bool Refresh = false;             // call the list refresh now
        std::optional<StatusTexts> Show;  // write the three panes (only when one changed)
    };

    // The window opens: a run that starts before the first tick is timed from now, not from
    // whenever the clock started.
    void Start(std::uint32_t nowMs) { m_runStartTime = nowMs; }

    // `nowMs` is a millisecond clock with 32-bit wrap-around; `statusBar` tells whether
    // there are panes to write.
    Tick OnTick(std::uint32_t nowMs, const ResultTable& table, bool statusBar, bool japanese);

    std::uint32_t RunStartTime() const { return m_runStartTime; }
    std::uint32_t LastShownElapsed() const { return m_lastShownElapsed; }

    static RowCounts CountRows(const ResultTable& table);
    // Ticks between refreshes for a table of `rows` rows: 5, 10, 15 or 20.
    static int RefreshDivisor(int rows);
    static StatusTexts FormatTexts(std::uint32_t elapsedMs, const RowCounts& counts, bool japanese);

private:
    int m_refreshTickCounter = 0;
    std::uint32_t m_runStartTime = 0;
    std::uint32_t m_lastShownElapsed = 0;
    StatusTexts m_lastTexts;
};

// A monotonic millisecond clock that wraps like a 32-bit counter.
std::uint32_t MillisecondClock();

}  // namespace ip2h
