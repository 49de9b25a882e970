#pragma once
// The clipboard: text, pictures, and data in formats registered by name, several formats
// placed together.
//
// Formats travel as MIME types so other programs understand them: text (plain and Unicode)
// as "text/plain" in UTF-8, "Csv" as "text/csv", "Rich Text Format" as "text/rtf", the grid's
// "VCLDBIF" as "application/x-kelm-grid", pictures as images, any other registered name as a
// type of this system's own. Raw bytes come back exactly as they were placed: no terminating
// zero is added or expected (a trailing zero given with text is a terminator and dropped).
//
//   Clipboard()->Open();                 // what follows replaces the clipboard at Close
//   Clipboard()->SetAsText(tsv);
//   Clipboard()->SetAsBytes(CsvFormat, csv.data(), csv.size());
//   Clipboard()->Close();
// Declares TClipboard.
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <functional>
#include <memory>

class TMimeData;  // private to Clipbrd.cpp

constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_UNICODETEXT = 13;

// The identifier of a named format: the same name (in any case) gives the same identifier
// for the life of the process; 0 for an empty name.
UINT RegisterClipboardFormat(const String& Name);
// The registered name, '' for a predefined or unknown format.
String GetClipboardFormatName(UINT Format);
// The MIME type a format travels as ('' for an unknown format).
String ClipboardFormatMimeType(UINT Format);

class TClipboard : public TPersistent {
  KELM_CLASS(TClipboard, TPersistent)
public:
  TClipboard();
  ~TClipboard() override;

  // Opens are counted; writes after the first Open replace the clipboard's content, together,
  // when the last Close comes. A write outside Open replaces the content at once.
  void Open();
  void Close();
  bool IsOpen() const { return FOpenCount > 0; }
  // Empties the clipboard (within Open: what was written so far in this opening).
  void Clear();

  bool HasFormat(UINT Format) const;
  // The formats present now.
  int FormatCount() const;
  UINT Formats(int Index) const;

  String AsText() const;
  void SetAsText(const String& Value);
  // The bytes of a format; empty when it is not there (reading never fails otherwise). Text
  // formats give their text: UTF-8 for CF_TEXT, UTF-16LE code units for CF_UNICODETEXT.
  TBytes GetAsBytes(UINT Format) const;
  void SetAsBytes(UINT Format, const void* Data, std::size_t Size);
  void SetAsBytes(UINT Format, const TBytes& Data) { SetAsBytes(Format, Data.data(), Data.size()); }
  // The text into a buffer of BufSize bytes (NUL-terminated, whole characters); the
  // characters copied.
  int GetTextBuf(char* Buffer, int BufSize) const;
  void SetTextBuf(const char* Buffer) { SetAsText(Buffer ? Buffer : ""); }

  // Places a picture (TBitmap, TPicture, TGraphic); reading one: Dest->Assign(Clipboard()).
  void Assign(TPersistent* Source) override;

  // The clipboard's content changed (in this program or another).
  TNotifyEvent OnChange;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  struct TImpl;  // the data's Qt side, private to Clipbrd.cpp

  int FOpenCount = 0;
  std::unique_ptr<TMimeData> FPending;  // written during the current opening
  struct TWatch;
  std::unique_ptr<TWatch> FWatch;  // follows the system clipboard's changes
};

// The process-wide clipboard (made on first use).
TClipboard* Clipboard();
// Replaces it (tests); returns the previous one, which the caller then owns; nullptr makes a
// new one on next use.
TClipboard* SetClipboard(TClipboard* NewClipboard);
