#pragma once

// The channel rows as CSV, the way a spreadsheet takes them: a header line of the grid's column
// names and one row per channel in use.

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/codeplug.h"

namespace ql40::exchange {

// Header line and one line per channel in use, "\r\n" line ends as spreadsheets write them.
std::string ExportChannelsCsv(const Codeplug& doc);

// Applies CSV rows to doc's channels, each cell as a paste into that grid cell. Columns are
// matched by header name (any order, any subset; "Chn" is needed to say which channel a row
// is). Takes CRLF or LF line ends, quoted fields and a UTF-8 byte order mark. On any refused
// cell errors lists every one ("row 4, Frequency Receive: ...") and doc is left unchanged.
bool ImportChannelsCsv(std::string_view text, Codeplug& doc, std::vector<std::string>& errors);

// Splits CSV text into rows of fields; false with why when a quote is never closed.
bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows, std::string& why);

}  // namespace ql40::exchange
