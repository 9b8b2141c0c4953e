#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "address/IpAddress.h"
#include "batch/BatchAddressText.h"
#include "resolver/AnswerKind.h"

namespace ip2h {

// What the run's threads hand each other. Owned by a shared_ptr that the input reader and the
// resolver's callback hold too, so that a thread finishing after the run has ended touches
// nothing freed.
struct BatchShared {
    std::mutex Lock;
    std::condition_variable Wake;  // the run: an answer, input, an interrupt
    std::condition_variable Room;  // the input reader: room in Entries, or the run is over
    std::vector<std::pair<IpAddress, LookupAnswer>> Arrived;
    std::deque<BatchSpan> Entries;  // standard input's lines, read ahead of the run
    bool InputEnded = false;
    int InputError = 0;
    bool Interrupted = false;
    bool Stopped = false;
};

}  // namespace ip2h
