#pragma once

#include <memory>

#include "batch/BatchShared.h"

namespace ip2h {

// Spans of standard input queued ahead of the run at most; a range is one however many rows
// it makes.
inline constexpr std::size_t kQueuedEntries = 1024;

// The input reader's thread: reads `fd` to its end and queues what each line stands for
// (ReadBatchLine), waiting while the queue is full. Ends early once the run has stopped.
// A line never needs more than its first kMaxListLineLength characters in memory.
void ReadInput(const std::shared_ptr<BatchShared>& shared, int fd);

}  // namespace ip2h
