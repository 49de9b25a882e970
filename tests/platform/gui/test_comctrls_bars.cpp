// Status bars, tool bars and cool bars: panels and their places, simple text, owner-drawn
// panels; tool buttons laid out by the bar, check and grouped buttons, drop-down menus, and
// buttons that follow their actions; bands holding controls; reading them from layouts.
#include "ListsTestUtil.h"
#include "MenuTestUtil.h"

#include "gui/ActnList.h"
#include "core/ClassBuilder.h"
#include "gui/ComCtrls.h"
#include "gui/ToolBar.h"
#include "core/Filer.h"
#include "gui/Menus.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

// ================================================================ status bar

namespace {

class TSbForm : public TForm {
  KELM_CLASS(TSbForm, TForm)
public:
  explicit TSbForm(TComponent* AOwner) : TForm(AOwner) {}
  TStatusBar* StatusBar1 = nullptr;
  std::vector<std::string> Drawn;
  void StatusBar1DrawPanel(TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect) {
    Drawn.push_back(std::to_string(Panel->Index()) + ":" + std::to_string(Rect.Left));
    Bar->Canvas()->Brush()->SetColor(clRed);
    Bar->Canvas()->FillRect(Rect);
  }
};

}  // namespace

KELM_PUBLISH(TSbForm) {
  b.Field("StatusBar1", &TSbForm::StatusBar1);
  b.Method("StatusBar1DrawPanel", &TSbForm::StatusBar1DrawPanel);
}

TEST(StatusBars, PanelsComeFromALayoutAndLieSideBySide) {
  const char* text =
      "object SbForm: TSbForm\n"
      "  Left = 40\n"
      "  Top = 40\n"
      "  Width = 700\n"
      "  Height = 200\n"
      "  BorderStyle = bsSingle\n"
      "  object StatusBar1: TStatusBar\n"
      "    Panels = <\n"
      "      item\n"
      "        Text = ' 当前操作员: Admin'\n"
      "        Width = 160\n"
      "      end\n"
      "      item\n"
      "        Style = psOwnerDraw\n"
      "        Width = 350\n"
      "      end\n"
      "      item\n"
      "        Alignment = taCenter\n"
      "        Width = 50\n"
      "      end>\n"
      "    OnDrawPanel = StatusBar1DrawPanel\n"
      "  end\n"
      "end\n";
  auto* f = new TSbForm(Application);
  ReadComponentFromText(f, text);
  f->Show();
  Application->ProcessMessages();
  TStatusBar* sb = f->StatusBar1;
  ASSERT_EQ(sb->Panels()->Count(), 3);
  EXPECT_EQ(sb->Align(), alBottom) << "a status bar sits at the bottom";
  EXPECT_EQ(sb->Top() + sb->Height(), f->ClientHeight());
  EXPECT_EQ(sb->Panels()->Items(0)->Text(), " 当前操作员: Admin");
  // Panels side by side with their widths; the last one runs to the right edge.
  struct Place {
    int left, right;
  };
  const Place places[] = {{0, 160}, {162, 512}, {514, sb->ClientWidth()}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sb->PanelRect(i).Left, places[i].left);
    EXPECT_EQ(sb->PanelRect(i).Right, places[i].right);
  }
  EXPECT_EQ(sb->PanelAtPos({170, 5}), 1);
  EXPECT_EQ(sb->PanelAtPos({600, 5}), 2);
  EXPECT_EQ(sb->PanelAtPos({161, 5}), -1) << "the gap belongs to no panel";
  // The owner-drawn panel is drawn by the handler, inside its bevel.
  ASSERT_FALSE(f->Drawn.empty());
  EXPECT_EQ(f->Drawn.back(), "1:163");
  EXPECT_EQ(At(f, sb, 300, sb->ClientHeight() / 2), QColor(255, 0, 0));
  // Text changes reach the picture.
  EXPECT_NE(At(f, sb, 20, sb->ClientHeight() / 2), SysQColor(COLOR_BTNFACE)) << "text starts there";
  sb->Panels()->Items(0)->SetText("");
  Application->ProcessMessages();
  EXPECT_EQ(At(f, sb, 20, sb->ClientHeight() / 2), SysQColor(COLOR_BTNFACE));
  delete f;
}

