// Panels, bevels, shapes, images, paint boxes, splitters, radio groups, scroll boxes,
// progress bars and up-down buttons.
#include "StdTestUtil.h"

#include "core/Classes.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/ExtCtrls.h"
#include "core/Filer.h"
#include "gui/WinScroll.h"

using namespace guitest;
using namespace stdtest;

namespace {
struct ExtFixture : FormFixture {};

QColor Rgb(TColor c) {
  COLORREF v = ColorToRGB(c);
  return QColor(GetRValue(v), GetGValue(v), GetBValue(v));
}
}  // namespace

TEST_F(ExtFixture, APanelFramesItsClientWithBevelsAndBorder) {
  auto* p = Add<TPanel>(Rect(10, 10, 210, 110));
  p->SetColor(clWhite);
  auto* child = Add<TPanel>(p, Rect(0, 0, 10, 10));
  child->SetAlign(alClient);
  struct Case {
    TPanelBevel outer, inner;
    int border, width;
    int inset;
  };
  const Case cases[] = {
      {bvRaised, bvNone, 0, 1, 1}, {bvNone, bvNone, 0, 1, 0}, {bvRaised, bvLowered, 0, 1, 2},
      {bvLowered, bvRaised, 3, 2, 7},
  };
  for (const Case& c : cases) {
    p->SetBevelOuter(c.outer);
    p->SetBevelInner(c.inner);
    p->SetBorderWidth(c.border);
    p->SetBevelWidth(c.width);
    EXPECT_EQ(child->BoundsRect(), Rect(c.inset, c.inset, 200 - c.inset, 100 - c.inset)) << c.inset;
  }
  // The outer bevel is lowered: shadow at the top-left, highlight at the bottom-right.
  child->SetVisible(false);
  EXPECT_EQ(Pixel(p, 5, 0), Rgb(clBtnShadow));
  EXPECT_EQ(Pixel(p, 199, 50), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(p, 100, 50), QColor(Qt::white)) << "the inside in the panel's colour";
}

TEST_F(ExtFixture, BevelsAndShapesDrawWhereTheyShould) {
  auto* bevel = Add<TBevel>(Rect(10, 10, 110, 60));
  bevel->SetShape(bsTopLine);
  EXPECT_EQ(Pixel(Form, 50, 10), Rgb(clBtnShadow)) << "lowered: the shadow line first";
  EXPECT_EQ(Pixel(Form, 50, 11), Rgb(clBtnHighlight));
  EXPECT_EQ(Pixel(Form, 50, 30), Rgb(clBtnFace));
  bevel->SetStyle(bsRaised);
  EXPECT_EQ(Pixel(Form, 50, 10), Rgb(clBtnHighlight));

  auto* shape = Add<TShape>(Rect(150, 10, 250, 60));
  shape->SetShape(stCircle);
  shape->Brush()->SetColor(clRed);
  // A circle in a wide box: centred, the corners of the box untouched.
  EXPECT_EQ(Pixel(Form, 200, 35), QColor(Qt::red));
  EXPECT_EQ(Pixel(Form, 152, 12), Rgb(clBtnFace));
  shape->SetShape(stRectangle);
  EXPECT_EQ(Pixel(Form, 152, 12), QColor(Qt::red));
  EXPECT_EQ(Pixel(Form, 150, 10), QColor(Qt::black)) << "the pen's frame";
}

TEST_F(ExtFixture, AnImageStretchesCentresOrKeepsItsPictureAspect) {
  auto* img = Add<TImage>(Rect(10, 10, 110, 60));
  TBitmap bmp;
  bmp.SetSize(20, 10);
  bmp.Canvas()->Brush()->SetColor(clBlue);
  bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
  img->Picture()->SetGraphic(&bmp);
  struct Case {
    bool stretch, center, proportional;
    TRect dest;
  };
  const Case cases[] = {
      {false, false, false, Rect(0, 0, 20, 10)},   {false, true, false, Rect(40, 20, 60, 30)},
      {true, false, false, Rect(0, 0, 100, 50)},   {true, false, true, Rect(0, 0, 100, 50)},
      {true, true, true, Rect(0, 0, 100, 50)},
  };
  for (const Case& c : cases) {
    img->SetStretch(c.stretch);
    img->SetCenter(c.center);
    img->SetProportional(c.proportional);
    EXPECT_EQ(img->DestRect(), c.dest);
  }
  img->SetBounds(10, 10, 100, 100);
  EXPECT_EQ(img->DestRect(), Rect(0, 25, 100, 75)) << "proportional and centred in a square";
  EXPECT_EQ(Pixel(img, 50, 50), QColor(Qt::blue));
  EXPECT_EQ(Pixel(img, 50, 10), Rgb(clBtnFace));
  img->SetAutoSize(true);
  EXPECT_EQ(img->Width(), 20);
  EXPECT_EQ(img->Height(), 10);
  // Drawing on an empty image makes it a bitmap of the control's size.
  auto* blank = Add<TImage>(Rect(150, 10, 190, 40));
  blank->ImageCanvas()->Brush()->SetColor(clGreen);
  blank->ImageCanvas()->FillRect(Rect(0, 0, 40, 30));
  EXPECT_EQ(blank->Picture()->Width(), 40);
  blank->Invalidate();
  EXPECT_EQ(Pixel(blank, 20, 15), QColor(0, 128, 0));
}

