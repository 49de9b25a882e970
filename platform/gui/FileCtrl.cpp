// Drive, folder, file and filter lists.
#include "gui/FileCtrl.h"

#include "core/ClassBuilder.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace ctrl_utils;

namespace {

std::function<std::vector<String>()>& DriveSource() {
  static std::function<std::vector<String>()> f;
  return f;
}

// /proc/mounts writes blanks and other bytes of a mount point as octal escapes.
String UnescapeMountPath(const String& s) {
  String out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '7'; };
    if (s[i] == '\\' && digit(i + 1) && digit(i + 2) && digit(i + 3)) {
      int v = (s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0');
      out += static_cast<char>(v);
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::vector<String> SystemDrives() {
  std::vector<String> drives{"/"};
  if (const char* home = std::getenv("HOME"); home && *home && String(home) != "/" && DirectoryExists(home))
    drives.push_back(ExcludeTrailingPathDelimiter(home));
  std::vector<String> media;
  std::ifstream mounts("/proc/mounts");
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream in(line);
    std::string dev, dir;
    in >> dev >> dir;
    String path = UnescapeMountPath(dir);
    if (StartsStr("/media/", path) || StartsStr("/mnt/", path) || StartsStr("/run/media/", path)) media.push_back(path);
  }
  std::sort(media.begin(), media.end(), [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; });
  for (const String& m : media)
    if (std::find(drives.begin(), drives.end(), m) == drives.end()) drives.push_back(m);
  return drives;
}

String NormalDir(const String& Path) {
  String p = ExpandFileName(Path);
  if (p.size() > 1) p = ExcludeTrailingPathDelimiter(p);
  return p;
}

String JoinPath(const String& Dir, const String& Name) { return Dir == "/" ? "/" + Name : Dir + "/" + Name; }

String CurrentFolder() { return NormalDir("."); }

// The pieces of S between the Separator characters (one piece more than separators).
std::vector<String> SplitAt(const String& S, char Separator) {
  std::vector<String> parts;
  String cur;
  for (char c : S) {
    if (c == Separator) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

void FrameIn(HDC DC, const TRect& R, COLORREF Color) {
  HBRUSH b = CreateSolidBrush(Color);
  FrameRect(DC, R, b);
  DeleteObject(b);
}

// The small pictures of the lists: a folder (open or shut), a file, a drive.
void DrawFolderGlyph(HDC DC, int X, int Y, bool Open) {
  COLORREF edge = RGB(128, 128, 0), face = Open ? RGB(255, 255, 160) : RGB(255, 255, 0);
  Fill(DC, {X + 1, Y + 3, X + 15, Y + 13}, face);
  Fill(DC, {X + 1, Y + 1, X + 7, Y + 3}, face);
  FrameIn(DC, {X, Y + 2, X + 16, Y + 14}, edge);
  FrameIn(DC, {X, Y, X + 8, Y + 3}, edge);
  if (Open) Line(DC, X + 3, Y + 6, X + 15, Y + 6, edge);
}

void DrawFileGlyph(HDC DC, int X, int Y) {
  Fill(DC, {X + 3, Y + 1, X + 13, Y + 15}, RGB(255, 255, 255));
  FrameIn(DC, {X + 3, Y + 1, X + 13, Y + 15}, RGB(0, 0, 0));
  for (int i = 0; i < 4; ++i) Line(DC, X + 5, Y + 4 + i * 3, X + 11, Y + 4 + i * 3, RGB(128, 128, 128));
}

void DrawDriveGlyph(HDC DC, int X, int Y) {
  Fill(DC, {X + 1, Y + 5, X + 15, Y + 12}, RGB(192, 192, 192));
  FrameIn(DC, {X + 1, Y + 5, X + 15, Y + 12}, RGB(0, 0, 0));
  Fill(DC, {X + 11, Y + 9, X + 13, Y + 10}, RGB(0, 255, 0));
}

}  // namespace

std::vector<String> AvailableDrives() { return DriveSource() ? DriveSource()() : SystemDrives(); }

void SetDriveSource(std::function<std::vector<String>()> Source) { DriveSource() = std::move(Source); }

String DriveOfPath(const String& Path) {
  String best = "/";
  for (const String& d : AvailableDrives())
    if (d.size() > best.size() && (Path == d || StartsStr(d + "/", Path))) best = d;
  return best;
}

// ================================================================ TDriveComboBox

KELM_PUBLISH(TDriveComboBox) { Published(b); }

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetStyle(csOwnerDrawFixed);
  SetItemHeight(16);
  BuildList();
  SetDrive(DriveOfPath(CurrentFolder()));
}

TDriveComboBox::~TDriveComboBox() { Destroying(); }

void TDriveComboBox::BuildList() {
  Items()->BeginUpdate();
  Items()->Clear();
  for (const String& d : AvailableDrives()) Items()->Add(d);
  Items()->EndUpdate();
  int i = Items()->IndexOf(FDrive);
  if (i >= 0) SetItemIndex(i);
}

void TDriveComboBox::SetDrive(const String& Value) {
  int i = Items()->IndexOf(Value);
  if (i < 0) {
    // A path on some drive picks that drive.
    i = Items()->IndexOf(DriveOfPath(Value));
    if (i < 0) return;
  }
  String d = Items()->Strings(i);
  SetItemIndex(i);
  // The folder list goes to the drive whenever it is elsewhere, also when the list was only
  // positioned on a stored drive before.
  if (FDirList && FDirList->Drive() != d) FDirList->SetDrive(d);
  if (d == FDrive) return;
  FDrive = d;
  Change();
}

void TDriveComboBox::Click() {
  TCustomComboBox::Click();
  if (ItemIndex() >= 0) SetDrive(Items()->Strings(ItemIndex()));
}

void TDriveComboBox::SetDirList(TDirectoryListBox* Value) {
  if (FDirList == Value) return;
  if (FDirList) FDirList->RemoveFreeNotification(this);
  FDirList = Value;
  if (Value) Value->FreeNotification(this);
}

void TDriveComboBox::SetTextCase(TTextCase Value) {
  FTextCase = Value;
  Invalidate();
}

void TDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDirList) FDirList = nullptr;
}

void TDriveComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    TCustomComboBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  DrawDriveGlyph(c->Handle(), Rect.Left + 2, Rect.Top + (Rect.Height() - 16) / 2);
  String t = Items()->Strings(Index);
  if (FTextCase == tcUpperCase) t = AnsiUpperCase(t);
  TRect r = Rect;
  r.Left += 22;
  DrawText(c->Handle(), t, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// ================================================================ TDirectoryListBox

KELM_PUBLISH(TDirectoryListBox) { Published(b); }

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  SetItemHeight(16);
  SetAutoComplete(false);
  FDirectory = CurrentFolder();
  ReadDirectories();
}

TDirectoryListBox::~TDirectoryListBox() { Destroying(); }

String TDirectoryListBox::Drive() const { return DriveOfPath(FDirectory); }

void TDirectoryListBox::SetDrive(const String& Value) {
  if (DriveOfPath(FDirectory) == Value) return;
  SetDirectory(Value);
}

void TDirectoryListBox::SetDirectory(const String& Value) {
  if (Value.empty()) return;  // nothing stored yet: the list stays where it is
  String d = NormalDir(ResolvePath(Value));
  if (!DirectoryExists(d)) throw EInOutError("Directory not found: " + Value);
  if (d == FDirectory && !FEntries.empty()) return;
  FDirectory = d;
  ReadDirectories();
  Change();
}

void TDirectoryListBox::ReadDirectories() {
  FEntries.clear();
  // The path from the root down, then the folders of the current one.
  std::vector<String> parts;
  String rest = FDirectory;
  while (rest.size() > 1) {
    parts.insert(parts.begin(), rest);
    std::size_t slash = rest.rfind('/');
    rest = slash == 0 ? "/" : rest.substr(0, slash);
  }
  parts.insert(parts.begin(), "/");
  for (std::size_t i = 0; i < parts.size(); ++i) FEntries.push_back({parts[i], static_cast<int>(i), true});
  std::vector<String> subs;
  TSearchRec sr;
  if (FindFirst(JoinPath(FDirectory, "*"), faDirectory, sr) == 0) {
    do {
      if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..") subs.push_back(sr.Name);
    } while (FindNext(sr) == 0);
    FindClose(sr);
  }
  std::sort(subs.begin(), subs.end(), [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; });
  int level = static_cast<int>(parts.size());
  for (const String& s : subs) FEntries.push_back({JoinPath(FDirectory, s), level, false});
  Items()->BeginUpdate();
  Items()->Clear();
  for (const TEntry& e : FEntries) Items()->Add(e.Path == "/" ? String("/") : ExtractFileName(e.Path));
  Items()->EndUpdate();
  SetItemIndex(static_cast<int>(parts.size()) - 1);
}

void TDirectoryListBox::Update() {
  ReadDirectories();
  if (FFileList) FFileList->Update();
}

String TDirectoryListBox::GetItemPath(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FEntries.size())) return String();
  return FEntries[static_cast<std::size_t>(Index)].Path;
}

