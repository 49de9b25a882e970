#pragma once
// Drive, folder, file and filter lists, linked as a file picker inside a window: the drive
// list changes the folder list's drive, the folder list the file list's folder (and a label's
// caption), the filter list the file list's mask.
//
// This system has no drive letters: a "drive" is the root of a file system the user can
// reach — the root folder, the home folder and the mounted media — and Drive holds its path.
// Declares TDriveComboBox, TDirectoryListBox, TFileListBox and TFilterComboBox.
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/StdCtrls.h"

#include <functional>
#include <vector>

class TDirectoryListBox;
class TFileListBox;
class TFilterComboBox;

KELM_ENUM(TFileAttr, ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal)
using TFileType = TSet<TFileAttr>;
KELM_ENUM(TTextCase, tcLowerCase, tcUpperCase)

// The drives offered: the root folder, the home folder, then mounted media in name order.
// Tests may replace the source; an empty function restores the system's.
std::vector<String> AvailableDrives();
void SetDriveSource(std::function<std::vector<String>()> Source);
// The drive a path lies on: the longest drive path it starts with.
String DriveOfPath(const String& Path);

class TDriveComboBox : public TCustomComboBox {
  KELM_CLASS(TDriveComboBox, TCustomComboBox)
  template <class B> static void Published(B& b) {
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragMode(b);
    PublishDragCursor(b);
    b.Prop("DirList", &TDriveComboBox::DirList, &TDriveComboBox::SetDirList);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishParentColor(b).Default(false);
    PublishTabStop(b).Default(true);
    b.Prop("TextCase", &TDriveComboBox::TextCase, &TDriveComboBox::SetTextCase).Default(tcLowerCase);
    PublishVisible(b);
    b.Prop("OnChange", &TDriveComboBox::OnChange, &TDriveComboBox::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDropDown", &TDriveComboBox::OnDropDown, &TDriveComboBox::OnDropDown);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDriveComboBox(TComponent* AOwner);
  ~TDriveComboBox() override;

  const String& Drive() const { return FDrive; }
  // Selects the drive (its item) and moves the linked folder list to it.
  void SetDrive(const String& Value);
  TDirectoryListBox* DirList() const { return FDirList; }
  void SetDirList(TDirectoryListBox* Value);
  TTextCase TextCase() const { return FTextCase; }
  void SetTextCase(TTextCase Value);
  // Reads the drives again.
  void BuildList();

  void Click() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
  String FDrive;
  TDirectoryListBox* FDirList = nullptr;
  TTextCase FTextCase = tcLowerCase;
};

// The folders from the drive's root down to the current one, opened, and the current one's
// folders under it. A double click (or Enter) opens the folder under the cursor.
class TDirectoryListBox : public TCustomListBox {
  KELM_CLASS(TDirectoryListBox, TCustomListBox)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DirLabel", &TDirectoryListBox::DirLabel, &TDirectoryListBox::SetDirLabel);
    b.Prop("FileList", &TDirectoryListBox::FileList, &TDirectoryListBox::SetFileList);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("IntegralHeight", &TDirectoryListBox::IntegralHeight, &TDirectoryListBox::SetIntegralHeight).Default(false);
    b.Prop("ItemHeight", &TDirectoryListBox::ItemHeight, &TDirectoryListBox::SetItemHeight).Default(16);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishParentColor(b).Default(false);
    PublishTabStop(b).Default(true);
    b.Prop("OnChange", &TDirectoryListBox::OnChange, &TDirectoryListBox::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDirectoryListBox(TComponent* AOwner);
  ~TDirectoryListBox() override;

  const String& Directory() const { return FDirectory; }
  // Opens a folder: the list, the linked file list and label follow; OnChange runs. A folder
  // that does not exist raises EInOutError and changes nothing.
  void SetDirectory(const String& Value);
  String Drive() const;
  void SetDrive(const String& Value);
  TFileListBox* FileList() const { return FFileList; }
  void SetFileList(TFileListBox* Value);
  TCustomLabel* DirLabel() const { return FDirLabel; }
  void SetDirLabel(TCustomLabel* Value);
  // The full path of an item.
  String GetItemPath(int Index) const;
  // Opens the folder of the selected item.
  void OpenCurrent();
  // Reads the folders again.
  void Update();

  TNotifyEvent OnChange;

protected:
  void DblClick() override;
  void KeyPress(Char& Key) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  virtual void Change();

private:
  struct TEntry {
    String Path;
    int Level = 0;
    bool Opened = false;
  };
  void ReadDirectories();
  std::vector<TEntry> FEntries;
  String FDirectory;
  TFileListBox* FFileList = nullptr;
  TCustomLabel* FDirLabel = nullptr;
  bool FInSetDir = false;
};

// The files of a folder that match the mask ("*.MDB", several separated by ';', compared
// without regard to case), in name order.
class TFileListBox : public TCustomListBox {
  KELM_CLASS(TFileListBox, TCustomListBox)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("ExtendedSelect", &TFileListBox::ExtendedSelect, &TFileListBox::SetExtendedSelect).Default(true);
    b.Prop("FileEdit", &TFileListBox::FileEdit, &TFileListBox::SetFileEdit);
    b.Prop("FileType", &TFileListBox::FileType, &TFileListBox::SetFileType).Default(TFileType{ftNormal});
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("IntegralHeight", &TFileListBox::IntegralHeight, &TFileListBox::SetIntegralHeight).Default(false);
    b.Prop("ItemHeight", &TFileListBox::ItemHeight, &TFileListBox::SetItemHeight).Stored(&TFileListBox::ItemHeightStored);
    b.Prop("Mask", &TFileListBox::Mask, &TFileListBox::SetMask).Default("*.*");
    b.Prop("MultiSelect", &TFileListBox::MultiSelect, &TFileListBox::SetMultiSelect).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishParentColor(b).Default(false);
    b.Prop("ShowGlyphs", &TFileListBox::ShowGlyphs, &TFileListBox::SetShowGlyphs).Default(false);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishTabStop(b).Default(true);
    b.Prop("OnChange", &TFileListBox::OnChange, &TFileListBox::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TFileListBox(TComponent* AOwner);
  ~TFileListBox() override;

  const String& Directory() const { return FDirectory; }
  void SetDirectory(const String& Value);
  const String& Mask() const { return FMask; }
  void SetMask(const String& Value);
  TFileType FileType() const { return FFileType; }
  void SetFileType(TFileType Value);
  bool ShowGlyphs() const { return FShowGlyphs; }
  void SetShowGlyphs(bool Value);
  // The full path of the selected file, '' when none is selected. Setting it opens the file's
  // folder and selects it.
  String FileName() const;
  void SetFileName(const String& Value);
  TCustomEdit* FileEdit() const { return FFileEdit; }
  void SetFileEdit(TCustomEdit* Value);
  // Reads the folder again.
  void Update();
  void ApplyFilePath(const String& EditText);

  TNotifyEvent OnChange;

  void Click() override;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  virtual void Change();
  void ReadFileNames();

private:
  String FDirectory;
  String FMask = "*.*";
  TFileType FFileType = {ftNormal};
  bool FShowGlyphs = false;
  TCustomEdit* FFileEdit = nullptr;
  String FLastSelected;
};

// A list of filters "description|masks|description|masks"; the chosen one's masks go to the
// linked file list.
class TFilterComboBox : public TCustomComboBox {
  KELM_CLASS(TFilterComboBox, TCustomComboBox)
  template <class B> static void Published(B& b) {
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragMode(b);
    PublishDragCursor(b);
    PublishEnabled(b);
    b.Prop("FileList", &TFilterComboBox::FileList, &TFilterComboBox::SetFileList);
    b.Prop("Filter", &TFilterComboBox::Filter, &TFilterComboBox::SetFilter).Default("All files (*.*)|*.*");
    PublishFont(b);
    PublishImeName(b);
    PublishImeMode(b);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishParentColor(b).Default(false);
    PublishTabStop(b).Default(true);
    b.Prop("OnChange", &TFilterComboBox::OnChange, &TFilterComboBox::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnDropDown", &TFilterComboBox::OnDropDown, &TFilterComboBox::OnDropDown);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TFilterComboBox(TComponent* AOwner);
  ~TFilterComboBox() override;

  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value);
  String Mask() const;
  TFileListBox* FileList() const { return FFileList; }
  void SetFileList(TFileListBox* Value);

  void Click() override;

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void BuildList();
  String FFilter = "All files (*.*)|*.*";
  std::vector<String> FMasks;
  TFileListBox* FFileList = nullptr;
};