TEST_F(ExtFixture, APaintBoxDrawsInOnPaintOnItsParent) {
  auto* box = Add<TPaintBox>(Rect(30, 30, 90, 70));
  int paints = 0;
  box->OnPaint = TNotifyEvent::Lambda([&](TObject* s) {
    ++paints;
    TCanvas* c = static_cast<TPaintBox*>(s)->Canvas();
    c->Brush()->SetColor(clYellow);
    c->FillRect(Rect(0, 0, 60, 40));
  });
  EXPECT_EQ(Pixel(Form, 60, 50), QColor(Qt::yellow));
  EXPECT_EQ(Pixel(Form, 95, 50), Rgb(clBtnFace)) << "clipped to the box";
  EXPECT_GT(paints, 0);
}

TEST_F(ExtFixture, ASplitterResizesTheControlBesideIt) {
  auto* left = Add<TPanel>(Rect(0, 0, 100, 240));
  left->SetAlign(alLeft);
  auto* split = Add<TSplitter>(Rect(100, 0, 103, 240));
  split->SetAlign(alLeft);
  auto* rest = Add<TPanel>(Rect(0, 0, 10, 10));
  rest->SetAlign(alClient);
  ASSERT_EQ(split->Left(), 100);
  ASSERT_EQ(split->FindControl(), left);
  int moved = 0;
  split->OnMoved = TNotifyEvent::Lambda([&](TObject*) { ++moved; });
  Press(split, {1, 50}, Qt::LeftButton, 1000);
  Move(split, {41, 50}, Qt::LeftButton);
  Release(split, {41, 50});
  EXPECT_EQ(left->Width(), 140);
  EXPECT_EQ(split->Left(), 140);
  EXPECT_EQ(rest->Left(), 143);
  EXPECT_EQ(moved, 1);
  // Dragged far right, the other side keeps MinSize.
  Press(split, {1, 50}, Qt::LeftButton, 1000);
  Move(split, {500, 50}, Qt::LeftButton);
  Release(split, {500, 50});
  EXPECT_EQ(left->Width(), 360 - 3 - split->MinSize());
  // Dragged to the left edge with AutoSnap it closes.
  Press(split, {1, 50}, Qt::LeftButton, 1000);
  Move(split, {-400, 50}, Qt::LeftButton);
  Release(split, {-400, 50});
  EXPECT_EQ(left->Width(), 0);
}

