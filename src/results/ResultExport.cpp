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

std::string_view ResultWord(RowStatus status) {
    switch (status) {
        case RowStatus::Success:
            return "success";
        case RowStatus::Failure:
            return "failure";
        case RowStatus::Pending:
            break;
    }
    return "pending";
}

// The fields every format writes, in column order.
struct ExportFields {
    std::string_view Address;
    std::string_view HostName;  // empty unless the row has a name
    std::string_view Result;
    std::string_view Domain;
    std::string_view Answer;
    std::string_view Confirmed;
};

ExportFields FieldsOf(const ResultEntry& row, bool japanese, const ExportExtras& extras) {
    const RowAnswer& answer = row.Answer;
    const bool named = answer.Status == RowStatus::Success;
    const bool pending = answer.Status == RowStatus::Pending;
    return {FieldText(row.Address),
            !named                    ? std::string_view()
            : extras.HostName.empty() ? FieldText(row.HostName)
                                      : extras.HostName,
            ResultWord(answer.Status),
            DomainCellText(row, japanese),
            pending ? std::string_view() : AnswerKindWord(answer.Kind),
            pending ? std::string_view() : ConfirmationWord(answer.Confirmed)};
}

// A JSON string, or null for an empty text.
void AppendJsonText(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "null";
    } else {
        AppendJsonString(out, text);
    }
}

void AppendJsonRecord(std::string& out, const ExportFields& fields, const ExportExtras& extras) {
    out += "{\"address\":";
    AppendJsonString(out, fields.Address);
    out += ",\"hostname\":";
    AppendJsonText(out, fields.HostName);
    out += ",\"names\":[";
    if (!extras.Names.empty()) {
        for (std::size_t i = 0; i < extras.Names.size(); ++i) {
            if (i > 0) out += ',';
            AppendJsonString(out, extras.Names[i]);
        }
    } else if (!fields.HostName.empty()) {
        AppendJsonString(out, fields.HostName);
    }
    out += "],\"result\":";
    AppendJsonString(out, fields.Result);
    out += ",\"domain\":";
    AppendJsonString(out, fields.Domain);
    out += ",\"answer\":";
    AppendJsonText(out, fields.Answer);
    out += ",\"confirmed\":";
    AppendJsonText(out, fields.Confirmed);
    out += ",\"error\":";
    AppendJsonText(out, extras.Error);
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

void AppendExportRow(std::string& out, const ResultEntry& row, ExportFormat format, bool japanese,
                     const ExportExtras& extras) {
    const ExportFields record = FieldsOf(row, japanese, extras);
    if (format == ExportFormat::Jsonl) {
        AppendJsonRecord(out, record, extras);
        return;
    }
    const std::string_view fields[] = {record.Address, record.HostName, record.Result,
                                       record.Domain,  record.Answer,   record.Confirmed};
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

std::string ExportList(const ResultTable& table, ExportFormat format, bool japanese) {
    std::string out;
    AppendExportHeader(out, format);
    const int rows = table.RowsInUse();
    const int count =
        std::clamp<int>(table.OrderedCount, 0, static_cast<int>(table.RowOrder.size()));
    for (int i = 0; i < count; ++i) {
        const std::int32_t row = table.RowOrder[i];
        if (row < 0 || row >= rows) continue;
        AppendExportRow(out, table.Rows[row], format, japanese);
    }
    return out;
}

std::string SaveListAsCsv(const ResultTable& table, const std::filesystem::path& path,
                          bool japanese) {
    errno = 0;
    if (ReplaceFileAtomically(path, ExportList(table, ExportFormat::Csv, japanese))) return {};
    return std::strerror(errno != 0 ? errno : EIO);
}

std::string SuggestedCsvName(int year, int month, int day, int hour, int minute, int second) {
    char name[64];
    std::snprintf(name, sizeof name, "ip2hostname-%04d%02d%02d-%02d%02d%02d.csv", year, month, day,
                  hour, minute, second);
    return name;
}

}  // namespace ip2h
