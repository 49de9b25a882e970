// The desktop shell over Qt's desktop services, with a replaceable handler and messages that
// say what could not be opened.
#include "gui/Shell.h"

#include "core/FileUtils.h"
#include "gui/Application.h"
#include "gui/MessageBox.h"
#include "gui/QtBridge_p.h"
#include "core/StrUtils.h"

#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace {

bool DesktopOpen(const String& Url) { return QDesktopServices::openUrl(QUrl(ToQString(Url), QUrl::TolerantMode)); }

TShellHandler& Handler() {
  static TShellHandler h = DesktopOpen;
  return h;
}

// "scheme:" of at least two characters, so a drive letter ("C:\x") is not a scheme.
String SchemeOf(const String& Target) {
  std::size_t colon = Target.find(':');
  if (colon == String::npos || colon < 2) return String();
  for (std::size_t i = 0; i < colon; ++i) {
    char c = Target[i];
    bool ok = std::isalpha(static_cast<unsigned char>(c)) ||
              (i > 0 && (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'));
    if (!ok) return String();
  }
  return LowerCase(Target.substr(0, colon));
}

String ExistingPath(const String& Target) {
  String p = ResolvePath(Trim(Target));
  return FileExists(p) || DirectoryExists(p) ? ExpandFileName(p) : String();
}

void Open(const String& Target, const String& Url) {
  if (!Handler()(Url)) throw EShellError("No program could open \"" + Target + "\".");
}

}  // namespace

TShellHandler SetShellHandler(TShellHandler Handler_) {
  TShellHandler old = std::move(Handler());
  Handler() = Handler_ ? std::move(Handler_) : TShellHandler(DesktopOpen);
  return old;
}

bool IsSafeLinkUrl(const String& Url) {
  String s = SchemeOf(Trim(Url));
  return s == "http" || s == "https" || s == "mailto";
}

String ShellTargetUrl(const String& Target) {
  String t = Trim(Target);
  if (!SchemeOf(t).empty()) return FromQString(QUrl(ToQString(t), QUrl::TolerantMode).toString(QUrl::FullyEncoded));
  String p = ExistingPath(t);
  return p.empty() ? String() : FromQString(QUrl::fromLocalFile(ToQString(p)).toString(QUrl::FullyEncoded));
}

void ShellOpen(const String& Target) {
  if (Trim(Target).empty()) throw EShellError("Nothing to open: the name is empty.");
  String url = ShellTargetUrl(Target);
  if (url.empty()) throw EShellError("Cannot open \"" + Target + "\": it does not exist.");
  Open(Target, url);
}

void ShellOpenFolderFile(const String& Folder, const String& Name) {
  if (!IsPlainFileName(Name)) throw EShellError("Cannot open \"" + Name + "\": it is no file name.");
  if (!FolderFileExists(Folder, Name)) throw EShellError("Cannot open \"" + Name + "\": it does not exist.");
  String folder = IncludeTrailingPathDelimiter(ResolvePath(Folder));
  QString path = QFileInfo(ToQString(folder) + ToQString(Name)).absoluteFilePath();
  Open(Name, FromQString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)));
}

void ShellShowInFolder(const String& FileName) {
  String p = ExistingPath(FileName);
  if (p.empty()) throw EShellError("Cannot show \"" + FileName + "\": it does not exist.");
  String folder = DirectoryExists(p) ? p : ExtractFileDir(p);
  Open(FileName, FromQString(QUrl::fromLocalFile(ToQString(folder)).toString(QUrl::FullyEncoded)));
}

HINSTANCE ShellExecute(HWND Owner, const String& Operation, const String& File, const String& Parameters,
                       const String& Directory, int ShowCmd) {
  String target = File;
  // A relative name is taken from the given folder.
  if (!Directory.empty() && SchemeOf(File).empty() && !File.empty() && File[0] != '/' && File[0] != '\\')
    target = IncludeTrailingPathDelimiter(Directory) + File;
  HINSTANCE code = 33;
  String message;
  try {
    if (Operation.empty() || SameText(Operation, "open")) ShellOpen(target);
    else if (SameText(Operation, "explore")) ShellShowInFolder(target);
    else {
      code = SE_ERR_NOASSOC;
      message = "Cannot " + Operation + " \"" + File + "\": this system has no program for it.";
    }
  } catch (const EShellError& e) {
    message = e.Message();
    code = ExistingPath(target).empty() && SchemeOf(target).empty() ? SE_ERR_FNF : SE_ERR_NOASSOC;
  }
  if (!message.empty())
    MessageBox(Owner, message, Application ? Application->Title() : String(), MB_OK | MB_ICONERROR);
  return code;
}