TEST_F(ExtFixture, ARadioGroupMakesAButtonPerItemAndTracksTheChoice) {
  auto* g = Add<TRadioGroup>(Rect(10, 10, 210, 130));
  int clicks = 0;
  g->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  g->Items()->Add("全部");
  g->Items()->Add("执行中");
  g->Items()->Add("已终止");
  g->Items()->Add("已结束");
  ASSERT_EQ(g->ButtonCount(), 4);
  EXPECT_EQ(g->ItemIndex(), -1);
  g->SetColumns(2);
  EXPECT_EQ(g->Buttons(0)->Left(), g->Buttons(1)->Left());
  EXPECT_GT(g->Buttons(2)->Left(), g->Buttons(0)->Left()) << "the second column";
  Click(g->Buttons(2), {5, 5});
  EXPECT_EQ(g->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  g->SetItemIndex(0);
  EXPECT_TRUE(g->Buttons(0)->Checked());
  EXPECT_FALSE(g->Buttons(2)->Checked());
  EXPECT_EQ(clicks, 2) << "choosing from code clicks too";
  g->Items()->Delete(3);
  EXPECT_EQ(g->ButtonCount(), 3);
  EXPECT_EQ(g->Buttons(1)->Caption(), "执行中");
}

TEST(ExtLayout, ARadioGroupReadsItsItemsAndChoiceFromTheLayout) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object F: TForm\n"
                        "  object rgState: TRadioGroup\n"
                        "    Left = 8\n"
                        "    Top = 8\n"
                        "    Width = 300\n"
                        "    Height = 40\n"
                        "    Caption = '状态'\n"
                        "    Columns = 3\n"
                        "    ItemIndex = 1\n"
                        "    Items.Strings = (\n"
                        "      '未完成'\n"
                        "      '已完成'\n"
                        "      '全部')\n"
                        "  end\n"
                        "end\n");
  auto* g = dynamic_cast<TRadioGroup*>(f->FindComponent("rgState"));
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->ButtonCount(), 3);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_TRUE(g->Buttons(1)->Checked());
  EXPECT_EQ(g->Buttons(2)->Caption(), "全部");
  delete f;
}

TEST_F(ExtFixture, AScrollBoxShowsBarsForChildrenBeyondItsClient) {
  auto* box = Add<TScrollBox>(Rect(10, 10, 210, 110));
  auto* near = Add<TPanel>(box, Rect(10, 10, 60, 40));
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  int cw = box->ClientWidth();
  auto* far = Add<TPanel>(box, Rect(10, 300, 60, 330));
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(box->ClientWidth(), cw - GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(box->VertScrollBar()->Range(), 330);
  box->ScrollInView(far);
  EXPECT_EQ(far->Top() + far->Height(), box->ClientHeight()) << "scrolled just far enough";
  EXPECT_EQ(near->Top(), 10 - box->VertScrollBar()->Position());
  box->VertScrollBar()->SetPosition(0);
  EXPECT_EQ(near->Top(), 10);
  QWheelEvent wheel(QPointF(20, 20), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  box->SetFocus();
  QApplication::sendEvent(WidgetOf(box), &wheel);
  Application->ProcessMessages();
  EXPECT_GT(box->VertScrollBar()->Position(), 0) << "the wheel scrolls the box";
  delete far;
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(near->Top(), 10) << "with the bar gone everything is back in place";
}

TEST_F(ExtFixture, AScrollBoxAnswersTheWindowsScrollFunctions) {
  auto* box = Add<TScrollBox>(Rect(10, 10, 210, 110));
  auto* near = Add<TPanel>(box, Rect(10, 10, 60, 40));
  auto* far = Add<TPanel>(box, Rect(10, 300, 60, 330));
  HWND h = box->Handle();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 329) << "the range reaches the far child's bottom";
  EXPECT_EQ(static_cast<int>(si.nPage), box->ClientHeight());
  EXPECT_EQ(si.nPos, 0);
  EXPECT_NE(box->WindowStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(box->WindowStyle() & WS_HSCROLL, 0u) << "the children fit across";
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_HORZ, &si));
  EXPECT_LE(si.nMax - si.nMin + 1, static_cast<int>(si.nPage));

  // The bar's notification moves the children, and the bar with them.
  SendMessage(h, WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 50), 0);
  EXPECT_EQ(far->Top(), 250);
  EXPECT_EQ(near->Top(), -40);
  EXPECT_EQ(box->VertScrollBar()->Position(), 50);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 50);
  // Setting the position moves the bar only; the children follow when told to go there.
  EXPECT_EQ(SetScrollPos(h, SB_VERT, 100, true), 50) << "the previous position";
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 100);
  EXPECT_EQ(far->Top(), 250);
  SendMessage(h, WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, GetScrollPos(h, SB_VERT)), 0);
  EXPECT_EQ(far->Top(), 200);
  EXPECT_EQ(box->VertScrollBar()->Position(), 100);
  box->VertScrollBar()->SetPosition(0);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0) << "the bar follows the property";
  EXPECT_EQ(far->Top(), 300);

  // The down arrow, pressed with the mouse, scrolls by the increment.
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &bi));
  EXPECT_EQ(bi.rgstate[0], 0u);
  TPoint arrow = box->ScreenToClient({(bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2, bi.rcScrollBar.Bottom - 4});
  EXPECT_GE(arrow.X, box->ClientWidth()) << "the bar lies beside the client area";
  Click(box, arrow);
  Application->ProcessMessages();
  EXPECT_EQ(box->VertScrollBar()->Position(), box->VertScrollBar()->Increment());
  EXPECT_EQ(far->Top(), 300 - box->VertScrollBar()->Increment());
  EXPECT_EQ(GetScrollPos(h, SB_VERT), box->VertScrollBar()->Increment());

  // Another program may hide the bar; the box shows it again when it next lays out.
  int cw = box->ClientWidth();
  EXPECT_TRUE(ShowScrollBar(h, SB_VERT, false));
  EXPECT_EQ(box->WindowStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(box->ClientWidth(), cw + GetSystemMetrics(SM_CXVSCROLL));
  box->UpdateScrollBars();
  EXPECT_NE(box->WindowStyle() & WS_VSCROLL, 0u);
  EXPECT_EQ(box->ClientWidth(), cw);
}

TEST_F(ExtFixture, AScrollBoxBarsLieOutsideItsBorderWidth) {
  auto* box = Add<TScrollBox>(Rect(10, 10, 210, 110));
  box->SetBorderWidth(5);
  Add<TPanel>(box, Rect(10, 300, 60, 330));
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(box->Handle(), OBJID_VSCROLL, &bi));
  TPoint topLeft = box->ClientToScreen({0, 0});
  // The client starts inside the frame (2) and the border band (5); the bar lies against the frame.
  EXPECT_EQ(bi.rcScrollBar.Top, topLeft.Y - 5);
  EXPECT_EQ(bi.rcScrollBar.Left, topLeft.X + box->ClientWidth() + 5);
  EXPECT_EQ(bi.rcScrollBar.Right - bi.rcScrollBar.Left, GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ExtFixture, AProgressBarClampsStepsAndFillsItsShare) {
  auto* bar = Add<TProgressBar>(Rect(10, 10, 210, 26));
  bar->SetPosition(150);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetPosition(-5);
  EXPECT_EQ(bar->Position(), 0);
  bar->SetStep(30);
  bar->StepIt();
  bar->StepIt();
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 90);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 20) << "past the end it starts over";
  bar->StepBy(500);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(bar->Perform(PBM_SETPOS, 50), 100) << "the previous position";
  bar->SetSmooth(true);
  QColor hl = Rgb(clHighlight);
  EXPECT_EQ(Pixel(bar, 50, 7), hl);
  EXPECT_NE(Pixel(bar, 150, 7), hl) << "half the bar is filled";
}

