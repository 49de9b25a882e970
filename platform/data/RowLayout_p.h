#pragma once
// The block one stored row occupies, private to the data layer:
//   kinds[n] (one TCellKind byte per column), padding to 8, payload[n] (8 bytes each), tail.
// A payload holds the integer, the double's bits, currency ten-thousandths, or for text and
// blobs the offset of the bytes from the block's start (high 32 bits) and their length (low).
#include "data/Rows.h"

#include <cassert>
#include <cstring>

namespace rowlayout {

inline std::size_t PayloadOffset(int columns) { return (static_cast<std::size_t>(columns) + 7) & ~std::size_t(7); }
inline std::size_t HeaderSize(int columns) { return PayloadOffset(columns) + 8 * static_cast<std::size_t>(columns); }

inline Int64 Payload(const Byte* row, int columns, int col) {
  Int64 p;
  std::memcpy(&p, row + PayloadOffset(columns) + 8 * static_cast<std::size_t>(col), sizeof p);
  return p;
}

inline TCellView ReadCell(const Byte* row, int columns, int col) {
  TCellView v;
  if (!row) return v;
  assert(col >= 0 && col < columns);
  v.Kind = static_cast<TCellKind>(row[col]);
  switch (v.Kind) {
    case TCellKind::Null: break;
    case TCellKind::Integer:
    case TCellKind::Currency: v.Int = Payload(row, columns, col); break;
    case TCellKind::Float: {
      Int64 p = Payload(row, columns, col);
      std::memcpy(&v.Float, &p, sizeof p);
      break;
    }
    case TCellKind::Text:
    case TCellKind::Blob: {
      auto p = static_cast<std::uint64_t>(Payload(row, columns, col));
      v.Bytes = std::string_view(reinterpret_cast<const char*>(row) + (p >> 32), p & 0xFFFFFFFFu);
      break;
    }
  }
  return v;
}

// Whether a value takes no bytes after the header (no text or blob).
inline bool FixedSize(TCellKind k) { return k != TCellKind::Text && k != TCellKind::Blob; }

// Puts a value that takes no bytes after the header into a block in place.
inline void WriteFixedCell(Byte* row, int columns, int col, const TCellView& v) {
  assert(col >= 0 && col < columns && FixedSize(v.Kind));
  Int64 p = 0;
  if (v.Kind == TCellKind::Integer || v.Kind == TCellKind::Currency) p = v.Int;
  else if (v.Kind == TCellKind::Float) std::memcpy(&p, &v.Float, sizeof p);
  row[col] = static_cast<Byte>(v.Kind);
  std::memcpy(row + PayloadOffset(columns) + 8 * static_cast<std::size_t>(col), &p, sizeof p);
}

// Bytes in use: the header and the furthest end of any text.
inline std::size_t RowSize(const Byte* row, int columns) {
  std::size_t end = HeaderSize(columns);
  for (int c = 0; c < columns; ++c) {
    auto k = static_cast<TCellKind>(row[c]);
    if (k == TCellKind::Text || k == TCellKind::Blob) {
      auto p = static_cast<std::uint64_t>(Payload(row, columns, c));
      end = std::max<std::size_t>(end, (p >> 32) + (p & 0xFFFFFFFFu));
    }
  }
  return end;
}

}  // namespace rowlayout
