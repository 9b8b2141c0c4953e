#pragma once

namespace ip2h {

// `ip2hostname --batch ...`: reads the arguments after "--batch", runs the batch mode on the
// process's standard streams and returns the exit status. Blocks SIGINT in every thread but
// one of its own, which turns Ctrl+C into an interrupt of the run; ignores SIGPIPE, so that
// a closed pipe is a write error. The caller ends the process with the status at once
// (std::_Exit): lookups may still be blocked in the resolver.
int RunBatchCommand(int argc, char** argv);

}  // namespace ip2h
