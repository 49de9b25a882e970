// The masked edit: typing into the positions of a mask, the cursor over literals, deleting,
// pasting and the validation when the focus leaves.
#include "StdTestUtil.h"

#include "gui/MaskEdit.h"

using namespace guitest;
using namespace stdtest;

namespace {

struct MaskFixture : FormFixture {
  TMaskEdit* Edit = nullptr;
  TEdit* Other = nullptr;
  TMsgLog Log;
  void SetUp() override {
    FormFixture::SetUp();
    Edit = Add<TMaskEdit>(Rect(8, 8, 208, 29));
    Other = Add<TEdit>(Rect(8, 40, 208, 61));
    Edit->SetEditMask("!9999/99/99;1; ");
    Edit->SetFocus();
    Application->ProcessMessages();
    Log.Attach(Edit, {EM_SETSEL});
  }
  // The cursor of a masked edit: the selected character's position (or the caret at the end).
  int Cursor() { return Edit->SelStart(); }
};

// A text with '/' standing for the settings' date separator, which a mask's '/' shows.
String D(const char* s) {
  String r = s;
  for (char& c : r)
    if (c == '/') c = FormatSettings().DateSeparator;
  return r;
}

}  // namespace

TEST_F(MaskFixture, AnEmptyMaskedEditShowsItsLiteralsAndBlanks) {
  EXPECT_EQ(Edit->EditText(), D("    /  /  "));
  EXPECT_EQ(Edit->Text(), D("    /  /  ")) << "literals kept, blanks as spaces";
  EXPECT_EQ(Edit->SelLength(), 10) << "entered with AutoSelect: all of it";
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor(), 0);
  EXPECT_EQ(Edit->SelLength(), 1) << "the cursor is the character it stands on";
}

TEST_F(MaskFixture, TypedDigitsFillThePositionsAndSkipTheLiterals) {
  Type("20240315");
  EXPECT_EQ(Edit->EditText(), D("2024/03/15"));
  EXPECT_EQ(Edit->Text(), D("2024/03/15"));
  EXPECT_EQ(Cursor(), 10);
  EXPECT_GT(Log.Count(EM_SETSEL), 0) << "the masked cursor is placed through EM_SETSEL";
  EXPECT_TRUE(Edit->Modified());
}

TEST_F(MaskFixture, CharactersTheMaskRefusesBeepAndChangeNothing) {
  TBeepCounter beeps;
  Type("20a");
  EXPECT_EQ(Edit->EditText(), D("20  /  /  "));
  EXPECT_EQ(beeps.Count, 1);
  EXPECT_EQ(Cursor(), 2);
}

TEST_F(MaskFixture, TypingTheSeparatorJumpsToTheNextField) {
  Edit->SetEditMask("!99/99/9999;1; ");
  Edit->SetFocus();
  Edit->Perform(EM_SETSEL, 1, 0);
  Type(D("3/7/2024"));
  EXPECT_EQ(Edit->EditText(), D("3 /7 /2024"));
}

TEST_F(MaskFixture, CursorKeysStepOverLiteralsAndDeletingBlanksPositions) {
  Edit->SetText(D("2024/03/15"));
  Edit->SetFocus();
  Key(Qt::Key_Home);
  EXPECT_EQ(Cursor(), 0);
  struct Case {
    int key;
    int expected;
  };
  const Case walk[] = {{Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Right, 5},
                       {Qt::Key_Left, 3},  {Qt::Key_End, 10},  {Qt::Key_Left, 9},  {Qt::Key_Up, 9}};
  for (const Case& c : walk) {
    Key(c.key);
    EXPECT_EQ(Cursor(), c.expected) << c.key;
  }
  Key(Qt::Key_Delete);
  EXPECT_EQ(Edit->EditText(), D("2024/03/1 "));
  EXPECT_EQ(Cursor(), 9);
  Edit->Perform(EM_SETSEL, 6, 5);  // the cursor on the first digit of the month
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Edit->EditText(), D("202 /03/1 ")) << "backspace blanks the position before, over the literal";
  EXPECT_EQ(Cursor(), 3);
  EXPECT_EQ(::Length(Edit->EditText()), 10) << "the length never changes";
}

TEST_F(MaskFixture, TextAssignedFromCodeIsLaidIntoTheMask) {
  struct Case {
    const char* mask;
    const char* value;
    const char* edit;
    const char* text;
  };
  const Case cases[] = {
      {"!9999/99/99;1; ", "2024/3/15", "2024/ 3/15", "2024/ 3/15"},  // '!' pads at the front
      {"9999/99/99;1; ", "2024/3/15", "2024/3 /15", "2024/3 /15"},
      {"000-0000;0;_", "1234567", "123-4567", "1234567"},
      {"000-0000;0;_", "12", "12_-____", "12"},
      {"\\(000\\)0000;1;_", "(010)6789", "(010)6789", "(010)6789"},
  };
  for (const Case& c : cases) {
    Edit->SetEditMask(c.mask);
    Edit->SetText(D(c.value));
    EXPECT_EQ(Edit->EditText(), D(c.edit)) << c.mask;
    EXPECT_EQ(Edit->Text(), D(c.text)) << c.mask;
  }
  // The mask's case directive converts what is typed.
  Edit->SetEditMask(">LL-00;1;_");
  Key(Qt::Key_Home);
  Type("ab12");
  EXPECT_EQ(Edit->Text(), "AB-12");
}

TEST_F(MaskFixture, PastingTypesTheClipboardIntoTheMask) {
  SetClipboard("202412");
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Edit->EditText(), D("2024/12/  "));
  SetClipboard("x");
  Edit->Perform(EM_SETSEL, 9, 8);
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->EditText(), D("2024/12/  ")) << "a refused character stops the paste";
}

TEST_F(MaskFixture, LeavingWithAnIncompleteRequiredMaskRaisesAndKeepsTheFocus) {
  TBoxRecorder boxes;
  Edit->SetEditMask("0000-00-00;1;_");
  Edit->SetText("");
  Other->SetFocus();
  Edit->SetFocus();
  Key(Qt::Key_Home);
  Type("2024");
  Other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(Pos(SMaskEditErr, boxes.Calls[0].Text), 1);
  EXPECT_TRUE(Edit->Focused()) << "the focus comes back to the edit";
  EXPECT_EQ(Cursor(), 5) << "on the first position that fails";
  // Escape gives the text back that the edit had when it was entered.
  Key(Qt::Key_Escape);
  EXPECT_EQ(Edit->EditText(), "____-__-__");
  Type("20240101");
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(boxes.Calls.size(), 1u);
  EXPECT_TRUE(Other->Focused());
}

TEST_F(MaskFixture, WithoutAMaskItIsAPlainEdit) {
  Edit->SetEditMask("");
  EXPECT_FALSE(Edit->IsMasked());
  Edit->SetText("");
  Type("abc");
  EXPECT_EQ(Edit->Text(), "abc");
  EXPECT_EQ(Edit->SelLength(), 0);
}
