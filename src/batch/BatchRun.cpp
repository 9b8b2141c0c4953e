#include "batch/BatchRun.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FixedText.h"
#include "base/Language.h"
#include "resolver/ReverseLookup.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"

namespace ip2h {

namespace {

using Clock = std::chrono::steady_clock;

// Entries read ahead of the dispatcher; a range is one entry however many rows it makes.
constexpr std::size_t kQueuedEntries = 1024;
constexpr std::size_t kReadSize = 64 * 1024;
// Also the longest the dispatcher sleeps, so that a thread that could not be started is
// retried and the progress line moves about five times a second.
constexpr auto kProgressPeriod = std::chrono::milliseconds(200);

// One line of standard input that stands for rows.
struct InputEntry {
    std::string Address;  // one address as written; empty for a range
    AddressSpan Span;
};

std::string Duration(std::uint64_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%llu:%02llu",
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60));
    }
    return text;
}

}  // namespace

struct BatchShared {
    std::mutex Lock;
    std::condition_variable Wake;  // the dispatcher: an answer, input, an interrupt
    std::condition_variable Room;  // the reader: room in Entries, or the run is over
    std::vector<std::pair<std::string, LookupAnswer>> Arrived;
    std::deque<InputEntry> Entries;
    bool InputEnded = false;
    int InputError = 0;
    bool Interrupted = false;
    bool Stopped = false;
};

namespace {

// Queues one entry, waiting for room; false once the run is over.
bool Queue(BatchShared& shared, InputEntry entry) {
    std::unique_lock lock(shared.Lock);
    shared.Room.wait(lock,
                     [&] { return shared.Entries.size() < kQueuedEntries || shared.Stopped; });
    if (shared.Stopped) return false;
    shared.Entries.push_back(std::move(entry));
    shared.Wake.notify_one();
    return true;
}

// The input reader's thread: the paste's cleaning and line rules, applied as the bytes come,
// so that a line never needs more than its first 4095 characters in memory.
void ReadInput(const std::shared_ptr<BatchShared>& shared, int fd) {
    std::string line;
    const auto endLine = [&] {
        if (line.empty()) return true;
        const ListLine read = ReadListLine(line);
        bool more = true;
        if (const auto* address = std::get_if<std::string_view>(&read)) {
            more = Queue(*shared, {std::string(*address), {}});
        } else if (const auto* span = std::get_if<AddressSpan>(&read)) {
            more = Queue(*shared, {{}, *span});
        }
        line.clear();
        return more;
    };
    const auto buffer = std::make_unique<char[]>(kReadSize);
    bool afterCr = false;
    bool more = true;
    int error = 0;
    while (more) {
        const ssize_t count = ::read(fd, buffer.get(), kReadSize);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            error = count < 0 ? errno : 0;
            endLine();
            break;
        }
        for (ssize_t i = 0; i < count && more; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            // CR LF, LF and a lone CR each end one line.
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                more = endLine();
            } else if (!IsListFiller(c) && line.size() < kMaxListLineLength) {
                line.push_back(c);
            }
        }
    }
    std::lock_guard lock(shared->Lock);
    shared->InputEnded = true;
    shared->InputError = error;
    shared->Wake.notify_one();
}

// The dispatcher: the window of rows, the walk through the sources and the output.
class Dispatcher {
public:
    Dispatcher(const BatchOptions& options, const BatchIo& io, std::shared_ptr<BatchShared> shared)
        : m_options(options),
          m_io(io),
          m_shared(std::move(shared)),
          m_windowRows(std::max<std::size_t>(1024, 4 * static_cast<std::size_t>(options.Jobs))),
          m_japanese(IsJapanese()) {
        for (const BatchSource& source : m_options.Sources) {
            if (source.FromInput) {
                m_inputPending = true;
            } else {
                m_total += AddressCount(source.Span, m_options.Interval);
            }
        }
    }

    ~Dispatcher() {
        {
            std::lock_guard lock(m_shared->Lock);
            m_shared->Stopped = true;
            m_shared->Room.notify_all();
        }
        // A reader still blocked in read() cannot be woken; it holds the shared state itself.
        if (m_reader.joinable()) {
            if (m_inputPending) {
                m_reader.detach();
            } else {
                m_reader.join();
            }
        }
    }

