// The platform message box, or the hook tests put in its place.
#include "gui/MessageBox.h"

#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QMessageBox>

#include <vector>

namespace {
TMessageBoxHook gMessageBoxHook;

// The standard buttons as the system shows them, in the program's language.
struct TButtonCaption {
  int Id;
  const char* Caption;
};
constexpr TButtonCaption kButtonCaptions[] = {
    {IDOK, "确定"},          {IDCANCEL, "取消"},      {IDABORT, "中止(&A)"}, {IDRETRY, "重试(&R)"},
    {IDIGNORE, "忽略(&I)"}, {IDYES, "是(&Y)"},      {IDNO, "否(&N)"},
};
}  // namespace

String MessageBoxButtonCaption(int Id) {
  for (const TButtonCaption& b : kButtonCaptions)
    if (b.Id == Id) return b.Caption;
  return String();
}

void SetMessageBoxHook(TMessageBoxHook Hook) { gMessageBoxHook = std::move(Hook); }
bool MessageBoxHooked() { return static_cast<bool>(gMessageBoxHook); }

int MessageBox(HWND, const String& Text, const String& Caption, int Flags) {
  return gui_glue::ShowMessageBox(Text, Caption, Flags);
}

namespace gui_glue {

int ShowMessageBox(const String& Text, const String& Caption, int Flags) {
  CancelCapture();
  if (gMessageBoxHook) return gMessageBoxHook(Text, Caption, Flags);
  QMessageBox box;
  box.setWindowTitle(ToQString(Caption));
  box.setText(ToQString(Text));
  switch (Flags & MB_ICONMASK) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  struct TButtonDef {
    QMessageBox::StandardButton Button;
    int Id;
  };
  std::vector<TButtonDef> buttons;
  switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
      buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
      break;
    case MB_YESNOCANCEL: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
  }
  QMessageBox::StandardButtons set;
  for (auto& b : buttons) set |= b.Button;
  box.setStandardButtons(set);
  for (auto& b : buttons) box.button(b.Button)->setText(ToQString(MessageBoxButtonCaption(b.Id)));
  std::size_t def = (Flags & MB_DEFMASK) == MB_DEFBUTTON2 ? 1 : (Flags & MB_DEFMASK) == MB_DEFBUTTON3 ? 2 : 0;
  if (def < buttons.size()) box.setDefaultButton(buttons[def].Button);
  int r = box.exec();
  for (auto& b : buttons)
    if (b.Button == r) return b.Id;
  return buttons.size() > 1 && (Flags & MB_TYPEMASK) != MB_YESNO ? IDCANCEL : buttons.front().Id;
}

}  // namespace gui_glue
