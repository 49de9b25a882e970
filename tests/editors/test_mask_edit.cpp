// The masked editor driven offscreen with real keys, clipboard and mouse: its properties, the
// standard mode's caret block, the expression modes' typing and deletion, the extended mode's
// filled literals.
#include "StdTestUtil.h"

#include "core/FormatSettings.h"
#include "core/StrUtils.h"
#include "editors/cxEditDefaultValues.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxMaskEditModes.h"
#include "editors/cxEditRepository.h"
#include "editors/cxRegisteredClasses.h"
#include "gui/Application.h"
#include "gui/Edit.h"

#include <string>
#include <vector>

namespace {

// A data field that imposes an edit mask on editors without their own.
class TMaskProvider : public TcxCustomEditDefaultValuesProvider {
public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  String Mask;
  String GetEditMaskDefault() override { return Mask; }
};

struct MaskEditForm : stdtest::FormFixture {
  TcxMaskEdit* Ed = nullptr;
  TEdit* Other = nullptr;

  void SetUp() override {
    FormatSettings().DateSeparator = '/';
    FormatSettings().TimeSeparator = ':';
    FormFixture::SetUp();
    Ed = Add<TcxMaskEdit>(Rect(10, 10, 170, 31));
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    Application->ProcessMessages();
  }
  void TearDown() override {
    FormFixture::TearDown();
    ResetFormatSettings();
  }
  TcxMaskEditProperties* P() { return Ed->Properties(); }
  void Masked(TcxEditMaskKind Kind, const String& Mask) {
    P()->BeginUpdate();
    P()->SetMaskKind(Kind);
    P()->SetEditMask(Mask);
    P()->EndUpdate();
  }
  void FocusEditor() {
    Ed->SetFocus();
    Application->ProcessMessages();
  }
  TcxCustomInnerTextEdit* Inner() { return Ed->InnerTextEditControl(); }
  String Shown() { return Inner()->Text(); }
  // The caret block or selection as [start, length].
  std::pair<int, int> Sel() { return {Ed->SelStart(), Ed->SelLength()}; }
};

}  // namespace


// ---------------------------------------------------------------- properties

TEST_F(MaskEditForm, TheEffectiveMaskTakesTheFieldMaskOnlyForABlankStandardMask) {
  TMaskProvider provider(nullptr);
  provider.Mask = "00/00";
  P()->SetDefaultValuesProvider(&provider);
  struct Case {
    TcxEditMaskKind Kind;
    const char* Stored;
    const char* Effective;
    bool Masked;
  };
  const Case cases[] = {
      {emkStandard, "", "00/00", true},      {emkStandard, " \t ", "00/00", true},
      {emkStandard, "000", "000", true},     {emkRegExpr, "", "", false},
      {emkRegExpr, "  ", "  ", false},       {emkRegExprEx, "\\d+", "\\d+", true},
  };
  for (const Case& c : cases) {
    TcxMaskEditProperties p(nullptr);
    p.SetDefaultValuesProvider(&provider);
    p.SetMaskKind(c.Kind);
    p.StoreEditMaskQuietly(c.Stored);
    EXPECT_EQ(p.EditMask(), c.Effective) << c.Stored;
    EXPECT_EQ(p.IsMasked(), c.Masked) << c.Stored;
    p.SetDefaultValuesProvider(nullptr);
  }
  provider.Mask = "";
  TcxMaskEditProperties bare(nullptr);
  bare.StoreEditMaskQuietly("   ");
  EXPECT_FALSE(bare.IsMasked()) << "white space without a field mask is no mask";
  P()->SetDefaultValuesProvider(nullptr);
}