TEST_F(ExtFixture, AnUpDownStepsTheNumberInItsEdit) {
  auto* edit = Add<TEdit>(Rect(10, 10, 110, 31));
  auto* ud = Add<TUpDown>(Rect(0, 0, 17, 21));
  ud->SetMin(1);
  ud->SetMax(1200);
  ud->SetPosition(1);
  ud->SetAssociate(edit);
  EXPECT_EQ(edit->Width(), 100 - 17) << "the edit gives up the buttons' room";
  EXPECT_EQ(ud->Left(), edit->Left() + edit->Width());
  EXPECT_EQ(edit->Text(), "1");
  std::vector<TUDBtnType> clicks;
  ud->OnClick = TUDClickEvent::Lambda([&](TObject*, TUDBtnType b) { clicks.push_back(b); });
  Click(ud, {5, 3});
  EXPECT_EQ(edit->Text(), "2");
  Click(ud, {5, ud->Height() - 3});
  EXPECT_EQ(edit->Text(), "1");
  Click(ud, {5, ud->Height() - 3});
  EXPECT_EQ(edit->Text(), "1") << "the minimum holds without Wrap";
  EXPECT_EQ(clicks, (std::vector<TUDBtnType>{btNext, btPrev, btPrev}));
  // A number typed into the edit is where the next step starts; the thousands are grouped.
  edit->SetText("998");
  edit->SetFocus();
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  Key(Qt::Key_Up);
  EXPECT_EQ(edit->Text(), "1,001");
  EXPECT_EQ(ud->Position(), 1001);
  bool allow = false;
  ud->OnChanging = TUDChangingEvent::Lambda([&](TObject*, bool& a) { a = allow; });
  Key(Qt::Key_Up);
  EXPECT_EQ(ud->Position(), 1001) << "OnChanging can refuse a step";
  ud->SetWrap(true);
  allow = true;
  ud->SetPosition(1200);
  Key(Qt::Key_Up);
  EXPECT_EQ(ud->Position(), 1) << "Wrap goes round";
}

