// Container styles and style controllers: defaults by condition and look-and-feel, values
// held by the normal style, lookup through controller chains, cycles refused, controllers
// freed, update counting, direct access, and the layout text of a style.
#include "editors/cxContainerStyles.h"

#include "core/ClassBuilder.h"
#include "core/LayoutText.h"
#include "gui/Application.h"

#include <gtest/gtest.h>

namespace {

// A stand-in container: a component that owns a style set and answers what styles ask.
class TFakeContainer : public TComponent, public IcxStyleContainer {
public:
  explicit TFakeContainer(TComponent* AOwner, bool DefaultParentColor = false)
      : TComponent(AOwner), FDefaultParentColor(DefaultParentColor) {
    Styles = std::make_unique<TcxContainerStyles>(this, [](TPersistent* O, bool D, TcxContainerStyle* P,
                                                           TcxContainerCondition S) {
      return new TcxContainerStyle(O, D, P, S);
    });
    Styles->SetChangeHandler(TNotifyEvent::Lambda([this](TObject*) { ++Changes; }));
  }
  std::unique_ptr<TcxContainerStyles> Styles;
  int Changes = 0;
  bool ParentColor = false, ParentFont = true;
  TColor ParentsColor = clAqua;
  bool HasParent = true;

  bool IsDefaultParentColor() override { return FDefaultParentColor; }
  bool StyleParentColor() override { return ParentColor; }
  void SetStyleParentColor(bool Value) override { ParentColor = Value; }
  bool StyleParentFont() override { return ParentFont; }
  void SetStyleParentFont(bool Value) override { ParentFont = Value; }
  bool ParentColorOf(TColor& C) override {
    C = ParentsColor;
    return HasParent;
  }
  bool RunsInPlace() override { return false; }
  bool IsStyleValueStored(TcxContainerStyle*, const String&) override { return true; }
  TcxContainerStyleValues UnstoredStyleValues() override { return {}; }

private:
  bool FDefaultParentColor;
};

TcxContainerStyle* S(TFakeContainer& c, TcxContainerCondition k = ccNormal) { return c.Styles->Styles(k); }

}  // namespace

TEST(ContainerStyle, ANewStyleReportsItsDefaultsByConditionAndLookAndFeel) {
  TFakeContainer c(nullptr);
  TcxContainerStyle* n = S(c);
  EXPECT_EQ(n->BorderStyle(), cbsUltraFlat);
  EXPECT_EQ(n->Color(), clWindow);
  EXPECT_EQ(n->Edges(), cxBordersAll);
  EXPECT_TRUE(n->HotTrack());
  EXPECT_TRUE(n->TransparentBorder());
  EXPECT_FALSE(n->Shadow());
  EXPECT_EQ(n->BorderColor(), clWindowFrame);
  EXPECT_TRUE(n->AssignedValues().Empty());
  EXPECT_EQ(n->StyleController(), nullptr) << "the standard controller reads nil";
  EXPECT_EQ(n->ControllerOfBase(), StandardStyleController());

  struct Kind {
    TcxLookAndFeelKind kind;
    TcxContainerBorderStyle border;
  };
  for (const Kind k : {Kind{lfFlat, cbsFlat}, Kind{lfStandard, cbs3D}, Kind{lfUltraFlat, cbsUltraFlat},
                       Kind{lfOffice11, cbsOffice11}}) {
    n->LookAndFeel()->SetKind(k.kind);
    EXPECT_EQ(n->BorderStyle(), k.border) << int(k.kind);
  }

  TcxContainerStyle* d = S(c, ccDisabled);
  EXPECT_EQ(d->Color(), clBtnFace);
  EXPECT_EQ(d->TextColor(), clBtnShadow);
  EXPECT_EQ(d->BorderColor(), clBtnShadow);

  TFakeContainer parentColoured(nullptr, true);
  EXPECT_EQ(S(parentColoured)->Color(), clBtnFace) << "a default-parent-colour container";
  EXPECT_EQ(S(parentColoured, ccDisabled)->Color(), clBtnFace);
  parentColoured.ParentColor = true;
  EXPECT_EQ(S(parentColoured)->Color(), clAqua) << "the parent's colour";
}

TEST(ContainerStyle, FocusedAndHotBordersFollowHotTrack) {
  TFakeContainer c(nullptr);
  S(c)->SetBorderStyle(cbsSingle);
  struct Case {
    bool hotTrack;
    TcxContainerCondition state;
    TcxContainerBorderStyle border;
  };
  const Case cases[] = {{true, ccFocused, cbsThick}, {true, ccHot, cbsThick},   {true, ccDisabled, cbsSingle},
                        {false, ccFocused, cbsSingle}, {false, ccHot, cbsSingle}};
  for (const Case& k : cases) {
    S(c)->SetHotTrack(k.hotTrack);
    EXPECT_EQ(S(c, k.state)->BorderStyle(), k.border) << k.hotTrack << " " << int(k.state);
  }
  S(c)->SetHotTrack(true);
  for (auto [from, to] : {std::pair{cbsNone, cbsFlat}, std::pair{cbsFlat, cbs3D}, std::pair{cbsUltraFlat, cbsUltraFlat},
                          std::pair{cbsOffice11, cbsOffice11}}) {
    S(c)->SetBorderStyle(from);
    EXPECT_EQ(S(c, ccHot)->BorderStyle(), to);
  }
}

