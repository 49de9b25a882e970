#pragma once
// Settings in sections of "Name=Value" lines. Section and key names match without regard to
// case and keep the spelling they were first written with.
// Declares TCustomIniFile, TIniFile and TMemIniFile.
#include "core/Classes.h"
#include <memory>

class TIniDocument;

// Typed access over ReadString/WriteString. A number that is missing or unreadable gives the
// default; a Boolean is read as an integer (0 = False) and written as "1" or "0".
class TCustomIniFile : public TObject {
public:
  explicit TCustomIniFile(const String& FileName) : FFileName(FileName) {}
  const String& FileName() const { return FFileName; }

  virtual String ReadString(const String& Section, const String& Ident, const String& Default) = 0;
  virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
  virtual Integer ReadInteger(const String& Section, const String& Ident, Integer Default);
  virtual void WriteInteger(const String& Section, const String& Ident, Integer Value);
  virtual bool ReadBool(const String& Section, const String& Ident, bool Default);
  virtual void WriteBool(const String& Section, const String& Ident, bool Value);
  virtual double ReadFloat(const String& Section, const String& Ident, double Default);
  virtual void WriteFloat(const String& Section, const String& Ident, double Value);
  // Dates and times in the short date and long time formats of the format settings.
  virtual TDateTime ReadDate(const String& Section, const String& Ident, TDateTime Default);
  virtual void WriteDate(const String& Section, const String& Ident, TDateTime Value);
  virtual TDateTime ReadDateTime(const String& Section, const String& Ident, TDateTime Default);
  virtual void WriteDateTime(const String& Section, const String& Ident, TDateTime Value);
  virtual TDateTime ReadTime(const String& Section, const String& Ident, TDateTime Default);
  virtual void WriteTime(const String& Section, const String& Ident, TDateTime Value);

  // The key names of a section (Strings is cleared first).
  virtual void ReadSection(const String& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  // "Name=Value" for each key of a section.
  virtual void ReadSectionValues(const String& Section, TStrings* Strings) = 0;
  // A section exists while it holds a key.
  virtual bool SectionExists(const String& Section);
  virtual bool ValueExists(const String& Section, const String& Ident);
  virtual void EraseSection(const String& Section) = 0;
  virtual void DeleteKey(const String& Section, const String& Ident) = 0;
  virtual void UpdateFile() = 0;

protected:
  void SetFileName(const String& Value) { FFileName = Value; }
  // Replaces the lines of Strings in one update, so its OnChange fires once.
  static void SetLines(TStrings* Strings, const std::vector<String>& Lines);

private:
  String FFileName;
};

// An INI file read before every read and written after every write, so two accessors of one
// file see each other's changes. The file keeps its comments and layout; each write replaces it
// whole (new file, then rename), so it is never left half written. A value with blanks at its
// ends, or one enclosed in quotes, is written in double quotes, which reading removes.
// Names and values that would break the file (line breaks, '=' or a leading '[' in a key name,
// ']' in a section name) raise EIniFileException; a file that cannot be written raises
// EIniFileException "Unable to write to <file>".
class TIniFile : public TCustomIniFile {
public:
  explicit TIniFile(const String& FileName);
  ~TIniFile() override;

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  void UpdateFile() override {}

private:
  TIniDocument Load() const;
  void Save(const TIniDocument& Doc);
};

// An INI file held in memory: read once when created (or from SetStrings), written by UpdateFile.
class TMemIniFile : public TCustomIniFile {
public:
  explicit TMemIniFile(const String& FileName);
  ~TMemIniFile() override;

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  // Writes the content to FileName (EFCreateError when that fails).
  void UpdateFile() override;

  void Clear();
  // Appends the content, line by line, to List.
  void GetStrings(TStrings* List) const;
  // Replaces the content with the lines of List.
  void SetStrings(TStrings* List);
  // Takes another file name, and its content when Reload.
  void Rename(const String& FileName, bool Reload);
  bool CaseSensitive() const;
  void SetCaseSensitive(bool Value);

private:
  void LoadValues();
  std::unique_ptr<TIniDocument> FDoc;
};
