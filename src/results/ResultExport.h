#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "resolver/AnswerKind.h"

namespace ip2h {

class ResultTable;
struct ResultEntry;

// How exported rows are written. Csv: RFC 4180, CR LF line ends, a host name that a
// spreadsheet would read as a formula guarded by a leading "'". Tsv: the same columns
// separated by tabs, LF line ends, nothing quoted or guarded (answers never hold a tab or a
// line break), for cut and awk.
enum class ExportFormat : std::uint8_t { Csv, Tsv };

// One exported row: address, hostname, result, domain, answer, confirmed.
struct ExportRecord {
    std::string_view Address;
    std::string_view HostName;  // the name; ignored unless Status is Success
    std::int32_t Status = 0;
    std::string_view Domain;  // as the list shows it
    AnswerKind Answer = AnswerKind::Name;
    Confirmation Confirmed = Confirmation::None;
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