    int Run() {
        auto shared = m_shared;
        EngineOptions engineOptions;
        engineOptions.Slots = m_options.Jobs;
        engineOptions.RestTime = std::chrono::milliseconds(0);
        engineOptions.OnAnswer = [shared](const std::string& address, const LookupAnswer& answer) {
            std::lock_guard lock(shared->Lock);
            shared->Arrived.emplace_back(address, answer);
            shared->Wake.notify_one();
        };
        m_engine = ResolutionEngine::Create(m_io.Lookup, m_io.StartThread, engineOptions);
        m_started = Clock::now();
        m_lastProgress = m_started;

        AppendExportHeader(m_out, m_options.Format);
        if (!Flush()) return kBatchFailed;
        std::vector<std::pair<std::string, LookupAnswer>> arrived;
        for (;;) {
            bool interrupted = false;
            {
                std::lock_guard lock(m_shared->Lock);
                arrived.swap(m_shared->Arrived);
                interrupted = m_shared->Interrupted;
            }
            Deliver(arrived);
            arrived.clear();
            if (WriteAnsweredRows() || interrupted) {
                if (!Flush()) return kBatchFailed;
            }
            if (interrupted) return End(kBatchInterrupted);
            Refill();
            Dispatch();
            if (m_window.empty() && SourcesDone()) break;
            ShowProgress();
            std::unique_lock lock(m_shared->Lock);
            const bool wantsInput = WantsInput();
            m_shared->Wake.wait_for(lock, kProgressPeriod, [&] {
                return !m_shared->Arrived.empty() || m_shared->Interrupted ||
                       (wantsInput && (!m_shared->Entries.empty() || m_shared->InputEnded));
            });
        }
        if (m_inputError != 0) {
            Message("cannot read the input: " + std::string(std::strerror(m_inputError)));
            return End(kBatchFailed);
        }
        return End(kBatchDone);
    }

private:
    struct Row {
        std::string Address;
        std::optional<LookupAnswer> Answer;
    };

    // Hands each answer to every row waiting for its address.
    void Deliver(std::vector<std::pair<std::string, LookupAnswer>>& arrived) {
        for (auto& [address, answer] : arrived) {
            const auto waiting = m_waiting.find(address);
            if (waiting == m_waiting.end()) continue;
            for (const std::uint64_t sequence : waiting->second) {
                m_window[static_cast<std::size_t>(sequence - m_headSequence)].Answer = answer;
            }
            m_waiting.erase(waiting);
        }
    }

    // Moves the answered rows at the head of the window into the output; true when any was.
    bool WriteAnsweredRows() {
        bool any = false;
        while (!m_window.empty() && m_window.front().Answer) {
            AppendRow(m_window.front());
            m_window.pop_front();
            ++m_headSequence;
            --m_nextToDispatch;
            ++m_done;
            any = true;
        }
        return any;
    }

    // The row as the window exports an answered row: fields cut as the list cuts them, the
    // status and domain decided by the list's own rules.
    void AppendRow(const Row& row) {
        ResultEntry entry{};
        CopyToField(entry.Address, row.Address);
        CopyToField(entry.HostName, row.Answer->Text);
        entry.Status = StatusOfAnswer(FieldText(entry.Address), FieldText(entry.HostName));
        if (entry.Status == Success) {
            CopyToField(entry.DomainInfo,
                        DomainDescriptionOf(FieldText(entry.Address), FieldText(entry.HostName),
                                            m_japanese));
        }
        entry.Answer = row.Answer->Kind;
        entry.Confirmed = row.Answer->Confirmed;
        AppendExportRecord(m_out, ExportRecordOf(entry), m_options.Format);
    }

    bool Flush() {
        const int error = WriteAll(m_io.Output, m_out);
        m_out.clear();
        if (error == 0) return true;
        ClearProgress();
        // A closed pipe is the reader's choice ("| head"), not a failure worth a word.
        if (error != EPIPE) {
            Message("cannot write the results: " + std::string(std::strerror(error)));
        }
        return false;
    }

    void Refill() {
        while (m_window.size() < m_windowRows) {
            if (m_walking) {
                AddRow(std::string(FormatAddress(static_cast<std::uint32_t>(m_next)).View()));
                m_next += m_options.Interval;
                m_walking = m_next <= m_last;
                continue;
            }
            if (m_source >= m_options.Sources.size()) return;
            const BatchSource& source = m_options.Sources[m_source];
            if (!source.FromInput) {
                Walk(source.Span);
                ++m_source;
                continue;
            }
            if (m_entries.empty() && !TakeEntries()) return;
            if (m_entries.empty()) {
                ++m_source;  // the input has ended; a second "-" finds it empty
                continue;
            }
            InputEntry entry = std::move(m_entries.front());
            m_entries.pop_front();
            if (entry.Address.empty()) {
                m_total += AddressCount(entry.Span, m_options.Interval);
                Walk(entry.Span);
            } else {
                ++m_total;
                // The list keeps an address as its field holds it, and asks for that text.
                entry.Address.resize(std::min(entry.Address.size(), kTextFieldSize - 1));
                AddRow(std::move(entry.Address));
            }
        }
    }

    // Takes what the reader has queued; false while it has nothing yet and reads on.
    bool TakeEntries() {
        if (!m_inputPending) return true;
        if (!m_reader.joinable()) {
            m_reader = std::thread([shared = m_shared, fd = m_io.Input] { ReadInput(shared, fd); });
        }
        std::lock_guard lock(m_shared->Lock);
        m_entries.swap(m_shared->Entries);
        m_shared->Room.notify_all();
        if (m_entries.empty() && m_shared->InputEnded) {
            m_inputPending = false;
            m_inputError = m_shared->InputError;
        }
        return !m_entries.empty() || !m_inputPending;
    }

