#pragma once
// The settings store with keys and typed values, kept in one text file per root under the
// user's configuration folder ($XDG_CONFIG_HOME/kelm/, by default ~/.config/kelm/).
//
// Every TRegistry of the process shares one copy of each root, so a second object sees what the
// first wrote at once. Changes reach the file when the writing object closes its key (or is
// freed, or FlushStores runs); the file is replaced whole through a temporary file that is
// flushed to disk first, so a crash leaves the old or the new store, never a broken one. Changes
// another process saved meanwhile are merged in before writing.
// Declares TRegDataInfo, TRegistry and TRegistryIniFile.
#include "core/IniFiles.h"
#include <cstdint>

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

// Key names are separated by '\'; a leading '\' starts from the root, otherwise a name is taken
// from the open key. Key and value names match without regard to case.
// Reading a missing value raises ERegistryException "Failed to get data for '<name>'", one of
// another type "Invalid data type for '<name>'"; writing without an open key or through a
// read-only one raises "Failed to set data for '<name>'".
class TRegistry : public TObject {
public:
  TRegistry();  // HKEY_CURRENT_USER
  ~TRegistry() override;

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY Value);
  // The open key's path without a leading '\', as it was named.
  const String& CurrentPath() const { return FCurrentPath; }
  bool KeyIsOpen() const { return FOpen; }
  // Changes are written when the key closes either way; kept for code that sets it.
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool Value) { FLazyWrite = Value; }

  bool OpenKey(const String& Key, bool CanCreate);
  bool OpenKeyReadOnly(const String& Key);
  void CloseKey();
  bool CreateKey(const String& Key);  // raises "Failed to create key <key>" when it cannot
  bool DeleteKey(const String& Key);  // with everything under it
  bool KeyExists(const String& Key);
  bool HasSubKeys();
  void GetKeyNames(TStrings* Strings);    // sorted without regard to case
  void GetValueNames(TStrings* Strings);  // in the order they were created

  bool ValueExists(const String& Name);
  bool DeleteValue(const String& Name);
  void RenameValue(const String& OldName, const String& NewName);
  TRegDataType GetDataType(const String& ValueName);
  int GetDataSize(const String& ValueName);  // -1 when missing; strings count a closing zero
  bool GetDataInfo(const String& ValueName, TRegDataInfo& Value);

  String ReadString(const String& Name);  // '' when missing
  void WriteString(const String& Name, const String& Value);
  void WriteExpandString(const String& Name, const String& Value);
  Integer ReadInteger(const String& Name);
  void WriteInteger(const String& Name, Integer Value);
  bool ReadBool(const String& Name);  // an integer, 0 = False
  void WriteBool(const String& Name, bool Value);
  // Floats, dates and times are eight bytes of binary data.
  double ReadFloat(const String& Name);
  void WriteFloat(const String& Name, double Value);
  TDateTime ReadDateTime(const String& Name) { return ReadFloat(Name); }
  void WriteDateTime(const String& Name, TDateTime Value) { WriteFloat(Name, Value); }
  TDateTime ReadDate(const String& Name) { return ReadFloat(Name); }
  void WriteDate(const String& Name, TDateTime Value) { WriteFloat(Name, Value); }
  TDateTime ReadTime(const String& Name) { return ReadFloat(Name); }
  void WriteTime(const String& Name, TDateTime Value) { WriteFloat(Name, Value); }
  // The size of the data; 0 when missing; raises when the value is no binary data or does not fit.
  int ReadBinaryData(const String& Name, void* Buffer, int BufSize);
  TBytes ReadBinaryData(const String& Name);
  void WriteBinaryData(const String& Name, const void* Buffer, int BufSize);

  // Writes every change not yet in the files.
  static void FlushStores();
  // The file that holds a root, for the current environment.
  static String StoreFileName(HKEY Root);

private:
  // The path of a key name, and the name to show for it in Display.
  std::vector<String> ResolveKey(const String& Key, String* Display = nullptr) const;
  void ChangeKey(std::vector<String> Path, String Display, bool ReadOnly);
  template <class TStore> void KeyChanged(TStore& Store);
  void GetNames(TStrings* Strings, bool SubKeys) const;
  void CheckWritable(const String& Name) const;
  bool ReadValue(const String& Name, TRegDataType& Type, String& Data) const;
  // The data of a value that must exist with the type (ERegistryException otherwise).
  String ReadData(const String& Name, TRegDataType Type) const;
  void WriteValue(const String& Name, TRegDataType Type, const String& Data);

  HKEY FRootKey = HKEY_CURRENT_USER;
  bool FOpen = false;
  bool FReadOnly = false;
  bool FLazyWrite = true;
  bool FWrote = false;
  std::vector<String> FPath;
  String FCurrentPath;
};

// Settings in sections over the store: the file name is a key under HKEY_CURRENT_USER
// ("\Software\Maker\Program"), each section a subkey of it and each value a key of the section.
// Integers and Booleans read from text or integer values alike.
class TRegistryIniFile : public TCustomIniFile {
public:
  explicit TRegistryIniFile(const String& FileName);
  ~TRegistryIniFile() override;

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  Integer ReadInteger(const String& Section, const String& Ident, Integer Default) override;
  void WriteInteger(const String& Section, const String& Ident, Integer Value) override;
  double ReadFloat(const String& Section, const String& Ident, double Default) override;
  void WriteFloat(const String& Section, const String& Ident, double Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  void UpdateFile() override;

  TRegistry* RegIniFile() { return &FReg; }

private:
  bool OpenSection(const String& Section, bool CanCreate);
  template <class F> bool InSection(const String& Section, bool CanCreate, F&& Action);
  String FBase;
  TRegistry FReg;
};
