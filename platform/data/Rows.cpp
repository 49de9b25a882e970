// Stored values and row blocks: conversion between stored values and field values, building
// rows, and the change records handed to stores.
#include "data/Rows.h"

#include "data/DB.h"
#include "data/RowLayout_p.h"
#include "core/StrUtils.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

using rowlayout::ReadCell;

bool TCellView::operator==(const TCellView& o) const {
  if (Kind != o.Kind) return false;
  switch (Kind) {
    case TCellKind::Null: return true;
    case TCellKind::Integer:
    case TCellKind::Currency: return Int == o.Int;
    case TCellKind::Float: return std::memcmp(&Float, &o.Float, sizeof Float) == 0 || Float == o.Float;
    case TCellKind::Text:
    case TCellKind::Blob: return Bytes == o.Bytes;
  }
  return false;
}

TCellValue::TCellValue(const TCellView& v) : Kind(v.Kind), Int(v.Int), Float(v.Float), Bytes(v.Bytes) {}

TCellView TCellValue::View() const {
  TCellView v;
  v.Kind = Kind;
  v.Int = Int;
  v.Float = Float;
  v.Bytes = Bytes;
  return v;
}

// ---------------------------------------------------------------- conversions

namespace {

enum class TTypeGroup { Text, Integer, Large, Boolean, Float, Bcd, Date, Bytes, Any };

// The field-type groups, two of them split further for the values a cell gives back: a 64-bit
// integer stays Int64 where a smaller one fits a 32-bit variant, and an exact decimal keeps its
// digits where a float rounds.
TTypeGroup GroupOf(TFieldType t) {
  if (t == ftLargeint) return TTypeGroup::Large;
  if (t == ftBCD || t == ftFMTBcd) return TTypeGroup::Bcd;
  switch (FieldTypeGroup(t)) {
    case TFieldTypeGroup::Text: return TTypeGroup::Text;
    case TFieldTypeGroup::Integer: return TTypeGroup::Integer;
    case TFieldTypeGroup::Float: return TTypeGroup::Float;
    case TFieldTypeGroup::Boolean: return TTypeGroup::Boolean;
    case TFieldTypeGroup::DateTime: return TTypeGroup::Date;
    case TFieldTypeGroup::Binary: return TTypeGroup::Bytes;
    case TFieldTypeGroup::Other: break;
  }
  return TTypeGroup::Any;
}

Variant IntegerVariant(Int64 v) {
  if (v >= std::numeric_limits<Integer>::min() && v <= std::numeric_limits<Integer>::max())
    return Variant(static_cast<Integer>(v));
  return Variant(v);
}

double CellNumber(const TCellView& c) {
  switch (c.Kind) {
    case TCellKind::Integer: return static_cast<double>(c.Int);
    case TCellKind::Currency: return static_cast<double>(c.Int) / Currency::kScale;
    default: return c.Float;
  }
}

String CellText(const TCellView& c) {
  switch (c.Kind) {
    case TCellKind::Integer: return IntToStr(c.Int);
    case TCellKind::Float: return FloatToStr(c.Float);
    case TCellKind::Currency: return CurrToStr(Currency::FromRaw(c.Int));
    case TCellKind::Text:
    case TCellKind::Blob: return String(c.Bytes);
    default: return String();
  }
}

// A whole number from a stored float, when it is one that fits.
bool WholeNumber(double d, Int64& out) {
  if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.2e18) return false;
  out = static_cast<Int64>(d);
  return true;
}

}  // namespace

