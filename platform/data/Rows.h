#pragma once
// Stored values and rows: a value read in place (TCellView) or owned (TCellValue), conversion
// to and from the variants fields hold, the builder of a row block and the change records a
// dataset hands to its store.
// Declares TCellView, TCellValue, TRowWriter and TRowUpdate.
#include "data/DBTypes.h"

// What one stored value is. A column normally holds one kind, but a store may hand back
// another (a date column holding text), so every value carries its own.
enum class TCellKind : Byte { Null, Integer, Float, Currency, Text, Blob };

// A stored value, read without copying. Currency holds ten-thousandths in Int.
struct TCellView {
  TCellKind Kind = TCellKind::Null;
  Int64 Int = 0;
  double Float = 0;
  std::string_view Bytes;  // Text and Blob
  bool IsNull() const { return Kind == TCellKind::Null; }
  bool operator==(const TCellView& o) const;
};

// An owned value: the edit buffer and values given back by a store.
struct TCellValue {
  TCellKind Kind = TCellKind::Null;
  Int64 Int = 0;
  double Float = 0;
  String Bytes;
  TCellValue() = default;
  explicit TCellValue(const TCellView& v);
  TCellView View() const;
};

// Converts a stored value to the variant a field of that type holds, and back.
Variant CellToVariant(const TCellView& Cell, TFieldType Type);
TCellValue VariantToCell(const Variant& Value, TFieldType Type);
// What CellToVariant gives, without the variant, for the reads fields make most: the text of a
// text value (or '' for Null) in a text or bytes type, the number of a numeric value in a float
// or date type, the integer of an integer value in an integer type, the amount of an amount in
// an exact-amount type. False when the value needs
// the variant's conversions.
bool CellAsText(const TCellView& Cell, TFieldType Type, String& Text);
bool CellAsNumber(const TCellView& Cell, TFieldType Type, double& Number);
bool CellAsInteger(const TCellView& Cell, TFieldType Type, Int64& Number);
bool CellAsCurrency(const TCellView& Cell, TFieldType Type, Currency& Amount);

// Builds one row for TDataSet::AppendRow. Reuse one writer for all rows of a fill: Reset keeps
// its buffers, so filling costs one allocation per row (the row block itself).
class TRowWriter {
public:
  explicit TRowWriter(int ColumnCount = 0) { Reset(ColumnCount); }
  void Reset(int ColumnCount);  // every column Null
  void Clear();                 // every column Null again, the same column count
  int ColumnCount() const { return static_cast<int>(FKinds.size()); }

  void SetNull(int Col);
  void SetInteger(int Col, Int64 Value);
  void SetFloat(int Col, double Value);
  void SetCurrency(int Col, Currency Value);
  void SetText(int Col, std::string_view Value);
  void SetBlob(int Col, const void* Data, std::size_t Size);
  void SetCell(int Col, const TCellView& Value);
  void SetValue(int Col, const Variant& Value, TFieldType Type) { SetCell(Col, VariantToCell(Value, Type).View()); }

private:
  friend class TDataSet;
  void CheckColumn(int Col) const;
  void SetBytes(int Col, TCellKind Kind, std::string_view Value);
  Byte* Build() const;  // malloc'ed block
  std::size_t BlockSize() const { return FHeader + FTail.size(); }
  void BuildInto(Byte* Row) const;  // into BlockSize() bytes
  std::vector<Byte> FKinds;
  std::vector<Int64> FPayload;  // integer bits, double bits, or offset in the block << 32 | length
  String FTail;                 // the bytes of texts and blobs, placed after the header
  std::size_t FHeader = 0;
};

// One change written back to a store: an insert, an update or a delete of a row.
class TRowUpdate {
public:
  TUpdateStatus Kind() const { return FKind; }  // usInserted, usModified or usDeleted
  int RowId() const { return FRowId; }
  TDataSet* DataSet() const { return FDataSet; }
  int ColumnCount() const;
  // Insert: the columns assigned since Insert. Update: the assigned columns whose value differs
  // from the old one. Delete: none.
  bool Changed(int Col) const { return FChanged[Col] != 0; }
  TCellView OldCell(int Col) const;  // Null cells for an insert
  TCellView NewCell(int Col) const;  // Null cells for a delete
  Variant OldValue(int Col) const;   // typed by the column's field definition
  Variant NewValue(int Col) const;
  // A value the store assigned itself (an autonumber, a default); kept in the row after the write.
  void SetNewValue(int Col, const Variant& Value);
  void SetNewCell(int Col, const TCellView& Value);

private:
  friend class TDataSet;
  TDataSet* FDataSet = nullptr;
  TUpdateStatus FKind = usUnmodified;
  int FRowId = -1;
  const Byte* FOldRow = nullptr;
  const Byte* FNewRow = nullptr;
  const std::vector<TCellValue>* FNewCells = nullptr;  // with FNewAssigned: the edit buffer
  const std::vector<Byte>* FNewAssigned = nullptr;
  std::vector<Byte> FChanged;
  std::vector<std::optional<TCellValue>> FOverrides;
};
