#pragma once
// The first sheet of a workbook file, read by its content (not its name): a compound-document
// workbook (.xls), the bare record stream the grid's XLS export writes, or a zipped XML
// workbook (.xlsx). The sheet's used range runs from A1 to the last row and the last column
// holding a value; a range the file declares is not trusted. Only the cells present are kept,
// so memory follows them, not the range.
//
// Each cell has its typed Value (a number, a text, a Boolean, a date or an error code) and the
// Text a user sees: texts as stored, numbers in the general format, date-formatted cells in
// the short-date format with " hh:nn:ss" for a time of day, TRUE/FALSE, the error's code.
// Number patterns (thousands separators, fixed decimals) are not reproduced.
//
// A file that cannot be read raises ESpreadsheetError naming the file: unknown or truncated
// bytes, a zipped part above 256 MiB or packed beyond 1:200, a cell beyond 1,048,576 rows or
// 16,384 columns.
// Declares ESpreadsheetError and TSpreadsheet.
#include "core/Variant.h"

#include <memory>

KELM_EXCEPTION(ESpreadsheetError, Exception);

class TSpreadsheet {
public:
  static constexpr int MaxRows = 1048576;
  static constexpr int MaxColumns = 16384;

  explicit TSpreadsheet(const String& FileName);
  ~TSpreadsheet();
  TSpreadsheet(const TSpreadsheet&) = delete;
  TSpreadsheet& operator=(const TSpreadsheet&) = delete;

  const String& FileName() const;
  // The used range's size; 0 × 0 for a sheet without values.
  int RowCount() const;
  int ColCount() const;
  // Row and Col count from 1; an empty cell, or one outside the sheet, is Empty and ''.
  Variant Value(int Row, int Col) const;
  String Text(int Row, int Col) const;
  // The cells holding a value.
  int CellCount() const;

  struct TImpl;

private:
  std::unique_ptr<TImpl> FImpl;
};