TEST(StatusBars, SimpleModeShowsOneTextAndTheGripFollowsTheForm) {
  auto* f = new TForm(Application);
  f->SetBounds(40, 40, 400, 200);
  auto* sb = new TStatusBar(f);
  sb->SetParent(f);
  sb->Panels()->Add()->SetText("面板");
  f->Show();
  Application->ProcessMessages();
  sb->SetSimplePanel(true);
  sb->SetSimpleText("当前共有 12 条记录");
  Application->ProcessMessages();
  QImage img = WidgetOf(f)->grab().toImage();
  // Ink of the simple text spans more than the first panel's width would hold of "面板".
  TPoint o = f->ScreenToClient(sb->ClientToScreen({0, 0}));
  int inkRight = 0;
  for (int x = 0; x < sb->ClientWidth() - 20; ++x)
    for (int y = 2; y < sb->ClientHeight(); ++y)
      if (QColor(img.pixel(o.X + x, o.Y + y)).lightness() < 80) inkRight = std::max(inkRight, x);
  EXPECT_GT(inkRight, 90);
  EXPECT_EQ(sb->PanelAtPos({10, 5}), -1) << "a simple bar has no panels to hit";
  // The grip is drawn only for a form the user can size.
  auto cornerInk = [&] {
    Application->ProcessMessages();
    QImage g = WidgetOf(f)->grab().toImage();
    int n = 0;
    for (int x = sb->ClientWidth() - 12; x < sb->ClientWidth(); ++x)
      for (int y = sb->ClientHeight() - 12; y < sb->ClientHeight(); ++y)
        if (QColor(g.pixel(o.X + x, o.Y + y)) != SysQColor(COLOR_BTNFACE)) ++n;
    return n;
  };
  EXPECT_GT(cornerInk(), 0);
  f->SetBorderStyle(bsDialog);
  sb->Invalidate();
  EXPECT_EQ(cornerInk(), 0);
  delete f;
}

// ================================================================ tool bar

namespace {

struct ToolBarFixture : FormFixture {
  TToolBar* Bar = nullptr;
  TImageList* Images = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Bar = Add<TToolBar>(Rect(0, 0, 360, 29));
    Images = new TImageList(Form);
    TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
    Images->AddMasked(&bmp, clNone);
  }
  TToolButton* AddButton(const String& caption, TToolButtonStyle style = tbsButton) {
    auto* b = new TToolButton(Form);
    b->SetParent(Bar);
    b->SetCaption(caption);
    b->SetStyle(style);
    return b;
  }
  TPoint Mid(TControl* c) { return {c->Width() / 2, c->Height() / 2}; }
};

}  // namespace

TEST_F(ToolBarFixture, ButtonsAreLaidOutInTheirOrderAndWrap) {
  auto* a = AddButton("添加");
  auto* sep = AddButton("", tbsSeparator);
  auto* b = AddButton("编辑");
  auto* dd = AddButton("新增", tbsDropDown);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(sep->Left(), a->Width());
  EXPECT_EQ(sep->Width(), 8) << "a separator is narrow";
  EXPECT_EQ(b->Left(), sep->Left() + 8);
  EXPECT_EQ(dd->Width(), b->Width() + TToolButton::DropDownWidth);
  EXPECT_EQ(Bar->ButtonCount(), 4);
  EXPECT_EQ(Bar->Buttons(3), dd);
  EXPECT_EQ(b->Index(), 2);
  // The main window's bar: captions shown, 55 x 51 buttons, images from a list.
  Bar->SetImages(Images);
  Bar->SetButtonWidth(55);
  Bar->SetButtonHeight(51);
  Bar->SetShowCaptions(true);
  Bar->SetAutoSize(true);
  EXPECT_EQ(a->Width(), 55);
  EXPECT_EQ(a->Height(), 51);
  TRect nc = Bar->NonClientMargins();
  EXPECT_EQ(Bar->Height(), 51 + nc.Top + nc.Bottom) << "AutoSize fits one row";
  // A button that wraps starts a new row.
  sep->SetWrap(true);
  EXPECT_EQ(b->Top(), 51);
  EXPECT_EQ(b->Left(), 0);
  EXPECT_EQ(Bar->RowCount(), 2);
  EXPECT_EQ(Bar->Height(), 102 + nc.Top + nc.Bottom);
}

