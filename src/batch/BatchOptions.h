#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchAddressText.h"
#include "resolver/DnsClient.h"
#include "results/ResultExport.h"

namespace ip2h {

// Lookups at once: the DNS client keeps this many in flight at most (its own pacing stays
// below while the server keeps up); the system resolver runs a thread each.
inline constexpr int kDefaultDnsJobs = DnsClientOptions{}.MaxInFlight;
inline constexpr int kMaxDnsJobs = 10000;
inline constexpr int kDefaultSystemJobs = 96;

enum class BatchResolverKind { Dns, System };

// Which rows --only writes: every row, those with a name, or the others.
enum class BatchOnly { All, Names, Failures };

// Where a run's addresses come from, in the order given: a range of the command line, or
// standard input ("-").
struct BatchSource {
    bool FromInput = false;
    BatchSpan Span;  // unless FromInput
};

struct BatchOptions {
    std::vector<BatchSource> Sources;  // standard input alone when the command line has none
    std::uint32_t Interval = 1;
    BatchResolverKind Resolver = BatchResolverKind::Dns;
    int Jobs = kDefaultDnsJobs;  // the default of the resolver chosen unless --jobs is given
    // --server, --timeout, --retries and --rate (the DNS client's alone).
    std::vector<DnsServer> Servers;
    std::optional<int> TimeoutMs;
    std::optional<int> Retries;
    double Rate = 0;
    bool Nbt = false;
    bool Confirm = false;
    bool Quiet = false;
    ExportFormat Format = ExportFormat::Csv;
    BatchOnly Only = BatchOnly::All;
    bool Unique = false;           // each distinct address once, where it first comes
    std::optional<bool> Japanese;  // from the locale unless --lang is given
};

enum class BatchAction { Run, Help, Version, UsageError };

struct BatchCommandLine {
    BatchAction Action = BatchAction::Run;
    BatchOptions Options;
    std::string Error;  // for UsageError: what is wrong, naming the argument
};

// Reads the arguments that follow "--batch". Options may come before, between or after the
// ranges, as "--opt value" or "--opt=value"; after "--" every argument is a range. The first
// of --help and --version wins over everything after it, but not over an earlier error.
// Ranges are read strictly (ReadBatchArgument). --nbt needs the system resolver and chooses
// it unless --resolver says otherwise.
BatchCommandLine ParseBatchArguments(std::span<const std::string_view> arguments);

// The text of --help.
std::string_view BatchUsage();

}  // namespace ip2h
