#include "results/ResultExport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/AtomicFile.h"
#include "base/FixedText.h"
#include "base/Utf8Text.h"
#include "results/ListRefresh.h"
#include "results/ResultTable.h"

namespace ip2h {
namespace {

constexpr std::string_view kColumns[] = {"address", "hostname", "result",
                                         "domain",  "answer",   "confirmed"};

// A host name comes from whoever runs the reverse zone, a hosts file or a NetBIOS peer, so
// one may start like a spreadsheet formula; the leading "'" makes it plain text.
bool LooksLikeFormula(std::string_view text) {
    return !text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos;
}

void AppendCsvField(std::string& out, std::string_view field, bool guard) {
    const bool quote = field.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quote) out += '"';
    if (guard) out += '\'';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    if (quote) out += '"';
}

std::string_view ResultWord(std::int32_t status) {
    switch (status) {
        case Success:
            return "success";
        case Failure:
            return "failure";
        default:
            return "pending";
    }
}

// A JSON string, or null for an empty text.
void AppendJsonText(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, text);
    }
}

void AppendJsonRecord(std::string& out, const ExportRecord& record) {
    const bool named = record.Status == Success;
    const bool pending = !named && record.Status != Failure;
    out += "{\"address\":";
    AppendJsonString(out, record.Address);
    out += ",\"hostname\":";
    AppendJsonText(out, named ? record.HostName : std::string_view());
    out += ",\"names\":[";
    if (!record.Names.empty()) {
        for (std::size_t i = 0; i < record.Names.size(); ++i) {
            if (i > 0) out += ',';
            AppendJsonString(out, record.Names[i]);
        }
    } else if (named) {
        AppendJsonString(out, record.HostName);
    }
    out += "],\"result\":";
    AppendJsonString(out, ResultWord(record.Status));
    out += ",\"domain\":";
    AppendJsonString(out, record.Domain);
    out += ",\"answer\":";
    AppendJsonText(out, pending ? std::string_view() : AnswerKindWord(record.Answer));
    out += ",\"confirmed\":";
    AppendJsonText(out, pending ? std::string_view() : ConfirmationWord(record.Confirmed));
    out += ",\"error\":";
    AppendJsonText(out, record.Error);
    out += "}\n";
}

}  // namespace

void AppendExportHeader(std::string& out, ExportFormat format) {
    // Every line of a JSON lines file is a record: jq and the like read no header.
    if (format == ExportFormat::Jsonl) return;
    const char separator = format == ExportFormat::Csv ? ',' : '\t';
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        if (i > 0) out += separator;
        out += kColumns[i];
    }
    out += format == ExportFormat::Csv ? "\r\n" : "\n";
}

void AppendExportRecord(std::string& out, const ExportRecord& record, ExportFormat format) {
    if (format == ExportFormat::Jsonl) {
        AppendJsonRecord(out, record);
        return;
    }
    const bool pending = record.Status != Success && record.Status != Failure;
    const std::string_view fields[] = {
        record.Address,
        record.Status == Success ? record.HostName : std::string_view(),
        ResultWord(record.Status),
        record.Domain,
        pending ? std::string_view() : AnswerKindWord(record.Answer),
        pending ? std::string_view() : ConfirmationWord(record.Confirmed)};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const bool guard = i == 1 && LooksLikeFormula(fields[i]);
        if (format == ExportFormat::Tsv) {
            if (i > 0) out += '\t';
            if (guard) out += '\'';
            out += fields[i];
        } else {
            if (i > 0) out += ',';
            AppendCsvField(out, fields[i], guard);
        }
    }
    out += format == ExportFormat::Csv ? "\r\n" : "\n";
}

ExportRecord ExportRecordOf(const ResultEntry& row) {
    return {FieldText(row.Address),
            FieldText(row.HostName),
            row.Status,
            DomainCellText(row),
            row.Answer,
            row.Confirmed,
            {},
            {}};
}

std::string ExportList(const ResultTable& table, ExportFormat format) {
    std::string out;
    AppendExportHeader(out, format);
    const int rows = table.RowsInUse();
    const int count =
        std::clamp<int>(table.OrderedCount, 0, static_cast<int>(table.RowOrder.size()));
    for (int i = 0; i < count; ++i) {
        const std::int32_t row = table.RowOrder[i];
        if (row < 0 || row >= rows) continue;
        AppendExportRecord(out, ExportRecordOf(table.Rows[row]), format);
    }
    return out;
}

std::string SaveListAsCsv(const ResultTable& table, const std::filesystem::path& path) {
    errno = 0;
    if (ReplaceFileAtomically(path, ExportList(table, ExportFormat::Csv))) return {};
    return std::strerror(errno != 0 ? errno : EIO);
}

std::string SuggestedCsvName(int year, int month, int day, int hour, int minute, int second) {
    char name[64];
    std::snprintf(name, sizeof name, "ip2hostname-%04d%02d%02d-%02d%02d%02d.csv", year, month, day,
                  hour, minute, second);
    return name;
}

}  // namespace ip2h