TEST(ContainerStyle, ValuesOfTheNormalStyleAreWrittenThere) {
  TFakeContainer c(nullptr);
  S(c, ccFocused)->SetEdges({bLeft});
  EXPECT_EQ(S(c)->Edges(), TcxBorders{bLeft});
  EXPECT_TRUE(S(c)->AssignedValues().Contains(csvEdges));
  EXPECT_FALSE(S(c, ccFocused)->AssignedValues().Contains(csvEdges));
  EXPECT_EQ(S(c, ccHot)->Edges(), TcxBorders{bLeft});
  S(c, ccHot)->SetShadow(true);
  EXPECT_TRUE(S(c)->Shadow());
  // Values each style holds stay in it.
  S(c, ccFocused)->SetColor(clRed);
  EXPECT_EQ(S(c)->Color(), clWindow);
  EXPECT_EQ(S(c, ccFocused)->Color(), clRed);
}

TEST(StyleController, ColoursEveryContainerThatNamesItUnlessItsOwnColourIsAssigned) {
  auto* ctl = new TcxStyleController(nullptr);
  ctl->Style()->SetColor(clYellow);
  TFakeContainer a(nullptr), b(nullptr);
  S(a)->SetStyleController(ctl);
  S(b)->SetStyleController(ctl);
  S(b)->SetColor(clLime);
  EXPECT_EQ(S(a)->Color(), clYellow);
  EXPECT_EQ(S(b)->Color(), clLime);
  S(b)->SetAssignedValues(S(b)->AssignedValues() - csvColor);
  EXPECT_EQ(S(b)->Color(), clYellow) << "clearing the bit shows the controller's again";
  EXPECT_EQ(S(a, ccFocused)->Color(), clYellow) << "the focused style follows the normal one";

  // A change in the controller reaches every user, once per change.
  a.Changes = b.Changes = 0;
  ctl->Style()->SetTextColor(clNavy);
  EXPECT_EQ(a.Changes, 1);
  EXPECT_EQ(b.Changes, 1);
  EXPECT_EQ(S(a)->TextColor(), clNavy);
  ctl->Style()->BeginUpdate();
  ctl->Style()->SetBorderColor(clRed);
  ctl->Style()->SetBorderStyle(cbsSingle);
  ctl->Style()->EndUpdate();
  EXPECT_EQ(a.Changes, 2) << "one notification for an update";

  // A controller's font reaches its users unless they have their own.
  TFont big;
  big.SetSize(20);
  ctl->Style()->SetFont(&big);
  EXPECT_EQ(S(a)->Font()->Size(), 20);
  EXPECT_FALSE(S(a)->AssignedValues().Contains(csvFont));

  // Freed: the users fall back to the standard controller.
  delete ctl;
  EXPECT_EQ(S(a)->StyleController(), nullptr);
  EXPECT_EQ(S(a)->ControllerOfBase(), StandardStyleController());
  EXPECT_EQ(S(a)->Color(), clWindow);
}

TEST(StyleController, ChainsAreSearchedAndCyclesRefused) {
  TcxStyleController a(nullptr), b(nullptr);
  a.Style()->SetStyleController(&b);
  b.Style()->SetColor(clFuchsia);
  TFakeContainer c(nullptr);
  S(c)->SetStyleController(&a);
  EXPECT_EQ(S(c)->Color(), clFuchsia) << "found two controllers up";
  b.Style()->SetStyleController(&a);
  EXPECT_EQ(b.Style()->StyleController(), nullptr) << "B -> A after A -> B is refused";
  a.Style()->SetStyleController(&a);
  EXPECT_EQ(a.Style()->StyleController(), &b) << "a controller cannot name itself";
  EXPECT_EQ(a.FakeStyleController(), &b);
  a.SetFakeStyleController(nullptr);
  EXPECT_EQ(a.FakeStyleController(), &b) << "writing it is ignored";
  S(c)->SetStyleController(nullptr);
}

TEST(StyleController, ScalesItsFontOnceHoweverManyContainersAsk) {
  TcxStyleController outer(nullptr), inner(nullptr);
  TFont f;
  f.SetSize(10);
  inner.Style()->SetFont(&f);
  outer.Style()->SetStyleController(&inner);
  outer.ScaleStyleFont(3, 2);
  outer.ScaleStyleFont(3, 2);
  inner.ScaleStyleFont(3, 2);
  EXPECT_EQ(inner.Style()->Font()->Size(), 15);
}