TEST_F(MaskEditForm, CaseInsensitiveFollowsTheCharacterCaseAndMaxLengthStaysZero) {
  P()->SetCaseInsensitive(false);
  EXPECT_FALSE(P()->CaseInsensitive());
  P()->SetCharCase(ecUpperCase);
  EXPECT_TRUE(P()->CaseInsensitive()) << "a converted case makes the mask case-insensitive";
  P()->SetCaseInsensitive(false);
  EXPECT_TRUE(P()->CaseInsensitive()) << "whatever is assigned";
  P()->SetCharCase(ecNormal);
  P()->SetCaseInsensitive(false);
  EXPECT_FALSE(P()->CaseInsensitive());

  P()->SetMaxLength(5);
  EXPECT_EQ(P()->MaxLength(), 5) << "unmasked, the length is kept";
  Masked(emkStandard, "000000");
  EXPECT_EQ(P()->MaxLength(), 0);
  P()->SetMaxLength(3);
  EXPECT_EQ(P()->MaxLength(), 0) << "a masked editor's length is always 0";
  EXPECT_EQ(Inner()->MaxLength(), 0);
  EXPECT_TRUE(P()->ValidateOnEnter());
}

TEST_F(MaskEditForm, AnInvalidExpressionRaisesWithEveryErrorAndKeepsTheOldMask) {
  Masked(emkRegExpr, "\\d\\d");
  struct Case {
    const char* Mask;
    const char* Message;
  };
  const Case cases[] = {
      {")(", "规则表达式错误:\r\n行1, 字符1: 不合规定的 \")\"\r\n二中择一不能为空"},
      {"\\x4", "规则表达式错误:\r\n行1, 字符4: 期待十六进制数"},
      {"x{100000}", "规则表达式错误:\r\n行1, 字符2: 表达式太大"},
  };
  for (const Case& c : cases) {
    try {
      P()->SetEditMask(c.Mask);
      ADD_FAILURE() << c.Mask << " was accepted";
    } catch (const EcxMaskEditError& e) {
      EXPECT_EQ(String(e.what()), c.Message) << c.Mask;
    }
    EXPECT_EQ(P()->EditMask(), "\\d\\d") << c.Mask;
  }
  FocusEditor();
  stdtest::Type("1a2");
  EXPECT_EQ(Shown(), "12") << "the old mask still governs typing";
  P()->SetMaskKind(emkStandard);
  EXPECT_NO_THROW(P()->SetEditMask(")(")) << "a standard mask never raises";
}

TEST_F(MaskEditForm, AKindChangedAloneClearsTheMaskAndAKindChangedWithItKeepsIt) {
  Masked(emkStandard, "00/00");
  P()->SetMaskKind(emkRegExpr);
  EXPECT_EQ(P()->EditMask(), "") << "a standard mask means nothing to an expression";
  EXPECT_FALSE(Ed->IsMasked());

  Masked(emkRegExpr, "\\d\\d");
  EXPECT_EQ(P()->EditMask(), "\\d\\d");
  EXPECT_EQ(Ed->Mode()->ModeKind(), emkRegExpr);
  P()->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(P()->EditMask(), "\\d\\d") << "both expression kinds read the same mask";
  EXPECT_EQ(Ed->Mode()->ModeKind(), emkRegExprEx);

  TcxMaskEditProperties source(nullptr);
  source.SetMaskKind(emkStandard);
  source.SetEditMask("(000)");
  source.SetIgnoreMaskBlank(true);
  source.SetAlwaysShowBlanksAndLiterals(true);
  P()->Assign(&source);
  EXPECT_EQ(P()->MaskKind(), emkStandard);
  EXPECT_EQ(P()->EditMask(), "(000)") << "assigned together, the kind keeps the new mask";
  EXPECT_TRUE(P()->IgnoreMaskBlank());
  EXPECT_TRUE(P()->AlwaysShowBlanksAndLiterals());
  EXPECT_EQ(Ed->Mode()->ModeKind(), emkStandard);
}

TEST_F(MaskEditForm, RegisteredOnceWithItsDescription) {
  TcxRegisteredClasses* r = EditPropertiesRegistry();
  const int at = r->IndexOfClass(TcxMaskEditProperties::StaticClass());
  ASSERT_GE(at, 0);
  EXPECT_EQ(r->Descriptions(at), "MaskEdit|Represents a generic masked edit control.");
  RegisterMaskEditProperties();
  EXPECT_EQ(r->IndexOfClass(TcxMaskEditProperties::StaticClass()), at);
  EXPECT_EQ(TcxMaskEditProperties(nullptr).GetEditorClass(), TcxMaskEdit::StaticClass());
}