Variant CellToVariant(const TCellView& c, TFieldType type) {
  if (c.Kind == TCellKind::Null) return Null();
  bool text = c.Kind == TCellKind::Text || c.Kind == TCellKind::Blob;
  switch (GroupOf(type)) {
    case TTypeGroup::Text:
    case TTypeGroup::Bytes: return Variant(CellText(c));
    case TTypeGroup::Integer:
    case TTypeGroup::Large: {
      Int64 v = 0;
      if (c.Kind == TCellKind::Integer) v = c.Int;
      else if (c.Kind == TCellKind::Currency) v = Round(static_cast<Extended>(c.Int) / Currency::kScale);
      else if (c.Kind == TCellKind::Float) {
        if (!WholeNumber(c.Float, v)) return Variant(c.Float);
      } else if (!TryStrToInt64(String(c.Bytes), v)) return Variant(String(c.Bytes));
      return GroupOf(type) == TTypeGroup::Large ? Variant(v) : IntegerVariant(v);
    }
    case TTypeGroup::Boolean: {
      if (text) {
        bool b;
        if (TryStrToBool(String(c.Bytes), b)) return Variant(b);
        return Variant(String(c.Bytes));
      }
      return Variant(CellNumber(c) != 0);
    }
    case TTypeGroup::Float: {
      if (text) {
        Extended e;
        if (TryStrToFloat(String(c.Bytes), e)) return Variant(static_cast<double>(e));
        return Variant(String(c.Bytes));
      }
      return Variant(CellNumber(c));
    }
    case TTypeGroup::Bcd: {
      if (c.Kind == TCellKind::Currency) return Variant(Currency::FromRaw(c.Int));
      if (c.Kind == TCellKind::Integer) return Variant(Currency(c.Int));
      if (c.Kind == TCellKind::Float) return Variant(Currency::FromDouble(c.Float));
      Currency cur;
      if (TryStrToCurr(String(c.Bytes), cur)) return Variant(cur);
      return Variant(String(c.Bytes));
    }
    case TTypeGroup::Date: {
      if (text) {
        TDateTime d;
        if (TryStrToDateTime(String(c.Bytes), d)) return Variant::FromDate(d);
        return Variant(String(c.Bytes));
      }
      return Variant::FromDate(CellNumber(c));
    }
    case TTypeGroup::Any:
      switch (c.Kind) {
        case TCellKind::Integer: return IntegerVariant(c.Int);
        case TCellKind::Float: return Variant(c.Float);
        case TCellKind::Currency: return Variant(Currency::FromRaw(c.Int));
        default: return Variant(String(c.Bytes));
      }
  }
  return Null();
}

bool CellAsText(const TCellView& c, TFieldType type, String& text) {
  if (c.Kind == TCellKind::Null) {
    text.clear();
    return true;
  }
  TTypeGroup g = GroupOf(type);
  if ((c.Kind != TCellKind::Text && c.Kind != TCellKind::Blob) || (g != TTypeGroup::Text && g != TTypeGroup::Bytes))
    return false;
  text.assign(c.Bytes);
  return true;
}

bool CellAsNumber(const TCellView& c, TFieldType type, double& number) {
  TTypeGroup g = GroupOf(type);
  if (c.Kind == TCellKind::Null || c.Kind == TCellKind::Text || c.Kind == TCellKind::Blob ||
      (g != TTypeGroup::Float && g != TTypeGroup::Date))
    return false;
  number = CellNumber(c);
  return true;
}

bool CellAsInteger(const TCellView& c, TFieldType type, Int64& number) {
  TTypeGroup g = GroupOf(type);
  if (c.Kind != TCellKind::Integer || (g != TTypeGroup::Integer && g != TTypeGroup::Large)) return false;
  number = c.Int;
  return true;
}

bool CellAsCurrency(const TCellView& c, TFieldType type, Currency& amount) {
  if (c.Kind != TCellKind::Currency || GroupOf(type) != TTypeGroup::Bcd) return false;
  amount = Currency::FromRaw(c.Int);
  return true;
}

