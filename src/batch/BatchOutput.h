#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/BatchDispatch.h"
#include "batch/BatchOptions.h"
#include "results/ResultExport.h"

namespace ip2h {

// How the rows were answered, for the summary at the end: every row asked, written or left
// out by --only.
struct BatchCounts {
    std::uint64_t Rows = 0;
    std::uint64_t Names = 0;  // a DNS or NetBIOS name
    std::uint64_t NoName = 0;
    std::uint64_t NoAnswer = 0;
    std::uint64_t Errors = 0;
};

// The summary line: "12 rows: 9 names, 1 no-name, 1 no-answer, 1 errors" ("1 row: ...").
std::string SummaryLine(const BatchCounts& counts);

// The progress line: rows written of how many ("?" while standard input is still being
// read), rows per second so far and, when both are known, the time left.
std::string ProgressLine(std::uint64_t done, std::optional<std::uint64_t> total, double seconds);

// Whether a run shows the progress line: standard error is a terminal that standard output
// is not, so that the line is never glued onto rows on the screen.
bool ProgressWanted(int output, int errors);

// Standard output and standard error of a run: the rows as the window exports them, flushed
// in one write(2) each time; messages, the progress line and the summary. Names are written
// whole and as valid UTF-8 in every format: controls and bytes outside UTF-8 as "\NNN".
class BatchOutput {
public:
    BatchOutput(ExportFormat format, BatchOnly only, int output, int errors, bool showProgress,
                std::chrono::milliseconds progressPeriod);

    void AppendHeader();
    void AppendRow(const BatchRow& row);
    // Writes what is appended; false, with a message unless the reader closed the pipe,
    // when that fails.
    bool Flush();

    // At most once a progress period.
    void ShowProgress(std::uint64_t total, bool totalKnown);
    void Message(const std::string& text);
    void Summary() { Message(SummaryLine(m_counts)); }
    // Clears the progress line; returns `status`.
    int End(int status);

    const BatchCounts& Counts() const { return m_counts; }

private:
    using Clock = std::chrono::steady_clock;

    void ClearProgress();
    void Count(AnswerKind kind);

    ExportFormat m_format;
    BatchOnly m_only;
    int m_output;
    int m_errors;
    bool m_showProgress;
    std::chrono::milliseconds m_progressPeriod;
    bool m_japanese;
    std::string m_out;
    std::vector<std::string> m_names;  // the row's names, mended; kept for its capacity
    std::unique_ptr<ResultEntry> m_entry = std::make_unique<ResultEntry>();
    BatchCounts m_counts;
    Clock::time_point m_started = Clock::now();
    Clock::time_point m_lastProgress = m_started;
    bool m_progressShown = false;
};

}  // namespace ip2h