    void Walk(AddressSpan span) {
        m_walking = span.First <= span.Last;
        m_next = span.First;
        m_last = span.Last;
    }

    void AddRow(std::string address) { m_window.push_back({std::move(address), std::nullopt}); }

    bool SourcesDone() const {
        return !m_walking && m_entries.empty() && m_source >= m_options.Sources.size();
    }

    bool WantsInput() const {
        return m_window.size() < m_windowRows && !m_walking && m_entries.empty() &&
               m_source < m_options.Sources.size() && m_options.Sources[m_source].FromInput;
    }

    // Starts lookups for the rows not yet asked for, in order, while slots are free.
    void Dispatch() {
        while (m_nextToDispatch < m_window.size()) {
            Row& row = m_window[m_nextToDispatch];
            RequestResult result = m_engine->Request(row.Address);
            if (result.Outcome == RequestOutcome::NoIdleSlot) return;
            if (result.Outcome == RequestOutcome::Cached) {
                row.Answer = std::move(result.Answer);
            } else {
                // Dispatched, or another row's lookup of the same address is running: either
                // way its answer arrives through OnAnswer, after this row is on the list.
                m_waiting[row.Address].push_back(m_headSequence + m_nextToDispatch);
            }
            ++m_nextToDispatch;
        }
    }

    void ShowProgress() {
        if (!m_io.ShowProgress) return;
        const auto now = Clock::now();
        if (now - m_lastProgress < kProgressPeriod) return;
        m_lastProgress = now;
        const double seconds = std::chrono::duration<double>(now - m_started).count();
        const auto total = m_inputPending ? std::nullopt : std::optional(m_total);
        WriteAll(m_io.Errors, "\r" + ProgressLine(m_done, total, seconds) + "\033[K");
        m_progressShown = true;
    }

    void ClearProgress() {
        if (m_progressShown) WriteAll(m_io.Errors, "\r\033[K");
        m_progressShown = false;
    }

    int End(int status) {
        ClearProgress();
        return status;
    }

    void Message(const std::string& text) {
        ClearProgress();
        WriteAll(m_io.Errors, "ip2hostname: " + text + "\n");
    }

    const BatchOptions& m_options;
    const BatchIo& m_io;
    std::shared_ptr<BatchShared> m_shared;
    const std::size_t m_windowRows;
    const bool m_japanese;
    std::shared_ptr<ResolutionEngine> m_engine;

    std::deque<Row> m_window;
    std::uint64_t m_headSequence = 0;  // the sequence number of m_window.front()
    std::size_t m_nextToDispatch = 0;  // index into m_window
    // Rows waiting for a running lookup, by address text.
    std::unordered_map<std::string, std::vector<std::uint64_t>> m_waiting;

    std::size_t m_source = 0;
    bool m_walking = false;
    std::uint64_t m_next = 0;  // 64 bits, so the step past 255.255.255.255 ends the walk
    std::uint32_t m_last = 0;
    bool m_inputPending = false;  // standard input is to be read, or still being read
    int m_inputError = 0;
    std::deque<InputEntry> m_entries;
    std::thread m_reader;

    std::string m_out;
    std::uint64_t m_done = 0;
    std::uint64_t m_total = 0;
    Clock::time_point m_started;
    Clock::time_point m_lastProgress;
    bool m_progressShown = false;
};

}  // namespace

BatchRun::BatchRun(BatchOptions options, BatchIo io)
    : m_options(std::move(options)),
      m_io(std::move(io)),
      m_shared(std::make_shared<BatchShared>()) {}

BatchRun::~BatchRun() = default;

int BatchRun::Run() {
    // Set before the first worker starts, read by every lookup.
    UseNbt = m_options.Nbt;
    ConfirmNames = m_options.Confirm;
    if (m_options.Japanese) {
        SetLanguageCode(std::string(*m_options.Japanese ? kLanguageJapanese : kLanguageEnglish));
    }
    Dispatcher dispatcher(m_options, m_io, m_shared);
    return dispatcher.Run();
}

std::function<void()> BatchRun::Interrupter() const {
    return [shared = m_shared] {
        std::lock_guard lock(shared->Lock);
        shared->Interrupted = true;
        shared->Wake.notify_one();
    };
}

std::string ProgressLine(std::uint64_t done, std::optional<std::uint64_t> total, double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::string line = std::to_string(done) + "/" + (total ? std::to_string(*total) : "?");
    line += "  " + std::to_string(static_cast<std::uint64_t>(std::llround(rate))) + "/s";
    if (total && rate > 0) {
        const double left = static_cast<double>(*total > done ? *total - done : 0) / rate;
        line += "  " + Duration(static_cast<std::uint64_t>(std::ceil(left))) + " left";
    }
    return line;
}

}  // namespace ip2h