TCellValue VariantToCell(const Variant& v, TFieldType type) {
  TCellValue c;
  if (VarIsNull(v) || VarIsEmpty(v)) return c;
  switch (GroupOf(type)) {
    case TTypeGroup::Text:
      c.Kind = TCellKind::Text;
      c.Bytes = VarToStr(v);
      break;
    case TTypeGroup::Bytes:
      c.Kind = TCellKind::Blob;
      c.Bytes = VarToStr(v);
      break;
    case TTypeGroup::Integer:
    case TTypeGroup::Large:
      c.Kind = TCellKind::Integer;
      c.Int = v.AsInt64();
      break;
    case TTypeGroup::Boolean:
      // Stored 1/0 so the database's own comparisons (show=1) work; never -1.
      c.Kind = TCellKind::Integer;
      c.Int = v.AsBoolean() ? 1 : 0;
      break;
    case TTypeGroup::Float:
      c.Kind = TCellKind::Float;
      c.Float = v.AsDouble();
      break;
    case TTypeGroup::Bcd:
      c.Kind = TCellKind::Currency;
      c.Int = v.AsCurrency().Value;
      break;
    case TTypeGroup::Date:
      c.Kind = TCellKind::Float;
      c.Float = v.AsDateTime();
      break;
    case TTypeGroup::Any: {
      TVarType t = VarType(v) & varTypeMask;
      if (VarIsStr(v)) {
        c.Kind = TCellKind::Text;
        c.Bytes = VarToStr(v);
      } else if (t == varCurrency) {
        c.Kind = TCellKind::Currency;
        c.Int = v.AsCurrency().Value;
      } else if (VarIsOrdinal(v)) {
        c.Kind = TCellKind::Integer;
        c.Int = t == varBoolean ? (v.AsBoolean() ? 1 : 0) : v.AsInt64();
      } else {
        c.Kind = TCellKind::Float;
        c.Float = v.AsDouble();
      }
      break;
    }
  }
  return c;
}

// ---------------------------------------------------------------- TRowWriter

// The payload of a text or blob already holds its offset from the block's start (the header
// size is known from the column count), so Build copies the three parts as they are.

void TRowWriter::Reset(int columns) {
  FKinds.assign(static_cast<std::size_t>(columns), static_cast<Byte>(TCellKind::Null));
  FPayload.assign(static_cast<std::size_t>(columns), 0);
  FTail.clear();
  FHeader = rowlayout::HeaderSize(columns);
}

void TRowWriter::Clear() {
  std::memset(FKinds.data(), static_cast<int>(TCellKind::Null), FKinds.size());
  std::memset(FPayload.data(), 0, FPayload.size() * sizeof(Int64));
  FTail.clear();
}

void TRowWriter::CheckColumn(int col) const {
  if (col < 0 || col >= ColumnCount()) throw EListError(Format("List index out of bounds (%d)", {col}));
}

void TRowWriter::SetNull(int col) {
  CheckColumn(col);
  FKinds[col] = static_cast<Byte>(TCellKind::Null);
  FPayload[col] = 0;
}

void TRowWriter::SetInteger(int col, Int64 value) {
  CheckColumn(col);
  FKinds[col] = static_cast<Byte>(TCellKind::Integer);
  FPayload[col] = value;
}

void TRowWriter::SetFloat(int col, double value) {
  CheckColumn(col);
  FKinds[col] = static_cast<Byte>(TCellKind::Float);
  std::memcpy(&FPayload[col], &value, sizeof value);
}

void TRowWriter::SetCurrency(int col, Currency value) {
  CheckColumn(col);
  FKinds[col] = static_cast<Byte>(TCellKind::Currency);
  FPayload[col] = value.Value;
}

void TRowWriter::SetBytes(int col, TCellKind kind, std::string_view value) {
  CheckColumn(col);
  std::size_t offset = FHeader + FTail.size();
  if (value.size() > 0xFFFFFFFFu || offset + value.size() > 0xFFFFFFF0u) throw EDatabaseError("Value too large for a row");
  FKinds[col] = static_cast<Byte>(kind);
  FPayload[col] = static_cast<Int64>((static_cast<std::uint64_t>(offset) << 32) | value.size());
  FTail.append(value);
}

