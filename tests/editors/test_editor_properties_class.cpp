// Each editor class carries the properties object of its own kind, whether it is made by its
// constructor or from its class name as a layout makes it: the published settings a layout
// reads (a mask, list items, a precision) live only on the specific properties classes.
#include "core/ClassBuilder.h"
#include "editors/cxCalc.h"
#include "editors/cxComboBox.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxPopupEdit.h"
#include "editors/cxTextEdit.h"

#include <gtest/gtest.h>

#include <memory>

TEST(EditorPropertiesClass, EveryEditorMadeAnyWayHoldsThePropertiesOfItsOwnKind) {
  struct Case {
    TClass Editor;
    TClass Properties;
  };
  const Case cases[] = {
      {TcxTextEdit::StaticClass(), TcxTextEditProperties::StaticClass()},
      {TcxMaskEdit::StaticClass(), TcxMaskEditProperties::StaticClass()},
      {TcxComboBox::StaticClass(), TcxComboBoxProperties::StaticClass()},
      {TcxPopupEdit::StaticClass(), TcxPopupEditProperties::StaticClass()},
      {TcxCalcEdit::StaticClass(), TcxCalcEditProperties::StaticClass()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Editor->Name());
    std::unique_ptr<TObject> made(c.Editor->Create(nullptr));
    auto* edit = dynamic_cast<TcxCustomEdit*>(made.get());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Properties()->ClassType(), c.Properties) << edit->Properties()->ClassName();
  }
  // Made by their constructors, in place or not.
  EXPECT_EQ(TcxMaskEdit(nullptr).Properties()->ClassType(), TcxMaskEditProperties::StaticClass());
  EXPECT_EQ(TcxTextEdit(nullptr, true).Properties()->ClassType(), TcxTextEditProperties::StaticClass());
  EXPECT_EQ(TcxComboBox(nullptr, true).Properties()->ClassType(), TcxComboBoxProperties::StaticClass());
  EXPECT_EQ(TcxPopupEdit(nullptr).Properties()->ClassType(), TcxPopupEditProperties::StaticClass());
}
