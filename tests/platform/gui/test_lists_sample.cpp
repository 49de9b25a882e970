// A window with every list, tab, bar, tree, calendar and file control, in Chinese, saved as a
// picture under the build folder (screenshots/lists_controls.png) for a person to look at.
#include "ListsTestUtil.h"

#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/FileCtrl.h"
#include "gui/ListCtrls.h"
#include "gui/ListView.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "core/SysUtils.h"

#include <QtGui/QImage>

using namespace guitest;
using namespace stdtest;

namespace {

TImageList* MakeImages(TComponent* Owner) {
  auto* images = new TImageList(Owner);
  const TColor colours[] = {clNavy, clGreen, clMaroon, clTeal};
  for (TColor c : colours) {
    TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.Canvas()->Brush()->SetColor(clFuchsia);
    bmp.Canvas()->FillRect(Rect(0, 0, 16, 16));
    bmp.Canvas()->Brush()->SetColor(c);
    bmp.Canvas()->Pen()->SetColor(clBlack);
    bmp.Canvas()->Rectangle(2, 2, 14, 14);
    images->AddMasked(&bmp, clFuchsia);
  }
  return images;
}

}  // namespace

TEST(ListsSample, AWindowWithEveryControlInChinese) {
  SetClock([] { return EncodeDate(2024, 3, 8) + 0.4; });
  auto* f = new TForm(Application);
  f->SetCaption("控件示例");
  f->SetBounds(20, 20, 820, 600);
  TImageList* images = MakeImages(f);

  auto* tb = new TToolBar(f);
  tb->SetParent(f);
  tb->SetImages(images);
  tb->SetShowCaptions(true);
  tb->SetFlat(true);
  tb->SetButtonWidth(55);
  tb->SetButtonHeight(40);
  tb->SetAutoSize(true);
  const char* tools[] = {"合同管理", "付款查询", "收款查询", "-", "项目管理", "客户管理"};
  int img = 0;
  for (const char* t : tools) {
    auto* b = new TToolButton(f);
    b->SetParent(tb);
    if (String(t) == "-") {
      b->SetStyle(tbsSeparator);
      continue;
    }
    b->SetCaption(t);
    b->SetImageIndex(img++ % 4);
  }
  tb->Buttons(1)->SetStyle(tbsCheck);
  tb->Buttons(1)->SetDown(true);
  tb->Buttons(5)->SetEnabled(false);

  auto* sb = new TStatusBar(f);
  sb->SetParent(f);
  for (auto [w, t] : std::vector<std::pair<int, const char*>>{{160, " 当前操作员: Admin"}, {350, "数据库路径: /opt/kelm/DataBase/kelm.mdb"}, {50, ""}}) {
    TStatusPanel* p = sb->Panels()->Add();
    p->SetWidth(w);
    p->SetText(t);
  }

  auto* tree = new TTreeView(f);
  tree->SetParent(f);
  tree->SetAlign(alLeft);
  tree->SetWidth(190);
  tree->SetImages(images);
  tree->SetHideSelection(false);
  TTreeNode* root = tree->Items()->Add(nullptr, "合同类别");
  TTreeNode* a = tree->Items()->AddChild(root, "01-采购合同");
  tree->Items()->AddChild(a, "0101-设备采购");
  tree->Items()->AddChild(a, "0102-材料采购");
  TTreeNode* b = tree->Items()->AddChild(root, "02-销售合同");
  tree->Items()->AddChild(b, "0201-产品销售");
  tree->Items()->AddChild(root, "03-服务合同");
  tree->FullExpand();
  tree->SetSelected(a);

  auto* pc = new TPageControl(f);
  pc->SetParent(f);
  pc->SetAlign(alClient);
  auto* page1 = new TTabSheet(f);
  page1->SetPageControl(pc);
  page1->SetCaption("基本控件");
  auto* page2 = new TTabSheet(f);
  page2->SetPageControl(pc);
  page2->SetCaption("合同列表");
  auto* page3 = new TTabSheet(f);
  page3->SetPageControl(pc);
  page3->SetCaption("隐藏页");
  page3->SetTabVisible(false);
  auto* page4 = new TTabSheet(f);
  page4->SetPageControl(pc);
  page4->SetCaption("文件");
  pc->SetActivePage(page1);

  auto* list = new TListBox(f);
  list->SetParent(page1);
  list->SetBounds(8, 8, 140, 110);
  for (int i = 0; i < 12; ++i) list->Items()->Add("字段" + IntToStr(i + 1));
  list->SetItemIndex(2);

  auto* checks = new TCheckListBox(f);
  checks->SetParent(page1);
  checks->SetBounds(156, 8, 150, 110);
  for (const char* s : {"清除合同数据", "清除客户数据", "清除项目数据", "清除员工数据"}) checks->Items()->Add(s);
  checks->SetChecked(0, true);
  checks->SetChecked(2, true);

  const TComboBoxStyle styles[] = {csDropDown, csDropDownList};
  int y = 126;
  for (TComboBoxStyle s : styles) {
    auto* combo = new TComboBox(f);
    combo->SetParent(page1);
    combo->SetStyle(s);
    combo->SetBounds(8, y, 140, 21);
    for (const char* t : {"合同编号", "合同名称", "客户名称"}) combo->Items()->Add(t);
    combo->SetItemIndex(1);
    y += 30;
  }
  auto* simple = new TComboBox(f);
  simple->SetParent(page1);
  simple->SetStyle(csSimple);
  simple->SetBounds(8, y, 140, 90);
  for (const char* t : {"男", "女"}) simple->Items()->Add(t);
  simple->SetItemIndex(0);

  auto* pick = new TDateTimePicker(f);
  pick->SetParent(page1);
  pick->SetBounds(156, 126, 150, 21);
  pick->SetFormat("yyyy-MM-dd");
  auto* pick2 = new TDateTimePicker(f);
  pick2->SetParent(page1);
  pick2->SetBounds(156, 156, 150, 21);
  pick2->SetFormat("yyyy-MM-dd");
  pick2->SetShowCheckbox(true);
  pick2->SetChecked(false);

  auto* cal = new TMonthCalendar(f);
  cal->SetParent(page1);
  cal->SetLeft(318);
  cal->SetTop(8);
  cal->SetAutoSize(true);

  auto* tabs = new TTabControl(f);
  tabs->SetParent(page1);
  tabs->SetBounds(156, 186, 150, 60);
  tabs->SetStyle(tsButtons);
  tabs->Tabs()->SetCommaText("员工身份,附件类型");
  tabs->SetTabIndex(0);

  auto* lv = new TListView(f);
  lv->SetParent(page2);
  lv->SetAlign(alClient);
  lv->SetViewStyle(vsReport);
  lv->SetGridLines(true);
  lv->SetRowSelect(true);
  lv->SetSmallImages(images);
  for (auto [c, w] : std::vector<std::pair<const char*, int>>{{"合同名称", 140}, {"合同类型", 100}, {"合同金额", 90}}) {
    TListColumn* col = lv->Columns()->Add();
    col->SetCaption(c);
    col->SetWidth(w);
  }
  for (int i = 0; i < 6; ++i) {
    TListItem* it = lv->Items()->Add();
    it->SetCaption("合同" + IntToStr(i + 1));
    it->SetImageIndex(i % 4);
    it->SubItems()->Add(i % 2 ? "采购" : "销售");
    it->SubItems()->Add(FormatFloat("#,##0.00", 12345.6 * (i + 1)));
  }
  lv->Items()->Item(1)->SetSelected(true);

  auto* drives = new TDriveComboBox(f);
  drives->SetParent(page4);
  drives->SetBounds(8, 8, 200, 21);
  auto* dirs = new TDirectoryListBox(f);
  dirs->SetParent(page4);
  dirs->SetBounds(8, 36, 200, 200);
  auto* files = new TFileListBox(f);
  files->SetParent(page4);
  files->SetBounds(216, 36, 200, 200);
  files->SetShowGlyphs(true);
  drives->SetDirList(dirs);
  dirs->SetFileList(files);

  f->Show();
  list->SetFocus();
  Application->ProcessMessages();
  QDir().mkpath("screenshots");
  ASSERT_TRUE(GrabToPng(f, "screenshots/lists_controls.png"));
  pc->SetActivePage(page2);
  Application->ProcessMessages();
  ASSERT_TRUE(GrabToPng(f, "screenshots/lists_controls_report.png"));
  pc->SetActivePage(page4);
  Application->ProcessMessages();
  ASSERT_TRUE(GrabToPng(f, "screenshots/lists_controls_files.png"));
  QImage shot("screenshots/lists_controls.png");
  EXPECT_EQ(shot.size(), WidgetOf(f)->size()) << "the whole window was written";
  delete f;
  SetClock(nullptr);
}
