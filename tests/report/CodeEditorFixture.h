#pragma once
// The code editor in a plain form, shown offscreen and focused, driven by real keys and mouse.
#include "GuiTestUtil.h"
#include "core/StringList.h"
#include "gui/Forms.h"
#include "report/designer/frxSynMemo.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

class CodeEditorTest : public ::testing::Test {
protected:
  TForm* Form = nullptr;
  TfrxSyntaxMemo* Memo = nullptr;

  void SetUp() override {
    guitest::Clock() += 5000;
    Form = new TForm(nullptr);
    Form->SetBounds(50, 50, 700, 420);
    Memo = new TfrxSyntaxMemo(Form);
    Memo->SetParent(Form);
    Memo->SetBounds(0, 0, 640, 360);
    Form->Show();
    Memo->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }

  void SetText(std::initializer_list<const char*> Lines) {
    TStringList list;
    for (const char* l : Lines) list.Add(l);
    Memo->SetLines(&list);
  }
  std::vector<String> Text() const {
    std::vector<String> r;
    for (int i = 0; i < Memo->LineCount(); ++i) r.push_back(Memo->Line(i));
    return r;
  }

  static void Key(int QtKey, Qt::KeyboardModifiers Mods = Qt::NoModifier) { guitest::TypeKey(QtKey, Mods); }
  static void Ctrl(int QtKey) { Key(QtKey, Qt::ControlModifier); }
  // Typed characters, one key each (ASCII), as the keyboard sends them.
  static void Type(const char* Text) {
    for (const char* p = Text; *p; ++p) {
      const char c = *p;
      int key = c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : c >= 'A' && c <= 'Z' ? Qt::Key_A + (c - 'A') : c;
      guitest::TypeKey(key, c >= 'A' && c <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
    }
  }
  // A composed text committed by an input method.
  static void Commit(const char* Utf8) { guitest::TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(Utf8)); }

  // The client point inside the cell of a caret point (column, line), as the view shows it.
  TPoint CellPoint(int Column, int Line) const {
    return {Memo->GutterWidth() + (Column - 1 - Memo->LeftOffset()) * Memo->CharWidth() + 1,
            (Line - 1 - Memo->TopOffset()) * Memo->LineHeight() + Memo->LineHeight() / 2};
  }
  void ClickCell(int Column, int Line) { guitest::Click(Memo, CellPoint(Column, Line)); }
  void Drag(TPoint From, TPoint To) {
    guitest::Press(Memo, CellPoint(From.X, From.Y), Qt::LeftButton, 1000);
    guitest::Move(Memo, CellPoint(To.X, To.Y), Qt::LeftButton);
    guitest::Release(Memo, CellPoint(To.X, To.Y));
  }
  void DoubleClickCell(int Column, int Line) {
    const TPoint p = CellPoint(Column, Line);
    guitest::Press(Memo, p, Qt::LeftButton, 1000);
    guitest::Release(Memo, p);
    guitest::SendMouse(Memo, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 50);
    guitest::Release(Memo, p);
  }
};
