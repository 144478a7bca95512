#pragma once

// The raw File Data view's model: a working copy of the image shown 16 bytes a row, labelled
// by the radio's own addresses, changed only in maintenance mode and given back on OK.

#include <string>
#include <string_view>

#include "codeplug/image.h"

namespace ql40::shell {

class FileDataModel {
 public:
  static constexpr int kRows = 1105;   // one heading row and 1104 rows of 16 bytes
  static constexpr int kColumns = 17;  // one label column and 16 bytes

  FileDataModel(const Image& image, bool editable) : work_(image), editable_(editable) {}

  // "%05xh": rows 1-16 from 0, rows 17 on from 1b400h (where the radio keeps the rest).
  static std::string RowLabel(int row);
  // "%02x" of column - 1.
  static std::string ColumnHeading(int column);
  // The image offset of a data cell, or -1 for a heading or out of range.
  static int ByteOffset(int row, int column);
  // The text a cell shows.
  std::string CellText(int row, int column) const;

  bool editable() const { return editable_; }
  // A key that opens the cell editor: a hexadecimal digit, and only without Ctrl.
  static bool OpensEditor(char32_t key, bool ctrl_held);
  // The editor's text, right-aligned to two characters (a blank counts as 0), read as two
  // hexadecimal digits. False, with the byte kept, when the view is read-only, the cell is not
  // a data cell or the text is not one or two hexadecimal digits.
  bool Commit(int row, int column, std::string_view text);

  const Image& image() const { return work_; }
  bool changed() const { return changed_; }

 private:
  Image work_;
  bool editable_;
  bool changed_ = false;
};

}  // namespace ql40::shell
