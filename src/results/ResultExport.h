#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "results/ResultTable.h"

namespace ip2h {

class ResultTable;

// How exported rows are written. Csv: RFC 4180, CR LF line ends, a host name that a
// spreadsheet would read as a formula guarded by a leading "'". Tsv: the same columns
// separated by tabs, LF line ends, nothing quoted (answers never hold a tab or a line break),
// for cut and awk; the host name guarded as in Csv, since spreadsheets open .tsv files too.
// Jsonl: one JSON object a line, LF line ends, no header line; its texts must be valid UTF-8.
enum class ExportFormat : std::uint8_t { Csv, Tsv, Jsonl };

// What the batch mode adds to an exported row: the whole name where the row's field would
// cut it (empty: the row's own), and for Jsonl every name of the address in the order shown
// (the host name alone when empty) and the name service's words for an error (null when
// empty).
struct ExportExtras {
    std::string_view HostName;
    std::span<const std::string> Names;
    std::string_view Error;
};

void AppendExportHeader(std::string& out, ExportFormat format);
// One exported row: address, hostname, result, domain (as the list shows it), answer,
// confirmed; Jsonl adds names and error. The hostname field is empty for a failed or pending
// row; result is "success", "failure" or "pending"; answer is empty while pending.
void AppendExportRow(std::string& out, const ResultEntry& row, ExportFormat format, bool japanese,
                     const ExportExtras& extras = {});

// The header and the rows of the list as the last refresh built it (RowOrder[0 ..
// OrderedCount)), in that order.
std::string ExportList(const ResultTable& table, ExportFormat format, bool japanese);

// Writes the list as a CSV file, atomically: on failure the file is as it was and the result
// holds the reason; empty on success.
std::string SaveListAsCsv(const ResultTable& table, const std::filesystem::path& path,
                          bool japanese);

// The file name a save suggests for a local time: "ip2hostname-YYYYMMDD-HHMMSS.csv".
std::string SuggestedCsvName(int year, int month, int day, int hour, int minute, int second);

}  // namespace ip2h