TEST_F(MaskEditForm, ValidationRefusesATextTheMaskDoesNotCompleteWithItsOwnMessage) {
  Masked(emkStandard, "00/00");
  String error;
  int validations = 0;
  P()->OnValidate = TcxEditValidateEvent::Lambda([&](TObject*, Variant&, String& text, bool& failed) {
    ++validations;
    if (failed) error = text;
  });
  std::vector<String> shown;
  const TExceptionEvent old = Application->OnException;
  Application->OnException = TExceptionEvent::Lambda([&](TObject*, Exception* E) { shown.push_back(E->Message()); });
  FocusEditor();
  stdtest::Type("12");
  stdtest::Key(Qt::Key_Return);
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(error, "编辑值非法");
  EXPECT_EQ(shown, std::vector<String>{"编辑值非法"});

  error.clear();
  stdtest::Key(Qt::Key_End);
  stdtest::Key(Qt::Key_Left);
  stdtest::Key(Qt::Key_Left);
  stdtest::Type("34");
  EXPECT_EQ(Shown(), "12/34");
  stdtest::Key(Qt::Key_Return);
  Application->OnException = old;
  EXPECT_EQ(validations, 2);
  EXPECT_EQ(error, "") << "a complete text passes";
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(VarToStr(Ed->EditValue()), "12/34");
}

// ---------------------------------------------------------------- standard mode

TEST_F(MaskEditForm, StandardTypingFillsPositionsAndTheCaretBlockJumpsLiterals) {
  Masked(emkStandard, "00/00");
  FocusEditor();
  EXPECT_EQ(Shown(), "__/__");
  EXPECT_EQ(Sel(), std::make_pair(0, 5)) << "entering selects the whole text";
  stdtest::Key(Qt::Key_Home);
  EXPECT_EQ(Sel(), std::make_pair(0, 1)) << "the caret is a one-character block";
  stdtest::Type("12");
  EXPECT_EQ(Shown(), "12/__");
  EXPECT_EQ(Sel(), std::make_pair(3, 1)) << "over the \"/\"";
  stdtest::Type("3a4");
  EXPECT_EQ(Shown(), "12/34") << "a letter on a digit position is ignored";

  stdtest::Key(Qt::Key_Home);
  stdtest::Key(Qt::Key_Right);
  stdtest::Key(Qt::Key_Right);
  EXPECT_EQ(Sel(), std::make_pair(3, 1)) << "Right passes the literal too";
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(Sel(), std::make_pair(1, 1)) << "and so does Left";
  stdtest::Type("/");
  EXPECT_EQ(Shown(), "12/34") << "a literal typed on an input position is refused";
}

TEST_F(MaskEditForm, StandardBackspaceBlanksThePositionBeforeTheCaret) {
  Masked(emkStandard, "00/00");
  FocusEditor();
  stdtest::Type("12");
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Shown(), "1_/__");
  EXPECT_EQ(Sel(), std::make_pair(1, 1)) << "the caret stays on the blanked position";
  stdtest::Key(Qt::Key_Delete);
  EXPECT_EQ(Shown(), "1_/__") << "Delete blanks the block under the caret";
  stdtest::Key(Qt::Key_Left);
  stdtest::Key(Qt::Key_Delete);
  EXPECT_EQ(Shown(), "__/__");
  EXPECT_EQ(Sel(), std::make_pair(0, 1));
}

