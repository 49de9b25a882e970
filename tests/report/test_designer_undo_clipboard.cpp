// The designer's undo buffer and clipboard: whole-report snapshots taken on every change and
// read back by undo and redo, and report objects copied to the system clipboard as text and
// pasted onto the edited page.
#include "core/Exceptions.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxXML.h"
#include "core/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A designer that, like the designer window, takes a snapshot and forgets the redo list on
// every change.
class TUndoDesigner : public TfrxCustomDesigner {
public:
  explicit TUndoDesigner(TfrxReport* R) : TfrxCustomDesigner(nullptr, R) {}
  TfrxUndoBuffer Undo;
  int Changes = 0;
  void FlagModified(bool Value) override {
    TfrxCustomDesigner::FlagModified(Value);
    if (!Value) return;
    ++Changes;
    Undo.AddUndo(Report());
    Undo.ClearRedo();
  }
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String&) override { return false; }
  void DropSelection() override { SelectedObjects().clear(); }
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

String Fr3(TfrxReport& R) {
  TStringStream s;
  R.SaveToStream(&s, true, false);
  return s.DataString();
}

int Count(const String& Text, const String& What) {
  int n = 0;
  for (std::size_t at = Text.find(What); at != String::npos; at = Text.find(What, at + 1)) ++n;
  return n;
}

// A page with a master band (Top 100, Height 40) holding two memos, and a memo on the page.
class UndoClipboardTest : public ::testing::Test {
protected:
  void SetUp() override {
    Clipboard()->Clear();
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Band = new TfrxMasterData(Page);
    Band->SetName("MasterData1");
    Band->SetTop(100);
    Band->SetHeight(40);
    MemoA = AddMemo(Band, "MemoA", 10, 0, "A");
    MemoB = AddMemo(Band, "MemoB", 200, 20, "B");
    Loose = AddMemo(Page, "Loose", 50, 300, "L");
    Designer = std::make_unique<TUndoDesigner>(&Report);
    Designer->ChangePage(Page);
    Clip = std::make_unique<TfrxClipboard>(Designer.get());
  }
  void TearDown() override {
    Clip.reset();
    Clipboard()->Clear();
  }
  TfrxMemoView* AddMemo(TfrxComponent* Parent, const String& Name, double Left, double Top, const String& Text) {
    auto* m = new TfrxMemoView(Parent);
    m->SetName(Name);
    m->SetLeft(Left);
    m->SetTop(Top);
    m->SetWidth(80);
    m->SetHeight(18);
    m->SetText(Text);
    return m;
  }
  void Select(std::vector<TfrxComponent*> Objects) {
    Designer->SelectedObjects().assign(Objects.begin(), Objects.end());
  }
  // The class and name of each pasted object, with its parent's name.
  std::vector<String> Pasted() const {
    std::vector<String> out;
    for (TObject* o : Designer->Objects()) {
      auto* c = static_cast<TfrxComponent*>(o);
      out.push_back(c->ClassName() + ":" + c->Name() + "@" + c->Parent()->Name());
    }
    return out;
  }

  TfrxReport Report{nullptr};
  TfrxReportPage* Page = nullptr;
  TfrxMasterData* Band = nullptr;
  TfrxMemoView *MemoA = nullptr, *MemoB = nullptr, *Loose = nullptr;
  std::unique_ptr<TUndoDesigner> Designer;
  std::unique_ptr<TfrxClipboard> Clip;
};

// ---------------------------------------------------------------- undo buffer

TEST_F(UndoClipboardTest, UndoAndRedoReadBackTheSnapshotsAroundAChange) {
  TfrxUndoBuffer& undo = Designer->Undo;
  undo.AddUndo(&Report);  // as the designer opens
  String before = Fr3(Report);

  // One snapshot: nothing to undo, the report stays.
  undo.Undo(&Report);
  EXPECT_EQ(undo.UndoCount(), 1);
  EXPECT_EQ(Fr3(Report), before);

  Loose->SetLeft(123);
  Designer->FlagModified(true);
  String moved = Fr3(Report);
  ASSERT_NE(moved, before);
  ASSERT_EQ(undo.UndoCount(), 2);

  // The undo command: the current state to redo, then back one snapshot.
  undo.AddRedo(&Report);
  undo.Undo(&Report);
  EXPECT_EQ(Fr3(Report), before);
  EXPECT_EQ(undo.UndoCount(), 1);
  EXPECT_EQ(undo.RedoCount(), 1);

  // The redo command: forward again, and the restored state becomes the last snapshot.
  undo.Redo(&Report);
  undo.AddUndo(&Report);
  EXPECT_EQ(Fr3(Report), moved);
  EXPECT_EQ(undo.RedoCount(), 0);
  EXPECT_EQ(undo.UndoCount(), 2);
  auto* m = static_cast<TfrxMemoView*>(Report.FindObject("Loose"));
  ASSERT_NE(m, nullptr);
  EXPECT_DOUBLE_EQ(m->Left(), 123);

  // A change after an undo forgets what could be redone.
  undo.AddRedo(&Report);
  undo.Undo(&Report);
  ASSERT_EQ(undo.RedoCount(), 1);
  Designer->FlagModified(true);
  EXPECT_EQ(undo.RedoCount(), 0);
  EXPECT_GT(undo.Size(), 0);
  undo.ClearUndo();
  EXPECT_EQ(undo.UndoCount(), 0);
  EXPECT_EQ(undo.Size(), 0);
}

