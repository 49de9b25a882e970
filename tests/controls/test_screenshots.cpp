// Pictures of the framed edits in every style and of the button edits, each also read back.
#include "ControlsTestUtil.h"

#include <QtCore/QDir>

using namespace ctltest;

namespace {

struct ShotFixture : stdtest::FormFixture {
  QImage Image;
  void SetUp() override {
    FormFixture::SetUp();
    Form->SetBounds(40, 40, 560, 330);
    Form->SetColor(clBtnFace);
  }
  void Take(const char* Name) {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
    Shot(Name);
    Image = QImage(QString("screenshots/") + Name + ".png");
    ASSERT_FALSE(Image.isNull());
  }
  unsigned At(TControl* c, int X, int Y) { return HexOf(QColor(Image.pixel(c->Left() + X, c->Top() + Y))); }
  // Pixels of a colour within a control's window rectangle.
  int Count(TControl* c, const TRect& R, unsigned Colour) {
    return CountWhere(c, R, [Colour](unsigned p) { return p == Colour; });
  }
  // Dark pixels (text) within a control's window rectangle.
  int Ink(TControl* c, const TRect& R) {
    return CountWhere(c, R, [](unsigned p) { return (p >> 16) < 100 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100; });
  }
  template <class P> int CountWhere(TControl* c, const TRect& R, P Pred) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (Pred(At(c, x, y))) ++n;
    return n;
  }
};

TEST_F(ShotFixture, EditFrames) {
  TRzEdit* edits[2][11];
  const TColor faces[2] = {clWindow, clInfoBk};
  for (int f = 0; f < 2; ++f)
    for (int s = fsNone; s <= fsFlatBold; ++s) {
      auto* e = Add<TRzEdit>(Bounds(10 + f * 180, 8 + s * 26, 160, 21));
      e->SetColor(faces[f]);
      e->SetFrameStyle(static_cast<TFrameStyle>(s));
      e->SetFrameVisible(true);
      e->SetText(EnumName(static_cast<TFrameStyle>(s)));
      edits[f][s] = e;
    }
  auto* hot = Add<TRzEdit>(Bounds(370, 8, 170, 21));
  hot->SetFrameVisible(true);
  hot->SetFrameHotTrack(true);
  hot->SetFrameHotColor(clRed);
  hot->SetText("焦点");
  auto* disabled = Add<TRzEdit>(Bounds(370, 40, 170, 21));
  disabled->SetFrameVisible(true);
  disabled->SetText("不可用");
  disabled->SetEnabled(false);
  hot->SetFocus();
  Take("aux_edit_frames");

  EXPECT_EQ(HexText(At(edits[0][fsLowered], 0, 0)), "808080");
  EXPECT_EQ(HexText(At(edits[0][fsLowered], 1, 1)), "404040");
  EXPECT_EQ(HexText(At(edits[0][fsLowered], 159, 20)), "FFFFFF");
  EXPECT_EQ(HexText(At(edits[0][fsRaised], 0, 0)), "D4D0C8");
  EXPECT_EQ(HexText(At(edits[0][fsFlatBold], 1, 1)), "808080");
  EXPECT_EQ(HexText(At(edits[0][fsNone], 0, 0)), "FFFFFF");
  EXPECT_EQ(At(edits[1][fsLowered], 0, 0), HexOf(DarkenColor(clInfoBk, 50)));
  EXPECT_EQ(At(edits[1][fsLowered], 1, 1), HexOf(DarkenColor(clInfoBk, 100)));
  EXPECT_EQ(At(edits[1][fsFlat], 0, 0), 0x808080u) << "flat frames take the frame colour on any face";
  EXPECT_EQ(At(edits[1][fsPopup], 0, 0), HexOf(LightenColor(clInfoBk, 100)));
  EXPECT_EQ(HexText(At(edits[1][fsNone], 5, 3)), "FFFFE1");
  // Text is drawn in every edit.
  for (auto& row : edits)
    for (TRzEdit* e : row) EXPECT_GT(Ink(e, Rect(3, 3, 60, 18)), 5) << e->Text();
  EXPECT_EQ(HexText(At(hot, 0, 0)), "FF0000");
  EXPECT_EQ(HexText(At(hot, 1, 1)), "FF0000");
  EXPECT_EQ(HexText(At(disabled, 150, 10)), "D4D0C8") << "disabled colour";
  EXPECT_EQ(HexText(At(disabled, 0, 0)), "808080");
}

TEST_F(ShotFixture, ButtonEdits) {
  auto add = [&](int row, int col) {
    auto* e = Add<TRzButtonEdit>(Bounds(10 + col * 270, 10 + row * 40, 250, 21));
    e->SetText("员工");
    return e;
  };
  auto* lookup = add(0, 0);
  auto* find = add(0, 1);
  find->SetKind(TRzButtonEdit::AltIndex, TButtonKind::bkFind);
  find->SetVisible(TRzButtonEdit::AltIndex, true);
  auto* drop = add(1, 0);
  drop->SetKind(TRzButtonEdit::MainIndex, TButtonKind::bkDropDown);
  auto* flatLit = add(1, 1);
  flatLit->SetFlatButtons(true);
  flatLit->SetFlatButtonColor(clYellow);
  auto* flatUnlit = add(2, 0);
  flatUnlit->SetFlatButtons(true);
  // The mouse passed over it: unlit, its buttons take the edit's colour.
  flatUnlit->Perform(CM_MOUSEENTER, 0, 0);
  flatUnlit->Perform(CM_MOUSELEAVE, 0, 0);
  auto* disabled = add(2, 1);
  disabled->SetEnabled(false);
  auto* readOnly = add(3, 0);
  readOnly->SetReadOnly(true);
  readOnly->SetColor(clInfoBk);
  readOnly->SetText("工程部");
  flatLit->Perform(CM_MOUSEENTER, 0, 0);
  Take("aux_button_edits");

  // Window coordinates of the main button's face: the pair starts after the 2-pixel edge.
  auto buttonArea = [](TRzButtonEdit* e, int index) {
    TRzControlButton* b = e->ButtonOf(index);
    TRect r = b->BoundsRect();
    OffsetRect(r, 2 + e->Buttons()->Left(), 2 + e->Buttons()->Top());
    return r;
  };
  const int main = TRzButtonEdit::MainIndex, alt = TRzButtonEdit::AltIndex;
  EXPECT_GE(Count(lookup, buttonArea(lookup, main), 0x000000), 12) << "three dots";
  EXPECT_GT(Count(find, buttonArea(find, alt), 0xFFFFFF), 10) << "the lens";
  EXPECT_LT(buttonArea(find, main).Left, buttonArea(find, alt).Left);
  EXPECT_GE(Count(drop, buttonArea(drop, main), 0x000000), 10) << "the drop-down arrow";
  EXPECT_GT(Count(flatLit, buttonArea(flatLit, main), 0xFFFF00), 100) << "lit flat button in its hot colour";
  EXPECT_EQ(Count(flatUnlit, buttonArea(flatUnlit, main), 0xD4D0C8), 0) << "unlit flat button in the edit's colour";
  EXPECT_GT(Count(flatUnlit, buttonArea(flatUnlit, main), 0xFFFFFF), 100);
  EXPECT_EQ(Count(disabled, buttonArea(disabled, main), 0x000000), 0) << "the disabled image";
  EXPECT_GE(Count(disabled, buttonArea(disabled, main), 0x808080), 8);
  EXPECT_EQ(HexText(At(readOnly, 100, 10)), "FFFFE1");
}

}  // namespace
