// Look-and-feel objects: master chains, notifications, the controller, the painter choice by
// kind, native style and theme, and system colour changes.
#include "ThemeFixture.h"

#include "core/SysUtils.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/cxLookAndFeels.h"
#include "editors/dxOffice11.h"
#include "gui/Graphics.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records every notice a look-and-feel sends to its owner.
struct TNoticeLog {
  std::vector<std::pair<TcxLookAndFeel*, TcxLookAndFeelValues>> Notices;
  void Watch(TcxLookAndFeel* L) {
    L->SetOnChanged(TcxLookAndFeelChangedEvent::Lambda(
        [this](TcxLookAndFeel* S, TcxLookAndFeelValues V) { Notices.push_back({S, V}); }));
  }
  int CountFor(TcxLookAndFeel* L) const {
    int n = 0;
    for (auto& p : Notices) n += p.first == L;
    return n;
  }
};

TEST(LookAndFeel, NewOneIsUltraFlatWithoutNativeStyle) {
  TcxLookAndFeel lf(nullptr);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_TRUE(lf.AssignedValues().Empty());
  EXPECT_EQ(lf.Painter(), TcxUltraFlatLookAndFeelPainter::Instance());
  EXPECT_EQ(lf.EffectiveMaster(), GlobalLookAndFeel());
}

TEST(LookAndFeel, ControllerSwitchesThoseWithoutALocalKindAndItsEndRestores) {
  TcxLookAndFeel plain(nullptr), local(nullptr);
  local.SetKind(lfFlat);
  TNoticeLog log;
  log.Watch(&plain);
  log.Watch(&local);
  auto controller = std::make_unique<TcxLookAndFeelController>(nullptr);
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  controller->SetKind(lfOffice11);
  EXPECT_EQ(plain.Painter(), TcxOffice11LookAndFeelPainter::Instance());
  EXPECT_EQ(local.Painter(), TcxFlatLookAndFeelPainter::Instance());
  EXPECT_EQ(log.CountFor(&plain), 1);
  EXPECT_EQ(log.CountFor(&local), 0);
  controller.reset();
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
  EXPECT_EQ(plain.Kind(), lfUltraFlat);
  EXPECT_EQ(GlobalLookAndFeel()->AssignedValues(), TcxLookAndFeelValues{});
  EXPECT_EQ(log.CountFor(&plain), 2);
  EXPECT_EQ(log.CountFor(&local), 0);
}

TEST(LookAndFeel, ControllerAttachesOnlyToTheRoot) {
  TcxLookAndFeel lf(nullptr);
  TcxLookAndFeelController controller(nullptr);
  const int before = lf.ListenerCount();
  lf.AddChangeListener(&controller);
  EXPECT_EQ(lf.ListenerCount(), before);
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
}

TEST(LookAndFeel, MasterChangesThatChangeNothingSendNoNotice) {
  TcxLookAndFeel a(nullptr);
  TNoticeLog log;
  log.Watch(&a);
  a.SetMaster(&a);
  a.SetMaster(GlobalLookAndFeel());
  EXPECT_EQ(a.Master(), nullptr);
  a.SetKind(lfUltraFlat);  // the value it already has through the root
  EXPECT_TRUE(a.AssignedValues().Contains(lfvKind));
  EXPECT_TRUE(IsPublishedProp(&a, "Kind"));
  EXPECT_TRUE(log.Notices.empty());
}

TEST(LookAndFeel, ChangesTravelDownTheChainDepthFirst) {
  TcxLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  b.SetMaster(&a);
  std::vector<std::string> order;
  a.SetOnChanged(TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues) { order.push_back("A"); }));
  b.SetOnChanged(TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues) { order.push_back("B"); }));
  c.SetOnChanged(TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues) { order.push_back("C"); }));
  GlobalLookAndFeel()->SetKind(lfStandard);
  GlobalLookAndFeel()->ResetAssignedValues();
  // root -> A -> B, root -> C: B is told (through A) before C, twice.
  EXPECT_EQ(order, (std::vector<std::string>{"B", "A", "C", "B", "A", "C"}));
  EXPECT_EQ(b.Kind(), lfUltraFlat);
}

// A listener that takes itself out when told.
class TSelfRemover : public IcxLookAndFeelListener {
public:
  explicit TSelfRemover(TcxLookAndFeel* L) : FL(L) { L->AddChangeListener(this); }
  TObject* GetListenerObject() override { return nullptr; }
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {
    ++Told;
    FL->RemoveChangeListener(this);
  }
  void LookAndFeelDisposing(TcxLookAndFeel*) override {}
  int Told = 0;

private:
  TcxLookAndFeel* FL;
};

