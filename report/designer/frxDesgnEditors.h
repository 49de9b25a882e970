#pragma once
// The report objects' designer behaviour, registered once at start into the report library's
// design-time registries: the palette entries of the basic objects, the component editors
// (what a double click opens, the check entries of an object's context menu) and the property
// editors the object inspector uses for positions, paper lengths, frames, data sets and fields.
//
// Context-menu entries are tables of (caption key, tag, Boolean property); a chosen entry sets
// the property of the first selected object unless that object is restricted (rfDontModify).
#include "report/designer/frxCustomEditors.h"
#include "report/designer/frxDesgnUnits.h"
#include "report/frxDsgnIntf.h"

// The designer's measuring units; the designer window answers it (centimetres until then).
extern TfrxRulerUnits (*DesignerUnitsHook)(TfrxCustomDesigner* Designer);

// The registrations, once per process (the designer library runs it as it loads).
void RegisterDesignerEditors();

// ---------------------------------------------------------------- component editors

// A report page's dialog; a page that a subreport prints opens nothing.
class TfrxPageEditor : public TfrxComponentEditor {
public:
  using TfrxComponentEditor::TfrxComponentEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;
};

// Lines: diagonal (line objects only) and stretch to the band, then the view's entries.
class TfrxLineEditor : public TfrxViewEditor {
public:
  using TfrxViewEditor::TfrxViewEditor;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;
};

// Pictures: the picture dialog; auto size, stretch, centre, aspect, then the view's entries.
class TfrxPictureEditor : public TfrxViewEditor {
public:
  using TfrxViewEditor::TfrxViewEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;
};

// Subreports: a double click shows the subreport's page; "Print On Parent".
class TfrxSubreportEditor : public TfrxComponentEditor {
public:
  using TfrxComponentEditor::TfrxComponentEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;
};

// Bands: stretch, split, keep child, print child, start page, by band kind; none with more
// than one object selected.
class TfrxBandEditor : public TfrxComponentEditor {
public:
  using TfrxComponentEditor::TfrxComponentEditor;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;

protected:
  // The entries of this kind after the band's own.
  virtual std::vector<TfrxMenuEntry> OwnEntries() const { return {}; }
  bool SingleSelection() const;
  // Sets the entry's property on the first selected object unless restricted; false then.
  bool ApplyEntry(const std::vector<TfrxMenuEntry>& Entries, int Tag, bool Checked);
  std::vector<TfrxMenuEntry> BandEntries() const;
};

class TfrxDataBandEditor : public TfrxBandEditor {
public:
  using TfrxBandEditor::TfrxBandEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;

protected:
  std::vector<TfrxMenuEntry> OwnEntries() const override;
};

class TfrxHeaderEditor : public TfrxBandEditor {
public:
  using TfrxBandEditor::TfrxBandEditor;

protected:
  std::vector<TfrxMenuEntry> OwnEntries() const override { return {{"bvReprint", 0, "ReprintOnNewPage"}}; }
};

class TfrxPageHeaderEditor : public TfrxBandEditor {
public:
  using TfrxBandEditor::TfrxBandEditor;

protected:
  std::vector<TfrxMenuEntry> OwnEntries() const override { return {{"bvOnFirst", 0, "PrintOnFirstPage"}}; }
};

class TfrxGroupHeaderEditor : public TfrxBandEditor {
public:
  using TfrxBandEditor::TfrxBandEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;

protected:
  std::vector<TfrxMenuEntry> OwnEntries() const override {
    return {{"bvKeepGroup", 0, "KeepTogether"}, {"bvReprint", 1, "ReprintOnNewPage"}};
  }
};

// The page footer's entries only, without the band's.
class TfrxPageFooterEditor : public TfrxBandEditor {
public:
  using TfrxBandEditor::TfrxBandEditor;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;
};

// ---------------------------------------------------------------- property editors

// Positions and sizes in pixels, shown in the designer's units; a character cell is 9.6
// pixels wide (X) or 17 high (Y).
class TfrxLocSizeXProperty : public TfrxFloatProperty {
  KELM_CLASS(TfrxLocSizeXProperty, TfrxFloatProperty)
public:
  String ValueText() const override;
  void ApplyValueText(const String& Value) override;

protected:
  virtual Extended CharCell() const { return frx_units::CharWidth; }
  virtual bool IsPaper() const { return false; }
};

class TfrxLocSizeYProperty : public TfrxLocSizeXProperty {
  KELM_CLASS(TfrxLocSizeYProperty, TfrxLocSizeXProperty)
protected:
  Extended CharCell() const override { return frx_units::CharHeight; }
};

// Paper sizes and margins in millimetres, shown in the designer's units.
class TfrxPaperXProperty : public TfrxLocSizeXProperty {
  KELM_CLASS(TfrxPaperXProperty, TfrxLocSizeXProperty)
protected:
  bool IsPaper() const override { return true; }
};

class TfrxPaperYProperty : public TfrxLocSizeYProperty {
  KELM_CLASS(TfrxPaperYProperty, TfrxLocSizeYProperty)
protected:
  bool IsPaper() const override { return true; }
};

// A frame, edited in the frame dialog on a copy.
class TfrxFrameProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxFrameProperty, TfrxClassProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitReadOnly}; }
  bool RunEdit() override;
};

// The report data set a view or band reads.
class TfrxDataSetProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxDataSetProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect}; }
  String ValueText() const override;
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

// A field of the first object's data set.
class TfrxDataFieldProperty : public TfrxPropertyEditor {
  KELM_CLASS(TfrxDataFieldProperty, TfrxPropertyEditor)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect}; }
  String ValueText() const override { return ReadText(); }
  void FillValueList() override;
  void ApplyValueText(const String& Value) override;
};

// A text object bound to a field shows the field: [DataSet."Field"].
void BindMemoToField(TObject* Object);

// The position or length as the inspector shows it: "%f" unless whole.
String UnitsValueText(Extended Value);
// Stored value (pixels, or millimetres for paper) to shown units and back.
Extended ShownFromStored(TfrxRulerUnits Units, Extended Stored, Extended CharCell, bool Paper);
Extended StoredFromShown(TfrxRulerUnits Units, Extended Shown, Extended CharCell, bool Paper);