void TDirectoryListBox::OpenCurrent() {
  int i = ItemIndex();
  if (i >= 0) SetDirectory(GetItemPath(i));
}

void TDirectoryListBox::Change() {
  if (FFileList) FFileList->SetDirectory(FDirectory);
  if (FDirLabel) FDirLabel->SetCaption(FDirectory);
  OnChange(this);
}

void TDirectoryListBox::DblClick() {
  OpenCurrent();
  TCustomListBox::DblClick();
}

void TDirectoryListBox::KeyPress(Char& Key) {
  TCustomListBox::KeyPress(Key);
  if (Key == '\r') {
    OpenCurrent();
    Key = 0;
  }
}

void TDirectoryListBox::SetFileList(TFileListBox* Value) {
  if (FFileList == Value) return;
  if (FFileList) FFileList->RemoveFreeNotification(this);
  FFileList = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetDirectory(FDirectory);
  }
}

void TDirectoryListBox::SetDirLabel(TCustomLabel* Value) {
  if (FDirLabel == Value) return;
  if (FDirLabel) FDirLabel->RemoveFreeNotification(this);
  FDirLabel = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetCaption(FDirectory);
  }
}

void TDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FFileList) FFileList = nullptr;
  if (AComponent == FDirLabel) FDirLabel = nullptr;
}

void TDirectoryListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    TCustomListBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= static_cast<int>(FEntries.size())) return;
  const TEntry& e = FEntries[static_cast<std::size_t>(Index)];
  int x = Rect.Left + 2 + e.Level * 10;
  DrawFolderGlyph(c->Handle(), x, Rect.Top + (Rect.Height() - 14) / 2, e.Opened);
  c->TextOut(x + 20, Rect.Top + (Rect.Height() - c->TextHeight("Wg")) / 2, Items()->Strings(Index));
}

// ================================================================ TFileListBox

KELM_PUBLISH(TFileListBox) { Published(b); }

TFileListBox::TFileListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetSorted(false);
  FDirectory = CurrentFolder();
  ReadFileNames();
}

TFileListBox::~TFileListBox() { Destroying(); }

void TFileListBox::Loaded() {
  TCustomListBox::Loaded();
  ReadFileNames();
}

void TFileListBox::SetDirectory(const String& Value) {
  String d = NormalDir(ResolvePath(Value));
  if (d == FDirectory) return;
  FDirectory = d;
  ReadFileNames();
  Change();
}

void TFileListBox::SetMask(const String& Value) {
  String m = Value.empty() ? String("*.*") : Value;
  if (m == FMask) return;
  FMask = m;
  ReadFileNames();
  Change();
}

void TFileListBox::SetFileType(TFileType Value) {
  if (FFileType == Value) return;
  FFileType = Value;
  ReadFileNames();
}

void TFileListBox::SetShowGlyphs(bool Value) {
  if (FShowGlyphs == Value) return;
  FShowGlyphs = Value;
  SetStyle(Value ? lbOwnerDrawFixed : lbStandard);
  if (Value) SetItemHeight(std::max(16, ItemHeight()));
  Invalidate();
}

void TFileListBox::ReadFileNames() {
  if (ComponentState().Contains(csLoading)) return;
  std::vector<String> masks;
  for (const String& part : SplitAt(FMask, ';'))
    if (String m = Trim(part); !m.empty()) masks.push_back(m);
  std::vector<String> dirs, files;
  int attr = faReadOnly | faArchive;
  if (FFileType.Contains(ftHidden)) attr |= faHidden;
  if (FFileType.Contains(ftSystem)) attr |= faSysFile;
  if (FFileType.Contains(ftDirectory)) attr |= faDirectory;
  TSearchRec sr;
  if (FindFirst(JoinPath(FDirectory, "*"), attr, sr) == 0) {
    do {
      if (sr.Name == "." || sr.Name == "..") continue;
      if (sr.Attr & faDirectory) {
        if (FFileType.Contains(ftDirectory)) dirs.push_back("[" + sr.Name + "]");
        continue;
      }
      bool normal = (sr.Attr & (faReadOnly | faHidden | faSysFile)) == 0;
      bool wanted = (normal && FFileType.Contains(ftNormal)) || ((sr.Attr & faReadOnly) && FFileType.Contains(ftReadOnly)) ||
                    ((sr.Attr & faHidden) && FFileType.Contains(ftHidden)) || ((sr.Attr & faSysFile) && FFileType.Contains(ftSystem));
      if (!wanted) continue;
      for (const String& m : masks)
        if (MatchesFileMask(sr.Name, m)) {
          files.push_back(sr.Name);
          break;
        }
    } while (FindNext(sr) == 0);
    FindClose(sr);
  }
  auto byName = [](const String& a, const String& b) { return AnsiCompareText(a, b) < 0; };
  std::sort(files.begin(), files.end(), byName);
  std::sort(dirs.begin(), dirs.end(), byName);
  Items()->BeginUpdate();
  Items()->Clear();
  for (const String& f : files) Items()->Add(f);
  for (const String& d : dirs) Items()->Add(d);
  Items()->EndUpdate();
}

