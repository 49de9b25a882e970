#pragma once
// Dialogs: the framework's message dialog, ShowMessage, input boxes, a folder picker and the
// common dialogs (open and save file, font, colour).
//
// Every dialog goes through one service. While a dialog hook is set (tests), it answers in
// place of a person: it sees what the dialog asks (kind, caption, text, buttons, the dialog
// component with its settings) and fills in the answer; nothing is shown. Otherwise the
// dialog shows modally and returns what the user chose. The hook also answers the platform
// message box (Application->MessageBox), so one script covers a whole flow:
//
//   TDialogScript script;
//   script.File("/tmp/list.xls").Button(IDYES);
//   Frm_Main->PactExp->Execute();     // save dialog, then "open the file?" box
//   EXPECT_EQ(script.Unanswered(), 0);
// Declares TDialogRequest, TDialogScript, TCommonDialog, TOpenDialog, TSaveDialog, TColorDialog and
// TFontDialog.
#include "gui/Forms.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class TCommonDialog;

// ================================================================ message dialogs

KELM_ENUM(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
KELM_ENUM(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// Shows Msg with the type's icon and caption ("Warning", "Error", "Information", "Confirm";
// the application title for mtCustom) and one button per member of Buttons, in the set's
// order; returns the modal result of the pressed button (closing the box gives the result of
// its Cancel, No or OK button, in that order of preference).
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The same, with the box's top-left at a screen point (-1, -1: centred).
int MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
// A box with the text and an OK button, captioned with the application title.
void ShowMessage(const String& Msg);
// The caption and the button text the message dialog uses.
String MsgDlgCaption(TMsgDlgType DlgType);
String MsgDlgButtonCaption(TMsgDlgBtn Button);
int MsgDlgButtonResult(TMsgDlgBtn Button);

// An input dialog with a caption, a prompt and an edit preset to Value: true and the edited
// text in Value when confirmed; false and Value unchanged when cancelled.
bool InputQuery(const String& ACaption, const String& APrompt, String& Value);
// The edited text when confirmed, ADefault when cancelled.
String InputBox(const String& ACaption, const String& APrompt, const String& ADefault);

// Lets the user choose a folder, starting at Directory (else Root); true and the folder (without
// a trailing separator) in Directory when confirmed.
bool SelectDirectory(const String& Caption, const String& Root, String& Directory);

// ================================================================ the dialog service

KELM_ENUM(TDialogKind, dkMessageBox, dkMessageDlg, dkInput, dkOpenFile, dkSaveFile, dkFolder, dkFont, dkColor,
          dkPrint, dkPrinterSetup, dkPageSetup)

// What a dialog asks and, once answered, what was chosen. The answer fields start with what
// the dialog would show: the preset text, file name, folder, colour, font.
struct TDialogRequest {
  TDialogKind Kind = dkMessageBox;
  String Caption;
  String Text;     // the message, or the input prompt
  int Flags = 0;   // a message box's MB_ flags; a message dialog's button set (TMsgDlgButtons bits)
  TMsgDlgType DlgType = mtCustom;
  TCommonDialog* Dialog = nullptr;  // the common dialog asking, with its settings

  // ---- the answer
  // A message box's button ID or a message dialog's modal result; for the other dialogs
  // non-zero = confirmed, 0 = cancelled.
  int Result = 0;
  String Value;                // input text, file name, folder
  std::vector<String> Files;   // several files (open dialogs with ofAllowMultiSelect)
  int FilterIndex = 1;         // file dialogs, 1-based
  TColor Color = clBlack;      // colour dialogs
  std::shared_ptr<TFont> Font;  // font dialogs: a copy to change
  // Print and printer setup dialogs: the printer chosen (by name), the pages (0 = all of
  // them, else FromPage..ToPage), copies; the PDF printer's output file is in Value.
  String Printer;
  int FromPage = 0, ToPage = 0;
  int Copies = 1;
  bool Unanswered = false;     // a script had no fitting answer (the dialog was cancelled)
};

// Returns true when it answered the request; false lets the dialog show as usual.
using TDialogHook = std::function<bool(TDialogRequest& Request)>;
// Sets the hook (nullptr: dialogs show again) and returns the one it replaces.
TDialogHook SetDialogHook(TDialogHook Hook);
bool DialogHooked();
// Asks the hook; false when there is none or it did not answer (platform/gui).
bool AskDialogHook(TDialogRequest& Request);

// A test's person at the keyboard: answers dialogs from a queue, in order, and records
// what each dialog asked. While alive it is the dialog hook (the previous one comes back when
// it goes). A dialog without a fitting answer is cancelled and counted as unanswered.
class TDialogScript {
public:
  TDialogScript();
  ~TDialogScript();
  TDialogScript(const TDialogScript&) = delete;
  TDialogScript& operator=(const TDialogScript&) = delete;

  // The next message box (a button ID) or message dialog (a modal result; the IDs are equal).
  TDialogScript& Button(int Result);
  // The next input dialog: confirmed with the text.
  TDialogScript& Text(const String& Value);
  // The next open or save dialog: confirmed with the file (and filter, 0 = as preset).
  TDialogScript& File(const String& FileName, int FilterIndex = 0);
  TDialogScript& Files(const std::vector<String>& FileNames);
  TDialogScript& Folder(const String& Directory);
  TDialogScript& Color(TColor Value);
  // The next font dialog: confirmed with the font as Change leaves it.
  TDialogScript& Font(std::function<void(TFont*)> Change);
  // The next print dialog: confirmed with the printer, the pages (0, 0 = all) and, for the
  // PDF printer, the output file.
  TDialogScript& Print(const String& Printer, int FromPage = 0, int ToPage = 0, const String& PdfFile = "");
  // The next printer setup dialog: confirmed with the printer.
  TDialogScript& PrinterSetup(const String& Printer);
  // The next dialog of any kind is cancelled (a message box or dialog: its Cancel result).
  TDialogScript& Cancel();
  // Any answer at all: Fn fills in the request and returns true when it fits.
  TDialogScript& Answer(std::function<bool(TDialogRequest&)> Fn);

  // What was asked, answers included, in order.
  const std::vector<TDialogRequest>& Asked() const { return FAsked; }
  int Unanswered() const;
  int Pending() const { return static_cast<int>(FQueue.size()); }

private:
  bool Handle(TDialogRequest& Request);
  std::deque<std::function<bool(TDialogRequest&)>> FQueue;
  std::vector<TDialogRequest> FAsked;
  TDialogHook FPrevious;
};

// The result a box gives when it is closed without a choice (Cancel, No, else OK).
int CancelResultOf(const TDialogRequest& Request);

// ================================================================ common dialogs

KELM_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
          ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
          ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
          ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing)
using TOpenOptions = TSet<TOpenOption>;
KELM_ENUM(TOpenOptionEx, ofExNoPlacesBar)
using TOpenOptionsEx = TSet<TOpenOptionEx>;
KELM_ENUM(TFileEditStyle, fsEdit, fsComboBox)
KELM_ENUM(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor)
using TColorDialogOptions = TSet<TColorDialogOption>;
KELM_ENUM(TFontDialogOption, fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
          fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg,
          fdLimitSize, fdScalableOnly, fdApplyButton)
using TFontDialogOptions = TSet<TFontDialogOption>;
KELM_ENUM(TFontDialogDevice, fdScreen, fdPrinter, fdBoth)

class TCommonDialog : public TComponent {
  KELM_CLASS(TCommonDialog, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Ctl3D", &TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D).Default(true);
    b.Prop("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).Default(0);
    b.Prop("OnClose", &TCommonDialog::OnClose, &TCommonDialog::OnClose);
    b.Prop("OnShow", &TCommonDialog::OnShow, &TCommonDialog::OnShow);
  }
public:
  explicit TCommonDialog(TComponent* AOwner);
  // Shows the dialog modally (or asks the hook); true when the user confirmed, the choice
  // then being in the dialog's properties.
  virtual bool Execute() = 0;

  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value) { FCtl3D = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  virtual void DoShow() { OnShow(this); }
  virtual void DoClose() { OnClose(this); }

private:
  bool FCtl3D = true;
  int FHelpContext = 0;
};

// Filter: "description|patterns|description|patterns", patterns separated by ";" and matched
// without regard to case; FilterIndex counts the pairs from 1. A chosen name without an
// extension gets DefaultExt. ofOverwritePrompt asks before an existing file is replaced,
// ofFileMustExist and ofPathMustExist refuse names that do not exist; each refusal asks
// again. The process's current folder never changes.
class TOpenDialog : public TCommonDialog {
  KELM_CLASS(TOpenDialog, TCommonDialog)
  template <class B> static void Published(B& b) {
    b.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
    b.Prop("FileEditStyle", &TOpenDialog::FileEditStyle, &TOpenDialog::SetFileEditStyle).Default(fsEdit);
    b.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
    b.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
    b.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
    b.Prop("HistoryList", &TOpenDialog::HistoryList, &TOpenDialog::SetHistoryList);
    b.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
    b.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions).Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    b.Prop("OptionsEx", &TOpenDialog::OptionsEx, &TOpenDialog::SetOptionsEx).Default(TOpenOptionsEx{});
    b.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
    b.Prop("OnCanClose", &TOpenDialog::OnCanClose, &TOpenDialog::OnCanClose);
    b.Prop("OnTypeChange", &TOpenDialog::OnTypeChange, &TOpenDialog::OnTypeChange);
  }
public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;
  bool Execute() override;

  const String& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const String& Value) { FDefaultExt = Value; }
  const String& FileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  // The chosen files (one unless ofAllowMultiSelect).
  TStrings* Files() const { return FFiles.get(); }
  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value) { FFilter = Value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const String& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const String& Value) { FInitialDir = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  TOpenOptionsEx OptionsEx() const { return FOptionsEx; }
  void SetOptionsEx(TOpenOptionsEx Value) { FOptionsEx = Value; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  TFileEditStyle FileEditStyle() const { return FFileEditStyle; }
  void SetFileEditStyle(TFileEditStyle Value) { FFileEditStyle = Value; }
  TStrings* HistoryList() const { return FHistoryList.get(); }
  void SetHistoryList(TStrings* Value);

  // The (description, patterns) pairs of the filter, in order.
  static std::vector<std::pair<String, std::vector<String>>> ParseFilter(const String& Filter);

  TCloseQueryEvent OnCanClose;
  TNotifyEvent OnTypeChange;

protected:
  virtual bool IsSave() const { return false; }
  // The name with DefaultExt added when it has no extension of its own.
  String WithDefaultExt(const String& Name) const;
  // False (after telling the user) when the name must be chosen again.
  virtual bool AcceptName(const String& Name);

private:
  bool Ask(TDialogRequest& Request);
  String FDefaultExt, FFileName, FFilter, FInitialDir, FTitle;
  std::unique_ptr<TStrings> FFiles, FHistoryList;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  TOpenOptionsEx FOptionsEx;
  TFileEditStyle FFileEditStyle = fsEdit;
};

class TSaveDialog : public TOpenDialog {
  KELM_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
  bool IsSave() const override { return true; }
};

// Color: the chosen colour. CustomColors: lines "ColorA=RRGGBB" ... "ColorP=..." with the
// colour as a hexadecimal TColor value, read and written back.
class TColorDialog : public TCommonDialog {
  KELM_CLASS(TColorDialog, TCommonDialog)
  template <class B> static void Published(B& b) {
    b.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor).Type("TColor").Default(clBlack);
    b.Prop("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors);
    b.Prop("Options", &TColorDialog::Options, &TColorDialog::SetOptions).Default(TColorDialogOptions{});
  }
public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;
  bool Execute() override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TStrings* CustomColors() const { return FCustomColors.get(); }
  void SetCustomColors(TStrings* Value);
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions Value) { FOptions = Value; }

private:
  TColor FColor = clBlack;
  std::unique_ptr<TStrings> FCustomColors;
  TColorDialogOptions FOptions;
};

