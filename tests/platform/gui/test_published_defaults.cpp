// Published defaults: a value equal to a property's declared default is left out of a layout,
// so the default must be what a new control of that class holds, or the value is lost when the
// layout is read back.
#include "GuiTestUtil.h"

#include "gui/ComCtrls.h"
#include "gui/DBCtrls.h"
#include "gui/ExtCtrls.h"
#include "core/Filer.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"

#include <gtest/gtest.h>

using namespace guitest;

TEST(PublishedDefaults, EveryDeclaredDefaultIsWhatANewComponentHolds) {
  auto* form = new TForm(Application);
  int checked = 0;
  for (TClass c : RegisteredClasses()) {
    if (c->IsAbstract() || !c->InheritsFrom(TComponent::StaticClass()) || c->InheritsFrom(TCustomForm::StaticClass()))
      continue;
    TObject* o = c->Create(form);
    for (const TPropInfo* p : c->Properties()) {
      if (!p->Writable()) continue;
      if (p->IsOrdinal() && p->HasDefault) {
        ++checked;
        EXPECT_EQ(p->Access->GetOrd(o), p->OrdDefault) << c->Name() << "." << p->Name;
      } else if (p->IsString()) {
        ++checked;
        EXPECT_EQ(p->Access->GetStr(o), p->StrDefault) << c->Name() << "." << p->Name;
      }
    }
    delete o;
  }
  EXPECT_GT(checked, 500) << "the controls of the layer were looked at";
  delete form;
}

TEST(PublishedDefaults, ValuesThatDifferFromANewControlSurviveALayout) {
  auto* form = new TForm(Application);
  static_cast<TComponent*>(form)->SetName("F");
  auto add = [&](TControl* c, const char* name) {
    static_cast<TComponent*>(c)->SetName(name);
    c->SetParent(form);
    return c;
  };
  auto* list = static_cast<TListBox*>(add(new TListBox(form), "List"));
  list->SetTabStop(false);
  auto* edit = static_cast<TEdit*>(add(new TEdit(form), "Edit"));
  edit->SetParentColor(true);
  auto* dbedit = static_cast<TDBEdit*>(add(new TDBEdit(form), "DbEdit"));
  dbedit->SetAutoSize(false);
  auto* bar = static_cast<TStatusBar*>(add(new TStatusBar(form), "Bar"));
  bar->SetParentFont(true);
  auto* split = static_cast<TSplitter*>(add(new TSplitter(form), "Split"));
  split->SetCursor(crDefault);
  String text = WriteComponentToText(form);
  delete form;

  auto* again = new TForm(Application);
  ReadComponentFromText(again, text);
  auto find = [&](const char* name) { return again->FindComponent(name); };
  ASSERT_NE(find("List"), nullptr) << text;
  EXPECT_FALSE(static_cast<TListBox*>(find("List"))->TabStop()) << text;
  EXPECT_TRUE(static_cast<TEdit*>(find("Edit"))->ParentColor()) << text;
  EXPECT_FALSE(static_cast<TDBEdit*>(find("DbEdit"))->AutoSize()) << text;
  EXPECT_TRUE(static_cast<TStatusBar*>(find("Bar"))->ParentFont()) << text;
  EXPECT_EQ(static_cast<TSplitter*>(find("Split"))->Cursor(), crDefault) << text;
  delete again;
}
