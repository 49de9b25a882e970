#pragma once
// A person's hands on the program's windows: clicks on controls, tree nodes and grid cells,
// keys, and text typed (ASCII key by key, other text committed by an input method).
#include "GuiTestUtil.h"
#include "MenuTestUtil.h"

#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/TreeView.h"

#include <QtGui/QInputMethodEvent>

namespace appinput {

inline TPoint Middle(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// A click in the middle of a control (a tool button, a check box, an edit).
inline void ClickOn(TControl* Control) {
  guitest::Click(Control, Middle(Control->ClientRect()));
  Application->ProcessMessages();
}

// A click on a node's label; the node is made visible first, as a person scrolls to it.
inline void ClickNode(TCustomTreeView* Tree, TTreeNode* Node) {
  Node->MakeVisible();
  Application->ProcessMessages();
  guitest::Click(Tree, Middle(Node->DisplayRect(true)));
  Application->ProcessMessages();
}

inline void DoubleClickNode(TCustomTreeView* Tree, TTreeNode* Node) {
  Node->MakeVisible();
  TPoint p = Middle(Node->DisplayRect(true));
  guitest::Press(Tree, p, Qt::LeftButton, 1000);
  guitest::Release(Tree, p);
  guitest::SendMouse(Tree, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 20);
  guitest::Release(Tree, p);
  Application->ProcessMessages();
}

// A double click at a point of a control, as a person makes it: two presses close together.
inline void DoubleClickAt(TControl* Control, TPoint P) {
  guitest::Press(Control, P, Qt::LeftButton, 1000);
  guitest::Release(Control, P);
  guitest::Press(Control, P, Qt::LeftButton, 50);
  guitest::Release(Control, P);
  Application->ProcessMessages();
}

// A right click at a point of a control, then a click on the popup's entry of that text;
// false when the popup had no such entry.
inline bool ChooseFromPopup(TControl* Target, TPoint P, const char* Entry) {
  bool found = false;
  mnutest::WhilePopupOpen([&](QMenu* m) {
    QAction* a = mnutest::FindEntry(m, QString::fromUtf8(Entry));
    if (!a) return;
    found = true;
    QPoint c = m->actionGeometry(a).center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(c), QPointF(m->mapToGlobal(c)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(c), QPointF(m->mapToGlobal(c)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m, &release);
  });
  guitest::Click(Target, P, Qt::RightButton);
  Application->ProcessMessages();
  return found;
}

// A click on the cell of data column DataCol in the grid's visible record Record (0-based).
inline void ClickCell(TCustomDBGridEh* Grid, int DataCol, int Record) {
  TRect r = Grid->CellRect(Grid->DataToRawColumn(DataCol), Grid->TopDataOffset() + Record);
  guitest::Click(Grid, Middle(r));
  Application->ProcessMessages();
}

inline void Key(int QtKey, Qt::KeyboardModifiers Mods = Qt::NoModifier) { guitest::TypeKey(QtKey, Mods); }

// Text into the focused control: ASCII as key strokes (Qt's key code of a printable ASCII
// character is its upper-case code), anything else committed by an input method.
inline void Type(const String& Text) {
  bool ascii = true;
  for (unsigned char c : Text) ascii = ascii && c >= 0x20 && c < 0x7F;
  if (!ascii) {
    QInputMethodEvent e;
    e.setCommitString(QString::fromUtf8(Text.data(), static_cast<int>(Text.size())));
    QWidget* target = QApplication::focusWidget();
    if (TWinControl* f = FindControl(GetFocus())) target = guitest::WidgetOf(f);
    QApplication::sendEvent(target, &e);
    Application->ProcessMessages();
    return;
  }
  for (char c : Text) {
    bool upper = c >= 'A' && c <= 'Z';
    int key = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    guitest::TypeKey(key, upper ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
  }
}

// Replaces the whole text of the focused edit: its text selected by keys, then typed over
// (an empty text deletes the selection).
inline void TypeOver(const String& Text) {
  Key(Qt::Key_End);
  Key(Qt::Key_Home, Qt::ShiftModifier);
  if (Text.empty()) Key(Qt::Key_Delete);
  else Type(Text);
}

// Types over an edit's text as a person does: the page that holds it brought to the front, a
// click into it, its old text selected and typed over.
inline void TypeIntoEdit(TWinControl* Edit, const String& Text) {
  for (TWinControl* p = Edit->Parent(); p; p = p->Parent())
    if (auto* page = dynamic_cast<TTabSheet*>(p)) page->PageControl()->SetActivePage(page);
  Application->ProcessMessages();
  ClickOn(Edit);
  TypeOver(Text);
}

}  // namespace appinput
