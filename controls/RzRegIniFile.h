#pragma once
// The settings-store component: where settings would be kept (TRzRegIniFile).
#include "controls/RzCommonPaint.h"

// Holds where settings would be kept (an INI file or a registry key); nothing here reads or
// writes through it.
class TRzRegIniFile : public TComponent {
  KELM_CLASS(TRzRegIniFile, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Path", &TRzRegIniFile::Path, &TRzRegIniFile::SetPath);
    b.Prop("PathType", &TRzRegIniFile::PathType, &TRzRegIniFile::SetPathType).Default(ptIniFile);
    b.Prop("RegKey", &TRzRegIniFile::RegKey, &TRzRegIniFile::SetRegKey).Default(hkeyCurrentUser);
    b.Prop("RegAccess", &TRzRegIniFile::RegAccess, &TRzRegIniFile::SetRegAccess).Type("TRzRegAccess").Default(TRzRegAccess{keyAllAccess});
  }
public:
  explicit TRzRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

  String Path() const { return FPath; }
  virtual void SetPath(const String& Value);
  TRzPathType PathType() const { return FPathType; }
  virtual void SetPathType(TRzPathType Value);
  TRzRegKey RegKey() const { return FRegKey; }
  virtual void SetRegKey(TRzRegKey Value);
  TRzRegAccess RegAccess() const { return FRegAccess; }
  virtual void SetRegAccess(TRzRegAccess Value);
  // The storage must be rebuilt before its next use.
  bool RefreshStorage() const { return FRefreshStorage; }

private:
  String FPath;
  TRzPathType FPathType = ptIniFile;
  TRzRegKey FRegKey = hkeyCurrentUser;
  TRzRegAccess FRegAccess{keyAllAccess};
  bool FRefreshStorage = true;
};
