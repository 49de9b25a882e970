// Dialogs: the dialog service with its hook and script, message dialogs, input boxes, the
// folder picker and the common dialogs over Qt's dialogs.
#include "gui/Dialogs.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "gui/Application.h"
#include "gui/MessageBox.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cstdio>

// ================================================================ the service

namespace {

TDialogHook gHook;
bool gBoxHookOurs = false;

// The platform message box asks the dialog hook too, so one script answers both.
int MessageBoxThroughHook(const String& Text, const String& Caption, int Flags) {
  TDialogRequest r;
  r.Kind = dkMessageBox;
  r.Text = Text;
  r.Caption = Caption;
  r.Flags = Flags;
  if (gHook && gHook(r)) return r.Result;
  // Not answered: the real box, without the hook for this one call.
  SetMessageBoxHook(nullptr);
  int result = MessageBox(0, Text, Caption, Flags);
  SetMessageBoxHook(&MessageBoxThroughHook);
  return result;
}

// The window dialogs belong to: the active form, else the main form.
QWidget* DialogParent() {
  TCustomForm* f = Screen ? Screen->ActiveCustomForm() : nullptr;
  if (!f && Application) f = Application->MainForm();
  return f ? gui_glue::TAccess::Widget(f) : nullptr;
}

// Dialogs run their own loop: a control holding the mouse lets go first.
void BeforeDialog() { gui_glue::CancelCapture(); }

}  // namespace

TDialogHook SetDialogHook(TDialogHook Hook) {
  TDialogHook old = std::move(gHook);
  gHook = std::move(Hook);
  if (gHook && !gBoxHookOurs) {
    SetMessageBoxHook(&MessageBoxThroughHook);
    gBoxHookOurs = true;
  } else if (!gHook && gBoxHookOurs) {
    SetMessageBoxHook(nullptr);
    gBoxHookOurs = false;
  }
  return old;
}

bool DialogHooked() { return static_cast<bool>(gHook); }

bool AskDialogHook(TDialogRequest& Request) { return gHook && gHook(Request); }

int CancelResultOf(const TDialogRequest& Request) {
  switch (Request.Kind) {
    case dkMessageBox:
      switch (Request.Flags & MB_TYPEMASK) {
        case MB_OK: return IDOK;
        case MB_YESNO: return IDNO;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        default: return IDCANCEL;
      }
    case dkMessageDlg: {
      auto b = TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(Request.Flags));
      if (b.Contains(mbCancel)) return mrCancel;
      if (b.Contains(mbNo)) return mrNo;
      if (b.Contains(mbOK)) return mrOk;
      return mrCancel;
    }
    default: return 0;
  }
}

// ================================================================ TDialogScript

TDialogScript::TDialogScript() {
  FPrevious = SetDialogHook([this](TDialogRequest& r) { return Handle(r); });
}

TDialogScript::~TDialogScript() { SetDialogHook(std::move(FPrevious)); }

bool TDialogScript::Handle(TDialogRequest& Request) {
  bool answered = false;
  if (!FQueue.empty() && FQueue.front()(Request)) {
    FQueue.pop_front();
    answered = true;
  }
  if (!answered) {
    Request.Unanswered = true;
    Request.Result = CancelResultOf(Request);
  }
  FAsked.push_back(Request);
  return true;
}

int TDialogScript::Unanswered() const {
  return static_cast<int>(std::count_if(FAsked.begin(), FAsked.end(), [](auto& r) { return r.Unanswered; }));
}

TDialogScript& TDialogScript::Answer(std::function<bool(TDialogRequest&)> Fn) {
  FQueue.push_back(std::move(Fn));
  return *this;
}

TDialogScript& TDialogScript::Button(int Result) {
  return Answer([Result](TDialogRequest& r) {
    if (r.Kind != dkMessageBox && r.Kind != dkMessageDlg) return false;
    r.Result = Result;
    return true;
  });
}

