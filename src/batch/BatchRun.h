#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "batch/BatchOptions.h"
#include "batch/BatchResolver.h"
#include "resolver/ResolutionEngine.h"

namespace ip2h {

// Exit statuses of a batch run.
inline constexpr int kBatchDone = 0;
// The output could not be written, the input read or the resolver started.
inline constexpr int kBatchFailed = 1;
inline constexpr int kBatchUsageError = 2;
// Lookups were made and not one got an answer from the name service.
inline constexpr int kBatchNoAnswer = 3;
inline constexpr int kBatchInterrupted = 130;  // as a shell reports a Ctrl+C

// What a run reads and writes, and how it resolves: the process's own standard streams and
// the resolver the options choose for the program; a test's descriptors and resolver for a
// test.
struct BatchIo {
    int Input = 0;
    int Output = 1;
    int Errors = 2;  // messages, the progress line and the summary
    bool ShowProgress = false;
    // Unset: the options' resolver. Lookup and StartThread serve the system resolver.
    std::function<std::unique_ptr<BatchResolver>(BatchResolver::Answered)> MakeResolver;
    ResolutionEngine::LookupFunction Lookup;
    ResolutionEngine::ThreadStarter StartThread;
    // How often the progress line moves; also the longest the run sleeps, so that a worker
    // thread that could not be started is retried.
    std::chrono::milliseconds ProgressPeriod{200};
};

struct BatchShared;

// One batch run: reads the sources in order, resolves up to Jobs addresses at once and writes
// each row as soon as it and every row before it are answered. At most a window of
// max(1024, 2 x Jobs) rows is held; ranges are walked as they go and standard input is read
// as rows are needed, so memory does not grow with the input.
class BatchRun {
public:
    BatchRun(BatchOptions options, BatchIo io);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Runs to the end, or until the output fails or the run is interrupted; returns the exit
    // status. Sets the language when the options name one.
    int Run();

    // Stops the run from any thread: no more lookups are started, the rows already answered
    // in order are written and Run returns kBatchInterrupted. Stays callable after the run.
    std::function<void()> Interrupter() const;

private:
    std::unique_ptr<BatchResolver> MakeResolver();

    BatchOptions m_options;
    BatchIo m_io;
    std::shared_ptr<BatchShared> m_shared;
};

}  // namespace ip2h
