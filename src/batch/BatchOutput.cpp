#include "batch/BatchOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "address/AddressText.h"
#include "base/AtomicFile.h"
#include "base/FixedText.h"
#include "base/Language.h"
#include "base/Utf8Text.h"
#include "resolver/ReverseLookup.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

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

// A name mended again into `mended`, or the name itself when it has no byte that mending
// could change: nearly every name is plain ASCII, and the rows of a long log should not pay
// two copies each.
std::string_view OutputName(std::string_view name, std::string_view address, std::string& mended) {
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '(' && c != ')'; };
    if (name.size() > 1 && std::ranges::all_of(name, plain)) return name;
    mended = EscapeInvalidUtf8(MendAnswer(name, address));
    return mended;
}

}  // namespace

std::string SummaryLine(const BatchCounts& counts) {
    return std::to_string(counts.Rows) + (counts.Rows == 1 ? " row: " : " rows: ") +
           std::to_string(counts.Names) + " names, " + std::to_string(counts.NoName) +
           " no-name, " + std::to_string(counts.NoAnswer) + " no-answer, " +
           std::to_string(counts.Errors) + " errors";
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

bool ProgressWanted(int output, int errors) {
    if (::isatty(errors) != 1) return false;
    if (::isatty(output) != 1) return true;
    struct stat out {};
    struct stat err {};
    if (::fstat(output, &out) != 0 || ::fstat(errors, &err) != 0) return false;
    return out.st_dev != err.st_dev || out.st_ino != err.st_ino;
}

BatchOutput::BatchOutput(ExportFormat format, BatchOnly only, int output, int errors,
                         bool showProgress, std::chrono::milliseconds progressPeriod)
    : m_format(format),
      m_only(only),
      m_output(output),
      m_errors(errors),
      m_showProgress(showProgress),
      m_progressPeriod(progressPeriod),
      m_japanese(IsJapanese()) {}

void BatchOutput::AppendHeader() {
    AppendExportHeader(m_out, m_format);
}

// The row as the window records and exports an answered row, by the list's own rules. Names
// are mended again, so that whatever a resolver hands over keeps a row on one line and the
// file valid UTF-8, and are not cut to the list's field.
void BatchOutput::AppendRow(const BatchRow& row) {
    const LookupAnswer& answer = *row.Answer;
    const bool named = NamesTheAddress(answer.Kind);
    Count(answer.Kind);
    if (m_only != BatchOnly::All && named != (m_only == BatchOnly::Names)) return;

    // One row, written afresh for every line, so that no line pays for clearing its fields.
    ResultEntry& entry = *m_entry;
    entry.Value = row.Address;
    CopyToField(entry.Address, FormatIpAddress(row.Address));
    ApplyAnswer(entry, nullptr);  // as a new row: nothing of the last line's answer stays
    ApplyAnswer(entry, &answer);

    const std::string_view address = FieldText(entry.Address);
    std::string mended;
    ExportExtras extras;
    if (named) extras.HostName = OutputName(answer.Text, address, mended);
    std::string error;
    if (m_format == ExportFormat::Jsonl) {
        m_names.clear();
        if (named) {
            for (const std::string& each : answer.Names) {
                std::string copy;
                m_names.emplace_back(OutputName(each, address, copy));
            }
        }
        extras.Names = m_names;
        if (answer.Kind == AnswerKind::Error && answer.ErrorCode != 0)
            error = EscapeInvalidUtf8(LookupStatusText(answer.ErrorCode));
        extras.Error = error;
    }
    AppendExportRow(m_out, entry, m_format, m_japanese, extras);
}

void BatchOutput::Count(AnswerKind kind) {
    ++m_counts.Rows;
    switch (kind) {
        case AnswerKind::Name:
        case AnswerKind::NetBios:
            ++m_counts.Names;
            break;
        case AnswerKind::NoName:
            ++m_counts.NoName;
            break;
        case AnswerKind::NoAnswer:
            ++m_counts.NoAnswer;
            break;
        case AnswerKind::Error:
            ++m_counts.Errors;
            break;
    }
}

bool BatchOutput::Flush() {
    const int error = WriteAll(m_output, m_out);
    m_out.clear();
    if (error == 0) return true;
    ClearProgress();
    // A closed pipe is the reader's choice ("| head"), not a failure worth a word.
    if (error != EPIPE) Message("cannot write the results: " + std::string(std::strerror(error)));
    return false;
}

void BatchOutput::ShowProgress(std::uint64_t total, bool totalKnown) {
    if (!m_showProgress) return;
    const auto now = Clock::now();
    if (now - m_lastProgress < m_progressPeriod) return;
    m_lastProgress = now;
    const double seconds = std::chrono::duration<double>(now - m_started).count();
    const auto known = totalKnown ? std::optional(total) : std::nullopt;
    WriteAll(m_errors, "\r" + ProgressLine(m_counts.Rows, known, seconds) + "\033[K");
    m_progressShown = true;
}

void BatchOutput::Message(const std::string& text) {
    ClearProgress();
    WriteAll(m_errors, "ip2hostname: " + text + "\n");
}

int BatchOutput::End(int status) {
    ClearProgress();
    return status;
}

void BatchOutput::ClearProgress() {
    if (m_progressShown) WriteAll(m_errors, "\r\033[K");
    m_progressShown = false;
}

}  // namespace ip2h