TDialogScript& TDialogScript::Text(const String& Value) {
  return Answer([Value](TDialogRequest& r) {
    if (r.Kind != dkInput) return false;
    r.Value = Value;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::File(const String& FileName, int FilterIndex) {
  return Answer([FileName, FilterIndex](TDialogRequest& r) {
    if (r.Kind != dkOpenFile && r.Kind != dkSaveFile) return false;
    r.Value = FileName;
    r.Files = {FileName};
    if (FilterIndex > 0) r.FilterIndex = FilterIndex;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Files(const std::vector<String>& FileNames) {
  return Answer([FileNames](TDialogRequest& r) {
    if (r.Kind != dkOpenFile || FileNames.empty()) return false;
    r.Value = FileNames.front();
    r.Files = FileNames;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Folder(const String& Directory) {
  return Answer([Directory](TDialogRequest& r) {
    if (r.Kind != dkFolder) return false;
    r.Value = Directory;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Color(TColor Value) {
  return Answer([Value](TDialogRequest& r) {
    if (r.Kind != dkColor) return false;
    r.Color = Value;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Font(std::function<void(TFont*)> Change) {
  return Answer([Change](TDialogRequest& r) {
    if (r.Kind != dkFont || !r.Font) return false;
    Change(r.Font.get());
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Print(const String& Printer, int FromPage, int ToPage, const String& PdfFile) {
  return Answer([=](TDialogRequest& r) {
    if (r.Kind != dkPrint) return false;
    r.Printer = Printer;
    r.FromPage = FromPage;
    r.ToPage = ToPage;
    r.Value = PdfFile;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::PrinterSetup(const String& Printer) {
  return Answer([Printer](TDialogRequest& r) {
    if (r.Kind != dkPrinterSetup) return false;
    r.Printer = Printer;
    r.Result = 1;
    return true;
  });
}

TDialogScript& TDialogScript::Cancel() {
  return Answer([](TDialogRequest& r) {
    r.Result = CancelResultOf(r);
    return true;
  });
}

// ================================================================ message dialogs

namespace {

struct TMsgButtonDef {
  TMsgDlgBtn Button;
  const char* Caption;  // nullptr: the platform box's caption of the same result
  int Result;
};

constexpr TMsgButtonDef kButtons[] = {
    {mbYes, nullptr, mrYes},          {mbNo, nullptr, mrNo},
    {mbOK, nullptr, mrOk},            {mbCancel, nullptr, mrCancel},
    {mbAbort, nullptr, mrAbort},      {mbRetry, nullptr, mrRetry},
    {mbIgnore, nullptr, mrIgnore},    {mbAll, "全部(&A)", mrAll},
    {mbNoToAll, "全部否(&O)", mrNoToAll}, {mbYesToAll, "全部是(&A)", mrYesToAll},
    {mbHelp, "帮助(&H)", mrNone},
};

String CaptionOf(const TMsgButtonDef& d) { return d.Caption ? String(d.Caption) : MessageBoxButtonCaption(d.Result); }

// The platform message box type that offers the same buttons, -1 when there is none.
int BoxTypeOf(TMsgDlgButtons b) {
  struct TMap {
    TMsgDlgButtons Set;
    int Type;
  };
  const TMap maps[] = {{{mbOK}, MB_OK},
                       {{mbOK, mbCancel}, MB_OKCANCEL},
                       {{mbYes, mbNo}, MB_YESNO},
                       {{mbYes, mbNo, mbCancel}, MB_YESNOCANCEL},
                       {{mbAbort, mbRetry, mbIgnore}, MB_ABORTRETRYIGNORE},
                       {{mbRetry, mbCancel}, MB_RETRYCANCEL}};
  for (const TMap& m : maps)
    if (m.Set == (b - mbHelp)) return m.Type;
  return -1;
}

int BoxIconOf(TMsgDlgType t) {
  switch (t) {
    case mtWarning: return MB_ICONWARNING;
    case mtError: return MB_ICONERROR;
    case mtInformation: return MB_ICONINFORMATION;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
  }
}

int ShowMessageDialog(const TDialogRequest& r, int X, int Y) {
  TMsgDlgButtons buttons = TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(r.Flags));
  QMessageBox box(DialogParent());
  box.setWindowTitle(ToQString(r.Caption));
  box.setText(ToQString(r.Text));
  switch (r.DlgType) {
    case mtWarning: box.setIcon(QMessageBox::Warning); break;
    case mtError: box.setIcon(QMessageBox::Critical); break;
    case mtInformation: box.setIcon(QMessageBox::Information); break;
    case mtConfirmation: box.setIcon(QMessageBox::Question); break;
    default: break;
  }
  std::vector<std::pair<QAbstractButton*, int>> made;
  QAbstractButton* defaultButton = nullptr;
  QAbstractButton* cancelButton = nullptr;
  int cancelResult = CancelResultOf(r);
  TMsgDlgBtn defaultKind = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
  for (const TMsgButtonDef& d : kButtons) {
    if (!buttons.Contains(d.Button)) continue;
    // Action roles keep the buttons in the set's order.
    QPushButton* b = box.addButton(ToQString(CaptionOf(d)), QMessageBox::ActionRole);
    if (d.Button == mbHelp) b->setEnabled(false);  // there is no help viewer
    made.emplace_back(b, d.Result);
    if (d.Button == defaultKind) defaultButton = b;
    if (d.Result == cancelResult) cancelButton = b;
  }
  if (made.empty()) made.emplace_back(box.addButton(ToQString(MessageBoxButtonCaption(IDOK)), QMessageBox::ActionRole), mrOk);
  if (defaultButton) box.setDefaultButton(static_cast<QPushButton*>(defaultButton));
  if (cancelButton) box.setEscapeButton(cancelButton);
  if (X >= 0 && Y >= 0) box.move(X, Y);
  box.exec();
  for (auto& [b, result] : made)
    if (b == box.clickedButton()) return result;
  return cancelResult;
}

}  // namespace

String MsgDlgCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return Application ? Application->Title() : String();
  }
}

String MsgDlgButtonCaption(TMsgDlgBtn Button) {
  for (const TMsgButtonDef& d : kButtons)
    if (d.Button == Button) return CaptionOf(d);
  return String();
}

int MsgDlgButtonResult(TMsgDlgBtn Button) {
  for (const TMsgButtonDef& d : kButtons)
    if (d.Button == Button) return d.Result;
  return mrNone;
}

int MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
  TDialogRequest r;
  r.Kind = dkMessageDlg;
  r.Caption = MsgDlgCaption(DlgType);
  r.Text = Msg;
  r.Flags = static_cast<int>(Buttons.Bits());
  r.DlgType = DlgType;
  if (AskDialogHook(r)) return r.Result;
  BeforeDialog();
  // A test answering plain message boxes answers this one too, when a box can ask it.
  if (MessageBoxHooked())
    if (int type = BoxTypeOf(Buttons); type >= 0) return MessageBox(0, Msg, r.Caption, type | BoxIconOf(DlgType));
  return ShowMessageDialog(r, X, Y);
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessage(const String& Msg) { MessageDlg(Msg, mtCustom, {mbOK}, 0); }

// ================================================================ input and folders

bool InputQuery(const String& ACaption, const String& APrompt, String& Value) {
  TDialogRequest r;
  r.Kind = dkInput;
  r.Caption = ACaption;
  r.Text = APrompt;
  r.Value = Value;
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    BeforeDialog();
    QInputDialog dlg(DialogParent());
    dlg.setWindowTitle(ToQString(ACaption));
    dlg.setLabelText(ToQString(APrompt));
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setTextValue(ToQString(Value));
    ok = dlg.exec() == QDialog::Accepted;
    r.Value = FromQString(dlg.textValue());
  }
  if (ok) Value = r.Value;
  return ok;
}

String InputBox(const String& ACaption, const String& APrompt, const String& ADefault) {
  String v = ADefault;
  return InputQuery(ACaption, APrompt, v) ? v : ADefault;
}

bool SelectDirectory(const String& Caption, const String& Root, String& Directory) {
  TDialogRequest r;
  r.Kind = dkFolder;
  r.Caption = Caption;
  r.Value = Directory.empty() ? Root : Directory;
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0 && !r.Value.empty();
  } else {
    BeforeDialog();
    QString start = ToQString(r.Value.empty() ? String() : ResolvePath(r.Value));
    QString chosen = QFileDialog::getExistingDirectory(DialogParent(), ToQString(Caption), start,
                                                       QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    ok = !chosen.isEmpty();
    r.Value = FromQString(chosen);
  }
  if (ok) Directory = r.Value.size() > 1 ? ExcludeTrailingPathDelimiter(r.Value) : r.Value;
  return ok;
}

// ================================================================ TCommonDialog

KELM_PUBLISH(TCommonDialog) { Published(b); }

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

// ================================================================ TOpenDialog

KELM_PUBLISH(TOpenDialog) { Published(b); }

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()), FHistoryList(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetHistoryList(TStrings* Value) { FHistoryList->Assign(Value); }

std::vector<std::pair<String, std::vector<String>>> TOpenDialog::ParseFilter(const String& Filter) {
  std::vector<String> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = Filter.find('|', start);
    parts.push_back(Filter.substr(start, bar == String::npos ? String::npos : bar - start));
    if (bar == String::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<String, std::vector<String>>> r;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::vector<String> patterns;
    String p = parts[i + 1];
    std::size_t s = 0;
    for (;;) {
      std::size_t semi = p.find(';', s);
      String one = Trim(p.substr(s, semi == String::npos ? String::npos : semi - s));
      if (!one.empty()) patterns.push_back(one);
      if (semi == String::npos) break;
      s = semi + 1;
    }
    r.emplace_back(parts[i], patterns);
  }
  return r;
}

String TOpenDialog::WithDefaultExt(const String& Name) const {
  if (Name.empty() || !ExtractFileExt(ExtractFileName(Name)).empty()) return Name;
  String ext = FDefaultExt;
  // A filter of one concrete type gives its own extension, as the type the user picked.
  auto filters = ParseFilter(FFilter);
  if (!ext.empty() && FFilterIndex >= 1 && FFilterIndex <= static_cast<int>(filters.size())) {
    const auto& pats = filters[static_cast<std::size_t>(FFilterIndex - 1)].second;
    if (!pats.empty() && StartsStr("*.", pats.front()) && pats.front().find_first_of("*?", 2) == String::npos)
      ext = pats.front().substr(2);
  }
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  return ext.empty() ? Name : Name + "." + ext;
}

bool TOpenDialog::AcceptName(const String& Name) {
  String caption = FTitle.empty() ? String(IsSave() ? "Save As" : "Open") : FTitle;
  String dir = ExtractFileDir(Name);
  if (FOptions.Contains(ofPathMustExist) && !dir.empty() && !DirectoryExists(dir)) {
    MessageBox(0, Name + "\nPath does not exist.\nCheck the path and try again.", caption, MB_OK | MB_ICONWARNING);
    return false;
  }
  if (!IsSave() && FOptions.Contains(ofFileMustExist) && !FileExists(Name)) {
    MessageBox(0, Name + "\nFile not found.\nCheck the file name and try again.", caption, MB_OK | MB_ICONWARNING);
    return false;
  }
  if (IsSave() && FOptions.Contains(ofOverwritePrompt) && FileExists(Name))
    return MessageBox(0, Name + " already exists.\nDo you want to replace it?", caption,
                      MB_YESNO | MB_ICONWARNING) == IDYES;
  return true;
}

namespace {

// A glob pattern that matches letters of either case, for file systems that tell them apart.
QString CaseFreePattern(const String& Pattern) {
  QString r;
  for (QChar c : ToQString(Pattern)) {
    if (c.isLetter() && c.toLower() != c.toUpper()) r += QStringLiteral("[%1%2]").arg(c.toLower()).arg(c.toUpper());
    else r += c;
  }
  return r;
}

}  // namespace

bool TOpenDialog::Ask(TDialogRequest& r) {
  if (AskDialogHook(r)) return r.Result != 0;
  BeforeDialog();
  QFileDialog dlg(DialogParent(), ToQString(r.Caption));
  dlg.setOption(QFileDialog::DontUseNativeDialog, true);
  dlg.setOption(QFileDialog::HideNameFilterDetails, true);
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);  // asked here, so a script can answer it
  dlg.setAcceptMode(IsSave() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (IsSave()) dlg.setFileMode(QFileDialog::AnyFile);
  else if (FOptions.Contains(ofAllowMultiSelect)) dlg.setFileMode(QFileDialog::ExistingFiles);
  else if (FOptions.Contains(ofFileMustExist)) dlg.setFileMode(QFileDialog::ExistingFile);
  else dlg.setFileMode(QFileDialog::AnyFile);
  QStringList filters;
  for (auto& [desc, patterns] : ParseFilter(FFilter)) {
    QStringList pats;
    for (const String& p : patterns) pats << CaseFreePattern(p);
    filters << ToQString(desc) + QStringLiteral(" (") + pats.join(' ') + QStringLiteral(")");
  }
  if (!filters.isEmpty()) {
    dlg.setNameFilters(filters);
    if (r.FilterIndex >= 1 && r.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[r.FilterIndex - 1]);
  }
  String dir = !FInitialDir.empty() ? FInitialDir : ExtractFileDir(r.Value);
  if (!dir.empty()) dlg.setDirectory(ToQString(ResolvePath(dir)));
  if (!r.Value.empty()) dlg.selectFile(ToQString(ExtractFileName(r.Value)));
  if (dlg.exec() != QDialog::Accepted) return false;
  r.Files.clear();
  for (const QString& f : dlg.selectedFiles()) r.Files.push_back(FromQString(f));
  r.Value = r.Files.empty() ? String() : r.Files.front();
  if (!filters.isEmpty()) r.FilterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
  return true;
}

bool TOpenDialog::Execute() {
  DoShow();
  bool ok = false;
  std::vector<String> chosen;
  int filterIndex = FFilterIndex;
  String preset = FFileName;
  // Refused names ask again; a hook that keeps giving refused names is stopped.
  for (int round = 0; round < 100; ++round) {
    TDialogRequest r;
    r.Kind = IsSave() ? dkSaveFile : dkOpenFile;
    r.Caption = FTitle;
    r.Dialog = this;
    r.Value = preset;
    r.FilterIndex = FFilterIndex;
    if (!Ask(r)) break;
    chosen = r.Files.empty() ? std::vector<String>{r.Value} : r.Files;
    int savedIndex = std::exchange(FFilterIndex, r.FilterIndex);
    for (String& n : chosen) n = WithDefaultExt(n);
    FFilterIndex = savedIndex;
    filterIndex = r.FilterIndex;
    bool accepted = std::all_of(chosen.begin(), chosen.end(), [this](const String& n) { return AcceptName(n); });
    if (accepted) {
      String before = std::exchange(FFileName, chosen.front());
      bool canClose = true;
      OnCanClose(this, canClose);
      FFileName = before;
      if (canClose) {
        ok = true;
        break;
      }
    }
    preset = chosen.front();
  }
  DoClose();
  if (!ok) return false;
  FFileName = chosen.front();
  FFiles->Clear();
  for (const String& n : chosen) FFiles->Add(n);
  if (filterIndex != FFilterIndex) {
    FFilterIndex = filterIndex;
    OnTypeChange(this);
  }
  String ext = ExtractFileExt(FFileName);
  String def = FDefaultExt.empty() || FDefaultExt[0] == '.' ? FDefaultExt : "." + FDefaultExt;
  if (!def.empty() && !SameText(ext, def)) FOptions += ofExtensionDifferent;
  else FOptions -= ofExtensionDifferent;
  return true;
}

KELM_PUBLISH(TSaveDialog) {}

// ================================================================ TColorDialog

KELM_PUBLISH(TColorDialog) { Published(b); }

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }

bool TColorDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkColor;
  r.Dialog = this;
  r.Color = FColor;
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    BeforeDialog();
    for (int i = 0; i < 16; ++i) {
      String v = FCustomColors->Values(String("Color") + static_cast<char>('A' + i));
      unsigned c;
      if (!v.empty() && std::sscanf(v.c_str(), "%x", &c) == 1) QColorDialog::setCustomColor(i, ToQColor(c & 0xFFFFFF));
    }
    QColorDialog dlg(ToQColor(ColorToRGB(FColor)), DialogParent());
    ok = dlg.exec() == QDialog::Accepted;
    r.Color = static_cast<TColor>(FromQRgb(dlg.currentColor().rgb()));
    if (ok)
      for (int i = 0; i < 16; ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(FromQRgb(QColorDialog::customColor(i).rgb())));
        FCustomColors->SetValues(String("Color") + static_cast<char>('A' + i), hex);
      }
  }
  DoClose();
  if (ok) FColor = r.Color;
  return ok;
}

// ================================================================ TFontDialog

KELM_PUBLISH(TFontDialog) { Published(b); }

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  DoShow();
  TDialogRequest r;
  r.Kind = dkFont;
  r.Dialog = this;
  r.Font = std::make_shared<TFont>();
  r.Font->Assign(FFont.get());
  bool ok;
  if (AskDialogHook(r)) {
    ok = r.Result != 0;
  } else {
    BeforeDialog();
    QFont initial(ToQString(FFont->Name()));
    initial.setPointSize(std::max(1, FFont->Size()));
    TFontStyles st = FFont->Style();
    initial.setBold(st.Contains(fsBold));
    initial.setItalic(st.Contains(fsItalic));
    initial.setUnderline(st.Contains(fsUnderline));
    initial.setStrikeOut(st.Contains(fsStrikeOut));
    QFontDialog dlg(initial, DialogParent());
    ok = dlg.exec() == QDialog::Accepted;
    if (ok) {
      QFont f = dlg.selectedFont();
      r.Font->SetName(FromQString(f.family()));
      r.Font->SetSize(f.pointSize());
      TFontStyles s;
      if (f.bold()) s += fsBold;
      if (f.italic()) s += fsItalic;
      if (f.underline()) s += fsUnderline;
      if (f.strikeOut()) s += fsStrikeOut;
      r.Font->SetStyle(s);
    }
  }
  DoClose();
  if (!ok) return false;
  if (FOptions.Contains(fdLimitSize)) {
    int size = r.Font->Size();
    if (FMinFontSize > 0) size = std::max(size, FMinFontSize);
    if (FMaxFontSize > 0) size = std::min(size, FMaxFontSize);
    r.Font->SetSize(size);
  }
  FFont->Assign(r.Font.get());
  return true;
}