TEST_F(MaskEditForm, StandardHomeAndEndPlaceTheCaretOnInputPositions) {
  Masked(emkStandard, "(000)");
  FocusEditor();
  stdtest::Key(Qt::Key_End);
  EXPECT_EQ(Ed->SelStart(), 5);
  stdtest::Key(Qt::Key_Home);
  EXPECT_EQ(Sel(), std::make_pair(1, 1)) << "a literal-first mask starts at its first input";
  stdtest::Type("7");
  EXPECT_EQ(Shown(), "(7__)");
  stdtest::Key(Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(Sel(), std::make_pair(1, 1)) << "Ctrl+Left is Home";
  stdtest::Key(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(Ed->SelStart(), 5) << "Ctrl+Right is End";
}

TEST_F(MaskEditForm, IgnoreMaskBlankAcceptsOnlyTheAllBlankText) {
  Masked(emkStandard, "00/00");
  P()->SetIgnoreMaskBlank(true);
  struct Case {
    const char* Text;
    bool Valid;
  };
  const Case cases[] = {{"__/__", true}, {"12/34", true}, {"1_/34", false}, {"12/__", false}};
  for (const Case& c : cases) EXPECT_EQ(Ed->Mode()->IsTextValid(c.Text), c.Valid) << c.Text;
  P()->SetIgnoreMaskBlank(false);
  EXPECT_FALSE(Ed->Mode()->IsTextValid("__/__"));
}

TEST_F(MaskEditForm, ASelectionReplacementReplacesItsOwnLengthWhateverTheClipboardHolds) {
  Masked(emkStandard, "00/00");
  FocusEditor();
  stdtest::SetClipboard("9999999999");
  Ed->SetSelText("12");
  EXPECT_EQ(Shown(), "12/__") << "two positions replaced, not ten";
  EXPECT_EQ(stdtest::ClipboardText(), "9999999999");

  stdtest::SetClipboard("34");
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "12/34") << "a paste goes in at the caret";
}

TEST_F(MaskEditForm, ABlankMaskLeavesAPlainTextEditor) {
  P()->SetEditMask("   ");
  EXPECT_FALSE(Ed->IsMasked());
  FocusEditor();
  stdtest::Type("ab/c");
  EXPECT_EQ(Shown(), "ab/c");
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(Sel(), std::make_pair(3, 0)) << "no caret block";
}

TEST_F(MaskEditForm, UpAndDownGoToTheHostAndShiftDeleteWithoutSelectionIsBackspace) {
  Masked(emkStandard, "0000");
  std::vector<Word> hosted;
  Ed->OnHostKey = TcxEditHostKeyEvent::Lambda([&](TObject*, Word& Key, TShiftState) {
    if (Key >= VK_LEFT && Key <= VK_DOWN) hosted.push_back(Key);
  });
  FocusEditor();
  stdtest::Type("12");
  stdtest::Key(Qt::Key_Up);
  stdtest::Key(Qt::Key_Down);
  EXPECT_EQ(hosted, (std::vector<Word>{VK_UP, VK_DOWN}));
  EXPECT_EQ(Sel(), std::make_pair(2, 1)) << "the caret did not move";

  // The caret block is a selection: Shift+Delete cuts it, which blanks it.
  stdtest::Key(Qt::Key_Left);
  stdtest::Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Shown(), "1___");
  EXPECT_EQ(Sel(), std::make_pair(1, 1));

  Masked(emkRegExpr, "\\d+");
  Ed->SetText("");
  stdtest::Type("345");
  stdtest::Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Shown(), "34") << "without a selection it deletes backwards";
}

TEST_F(MaskEditForm, OwnKeyMessagesFireNoUserKeyEvents) {
  Masked(emkRegExpr, "\\d+");
  int downs = 0, presses = 0;
  Ed->OnKeyDown = TKeyEvent::Lambda([&](TObject*, Word&, TShiftState) { ++downs; });
  Ed->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, Char&) { ++presses; });
  FocusEditor();
  stdtest::Type("12");
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(presses, 2);
  Ed->SendKey(VK_HOME);
  Ed->SendChar(U'7');
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(Shown(), "712") << "the inner edit still acted on them";
}

TEST_F(MaskEditForm, AValueAlreadyThereIsNeverReplacedByTheInitialValue) {
  auto* e = new TcxMaskEdit(Form);
  e->SetEditValue("1234");
  e->Properties()->SetEditMask("00/00");
  EXPECT_EQ(VarToStr(e->EditValue()), "1234");
  e->Mode()->EditValuePending = true;
  e->Mode()->InitialEditValue();
  EXPECT_EQ(VarToStr(e->EditValue()), "1234");
  e->SetEditValue(Null());
  e->Mode()->InitialEditValue();
  EXPECT_EQ(VarToStr(e->EditValue()), "  /  ") << "a Null value takes the mask's empty value";
  delete e;
}

// ---------------------------------------------------------------- expression mode

