#include "batch/BatchInput.h"

#include <cerrno>
#include <string>

#include "base/AtomicFile.h"
#include "batch/BatchAddressText.h"

namespace ip2h {
namespace {

constexpr std::size_t kReadSize = 64 * 1024;

// Hands the spans read so far to the run, waiting for room; false once the run is over.
// Spans go over in batches, so that a long input of single addresses does not cost a lock
// and a wake-up a line.
bool Queue(BatchShared& shared, std::vector<BatchSpan>& spans) {
    if (spans.empty()) return true;
    std::unique_lock lock(shared.Lock);
    shared.Room.wait(lock,
                     [&] { return shared.Entries.size() < kQueuedEntries || shared.Stopped; });
    if (shared.Stopped) return false;
    shared.Entries.insert(shared.Entries.end(), spans.begin(), spans.end());
    spans.clear();
    shared.Wake.notify_one();
    return true;
}

}  // namespace

void ReadInput(const std::shared_ptr<BatchShared>& shared, int fd) {
    std::vector<BatchSpan> spans;
    const auto take = [&](std::string_view line) {
        if (const auto span = ReadBatchLine(line)) spans.push_back(*span);
        return spans.size() < kQueuedEntries || Queue(*shared, spans);
    };
    // A NUL, which no address text holds, ends a line too: the text before it still counts,
    // the text after it is a line of its own. Fillers after the text are ReadBatchLine's part.
    ListLineSplitter lines({.DropAllFillers = false, .NulEndsLine = true});
    const auto buffer = std::make_unique<char[]>(kReadSize);
    int error = 0;
    for (bool more = true; more;) {
        const ssize_t count = ReadSome(fd, buffer.get(), kReadSize);
        if (count <= 0) {
            error = count < 0 ? errno : 0;
            lines.Finish(take);
            Queue(*shared, spans);
            break;
        }
        // Queued before the next read, which may block: what is read is not held back.
        more = lines.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(count)), take) &&
               Queue(*shared, spans);
    }
    std::lock_guard lock(shared->Lock);
    shared->InputEnded = true;
    shared->InputError = error;
    shared->Wake.notify_one();
}

}  // namespace ip2h