TEST(ContainerStyle, DirectAccessReportsEverythingAssignedAndNeverNotifies) {
  TFont user;
  user.SetStyle({fsBold});
  TcxContainerStyle s(nullptr, true);
  int changes = 0;
  s.OnChanged = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  s.SetFont(&user);
  s.SetColor(clRed);
  s.SetTextColor(clBlue);
  EXPECT_EQ(s.AssignedValues().Bits(), 0x3FFu);
  EXPECT_EQ(s.Font(), &user);
  EXPECT_EQ(s.Color(), clRed);
  EXPECT_EQ(s.TextColor(), clBlue);
  EXPECT_EQ(s.TextStyle(), TFontStyles{fsBold});
  EXPECT_EQ(s.BorderColor(), clDefault);
  EXPECT_TRUE(s.Edges().Empty());
  EXPECT_FALSE(s.Shadow());
  EXPECT_TRUE(s.TransparentBorder());
  EXPECT_EQ(changes, 0);
}

TEST(ContainerStyle, AssignAndRestoreDefaults) {
  TFakeContainer a(nullptr, true), b(nullptr, true);
  S(a)->SetColor(clRed);
  S(a)->SetEdges({bTop});
  S(a, ccHot)->SetBorderColor(clGreen);
  S(b)->Assign(S(a));
  b.Styles->SetStyleHot(S(a, ccHot));
  EXPECT_EQ(S(b)->Color(), clRed);
  EXPECT_EQ(S(b)->Edges(), TcxBorders{bTop});
  EXPECT_EQ(S(b, ccHot)->BorderColor(), clGreen);
  EXPECT_EQ(S(b)->AssignedValues(), S(a)->AssignedValues());
  b.ParentFont = false;
  S(b)->RestoreDefaults();
  EXPECT_TRUE(S(b)->AssignedValues().Empty());
  EXPECT_TRUE(b.ParentFont);
  EXPECT_TRUE(b.ParentColor) << "a default-parent-colour container follows its parent again";
}

// A component that streams its normal and focused styles, as a container does.
class TStyledBox : public TFakeContainer {
  KELM_CLASS(TStyledBox, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Style", &TStyledBox::Style, &TStyledBox::SetStyle);
    b.Prop("StyleFocused", &TStyledBox::StyleFocused, &TStyledBox::SetStyleFocused);
  }

public:
  explicit TStyledBox(TComponent* AOwner) : TFakeContainer(AOwner) {}
  TcxContainerStyle* Style() const { return Styles->Style(); }
  void SetStyle(TcxContainerStyle* V) { Styles->SetStyle(V); }
  TcxContainerStyle* StyleFocused() const { return Styles->StyleFocused(); }
  void SetStyleFocused(TcxContainerStyle* V) { Styles->SetStyleFocused(V); }
};
KELM_PUBLISH(TStyledBox) { Published(b); }

TEST(ContainerStyle, LayoutTextKeepsAssignedValuesOnlyAndMarksTheFont) {
  auto* box = new TStyledBox(nullptr);
  box->SetName("Box");
  auto* ctl = new TcxStyleController(nullptr);
  ctl->SetName("Ctl");
  TFont f;
  f.SetSize(12);
  box->Style()->SetFont(&f);
  box->Style()->SetColor(clRed);
  box->StyleFocused()->SetEdges({bLeft});  // held by the normal style
  box->StyleFocused()->SetBorderColor(clGreen);
  String text = WriteComponentToText(box);
  EXPECT_NE(text.find("IsFontAssigned = True"), String::npos) << text;
  EXPECT_EQ(text.find("AssignedValues"), String::npos) << text;
  EXPECT_EQ(text.find("TextColor"), String::npos) << "unassigned values are not written";
  EXPECT_EQ(text.find("StyleFocused.Edges"), String::npos) << "the normal style holds the edges";
  EXPECT_NE(text.find("Style.Edges"), String::npos) << text;
  EXPECT_NE(text.find("StyleFocused.BorderColor"), String::npos) << text;
  delete box;

  auto* back = new TStyledBox(nullptr);
  ReadComponentFromText(back, text);
  EXPECT_TRUE(back->Style()->AssignedValues().Contains(csvFont));
  EXPECT_TRUE(back->Style()->AssignedValues().Contains(csvColor));
  EXPECT_EQ(back->Style()->Font()->Size(), 12);
  EXPECT_EQ(back->Style()->Color(), clRed);
  EXPECT_EQ(back->StyleFocused()->BorderColor(), clGreen);
  EXPECT_EQ(back->Style()->Edges(), TcxBorders{bLeft});
  delete back;
  delete ctl;
}
