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

// Applies CSV rows to doc's channels, each row as pastes into its grid cells (see ApplyRow).
// Columns are matched by header name (any order, any subset; "Chn" is needed to say which
// channel a row is); an empty cell says nothing. Takes CRLF or LF line ends, quoted fields and
// a UTF-8 byte order mark. On any refused cell errors lists every one ("row 4, Frequency
// Receive: ...") and doc is left unchanged. Otherwise warnings names every value stored other
// than the file gives it and every cell that changed without the file naming it.
bool ImportChannelsCsv(std::string_view text, Codeplug& doc, std::vector<std::string>& errors,
                       std::vector<std::string>& warnings);

// Splits CSV text into rows of fields; false with why when a quote is never closed.
bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows, std::string& why);

}  // namespace ql40::exchange