// ---------------------------------------------------------------- rich edit

TEST(RichText, TheTextOfARichTextStreamIsRead) {
  struct Case {
    const char* rtf;
    const char* text;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi Hello\\par World\\par}", "Hello\r\nWorld"},
      {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 \\'cb\\'ce\\'cc\\'e5;}}\\f0 \\'ba\\'cf\\'cd\\'ac\\tab x\\par}", "合同\tx"},
      {"{\\rtf1\\uc1 \\u21512?\\u21516?\\par}", "合同"},
      {"{\\rtf1 a\\{b\\}c\\\\d{\\*\\generator Msftedit;}\\line e}", "a{b}c\\d\r\ne"},
      // A sign with no digits is no number: the word has none.
      {"{\\rtf1 a\\li- b\\par}", "ab"},
      // A symbol the reader does not know reads as text.
      {"{\\rtf1 x\\|y}", "x|y"},
      {"{\\rtf1\\uc0 \\u-3913\\emdash\\ldblquote q\\rdblquote}", "\uF0B7—“q”"},
  };
  for (const Case& c : cases) {
    String text;
    ASSERT_TRUE(RtfToText(c.rtf, text)) << c.rtf;
    EXPECT_EQ(text, c.text) << c.rtf;
  }
  String text;
  EXPECT_FALSE(RtfToText("plain words", text));
}

// A number no int holds (a 20-digit \u) is the reader's own error, quoting the word; the
// standard library's range error never leaves the reader.
TEST(RichText, ANumberBeyondAnyControlWordIsRefusedByTheReader) {
  const char* const streams[] = {"{\\rtf1 \\u12345678901234567890?}", "{\\rtf1\\ansicpg99999999999 x}",
                                 "{\\rtf1 \\fs-2147483649 x}"};
  for (const char* rtf : streams) {
    String text = "unchanged";
    try {
      RtfToText(rtf, text);
      ADD_FAILURE() << "read: " << rtf;
    } catch (const ERichTextError& e) {
      EXPECT_NE(e.Message().find("out of range"), String::npos) << e.Message();
      EXPECT_NE(e.Message().find(String(rtf).substr(7, 6)), String::npos) << e.Message();
    }
    EXPECT_EQ(text, "unchanged") << rtf;
  }
}

TEST(RichText, ARichEditSavesAndLoadsItsLinesAsRichText) {
  auto* edit = new TRichEdit(nullptr);
  edit->Lines()->Add("表头 {左}");
  edit->Lines()->Add("second\\line");
  TMemoryStream ms;
  edit->Lines()->SaveToStream(&ms);
  String rtf(static_cast<std::size_t>(ms.Size()), '\0');
  ms.SetPosition(0);
  ms.ReadBuffer(rtf.data(), ms.Size());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(rtf.find("表"), String::npos) << "non-ASCII text is escaped";
  auto* back = new TRichEdit(nullptr);
  ms.SetPosition(0);
  back->Lines()->LoadFromStream(&ms);
  EXPECT_EQ(back->Lines()->Count(), 2);
  EXPECT_EQ(back->Lines()->Strings(0), "表头 {左}");
  EXPECT_EQ(back->Lines()->Strings(1), "second\\line");
  // Data that is no rich text is taken as plain text.
  TMemoryStream plain;
  String p = "just text";
  plain.WriteBuffer(p.data(), static_cast<Int64>(p.size()));
  plain.SetPosition(0);
  back->Lines()->LoadFromStream(&plain);
  EXPECT_EQ(back->Text(), "just text");
  delete back;
  delete edit;
}

TEST(RichText, ARangeIsLaidOutPageByPage) {
  auto* edit = new TRichEdit(nullptr);
  String text;
  for (int i = 0; i < 12; ++i) text += "第" + std::to_string(i) + "行内容\r\n";
  edit->SetText(text);
  TBitmap page;
  page.SetSize(200, 60);
  HDC dc = page.Canvas()->Handle();
  int bottom = 0;
  int next = edit->FormatRange(dc, Rect(0, 0, 200, 60), 0, false, &bottom);
  int len = ::Length(edit->Text());
  EXPECT_GT(next, 0);
  EXPECT_LT(next, len) << "a short page holds part of the text";
  EXPECT_LE(bottom, 60);
  int pages = 1;
  while (next < len && pages < 20) {
    int again = edit->FormatRange(dc, Rect(0, 0, 200, 60), next, true);
    ASSERT_GT(again, next) << "every page takes text";
    next = again;
    ++pages;
  }
  EXPECT_EQ(next, len);
  EXPECT_GT(pages, 2);
  delete edit;
}