// ---------------------------------------------------------------- copy

TEST_F(UndoClipboardTest, CopyWritesHeadingAndRelativeElementsInPageOrder) {
  struct TCase {
    const char* Label;
    std::vector<TfrxComponent*> Selection;
    std::vector<String> Elements;  // the start of each element, in order
  };
  const std::vector<TCase> cases = {
      {"one object", {MemoB}, {"<TfrxMemoView Name=\"MemoB\""}},
      {"band without selected children",
       {Band},
       {"<TfrxMasterData Name=\"MasterData1\"", "<TfrxMemoView Name=\"MemoA\"", "<TfrxMemoView Name=\"MemoB\""}},
      {"band and one child", {MemoB, Band}, {"<TfrxMasterData Name=\"MasterData1\"", "<TfrxMemoView Name=\"MemoB\""}},
      {"page order, not selection order",
       {Loose, MemoA},
       {"<TfrxMemoView Name=\"MemoA\"", "<TfrxMemoView Name=\"Loose\""}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    Select(c.Selection);
    Clip->Copy();
    String text = Clipboard()->AsText();
    ASSERT_EQ(text.compare(0, 17, "#FR3 clipboard#\n\r"), 0);
    String body = text.substr(17);
    EXPECT_EQ(Count(body, "<"), static_cast<int>(c.Elements.size()));
    std::size_t at = 0;
    for (const String& e : c.Elements) {
      ASSERT_EQ(body.compare(at, e.size(), e), 0) << body.substr(at);
      at = body.find("/>", at);
      ASSERT_NE(at, String::npos);
      at += 2;
    }
    EXPECT_EQ(at, body.size());
  }
  // The page's objects are as before: the temporary copies are gone.
  EXPECT_EQ(Page->AllObjects().size(), 4u);
}

TEST_F(UndoClipboardTest, CopiedPositionsAreRelativeToTheSelectionsCorner) {
  // MemoB sits at 200, 120 on the page, Loose at 50, 300: the corner is 50, 120.
  Select({Loose, MemoB});
  String body = Clip->CopyText().substr(17);
  struct TCase {
    const char* Name;
    double Left, Top;
  };
  for (const TCase& c : {TCase{"MemoB", 150, 0}, TCase{"Loose", 0, 180}}) {
    std::size_t at = body.find(String("Name=\"") + c.Name + "\"");
    ASSERT_NE(at, String::npos) << c.Name;
    TfrxXMLItem item;
    item.SetText(body.substr(at, body.find("/>", at) - at));
    EXPECT_DOUBLE_EQ(StrToFloat(item.AttrValue("Left")), c.Left) << c.Name;
    EXPECT_DOUBLE_EQ(StrToFloat(item.AttrValue("Top")), c.Top) << c.Name;
  }
}

// ---------------------------------------------------------------- paste

TEST_F(UndoClipboardTest, PastedBandBringsItsChildrenAndNamesAreKeptOrRenumbered) {
  Select({Band});
  Clip->Copy();
  // Into a fresh report whose names are free: the names are kept.
  TfrxReport other(nullptr);
  auto* page2 = new TfrxReportPage(&other);
  page2->SetName("Page1");
  TUndoDesigner d2(&other);
  d2.ChangePage(page2);
  {
    TfrxClipboard clip2(&d2);
    clip2.Paste();
  }
  std::vector<String> got;
  for (TObject* o : d2.Objects()) {
    auto* c = static_cast<TfrxComponent*>(o);
    got.push_back(c->ClassName() + ":" + c->Name() + "@" + c->Parent()->Name());
  }
  EXPECT_EQ(got, (std::vector<String>{"TfrxMasterData:MasterData1@Page1", "TfrxMemoView:MemoA@MasterData1",
                                       "TfrxMemoView:MemoB@MasterData1"}));
  // Only the band is selected; its children move with it.
  ASSERT_EQ(d2.SelectedObjects().size(), 1u);
  EXPECT_EQ(d2.SelectedObjects()[0], d2.Objects()[0]);
  auto* b = static_cast<TfrxComponent*>(d2.Objects()[2]);
  EXPECT_DOUBLE_EQ(b->Top(), 20);  // back relative to its band
  EXPECT_DOUBLE_EQ(b->Left(), 200);

  // Into the same report: every name is taken, so each gets the next free number.
  Clip->Paste();
  EXPECT_EQ(Pasted(), (std::vector<String>{"TfrxMasterData:MasterData2@Page1", "TfrxMemoView:Memo1@MasterData2",
                                           "TfrxMemoView:Memo2@MasterData2"}));
  EXPECT_EQ(Report.FindObject("MemoA"), MemoA);
}

TEST_F(UndoClipboardTest, PasteDropsWhatDoesNotFitThePage) {
  auto* header = new TfrxPageHeader(Page);
  header->SetName("PageHeader1");
  header->SetHeight(30);
  header->SetGroupIndex(0);
  Loose->SetGroupIndex(3);
  Select({header, Loose});
  Clip->Copy();
  // A page header onto a page with one: dropped, the memo still arrives, out of its group.
  Clip->Paste();
  EXPECT_EQ(Pasted(), (std::vector<String>{"TfrxMemoView:Memo1@Page1"}));
  EXPECT_EQ(static_cast<TfrxComponent*>(Designer->Objects()[0])->GroupIndex(), 0);

  struct TCase {
    const char* Label;
    TfrxPage* Target;
    std::vector<TfrxComponent*> Selection;
    size_t Arrive;
  };
  auto* dialog = new TfrxDialogPage(&Report);
  dialog->SetName("Dialog1");
  auto* dmp = new TfrxDMPPage(&Report);
  dmp->SetName("DMP1");
  auto* dmpMemo = new TfrxDMPMemoView(dmp);
  dmpMemo->SetName("DMPMemo1");
  const std::vector<TCase> cases = {
      {"text object onto a dialog page", dialog, {Loose}, 0},
      {"dot-matrix text onto a report page", Page, {dmpMemo}, 0},
      {"text object onto a dot-matrix page", dmp, {Loose}, 0},
      {"band onto a dot-matrix page", dmp, {Band}, 1},  // its memos do not fit
      {"dot-matrix text onto a dot-matrix page", dmp, {dmpMemo}, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    Designer->ChangePage(c.Selection[0]->Page());
    Select(c.Selection);
    Clip->Copy();
    Designer->ChangePage(c.Target);
    Designer->Objects().clear();
    Clip->Paste();
    EXPECT_EQ(Designer->Objects().size(), c.Arrive);
    if (c.Arrive == 0) {
      ASSERT_EQ(Designer->SelectedObjects().size(), 1u);
      EXPECT_EQ(Designer->SelectedObjects()[0], c.Target);  // an empty paste selects the page
    }
  }
}

TEST_F(UndoClipboardTest, UnicodeTextSurvivesCopyAndPaste) {
  Loose->SetText("中文😀 “q” <&>");
  Select({Loose});
  Clip->Copy();
  Clip->Paste();
  ASSERT_EQ(Designer->Objects().size(), 1u);
  EXPECT_EQ(static_cast<TfrxMemoView*>(Designer->Objects()[0])->Text(), "中文😀 “q” <&>");
}

TEST_F(UndoClipboardTest, UnknownClassKeepsWhatCameBeforeAndOneUndoRemovesIt) {
  Designer->Undo.AddUndo(&Report);
  String before = Fr3(Report);
  Select({MemoA, Loose});
  String text = Clip->CopyText() + "<TfrxNoSuchView Name=\"X\" Left=\"0\"/><TfrxMemoView Name=\"After\"/>";
  Clipboard()->SetAsText(text);
  EXPECT_THROW(Clip->Paste(), EClassNotFound);
  EXPECT_EQ(Pasted(), (std::vector<String>{"TfrxMemoView:Memo1@Page1", "TfrxMemoView:Memo2@Page1"}));
  EXPECT_EQ(Report.FindObject("After"), nullptr);
  EXPECT_EQ(Designer->Changes, 1);
  ASSERT_EQ(Designer->Undo.UndoCount(), 2);
  Designer->Undo.Undo(&Report);
  EXPECT_EQ(Fr3(Report), before);
}

TEST_F(UndoClipboardTest, PasteIsOfferedOnlyForTextThatStartsWithTheHeading) {
  struct TCase {
    const char* Text;
    bool Available;
  };
  for (const TCase& c : {TCase{"#FR3 clipboard#\n\r", true}, TCase{" #FR3 clipboard#\n\r<TfrxMemoView/>", false},
                         TCase{"#FR3 clipboar", false}, TCase{"plain text", false}, TCase{"", false}}) {
    Clipboard()->SetAsText(c.Text);
    Application->ProcessMessages();
    EXPECT_EQ(Clip->PasteAvailable(), c.Available) << '"' << c.Text << '"';
  }
  Select({Loose});
  Clip->Copy();
  EXPECT_TRUE(Clip->PasteAvailable());
  Clipboard()->Clear();
  Application->ProcessMessages();
  EXPECT_FALSE(Clip->PasteAvailable());
}

}  // namespace
