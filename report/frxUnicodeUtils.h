#pragma once
// TWideStrings, the report library's list of Unicode text lines: the text of memo objects,
// read by the text layout and reachable from report scripts. Lines are UTF-8 Strings counted
// in characters, each with an object pointer the list never owns.
//
// Plain text streams and files are UTF-16 little-endian with a byte-order mark; text without
// the mark is read as 8-bit text (UTF-8 when it is valid UTF-8, else GBK). In component
// streams the lines go out as the list property "UTF8"; the older property "Strings" is read.
#include "core/Persistent.h"

#include <vector>

class TStream;
class TStrings;

class TWideStrings : public TPersistent {
  KELM_CLASS(TWideStrings, TPersistent)
public:
  TWideStrings() = default;
  ~TWideStrings() override = default;

  int Count() const { return static_cast<int>(FLines.size()); }
  // '' outside 0 .. Count-1.
  String Strings(int Index) const;
  // Replaces a line (keeping its object); Index = Count appends; any other index raises
  // "Wide String Out of Bounds".
  void SetStrings(int Index, const String& S);
  TObject* Objects(int Index) const;                // nullptr outside the list
  void SetObjects(int Index, TObject* AObject);     // ignored outside the list

  int Add(const String& S);
  int AddObject(const String& S, TObject* AObject);
  // Inserts before Index; Index = Count appends; any other index raises
  // "Wide String Out of Bounds".
  void Insert(int Index, const String& S);
  void Delete(int Index);                           // EListError outside the list
  int IndexOf(const String& S) const;               // exact; -1 when none
  void Clear() { FLines.clear(); }
  void AppendAll(const TWideStrings* Source);

  // Every line followed by CR LF. Writing breaks at CR, LF and U+2028: after a line at most
  // one CR, then one LF, then one U+2028 are taken as its end.
  String Text() const;
  void SetText(const String& Value);

  // From another TWideStrings or a TStrings; others raise the "cannot assign" error.
  void Assign(TPersistent* Source) override;
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName) const;

protected:
  // Into a TWideStrings or a TStrings (inside one update bracket).
  void AssignTo(TPersistent* Dest) override;
  void DefineProperties(TFiler* Filer) override;

private:
  struct TLine {
    String Text;
    TObject* Object = nullptr;
  };
  std::vector<TLine> FLines;
};

// The text of an 8-bit text file: kept when it is valid UTF-8, else read as GBK.
String EightBitTextToUtf8(const String& Bytes);