// A bar whose position changes without moving its thumb by a pixel leaves the frame as it was
// painted; every change the bar shows (thumb, range, enabled state) reaches the frame. After each
// step the window's pixels are compared with a paint of the whole frame.
TEST_F(ExtFixture, WindowBarsShowEveryChangeOfTheirThumbAndRange) {
  auto* panel = Add<TScrollBox>(Rect(10, 10, 210, 160));
  HWND h = panel->Handle();
  auto set = [&](int Max, int Page, int Pos) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = Max;
    si.nPage = UINT(Page);
    si.nPos = Pos;
    SetScrollInfo(h, SB_VERT, &si, true);
  };
  struct Step {
    const char* Name;
    int Max, Page, Pos;
    bool Bar;
  };
  const Step steps[] = {
      {"a long list at its top", 20000, 10, 0, true},
      {"one row on: the thumb stays", 20000, 10, 1, true},
      {"far on: the thumb moves", 20000, 10, 12000, true},
      {"one row back", 20000, 10, 11999, true},
      {"at the end", 20000, 10, 19991, true},
      {"a shorter range", 200, 10, 150, true},
      {"everything fits: no bar", 5, 10, 0, false},
      {"long again", 20000, 10, 7, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Name);
    set(s.Max, s.Page, s.Pos);
    EXPECT_EQ((panel->WindowStyle() & WS_VSCROLL) != 0, s.Bar);
    panel->Update();
    QImage shown = Grab();
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    QImage fresh = Grab();
    ASSERT_EQ(shown.size(), fresh.size());
    EXPECT_TRUE(shown == fresh);
  }
}

namespace {
// A window with bars that only records what its vertical bar tells it.
class TBarsProbe : public TCustomControl {
public:
  explicit TBarsProbe(TComponent* AOwner) : TCustomControl(AOwner), Bars(this) {}
  TWindowScrollBars Bars;
  struct TTrack {
    int MessagePos, TrackPos, Pos;
  };
  std::vector<TTrack> Tracks;
  void WndProc(TMessage& M) override {
    if (Bars.MouseMessage(M)) return;
    TCustomControl::WndProc(M);
  }
  void Dispatch(TMessage& M) override {
    if (Bars.Dispatch(M)) return;
    if (M.Msg == WM_VSCROLL && LoWord(M.WParam) == SB_THUMBTRACK) {
      SCROLLINFO si;
      si.fMask = SIF_POS | SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_VERT, &si);
      Tracks.push_back({static_cast<short>(HiWord(M.WParam)), si.nTrackPos, si.nPos});
      return;
    }
    TCustomControl::Dispatch(M);
  }
};
}  // namespace

TEST_F(ExtFixture, WhileTheThumbIsDraggedTheBarAnswersItsTrackPosition) {
  auto* probe = Add<TBarsProbe>(Rect(10, 10, 210, 160));
  probe->Bars.SetInfo(SB_VERT, 0, 199, 20, 0);
  SCROLLBARINFO bi;
  ASSERT_TRUE(GetScrollBarInfo(probe->Handle(), OBJID_VSCROLL, &bi));
  const TPoint origin = probe->ClientToScreen({0, 0});
  const int x = (bi.rcScrollBar.Left + bi.rcScrollBar.Right) / 2 - origin.X;
  const int y = bi.rcScrollBar.Top - origin.Y + bi.dxyLineButton + 3;
  Press(probe, {x, y}, Qt::LeftButton, 1000);
  Move(probe, {x, y + 30}, Qt::LeftButton);
  Release(probe, {x, y + 30});
  ASSERT_FALSE(probe->Tracks.empty());
  const auto& t = probe->Tracks.back();
  EXPECT_GT(t.MessagePos, 0);
  EXPECT_EQ(t.TrackPos, t.MessagePos);
  EXPECT_EQ(t.Pos, 0) << "the position stays until the owner sets it";
  SCROLLINFO after;
  after.fMask = SIF_TRACKPOS;
  GetScrollInfo(probe->Handle(), SB_VERT, &after);
  EXPECT_EQ(after.nTrackPos, 0) << "after the drag the track position is the position again";
}
