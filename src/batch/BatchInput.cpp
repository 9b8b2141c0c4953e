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
    std::string line;
    std::vector<BatchSpan> spans;
    const auto endLine = [&] {
        if (const auto span = ReadBatchLine(line)) spans.push_back(*span);
        line.clear();
    };
    const auto buffer = std::make_unique<char[]>(kReadSize);
    bool afterCr = false;
    int error = 0;
    for (bool more = true; more;) {
        const ssize_t count = ReadSome(fd, buffer.get(), kReadSize);
        if (count <= 0) {
            error = count < 0 ? errno : 0;
            if (!line.empty()) endLine();
            Queue(*shared, spans);
            break;
        }
        for (ssize_t i = 0; i < count; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            // CR LF, LF and a lone CR each end one line. So does a NUL, which no address text
            // holds: the text before it still counts, the text after it is a line of its own.
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n' || c == '\0') {
                endLine();
                if (spans.size() >= kQueuedEntries && !(more = Queue(*shared, spans))) break;
            } else if (line.size() < kMaxListLineLength && !(line.empty() && IsListFiller(c))) {
                // Fillers before the text are dropped as they come, so that a long run of
                // them cannot push the text out of the kept part.
                line.push_back(c);
            }
        }
        // Before the next read, which may block: what is read is not held back.
        more = more && Queue(*shared, spans);
    }
    std::lock_guard lock(shared->Lock);
    shared->InputEnded = true;
    shared->InputError = error;
    shared->Wake.notify_one();
}

}  // namespace ip2h
