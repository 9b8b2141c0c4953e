#include "results/ProgressTimer.h"

#include <chrono>
#include <cstdio>
#include <string_view>

#include "base/AsciiCase.h"
#include "base/Texts.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

std::string Format(std::string_view format, int a, int b, int c = 0, int d = 0) {
    char buffer[256];
    // The formats come from the one table of texts and take only integers.
    std::snprintf(buffer, sizeof buffer, std::string(format).c_str(), a, b, c, d);
    return buffer;
}

}  // namespace

RowCounts ProgressTimer::CountRows(const ResultTable& table) {
    RowCounts counts;
    counts.Rows = table.RowCount;
    const int n = table.RowsInUse();
    for (int i = 0; i < n; ++i) {
        const RowStatus status = table.Rows[i].Answer.Status;
        counts.Pending += status == RowStatus::Pending;
        counts.Success += status == RowStatus::Success;
    }
    return counts;
}

int ProgressTimer::RefreshDivisor(int rows) {
    if (rows <= 2560) return 5;
    if (rows <= 5120) return 10;
    if (rows <= 7680) return 15;
    return 20;
}

StatusTexts ProgressTimer::FormatTexts(std::uint32_t elapsed, const RowCounts& counts,
                                       bool japanese) {
    const auto hours = static_cast<int>(elapsed / 3600000u);
    const auto minutes = static_cast<int>((elapsed / 60000u) % 60u);
    const auto seconds = static_cast<int>((elapsed / 1000u) % 60u);
    const auto millis = static_cast<int>(elapsed % 1000u);
    return StatusTexts{
        Format(Tr(TextId::StatusTimeFormat, japanese), hours, minutes, seconds, millis),
        Format(Tr(TextId::StatusProgressFormat, japanese), counts.Rows - counts.Pending,
               counts.Rows),
        Format(Tr(TextId::StatusSuccessFormat, japanese), counts.Success, counts.Rows)};
}

ProgressTimer::Tick ProgressTimer::OnTick(std::uint32_t now, const ResultTable& table,
                                          bool statusBar, bool japanese) {
    Tick tick;
    const RowCounts counts = CountRows(table);
    if (counts.Rows > 0 && counts.Pending > 0) {
        ++m_refreshTickCounter;
        if (m_refreshTickCounter % RefreshDivisor(counts.Rows) == 0) {
            tick.Refresh = true;
            m_refreshTickCounter = 0;
        }
    } else {
        m_runStartTime = now;
    }
    if (!statusBar) return tick;

    std::uint32_t elapsed = now - m_runStartTime;
    // Between runs the elapsed time is 0: keep showing the time of the last run.
    if (m_lastShownElapsed != 0 && elapsed == 0) elapsed = m_lastShownElapsed;
    StatusTexts texts = FormatTexts(elapsed, counts, japanese);
    if (!EqualIgnoringAsciiCase(texts.Time, m_lastTexts.Time) ||
        !EqualIgnoringAsciiCase(texts.Progress, m_lastTexts.Progress) ||
        !EqualIgnoringAsciiCase(texts.Success, m_lastTexts.Success)) {
        m_lastTexts = texts;
        m_lastShownElapsed = elapsed;
        tick.Show = std::move(texts);
    }
    return tick;
}

std::uint32_t MillisecondClock() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace ip2h