// Font: the chosen font (name, size, style, colour). With fdLimitSize the size stays within
// MinFontSize and MaxFontSize.
class TFontDialog : public TCommonDialog {
  KELM_CLASS(TFontDialog, TCommonDialog)
  template <class B> static void Published(B& b) {
    b.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    b.Prop("Device", &TFontDialog::Device, &TFontDialog::SetDevice).Default(fdScreen);
    b.Prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize).Default(0);
    b.Prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize).Default(0);
    b.Prop("Options", &TFontDialog::Options, &TFontDialog::SetOptions).Default(TFontDialogOptions{fdEffects});
    b.Prop("OnApply", &TFontDialog::OnApply, &TFontDialog::OnApply);
  }
public:
  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;
  bool Execute() override;

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TFontDialogDevice Device() const { return FDevice; }
  void SetDevice(TFontDialogDevice Value) { FDevice = Value; }
  int MinFontSize() const { return FMinFontSize; }
  void SetMinFontSize(int Value) { FMinFontSize = Value; }
  int MaxFontSize() const { return FMaxFontSize; }
  void SetMaxFontSize(int Value) { FMaxFontSize = Value; }
  TFontDialogOptions Options() const { return FOptions; }
  void SetOptions(TFontDialogOptions Value) { FOptions = Value; }

  TNotifyEvent OnApply;

private:
  std::unique_ptr<TFont> FFont;
  TFontDialogDevice FDevice = fdScreen;
  int FMinFontSize = 0, FMaxFontSize = 0;
  TFontDialogOptions FOptions{fdEffects};
};