void TRowWriter::SetText(int col, std::string_view value) { SetBytes(col, TCellKind::Text, value); }

void TRowWriter::SetBlob(int col, const void* data, std::size_t size) {
  SetBytes(col, TCellKind::Blob, std::string_view(static_cast<const char*>(data), size));
}

void TRowWriter::SetCell(int col, const TCellView& v) {
  switch (v.Kind) {
    case TCellKind::Null: SetNull(col); break;
    case TCellKind::Integer: SetInteger(col, v.Int); break;
    case TCellKind::Float: SetFloat(col, v.Float); break;
    case TCellKind::Currency: SetCurrency(col, Currency::FromRaw(v.Int)); break;
    case TCellKind::Text:
    case TCellKind::Blob: SetBytes(col, v.Kind, v.Bytes); break;
  }
}

Byte* TRowWriter::Build() const {
  std::size_t size = BlockSize();
  auto* row = static_cast<Byte*>(std::malloc(size ? size : 1));
  if (!row) throw std::bad_alloc();
  BuildInto(row);
  return row;
}

// The kinds and payloads were just stored one by one: they are copied the same way, a byte and
// eight bytes at a time. A wide copy reading across several of those fresh stores cannot take
// its value from them and waits for them to reach the cache, which made this copy the dearest
// step of filling a large result.
void TRowWriter::BuildInto(Byte* row) const {
  const int n = ColumnCount();
  for (int c = 0; c < n; ++c) row[c] = FKinds[c];
  std::memset(row + n, 0, rowlayout::PayloadOffset(n) - n);
  Byte* payload = row + rowlayout::PayloadOffset(n);
  for (int c = 0; c < n; ++c) std::memcpy(payload + 8 * static_cast<std::size_t>(c), &FPayload[c], sizeof(Int64));
  if (!FTail.empty()) std::memcpy(row + FHeader, FTail.data(), FTail.size());
}

// ---------------------------------------------------------------- TRowUpdate

int TRowUpdate::ColumnCount() const { return FDataSet->FColumnCount; }

TCellView TRowUpdate::OldCell(int col) const {
  if (col < 0 || col >= ColumnCount()) throw EListError(Format("List index out of bounds (%d)", {col}));
  return FOldRow ? ReadCell(FOldRow, ColumnCount(), col) : TCellView();
}

TCellView TRowUpdate::NewCell(int col) const {
  if (col < 0 || col >= ColumnCount()) throw EListError(Format("List index out of bounds (%d)", {col}));
  if (static_cast<std::size_t>(col) < FOverrides.size() && FOverrides[col]) return FOverrides[col]->View();
  if (FNewCells && (*FNewAssigned)[col]) return (*FNewCells)[col].View();
  if (FNewCells) return FOldRow ? ReadCell(FOldRow, ColumnCount(), col) : TCellView();
  if (FNewRow) return ReadCell(FNewRow, ColumnCount(), col);
  return TCellView();
}

Variant TRowUpdate::OldValue(int col) const {
  return CellToVariant(OldCell(col), FDataSet->FieldDefs()->Items(col)->DataType());
}

Variant TRowUpdate::NewValue(int col) const {
  return CellToVariant(NewCell(col), FDataSet->FieldDefs()->Items(col)->DataType());
}

void TRowUpdate::SetNewValue(int col, const Variant& value) {
  SetNewCell(col, VariantToCell(value, FDataSet->FieldDefs()->Items(col)->DataType()).View());
}

void TRowUpdate::SetNewCell(int col, const TCellView& value) {
  if (col < 0 || col >= ColumnCount()) throw EListError(Format("List index out of bounds (%d)", {col}));
  if (FOverrides.size() < static_cast<std::size_t>(ColumnCount())) FOverrides.resize(ColumnCount());
  FOverrides[col] = TCellValue(value);
}