TEST(LookAndFeel, AListenerRemovingItselfDoesNotHideTheNext) {
  TcxLookAndFeel a(nullptr), next(nullptr);
  TSelfRemover remover(&a);
  next.SetMaster(&a);
  TNoticeLog log;
  log.Watch(&next);
  a.SetKind(lfStandard);
  EXPECT_EQ(remover.Told, 1);
  EXPECT_EQ(log.CountFor(&next), 1);
  EXPECT_EQ(next.Kind(), lfStandard);
}

TEST(LookAndFeel, FreeingTheMasterReturnsDependantsToTheRoot) {
  auto a = std::make_unique<TcxLookAndFeel>(nullptr);
  TcxLookAndFeel b(nullptr);
  a->SetKind(lfOffice11);
  b.SetMaster(a.get());
  EXPECT_EQ(b.Kind(), lfOffice11);
  a.reset();
  EXPECT_EQ(b.Master(), nullptr);
  EXPECT_EQ(b.Kind(), lfUltraFlat);
}

TEST(LookAndFeel, AssignCopiesValuesAndMasterAndRefusesOtherSources) {
  TcxLookAndFeel master(nullptr), source(nullptr), dest(nullptr);
  source.SetMaster(&master);
  source.SetNativeStyle(true);
  master.SetKind(lfFlat);
  dest.Assign(&source);
  EXPECT_EQ(dest.Master(), &master);
  EXPECT_EQ(dest.Kind(), lfFlat);
  EXPECT_TRUE(dest.NativeStyle());
  EXPECT_EQ(dest.AssignedValues(), TcxLookAndFeelValues{lfvNativeStyle});
  TFont font;
  try {
    dest.Assign(&font);
    FAIL() << "a font was assigned";
  } catch (const EConvertError& e) {
    EXPECT_EQ(String(e.Message()), "Cannot assign a TFont to a TcxLookAndFeel");
  }
}

using ThemedLookAndFeel = ThemeFixture;

TEST_F(ThemedLookAndFeel, NativeStylePicksTheThemedPainterOnlyWhileStylesAreActive) {
  TcxLookAndFeel lf(nullptr);
  lf.SetKind(lfStandard);
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.Painter(), TcxWinXPLookAndFeelPainter::Instance());
  Theme.Active = false;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(lf.Painter(), TcxStandardLookAndFeelPainter::Instance());
  TNoticeLog log;
  log.Watch(&lf);
  Theme.Active = true;
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(lf.Painter(), TcxWinXPLookAndFeelPainter::Instance());  // no notice needed
  EXPECT_TRUE(log.Notices.empty());
  Theme.RefusedClasses.insert("SCROLLBAR");
  SendSystemBroadcast(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(lf.PainterForThemeClass(tcScrollBar), TcxStandardLookAndFeelPainter::Instance());
  EXPECT_EQ(lf.PainterForThemeClass(tcButton), TcxWinXPLookAndFeelPainter::Instance());
}

TEST(PaletteChange, SchemeAndPrimariesAreRefreshedBeforeAnyLookAndFeelIsTold) {
  TcxLookAndFeel lf(nullptr);
  std::vector<std::string> order;
  TcxSystemPaletteChangedNotifier primary(true);
  primary.SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([&] { order.push_back("primary"); }));
  const int face = COLOR_BTNFACE;
  const COLORREF oldFace = GetSysColor(COLOR_BTNFACE);
  const COLORREF green = RGB(0, 128, 0);
  std::vector<COLORREF> seen;
  lf.SetOnChanged(TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues v) {
    order.push_back("lookandfeel");
    seen.push_back(ColorToRGB(Office11Color02));
    EXPECT_EQ(v, TcxLookAndFeelValues{lfvNativeStyle});
  }));
  SetSysColors(1, &face, &green);  // tells every receiver
  // The look-and-feel hears of it twice: from its own notifier and through the root.
  EXPECT_EQ(order, (std::vector<std::string>{"primary", "lookandfeel", "lookandfeel"}));
  EXPECT_EQ(seen, (std::vector<COLORREF>{green, green}));
  SetSysColors(1, &face, &oldFace);
  EXPECT_EQ(seen.back(), oldFace);
}

TEST(PaletteChange, EachListIsToldFromTheLastToTheFirst) {
  std::vector<int> order;
  TcxSystemPaletteChangedNotifier a(false), b(false), p(true);
  a.SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([&] { order.push_back(1); }));
  b.SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([&] { order.push_back(2); }));
  p.SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([&] { order.push_back(0); }));
  SendSystemBroadcast(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(order, (std::vector<int>{0, 2, 1}));
}

TEST(PaletteChange, TheListenerLivesWhileANotifierDoes) {
  if (PaletteListenerExists()) GTEST_SKIP() << "a look-and-feel of an earlier test holds the listener";
  {
    TcxSystemPaletteChangedNotifier n(false);
    EXPECT_TRUE(PaletteListenerExists());
    EXPECT_NE(Office11ExpandButtonBitmap(true), nullptr);
  }
  EXPECT_FALSE(PaletteListenerExists());
}

}  // namespace
