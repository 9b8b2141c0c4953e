#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "resolver/AnswerKind.h"

namespace ip2h {

class ResultTable;
struct ResultEntry;

// How exported rows are written. Csv: RFC 4180, CR LF line ends, a host name that a
// spreadsheet would read as a formula guarded by a leading "'". Tsv: the same columns
// separated by tabs, LF line ends, nothing quoted (answers never hold a tab or a line break),
// for cut and awk; the host name guarded as in Csv, since spreadsheets open .tsv files too.
// Jsonl: one JSON object a line, LF line ends, no header line; its texts must be valid UTF-8.
enum class ExportFormat : std::uint8_t { Csv, Tsv, Jsonl };

// One exported row: address, hostname, result, domain, answer, confirmed; Jsonl adds names
// and error.
struct ExportRecord {
    std::string_view Address;
    std::string_view HostName;  // the name; ignored unless Status is Success
    std::int32_t Status = 0;
    std::string_view Domain;  // as the list shows it
    AnswerKind Answer = AnswerKind::Name;
    Confirmation Confirmed = Confirmation::None;
    // Jsonl: every name of the address, in the order shown (the host name alone when empty
    // and Status is Success); the name service's words for an error answer (null when empty).
    std::span<const std::string> Names;
    std::string_view Error;
};

void AppendExportHeader(std::string& out, ExportFormat format);
// The hostname field is empty for a failed or pending row (never the address standing in
// for a name); result is "success", "failure" or "pending"; answer is empty while pending.
void AppendExportRecord(std::string& out, const ExportRecord& record, ExportFormat format);

// The record of a row as the list shows it.
ExportRecord ExportRecordOf(const ResultEntry& row);

// The header and the rows of the list as the last refresh built it (RowOrder[0 ..
// OrderedCount)), in that order.
std::string ExportList(const ResultTable& table, ExportFormat format);

// Writes the list as a CSV file, atomically: on failure the file is as it was and the result
// holds the reason; empty on success.
std::string SaveListAsCsv(const ResultTable& table, const std::filesystem::path& path);

// The file name a save suggests for a local time: "ip2hostname-YYYYMMDD-HHMMSS.csv".
std::string SuggestedCsvName(int year, int month, int day, int hour, int minute, int second);

}  // namespace ip2h
