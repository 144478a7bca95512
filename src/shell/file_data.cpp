#include "shell/file_data.h"

#include <cstdio>

namespace ql40::shell {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c == ' ') return 0;
  return -1;
}

}  // namespace

std::string FileDataModel::RowLabel(int row) {
  if (row < 1 || row >= kRows) return {};
  const int address = row <= 16 ? 16 * (row - 1) : 0x1B400 + 16 * (row - 17);
  char text[16];
  std::snprintf(text, sizeof text, "%05xh", address);
  return text;
}

std::string FileDataModel::ColumnHeading(int column) {
  if (column < 1 || column >= kColumns) return {};
  char text[8];
  std::snprintf(text, sizeof text, "%02x", column - 1);
  return text;
}

int FileDataModel::ByteOffset(int row, int column) {
  if (row < 1 || row >= kRows || column < 1 || column >= kColumns) return -1;
  return 16 * (row - 1) + (column - 1);
}

std::string FileDataModel::CellText(int row, int column) const {
  if (row == 0) return ColumnHeading(column);
  if (column == 0) return RowLabel(row);
  const int offset = ByteOffset(row, column);
  if (offset < 0) return {};
  char text[8];
  std::snprintf(text, sizeof text, "%02x", work_[static_cast<std::size_t>(offset)]);
  return text;
}

bool FileDataModel::OpensEditor(char32_t key, bool ctrl_held) {
  if (ctrl_held || key > 0x7F) return false;
  const char c = static_cast<char>(key);
  return c != ' ' && HexValue(c) >= 0;
}

bool FileDataModel::Commit(int row, int column, std::string_view text) {
  const int offset = ByteOffset(row, column);
  if (!editable_ || offset < 0 || text.empty() || text.size() > 2) return false;
  const std::string padded = std::string(2 - text.size(), ' ') + std::string(text);
  const int high = HexValue(padded[0]);
  const int low = HexValue(padded[1]);
  if (high < 0 || low < 0) return false;
  work_[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(high * 16 + low);
  changed_ = true;
  return true;
}

}  // namespace ql40::shell