TEST_F(MaskEditForm, ExpressionTypingRefusesWhatCannotFollowAndBeepsOnlyWhenAsked) {
  Masked(emkRegExpr, "\\d\\d");
  FocusEditor();
  {
    stdtest::TBeepCounter beeps;
    stdtest::Type("a");
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(beeps.Count, 0);
    P()->SetBeepOnError(true);
    stdtest::Type("a");
    EXPECT_EQ(beeps.Count, 1);
    stdtest::Type("123");
    EXPECT_EQ(Shown(), "12");
    EXPECT_EQ(beeps.Count, 2) << "a third digit has no place";
  }
  stdtest::Key(Qt::Key_Home);
  stdtest::Key(Qt::Key_Delete);
  EXPECT_EQ(Shown(), "2") << "the rest still fits";
}

TEST_F(MaskEditForm, ExpressionDeletionDropsATailThatNoLongerFits) {
  Masked(emkRegExpr, "ab\\d");
  FocusEditor();
  stdtest::Type("ab1");
  EXPECT_EQ(Shown(), "ab1");
  stdtest::Key(Qt::Key_Home);
  stdtest::Key(Qt::Key_Right);
  stdtest::Type("x");
  EXPECT_EQ(Shown(), "ab1") << "x cannot follow a";
  stdtest::Key(Qt::Key_Home);
  stdtest::Key(Qt::Key_Delete);
  EXPECT_EQ(Shown(), "") << "b1 cannot start the text";

  stdtest::Type("ab1");
  stdtest::Key(Qt::Key_Left);
  stdtest::Key(Qt::Key_Left);
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Shown(), "") << "b1 cannot follow nothing either";
}

TEST_F(MaskEditForm, ACaseInsensitiveExpressionWritesItsOwnSpelling) {
  Masked(emkRegExpr, "ABC");
  FocusEditor();
  stdtest::Type("abc");
  EXPECT_EQ(Shown(), "ABC");
  P()->SetCaseInsensitive(false);
  stdtest::Key(Qt::Key_Backspace);
  stdtest::Type("c");
  EXPECT_EQ(Shown(), "AB") << "case-sensitive now";
  stdtest::Type("C");
  EXPECT_EQ(Shown(), "ABC");
}

TEST_F(MaskEditForm, ExpressionSelectionReplacementAndCut) {
  Masked(emkRegExpr, "\\d\\d/\\d\\d");
  FocusEditor();
  stdtest::Type("1234");
  EXPECT_EQ(Shown(), "12") << "\"/\" must be typed here";
  stdtest::Type("/34");
  EXPECT_EQ(Shown(), "12/34");
  stdtest::Key(Qt::Key_Left, Qt::ShiftModifier);
  stdtest::Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Sel(), std::make_pair(3, 2));
  stdtest::Type("9");
  EXPECT_EQ(Shown(), "12/9") << "the selection is replaced";
  stdtest::Key(Qt::Key_Left, Qt::ShiftModifier);
  stdtest::Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(stdtest::ClipboardText(), "9");
  EXPECT_EQ(Shown(), "12/");
  stdtest::Type("56");
  EXPECT_EQ(Shown(), "12/56");
}

// ---------------------------------------------------------------- extended mode

TEST_F(MaskEditForm, ExtendedModeFillsForcedLiteralsAndKeepsTheLeadingOnes) {
  Masked(emkRegExprEx, "'+7 ('\\d\\d\\d')'");
  EXPECT_EQ(Ed->Mode()->EmptyText(), "+7 (");
  FocusEditor();
  EXPECT_EQ(Shown(), "+7 (");
  P()->SetBeepOnError(true);
  stdtest::TBeepCounter beeps;

  stdtest::Key(Qt::Key_Home);
  stdtest::Type("4");
  EXPECT_EQ(Shown(), "+7 (") << "the expression expects \"+\" at 0";
  EXPECT_EQ(beeps.Count, 1);
  stdtest::Key(Qt::Key_Delete);
  EXPECT_EQ(Shown(), "+7 (") << "the leading literals cannot be deleted";
  EXPECT_EQ(beeps.Count, 2);

  stdtest::Key(Qt::Key_End);
  stdtest::Type("495");
  EXPECT_EQ(Shown(), "+7 (495)");
  EXPECT_EQ(Ed->SelStart(), 8);
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(Ed->SelStart(), 6) << "Left passes the filled \")\" with the 5";
  stdtest::Key(Qt::Key_End);
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Shown(), "+7 (49") << "5 and \")\" go together";
  stdtest::Key(Qt::Key_Backspace);
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Shown(), "+7 (");
  EXPECT_EQ(Ed->SelStart(), 4);
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(Ed->SelStart(), 0) << "the leading run is one step";
  const int before = beeps.Count;
  stdtest::Key(Qt::Key_End);
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Shown(), "+7 (");
  EXPECT_EQ(beeps.Count, before + 1);
}