void TFileListBox::Update() {
  String selected = ItemIndex() >= 0 ? Items()->Strings(ItemIndex()) : String();
  ReadFileNames();
  if (!selected.empty()) SetItemIndex(Items()->IndexOf(selected));
}

String TFileListBox::FileName() const {
  int i = ItemIndex();
  if (i < 0 || (MultiSelect() && !Selected(i))) return String();
  String name = Items()->Strings(i);
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  return JoinPath(FDirectory, name);
}

void TFileListBox::SetFileName(const String& Value) {
  String path = ResolvePath(Value);
  String dir = ExtractFilePath(path);
  if (!dir.empty()) SetDirectory(dir);
  String name = ExtractFileName(path);
  int i = Items()->IndexOf(name);
  SetItemIndex(i);
  Change();
}

void TFileListBox::ApplyFilePath(const String& EditText) {
  String dir = ExtractFilePath(EditText);
  String name = ExtractFileName(EditText);
  if (!dir.empty() && DirectoryExists(ResolvePath(dir))) SetDirectory(dir);
  if (name.find_first_of("*?") != String::npos) SetMask(name);
  else if (!name.empty()) SetFileName(JoinPath(FDirectory, name));
}

void TFileListBox::Click() {
  TCustomListBox::Click();
  if (FFileEdit) FFileEdit->SetText(ItemIndex() >= 0 ? ExtractFileName(FileName()) : FMask);
  Change();
}

void TFileListBox::Change() {
  String now = FileName();
  if (now == FLastSelected) return;
  FLastSelected = now;
  OnChange(this);
}

void TFileListBox::SetFileEdit(TCustomEdit* Value) {
  if (FFileEdit == Value) return;
  if (FFileEdit) FFileEdit->RemoveFreeNotification(this);
  FFileEdit = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetText(ItemIndex() >= 0 ? ExtractFileName(FileName()) : FMask);
  }
}

void TFileListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomListBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFileEdit) FFileEdit = nullptr;
}

void TFileListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    TCustomListBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  String name = Items()->Strings(Index);
  int x = Rect.Left + 2;
  if (FShowGlyphs) {
    int y = Rect.Top + (Rect.Height() - 16) / 2;
    if (name.size() > 2 && name.front() == '[') DrawFolderGlyph(c->Handle(), x, y + 1, false);
    else DrawFileGlyph(c->Handle(), x, y);
    x += 20;
  }
  c->TextOut(x, Rect.Top + (Rect.Height() - c->TextHeight("Wg")) / 2, name);
}

// ================================================================ TFilterComboBox

KELM_PUBLISH(TFilterComboBox) { Published(b); }

TFilterComboBox::TFilterComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetStyle(csDropDownList);
  BuildList();
}

TFilterComboBox::~TFilterComboBox() { Destroying(); }

void TFilterComboBox::Loaded() {
  TCustomComboBox::Loaded();
  BuildList();
}

void TFilterComboBox::SetFilter(const String& Value) {
  if (FFilter == Value) return;
  FFilter = Value;
  BuildList();
}

void TFilterComboBox::BuildList() {
  if (ComponentState().Contains(csLoading)) return;
  FMasks.clear();
  Items()->BeginUpdate();
  Items()->Clear();
  std::vector<String> parts = SplitAt(FFilter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    Items()->Add(parts[i]);
    FMasks.push_back(parts[i + 1]);
  }
  Items()->EndUpdate();
  if (!FMasks.empty()) SetItemIndex(0);
  if (FFileList) FFileList->SetMask(Mask());
}

String TFilterComboBox::Mask() const {
  int i = ItemIndex();
  return i >= 0 && i < static_cast<int>(FMasks.size()) ? FMasks[static_cast<std::size_t>(i)] : String("*.*");
}

void TFilterComboBox::Click() {
  TCustomComboBox::Click();
  if (FFileList) FFileList->SetMask(Mask());
}

void TFilterComboBox::SetFileList(TFileListBox* Value) {
  if (FFileList == Value) return;
  if (FFileList) FFileList->RemoveFreeNotification(this);
  FFileList = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetMask(Mask());
  }
}

void TFilterComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFileList) FFileList = nullptr;
}
