#include "batch/BatchOptions.h"

#include <algorithm>

#include "base/IntScan.h"
#include "batch/BatchAddressText.h"
#include "resolver/ResolutionEngine.h"

namespace ip2h {
namespace {

constexpr std::string_view kUsage =
    "Usage: ip2hostname --batch [OPTION]... [RANGE]...\n"
    "Look up the host names of IPv4 and IPv6 addresses without opening the window, and\n"
    "write one CSV, TSV or JSON line per address to standard output, in input order.\n"
    "\n"
    "A RANGE is exactly an address (192.0.2.7, 2001:db8::7), a range of two IPv4 addresses\n"
    "(192.0.2.1-192.0.2.40) or a block (192.0.2.0/24, 2001:db8::/120; an IPv6 block holds\n"
    "65536 addresses at most); anything else is an error. With no RANGE, or for \"-\",\n"
    "standard input is read: a line that is an address, a range or a block (blanks and\n"
    "quotes around it dropped), or that starts with an address and a blank (a log line),\n"
    "gives rows; other lines are skipped, an IPv6 block over the limit with a warning.\n"
    "IPv6 addresses are written in their canonical form and asked under ip6.arpa.\n"
    "\n"
    "  --resolver R  dns (the default): ask the DNS servers directly, many lookups at once;\n"
    "                system: the C library's getnameinfo, for names that only /etc/hosts or\n"
    "                other name service sources (mDNS, LDAP) know\n"
    "  --server S    a DNS server to ask, ADDR or ADDR:PORT; may be repeated\n"
    "                (default: the servers of /etc/resolv.conf)\n"
    "  --timeout MS  how long to wait for an answer, 1 to 600000 ms (default: resolv.conf)\n"
    "  --retries N   tries after the first, 0 to 20 (default: resolv.conf)\n"
    "  --rate N      at most N queries a second, 1 to 1000000 (default: no limit)\n"
    "  --jobs N      lookups at once: 1 to 10000 with dns (default 4096),\n"
    "                1 to 256 with system (default 96)\n"
    "  --interval N  step between the addresses of a range, 1 to 65536 (default 1)\n"
    "  --nbt         ask a private IPv4 address without a DNS name for its NetBIOS name\n"
    "                (with the system resolver, which it chooses by default)\n"
    "  --confirm     look each name up forward (A or AAAA) and record whether it leads back\n"
    "  --format F    csv (the default), tsv, or jsonl: one JSON object a line, no header,\n"
    "                with every name of the address and the name service's error words\n"
    "  --only W      names: write only the rows with a name; failures: only the others\n"
    "  --unique      each distinct address once, where it first comes (repeats dropped)\n"
    "  --lang L      en or ja: the language of the domain column (default: the locale)\n"
    "  --quiet       no progress line and no summary on standard error\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "--server, --timeout, --retries and --rate are for the dns resolver. Both resolvers\n"
    "also read RES_OPTIONS from the environment, e.g. RES_OPTIONS=\"timeout:2 attempts:3\";\n"
    "the options above win over it.\n"
    "\n"
    "At the end a summary line on standard error counts the rows, names, no-name,\n"
    "no-answer and errors: every row asked, also those --only leaves out.\n"
    "\n"
    "Exit status: 0 when every line was written, 1 when the output could not be written,\n"
    "the input read or the resolver started, 2 for a usage error, 3 when no lookup got\n"
    "any answer from the name service (is a DNS server reachable?), 130 when interrupted\n"
    "(Ctrl+C).\n";

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

struct OptionValue {
    std::string_view Name;  // "--jobs"
    std::optional<std::string_view> Value;
};

// Takes the value of an option that needs one; an error text when it is missing.
std::optional<std::string_view> TakeValue(const OptionValue& option,
                                          std::span<const std::string_view> arguments,
                                          std::size_t& index, std::string& error) {
    if (option.Value) return option.Value;
    if (index + 1 < arguments.size()) return arguments[++index];
    error = std::string(option.Name) + ": a value is missing";
    return std::nullopt;
}

// What the command line said, beyond the options themselves, for the checks at its end.
struct Given {
    std::optional<BatchResolverKind> Resolver;
    std::optional<std::string> Jobs;  // the value as written
    std::string_view DnsOnly;         // the first of the DNS client's own options
};

// Reads one option; false with `error` set when it is unknown or its value is bad.
bool ReadOption(const OptionValue& option, std::span<const std::string_view> arguments,
                std::size_t& index, BatchCommandLine& line, Given& given) {
    BatchOptions& options = line.Options;
    std::string& error = line.Error;
    const std::string_view name = option.Name;
    for (const auto& [flag, target] :
         {std::pair{"--nbt", &options.Nbt}, std::pair{"--confirm", &options.Confirm},
          std::pair{"--quiet", &options.Quiet}, std::pair{"--unique", &options.Unique}}) {
        if (name != flag) continue;
        if (option.Value) error = std::string(name) + ": takes no value";
        *target = true;
        return !option.Value;
    }
    if (name == "--help" || name == "--version") {
        line.Action = name == "--help" ? BatchAction::Help : BatchAction::Version;
        return true;
    }
    constexpr std::string_view kValued[] = {"--interval", "--jobs",   "--format",  "--lang",
                                            "--resolver", "--server", "--timeout", "--retries",
                                            "--rate",     "--only"};
    if (std::ranges::find(kValued, name) == std::end(kValued)) {
        error = "unknown option " + Quoted(name);
        return false;
    }
    const auto value = TakeValue(option, arguments, index, error);
    if (!value) return false;
    const std::string bad = std::string(name) + ": " + Quoted(*value) + " is not ";
    // A number from `low` to `high` into `target`.
    const auto number = [&](int low, int high, auto& target) {
        const auto read = ExactDecimal(*value, low, high);
        if (!read) {
            error = bad + "a number from " + std::to_string(low) + " to " + std::to_string(high);
            return false;
        }
        target = *read;
        return true;
    };
    if (name == "--server" || name == "--timeout" || name == "--retries" || name == "--rate") {
        if (given.DnsOnly.empty()) given.DnsOnly = name;
    }
    if (name == "--interval") {
        // Only what the Interval box would keep as it is: the box's own reading then agrees.
        if (!ExactDecimal(*value, kMinInterval, kMaxInterval)) {
            error = bad + "a number from 1 to 65536";
            return false;
        }
        options.Interval = ClampInterval(*value);
    } else if (name == "--jobs") {
        given.Jobs = std::string(*value);
        return number(1, kMaxDnsJobs, options.Jobs);
    } else if (name == "--timeout") {
        return number(1, 600000, options.TimeoutMs);
    } else if (name == "--retries") {
        return number(0, 20, options.Retries);
    } else if (name == "--rate") {
        return number(1, 1000000, options.Rate);
    } else if (name == "--server") {
        const auto server = ParseDnsServer(*value);
        if (!server) {
            error = bad + "a server address, ADDR or ADDR:PORT";
            return false;
        }
        options.Servers.push_back(*server);
    } else if (name == "--resolver") {
        if (*value != "dns" && *value != "system") {
            error = bad + "dns or system";
            return false;
        }
        given.Resolver = *value == "dns" ? BatchResolverKind::Dns : BatchResolverKind::System;
    } else if (name == "--format") {
        using Named = std::pair<std::string_view, ExportFormat>;
        constexpr Named kFormats[] = {
            {"csv", ExportFormat::Csv}, {"tsv", ExportFormat::Tsv}, {"jsonl", ExportFormat::Jsonl}};
        const auto* format = std::ranges::find(kFormats, *value, &Named::first);
        if (format == std::end(kFormats)) {
            error = bad + "csv, tsv or jsonl";
            return false;
        }
        options.Format = format->second;
    } else if (name == "--only") {
        if (*value != "names" && *value != "failures") {
            error = bad + "names or failures";
            return false;
        }
        options.Only = *value == "names" ? BatchOnly::Names : BatchOnly::Failures;
    } else {
        if (*value != "en" && *value != "ja") {
            error = bad + "en or ja";
            return false;
        }
        options.Japanese = *value == "ja";
    }
    return true;
}

// The resolver and its jobs once every option is read; false with `error` set when options
// that are each fine do not go together.
bool ChooseResolver(const Given& given, BatchOptions& options, std::string& error) {
    options.Resolver =
        given.Resolver.value_or(options.Nbt ? BatchResolverKind::System : BatchResolverKind::Dns);
    if (options.Resolver == BatchResolverKind::Dns) {
        if (options.Nbt) error = "--nbt: only with --resolver system";
        if (!given.Jobs) options.Jobs = kDefaultDnsJobs;
        return !options.Nbt;
    }
    if (!given.DnsOnly.empty()) {
        error = std::string(given.DnsOnly) + ": only with --resolver dns";
        return false;
    }
    if (!given.Jobs) options.Jobs = kDefaultSystemJobs;
    if (options.Jobs > kMaxWorkerSlots) {
        error = "--jobs: " + Quoted(*given.Jobs) +
                " is more than 256, the most with "
                "--resolver system";
        return false;
    }
    return true;
}

}  // namespace

BatchCommandLine ParseBatchArguments(std::span<const std::string_view> arguments) {
    BatchCommandLine line;
    Given given;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            const std::size_t equals = argument.find('=');
            OptionValue option{argument.substr(0, equals), std::nullopt};
            if (equals != std::string_view::npos) option.Value = argument.substr(equals + 1);
            if (!ReadOption(option, arguments, index, line, given)) {
                line.Action = BatchAction::UsageError;
                return line;
            }
            if (line.Action != BatchAction::Run) return line;
        } else if (argument == "-") {
            line.Options.Sources.push_back({.FromInput = true, .Span = {}});
        } else if (BatchArgument read = ReadBatchArgument(argument); read.Span) {
            line.Options.Sources.push_back({.FromInput = false, .Span = *read.Span});
        } else {
            line.Action = BatchAction::UsageError;
            line.Error = std::move(read.Error);
            return line;
        }
    }
    if (!ChooseResolver(given, line.Options, line.Error)) {
        line.Action = BatchAction::UsageError;
        return line;
    }
    if (line.Options.Sources.empty())
        line.Options.Sources.push_back({.FromInput = true, .Span = {}});
    return line;
}

std::string_view BatchUsage() {
    return kUsage;
}

}  // namespace ip2h
