#pragma once
// The property editors of the report library, one per property kind, and the editors for
// colours, fonts, character sets, modal results, short-cuts, cursors and dates that the
// property-editor registry hands out at start. The designer brings more of its own.
//
// Traits, by class (sums of the flag values): integer, float, char, string, date, time and
// date-time 8; enumeration, set element, component reference, font name, character set and
// cursor 11; set and class 56; name 0; colour 73; font 60; modal result and short-cut 9.
#include "report/frxPropertyEditor.h"

class TfrxIntegerProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxIntegerProperty, TfrxPropertyEditor)
public:
  String ValueText() const override;
  // Decimal, or hexadecimal after "$"; the conversion error for anything else.
  void ApplyValueText(const String& Value) override;
};

class TfrxFloatProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxFloatProperty, TfrxPropertyEditor)
public:
  String ValueText() const override;
  // "," and "." both count as the decimal separator.
  void ApplyValueText(const String& Value) override;
};

class TfrxCharProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxCharProperty, TfrxPropertyEditor)
public:
  // Codes below 33 as "#" and the code.
  String ValueText() const override;
  // Empty: 0; one character: its code; "#" and a number: that code.
  void ApplyValueText(const String& Value) override;
};

class TfrxStringProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxStringProperty, TfrxPropertyEditor)
public:
  String ValueText() const override;
  void ApplyValueText(const String& Value) override;
};

class TfrxEnumProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxEnumProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxSetProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxSetProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override;
  // "[a,b]" of the members among the first 32 elements.
  String ValueText() const override;
};

// One element of a set, shown as a row below the set.
class TfrxSetElementProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxSetElementProperty, TfrxPropertyEditor)
public:
  int Element() const { return FElement; }
  void SetElement(int Value) { FElement = Value; }
  TfrxPropertyTraits Traits() const override;
  String PropertyName() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;

private:
  int FElement = 0;
};

class TfrxClassProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxClassProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
};

// A reference to another report object, picked by name.
class TfrxComponentProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxComponentProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxNameProperty : public TfrxStringProperty {
  KELM_CLASS(TfrxNameProperty, TfrxStringProperty)
public:
  // Never multi-select: two objects cannot share a name.
  TfrxPropertyTraits Traits() const override { return {}; }
};

class TfrxColorProperty : public TfrxIntegerProperty {
  KELM_CLASS(TfrxColorProperty, TfrxIntegerProperty)
public:
  bool RunEdit() override;
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
  void DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) override;
  void DrawValueCell(TCanvas* Canvas, const TRect& ARect) override;
};

class TfrxFontProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxFontProperty, TfrxClassProperty)
public:
  bool RunEdit() override;
  TfrxPropertyTraits Traits() const override;
};

class TfrxFontNameProperty : public TfrxStringProperty {
  KELM_CLASS(TfrxFontNameProperty, TfrxStringProperty)
public:
  TfrxPropertyTraits Traits() const override;
  void FillValueList() override;
};

class TfrxFontCharsetProperty : public TfrxIntegerProperty {
  KELM_CLASS(TfrxFontCharsetProperty, TfrxIntegerProperty)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxModalResultProperty : public TfrxIntegerProperty {
  KELM_CLASS(TfrxModalResultProperty, TfrxIntegerProperty)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxShortCutProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxShortCutProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxCursorProperty : public TfrxIntegerProperty {
  KELM_CLASS(TfrxCursorProperty, TfrxIntegerProperty)
public:
  TfrxPropertyTraits Traits() const override;
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

class TfrxDateTimeProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxDateTimeProperty, TfrxPropertyEditor)
public:
  // Empty for 0.
  String ValueText() const override;
  // Empty text stores 0.
  void ApplyValueText(const String& Value) override;
};

class TfrxDateProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxDateProperty, TfrxPropertyEditor)
public:
  String ValueText() const override;
  void ApplyValueText(const String& Value) override;
};

class TfrxTimeProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxTimeProperty, TfrxPropertyEditor)
public:
  String ValueText() const override;
  void ApplyValueText(const String& Value) override;
};

// ---- the vocabularies, in list order
struct TfrxIdentValue {
  const char* Name;
  int Value;
};
// The 18 character sets.
const std::vector<TfrxIdentValue>& CharsetIdents();
// The 11 modal results, mrNone to mrYesToAll.
const std::vector<TfrxIdentValue>& ModalResultIdents();
// The 22 cursor names; crSizeAll comes before crSize, so -22 answers crSizeAll.
const std::vector<TfrxIdentValue>& CursorIdents();
// The 108 short-cuts the short-cut editor offers.
const std::vector<Word>& ShortCutChoices();
