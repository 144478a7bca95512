#include "exchange/channels_csv.h"

#include <algorithm>

#include "channels/grid_text.h"
#include "codeplug/codecs.h"
#include "exchange/channel_cells.h"
#include "exchange/records.h"

namespace ql40::exchange {
namespace {

std::string CsvField(const std::string& value) {
  const bool quote = value.find_first_of(",\"\r\n") != std::string::npos ||
                     (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!quote) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string ExportChannelsCsv(const Codeplug& doc) {
  std::string out;
  for (int c = 0; c < kGridColumnCount; ++c) {
    if (c > 0) out += ',';
    out += CsvField(ColumnName(c, doc.option_unit));
  }
  out += "\r\n";
  const int in_use = std::min(doc.channels.total, kChannelCount);
  for (int i = 0; i < in_use; ++i) {
    for (int c = 0; c < kGridColumnCount; ++c) {
      if (c > 0) out += ',';
      std::string text = c == kColTag ? TagText(doc.channels.records[static_cast<std::size_t>(i)])
                                      : CellText(doc, i, c);
      if (c == kColTag) text.erase(text.find_last_not_of(' ') + 1);
      out += CsvField(text);
    }
    out += "\r\n";
  }
  return out;
}

bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows,
              std::string& why) {
  rows.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field += c;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
      any = true;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
      } else {
        rows.emplace_back();  // an empty line keeps the row numbers right
      }
      row.clear();
      field.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (quoted) {
    why = "a quoted field is never closed";
    return false;
  }
  if (any || !field.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return true;
}

bool ImportChannelsCsv(std::string_view text, Codeplug& doc, std::vector<std::string>& errors,
                       std::vector<std::string>& warnings) {
  errors.clear();
  warnings.clear();
  std::vector<std::vector<std::string>> rows;
  std::string why;
  if (!ParseCsv(text, rows, why)) {
    errors.push_back("CSV: " + why);
    return false;
  }
  std::size_t header_row = 0;
  while (header_row < rows.size() && rows[header_row].empty()) ++header_row;
  if (header_row == rows.size()) {
    errors.push_back("CSV: no header line");
    return false;
  }
  const std::vector<std::string>& header = rows[header_row];
  std::vector<int> columns;
  int channel_column = -1;
  for (std::size_t i = 0; i < header.size(); ++i) {
    const int c = ColumnOfName(header[i], doc.option_unit);
    if (c < 0 && !Trim(header[i]).empty()) {
      errors.push_back("header, column " + std::to_string(i + 1) + ": \"" + header[i] +
                       "\" is not a column of the channel grid");
    }
    for (std::size_t j = 0; j < i && c >= 0; ++j) {
      if (columns[j] == c) {
        errors.push_back("header, column " + std::to_string(i + 1) + ": \"" + header[i] +
                         "\" appears twice");
      }
    }
    if (c == kColChannel) channel_column = static_cast<int>(i);
    columns.push_back(c);
  }
  if (channel_column < 0)
    errors.push_back("header: no \"Chn\" column to say which channel a row is");
  if (!errors.empty()) return false;

  Codeplug work = doc;
  const ChannelTable before = work.channels;
  std::vector<bool> seen(kChannelCount, false);
  // Priority marks, checked when every row is in: a later row of the group can take the mark.
  std::vector<std::pair<std::string, const std::string*>> marks(kChannelCount);
  for (std::size_t r = header_row + 1; r < rows.size(); ++r) {
    const std::vector<std::string>& row = rows[r];
    if (row.empty()) continue;
    const std::string where = "row " + std::to_string(r + 1);
    const std::string number_text = static_cast<std::size_t>(channel_column) < row.size()
                                        ? Trim(row[static_cast<std::size_t>(channel_column)])
                                        : "";
    const long long number = ParseInteger(number_text);
    if (number_text.empty() || number_text.find_first_not_of("0123456789") != std::string::npos ||
        number < 1 || number > work.channels.total) {
      errors.push_back(where + ", Chn: \"" + number_text + "\" is not a channel in use (1-" +
                       std::to_string(work.channels.total) + ")");
      continue;
    }
    const int index = static_cast<int>(number - 1);
    if (seen[static_cast<std::size_t>(index)]) {
      errors.push_back(where + ", Chn: channel " + number_text + " has a row already");
      continue;
    }
    seen[static_cast<std::size_t>(index)] = true;
    if (row.size() > columns.size()) {
      errors.push_back(where + ": " + std::to_string(row.size()) + " fields, the header has " +
                       std::to_string(columns.size()));
      continue;
    }
    // An empty cell says nothing (a spreadsheet leaves cells of unused columns empty).
    RowCells cells{};
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int c = columns[i];
      if (c > kColChannel && !Trim(row[i]).empty()) cells[static_cast<std::size_t>(c)] = &row[i];
      if (c == kColPriority) marks[static_cast<std::size_t>(index)] = {where, &row[i]};
    }
    for (const CellNote& note : ApplyRow(work, index, cells)) {
      const std::string line =
          where + ", " + ColumnName(note.column, work.option_unit) + ": " + note.text;
      (note.refused ? errors : warnings).push_back(line);
    }
  }
  for (int i = 0; i < kChannelCount; ++i) {
    const auto& [where, mark] = marks[static_cast<std::size_t>(i)];
    if (mark == nullptr || Trim(*mark).empty() || CellHolds(work, i, kColPriority, *mark)) continue;
    const std::string place = where + ", " + ColumnName(kColPriority, work.option_unit) + ": ";
    if (std::any_of(warnings.begin(), warnings.end(),
                    [&](const std::string& w) { return w.rfind(place, 0) == 0; })) {
      continue;  // named already
    }
    warnings.push_back(place + "\"" + Trim(*mark) + "\" is stored as \"" +
                       CellText(work, i, kColPriority) + "\" (a group has one priority channel)");
  }
  // A priority mark moved onto a channel takes it off another one of its group.
  for (int g = 0; g < kGroupCount; ++g) {
    const int was = before.PriorityChannelOf(g);
    const int now = work.channels.PriorityChannelOf(g);
    if (was >= 0 && was != now && !seen[static_cast<std::size_t>(was)]) {
      warnings.push_back("channel " + std::to_string(was + 1) +
                         ", Pri: is no longer the priority channel of group " +
                         std::to_string(g + 1));
    }
  }
  if (!errors.empty()) return false;
  StoreTableChanges(work, before);
  work.RefreshFromImage();
  work.modified = true;
  doc = work;
  return true;
}

}  // namespace ql40::exchange
