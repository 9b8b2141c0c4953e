#include "batch/BatchCommand.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Language.h"
#include "base/Version.h"
#include "batch/BatchOutput.h"
#include "batch/BatchRun.h"

namespace ip2h {
namespace {

// Waits for Ctrl+C and interrupts the run. Should the run not end by itself (its output
// blocked by a reader that stopped reading), the process ends anyway.
void WatchForInterrupt(sigset_t signals, const std::function<void()>& interrupt) {
    int signal = 0;
    while (::sigwait(&signals, &signal) != 0) {
    }
    interrupt();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ::_exit(kBatchInterrupted);
}

}  // namespace

int RunBatchCommand(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + std::min(argc, 2), argv + argc);
    BatchCommandLine line = ParseBatchArguments(arguments);
    switch (line.Action) {
        case BatchAction::Help:
            WriteAll(STDOUT_FILENO, BatchUsage());
            return kBatchDone;
        case BatchAction::Version:
            WriteAll(STDOUT_FILENO, "ip2hostname " + std::string(ProgramVersion()) + "\n");
            return kBatchDone;
        case BatchAction::UsageError:
            WriteAll(STDERR_FILENO, "ip2hostname: " + line.Error +
                                        "\nTry 'ip2hostname --batch --help' for more "
                                        "information.\n");
            return kBatchUsageError;
        case BatchAction::Run:
            break;
    }
    BatchOptions& options = line.Options;
    if (!options.Japanese) {
        options.Japanese = LanguageCodeFromEnvironment([](const char* name) {
                               return std::getenv(name);
                           }) == kLanguageJapanese;
    }

    // Before any thread starts, so that every thread inherits the mask and only the watcher
    // takes the signal.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    BatchIo io;
    io.ShowProgress = !options.Quiet && ProgressWanted(STDOUT_FILENO, STDERR_FILENO);
    BatchRun run(std::move(options), std::move(io));
    std::thread(WatchForInterrupt, interrupt, run.Interrupter()).detach();
    return run.Run();
}

}  // namespace ip2h