TEST_F(ToolBarFixture, ButtonsFollowTheirActions) {
  auto* list = new TActionList(Form);
  list->SetImages(Images);
  auto* act = new TAction(Form);
  act->SetActionList(list);
  act->SetCaption("添加");
  act->SetImageIndex(0);
  int runs = 0;
  act->OnExecute = TNotifyEvent::Lambda([&](TObject*) { ++runs; });
  auto* b = AddButton("");
  b->SetAction(act);
  EXPECT_EQ(b->Caption(), "添加");
  EXPECT_EQ(b->ImageIndex(), 0);
  Click(b, Mid(b));
  Application->ProcessMessages();
  EXPECT_EQ(runs, 1) << "the click runs the action";
  act->SetEnabled(false);
  EXPECT_FALSE(b->Enabled()) << "disabling the action disables its button";
  Click(b, Mid(b));
  Application->ProcessMessages();
  EXPECT_EQ(runs, 1);
  act->SetEnabled(true);
  act->SetChecked(true);
  EXPECT_TRUE(b->Down()) << "Checked shows as Down";
  act->SetCaption("新增");
  EXPECT_EQ(b->Caption(), "新增");
  act->SetVisible(false);
  EXPECT_FALSE(b->Visible());
}

TEST_F(ToolBarFixture, CheckButtonsStayDownAndGroupsKeepOneDown) {
  auto* a = AddButton("甲", tbsCheck);
  auto* b = AddButton("乙", tbsCheck);
  auto* c = AddButton("丙", tbsCheck);
  auto* lone = AddButton("单", tbsCheck);
  for (TToolButton* t : {a, b, c}) t->SetGrouped(true);
  int clicks = 0;
  for (TToolButton* t : {a, b, c, lone}) t->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  auto downs = [&] { return std::string{a->Down() ? '1' : '0', b->Down() ? '1' : '0', c->Down() ? '1' : '0'}; };
  Click(a, Mid(a));
  EXPECT_EQ(downs(), "100");
  Click(c, Mid(c));
  EXPECT_EQ(downs(), "001") << "one of a group is down";
  Click(c, Mid(c));
  EXPECT_EQ(downs(), "001") << "a group without AllowAllUp keeps one down";
  c->SetAllowAllUp(true);
  Click(c, Mid(c));
  EXPECT_EQ(downs(), "000");
  Click(lone, Mid(lone));
  EXPECT_TRUE(lone->Down());
  Click(lone, Mid(lone));
  EXPECT_FALSE(lone->Down()) << "an ungrouped check button toggles";
  EXPECT_EQ(clicks, 6);
  // A press released outside the button is no click.
  Press(a, Mid(a), Qt::LeftButton, 1000);
  Move(a, {a->Width() + 30, 5}, Qt::LeftButton);
  Release(a, {a->Width() + 30, 5});
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 6);
  EXPECT_FALSE(a->Down());
}

TEST_F(ToolBarFixture, DropDownButtonsShowTheirMenuFromTheArrow) {
  auto* menu = new TPopupMenu(Form);
  auto* sibling = new TMenuItem(Form);
  sibling->SetCaption("新增同级节点");
  menu->Items()->Add(sibling);
  auto* child = new TMenuItem(Form);
  child->SetCaption("新增下级节点");
  menu->Items()->Add(child);
  std::vector<std::string> log;
  child->OnClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back("child item"); });
  auto* dd = AddButton("新增&A", tbsDropDown);
  dd->SetDropdownMenu(menu);
  dd->OnClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back("button"); });
  // The main part is a button.
  Click(dd, {5, dd->Height() / 2});
  Application->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"button"});
  // The arrow opens the menu under the button for it.
  TPoint shownAt;
  QStringList entries;
  auto watch = mnutest::WhilePopupOpen([&](QMenu* m) {
    shownAt = {m->pos().x(), m->pos().y()};
    entries = mnutest::EntryTexts(m);
    if (QAction* a = mnutest::FindEntry(m, "新增下级节点")) a->trigger();
  });
  Click(dd, {dd->Width() - 4, dd->Height() / 2});
  Application->ProcessMessages();
  WaitFor([&] { return log.size() >= 2; }, 2000);
  EXPECT_EQ(entries, (QStringList{"新增同级节点", "新增下级节点"}));
  EXPECT_EQ(menu->PopupComponent(), dd);
  TPoint below = dd->ClientToScreen({0, dd->Height()});
  EXPECT_EQ(shownAt.Y, below.Y) << "the menu opens under the button";
  EXPECT_EQ(log, (std::vector<std::string>{"button", "child item"})) << "the arrow runs no click of its own";
}

