#include "batch/BatchOptions.h"

#include <algorithm>

#include "address/RangeRegistration.h"
#include "base/IntScan.h"
#include "resolver/WorkerSlots.h"

namespace ip2h {
namespace {

constexpr std::string_view kUsage =
    "Usage: ip2hostname --batch [OPTION]... [RANGE]...\n"
    "Look up the host names of IPv4 addresses without opening the window, and write one\n"
    "CSV or TSV line per address to standard output, in input order.\n"
    "\n"
    "A RANGE is an address (192.0.2.7), a range (192.0.2.1-192.0.2.40) or a block\n"
    "(192.0.2.0/24). With no RANGE, or for \"-\", the lines of standard input are read as\n"
    "the window reads pasted text: one address, range or block a line; others are skipped.\n"
    "\n"
    "  --interval N  step between the addresses of a range, 1 to 65536 (default 1)\n"
    "  --jobs N      lookups at once, 1 to 256 (default 96)\n"
    "  --nbt         ask a private address without a DNS name for its NetBIOS name\n"
    "  --confirm     look each name up forward and record whether it leads back\n"
    "  --format F    csv (the default) or tsv\n"
    "  --lang L      en or ja: the language of the domain column (default: the locale)\n"
    "  --quiet       no progress line on standard error\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Exit status: 0 when every line was written, 1 when the output could not be written\n"
    "or the input read, 2 for a usage error, 130 when interrupted (Ctrl+C).\n";

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

// Reads one option; false with `error` set when it is unknown or its value is bad.
bool ReadOption(const OptionValue& option, std::span<const std::string_view> arguments,
                std::size_t& index, BatchCommandLine& line) {
    BatchOptions& options = line.Options;
    std::string& error = line.Error;
    const std::string_view name = option.Name;
    for (const auto& [flag, target] :
         {std::pair{"--nbt", &options.Nbt}, std::pair{"--confirm", &options.Confirm},
          std::pair{"--quiet", &options.Quiet}}) {
        if (name != flag) continue;
        if (option.Value) error = std::string(name) + ": takes no value";
        *target = true;
        return !option.Value;
    }
    if (name == "--help" || name == "--version") {
        line.Action = name == "--help" ? BatchAction::Help : BatchAction::Version;
        return true;
    }
    if (name != "--interval" && name != "--jobs" && name != "--format" && name != "--lang") {
        error = "unknown option " + Quoted(name);
        return false;
    }
    const auto value = TakeValue(option, arguments, index, error);
    if (!value) return false;
    const std::string bad = std::string(name) + ": " + Quoted(*value) + " is not ";
    if (name == "--interval") {
        // Only what the Interval box would keep as it is: the box's own reading then agrees.
        if (!ExactDecimal(*value, kMinInterval, kMaxInterval)) {
            error = bad + "a number from 1 to 65536";
            return false;
        }
        options.Interval = ClampInterval(*value);
    } else if (name == "--jobs") {
        const auto jobs = ExactDecimal(*value, 1, kMaxWorkerSlots);
        if (!jobs) {
            error = bad + "a number from 1 to 256";
            return false;
        }
        options.Jobs = *jobs;
    } else if (name == "--format") {
        if (*value != "csv" && *value != "tsv") {
            error = bad + "csv or tsv";
            return false;
        }
        options.Format = *value == "csv" ? ExportFormat::Csv : ExportFormat::Tsv;
    } else {
        if (*value != "en" && *value != "ja") {
            error = bad + "en or ja";
            return false;
        }
        options.Japanese = *value == "ja";
    }
    return true;
}

// A range as the range box reads it; nothing for a text the box would only take as its
// fallback "0.0.0.0".
std::optional<AddressSpan> ReadRange(std::string_view text) {
    const RegistrationPlan plan = PlanRegistration(text, "1");
    if (!plan.Valid || !plan.Readable) return std::nullopt;
    const auto first = AddressValue(plan.Start);
    const auto last = AddressValue(plan.End);
    if (!first || !last) return std::nullopt;
    return AddressSpan{*first, *last};
}

}  // namespace

BatchCommandLine ParseBatchArguments(std::span<const std::string_view> arguments) {
    BatchCommandLine line;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            const std::size_t equals = argument.find('=');
            OptionValue option{argument.substr(0, equals), std::nullopt};
            if (equals != std::string_view::npos) option.Value = argument.substr(equals + 1);
            if (!ReadOption(option, arguments, index, line)) {
                line.Action = BatchAction::UsageError;
                return line;
            }
            if (line.Action != BatchAction::Run) return line;
        } else if (argument == "-") {
            line.Options.Sources.push_back({.FromInput = true, .Span = {}});
        } else if (const auto span = ReadRange(argument)) {
            line.Options.Sources.push_back({.FromInput = false, .Span = *span});
        } else {
            line.Action = BatchAction::UsageError;
            line.Error = Quoted(argument) + " is not an address, a range or a block";
            return line;
        }
    }
    if (line.Options.Sources.empty())
        line.Options.Sources.push_back({.FromInput = true, .Span = {}});
    return line;
}

std::string_view BatchUsage() {
    return kUsage;
}

std::string UiLanguageFromEnvironment(const std::function<const char*(const char*)>& getenv) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

}  // namespace ip2h