// Editing inside "12/34" under "\d\d/\d\d", where "/" is filled in after the second digit: the
// caret moves by groups, a change refits the rest of the text or drops what no longer fits,
// and typing afterwards goes on from exactly where the text and caret say. Steps: H Home,
// E End, L Left, R Right, S Shift+Right, B Backspace, D Delete; anything else is typed.
TEST_F(MaskEditForm, ExtendedModeEditsInsideTheTextAndTypingGoesOnFromThere) {
  const struct {
    const char* Steps;
    const char* Text;
    int Caret;
    const char* Then;
    const char* After;
  } Cases[] = {
      {"HRR", "12/34", 3, "L", "12/34"},     // Right takes "2" with its filled "/"
      {"HRRL", "12/34", 1, "E8", "12/34"},   // Left gives them back together
      {"HRR9", "12/9", 4, "8", "12/98"},     // "34" cannot follow "12/9": dropped
      {"HRRRB", "12/4", 3, "5", "12/54"},    // "4" still fits after "12/"
      {"HRRD", "12/4", 3, "5", "12/54"},
      {"HRD", "1", 1, "988", "19/88"},       // "2" goes with its "/", "34" cannot follow "1"
      {"HRRB", "1", 1, "9", "19/"},          // Backspace over "/" takes the "2" too
      {"HRRSx", "12/34", 3, "EB", "12/3"},   // a refused replacement leaves everything as it was
      {"HRRS7", "12/74", 4, "EB", "12/7"},
      {"HRRSB", "12/4", 3, "5", "12/54"},
      {"HRSx", "12/34", 1, "EB", "12/3"},    // the selection "2/" comes back with its filling
      {"HRS9", "19/34", 3, "EB", "19/3"},    // "9" fills "/" again, "34" still fits
  };
  Masked(emkRegExprEx, "\\d\\d/\\d\\d");
  FocusEditor();
  auto Run = [](const char* Steps) {
    for (const char* s = Steps; *s; ++s) switch (*s) {
        case 'H': stdtest::Key(Qt::Key_Home); break;
        case 'E': stdtest::Key(Qt::Key_End); break;
        case 'L': stdtest::Key(Qt::Key_Left); break;
        case 'R': stdtest::Key(Qt::Key_Right); break;
        case 'S': stdtest::Key(Qt::Key_Right, Qt::ShiftModifier); break;
        case 'B': stdtest::Key(Qt::Key_Backspace); break;
        case 'D': stdtest::Key(Qt::Key_Delete); break;
        default: stdtest::Type(String(1, *s)); break;
      }
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Steps);
    Ed->SetText("");
    Application->ProcessMessages();
    stdtest::Type("1234");
    ASSERT_EQ(Shown(), "12/34");
    Run(C.Steps);
    EXPECT_EQ(Shown(), C.Text);
    EXPECT_EQ(Ed->SelStart(), C.Caret);
    Run(C.Then);
    EXPECT_EQ(Shown(), C.After);
  }
}

TEST_F(MaskEditForm, ExtendedModeValidityCountsTheLeadingLiteralsAsEmpty) {
  Masked(emkRegExprEx, "'+7 ('\\d\\d\\d')'");
  struct Case {
    const char* Text;
    bool Valid;
  };
  const Case cases[] = {{"+7 (", true}, {"+7 (495)", true}, {"+7 (49", false}, {"+8 (495)", false}};
  for (const Case& c : cases) EXPECT_EQ(Ed->Mode()->IsTextValid(c.Text), c.Valid) << c.Text;
  P()->SetIgnoreMaskBlank(true);
  EXPECT_TRUE(Ed->Mode()->IsTextValid("+7 (49")) << "a text that can still be completed";
}
