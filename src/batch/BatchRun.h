#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "batch/BatchOptions.h"
#include "resolver/WorkerSlots.h"

namespace ip2h {

// Exit statuses of a batch run.
inline constexpr int kBatchDone = 0;
inline constexpr int kBatchFailed = 1;  // the output could not be written or the input read
inline constexpr int kBatchUsageError = 2;
inline constexpr int kBatchInterrupted = 130;  // as a shell reports a Ctrl+C

// What a run reads and writes, and how it resolves: the process's own standard streams and
// ReverseLookup for the program, a test's descriptors and lookup for a test.
struct BatchIo {
    int Input = 0;
    int Output = 1;
    int Errors = 2;  // messages and the progress line
    bool ShowProgress = false;
    ResolutionEngine::LookupFunction Lookup;
    ResolutionEngine::ThreadStarter StartThread;
};

// State shared with the workers and the input reader; defined with the run.
struct BatchShared;

// One batch run: reads the sources in order, resolves up to Jobs addresses at once and writes
// each row as soon as it and every row before it are answered. At most a window of
// max(1024, 4 x Jobs) rows is held; ranges are walked as they go and standard input is read
// as rows are needed, so memory does not grow with the input.
class BatchRun {
public:
    BatchRun(BatchOptions options, BatchIo io);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Runs to the end, or until the output fails or the run is interrupted; returns the exit
    // status. Sets UseNbt and ConfirmNames, and the language when the options name one.
    int Run();

    // Stops the run from any thread: no more lookups are started, the rows already answered
    // in order are written and Run returns kBatchInterrupted. Stays callable after the run.
    std::function<void()> Interrupter() const;

private:
    BatchOptions m_options;
    BatchIo m_io;
    std::shared_ptr<BatchShared> m_shared;
};

// The progress line: rows written of how many ("?" while standard input is still being
// read), rows per second so far and, when both are known, the time left.
std::string ProgressLine(std::uint64_t done, std::optional<std::uint64_t> total, double seconds);

}  // namespace ip2h