namespace {

class TTbForm : public TForm {
  KELM_CLASS(TTbForm, TForm)
public:
  explicit TTbForm(TComponent* AOwner) : TForm(AOwner) {}
  TCoolBar* CoolBar1 = nullptr;
  TToolBar* ToolBar1 = nullptr;
  TToolButton* Pact_M = nullptr;
  TToolButton* ToolButton8 = nullptr;
  int Clicks = 0;
  void ToolButton8Click(TObject*) { ++Clicks; }
};

}  // namespace

KELM_PUBLISH(TTbForm) {
  b.Field("CoolBar1", &TTbForm::CoolBar1);
  b.Field("ToolBar1", &TTbForm::ToolBar1);
  b.Field("Pact_M", &TTbForm::Pact_M);
  b.Field("ToolButton8", &TTbForm::ToolButton8);
  b.Method("ToolButton8Click", &TTbForm::ToolButton8Click);
}

TEST(ToolBarLayouts, ACoolBarBandHoldsTheToolBarOfTheLayout) {
  // Buttons listed out of order: the bar orders them by their place.
  const char* text =
      "object TbForm: TTbForm\n"
      "  Left = 40\n"
      "  Top = 40\n"
      "  Width = 600\n"
      "  Height = 300\n"
      "  object CoolBar1: TCoolBar\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    Width = 600\n"
      "    Height = 59\n"
      "    AutoSize = True\n"
      "    Bands = <\n"
      "      item\n"
      "        Control = ToolBar1\n"
      "        ImageIndex = -1\n"
      "        MinHeight = 51\n"
      "        Width = 596\n"
      "      end>\n"
      "    object ToolBar1: TToolBar\n"
      "      Left = 9\n"
      "      Top = 0\n"
      "      Width = 583\n"
      "      Height = 51\n"
      "      ButtonHeight = 51\n"
      "      ButtonWidth = 55\n"
      "      Caption = 'ToolBar1'\n"
      "      EdgeBorders = []\n"
      "      Flat = True\n"
      "      ShowCaptions = True\n"
      "      TabOrder = 0\n"
      "      object ToolButton8: TToolButton\n"
      "        Left = 55\n"
      "        Top = 0\n"
      "        Caption = '事务提醒'\n"
      "        OnClick = ToolButton8Click\n"
      "      end\n"
      "      object Pact_M: TToolButton\n"
      "        Left = 0\n"
      "        Top = 0\n"
      "        Caption = '合同管理'\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* f = new TTbForm(Application);
  ReadComponentFromText(f, text);
  f->Show();
  Application->ProcessMessages();
  ASSERT_NE(f->ToolBar1, nullptr);
  EXPECT_EQ(f->CoolBar1->Bands()->Count(), 1);
  EXPECT_EQ(f->CoolBar1->Bands()->Items(0)->Control(), f->ToolBar1);
  EXPECT_EQ(f->ToolBar1->Parent(), f->CoolBar1);
  TRect band = f->CoolBar1->BandRect(0);
  EXPECT_EQ(band.Height(), 51 + 4) << "the band is as high as its control and a margin";
  EXPECT_GT(f->ToolBar1->Left(), band.Left) << "the grip comes first";
  EXPECT_EQ(f->ToolBar1->Height(), 51);
  EXPECT_EQ(f->ToolBar1->Buttons(0), f->Pact_M) << "ordered by their place";
  EXPECT_EQ(f->Pact_M->Left(), 0);
  EXPECT_EQ(f->ToolButton8->Left(), 55);
  EXPECT_TRUE(f->ToolBar1->Flat());
  Click(f->ToolButton8, {20, 20});
  Application->ProcessMessages();
  EXPECT_EQ(f->Clicks, 1);
  // Written back, the buttons come out in their order inside the tool bar.
  String written = WriteComponentToText(f);
  EXPECT_LT(written.find("object Pact_M"), written.find("object ToolButton8"));
  delete f;
}
