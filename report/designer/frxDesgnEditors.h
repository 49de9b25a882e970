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

// Text objects: the text dialog; on OK the object takes the text and drops its data field.
class TfrxMemoEditor : public TfrxCustomMemoEditor {
public:
  using TfrxCustomMemoEditor::TfrxCustomMemoEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;
};

// System-text objects: the system-text dialog.
class TfrxSysMemoEditor : public TfrxCustomMemoEditor {
public:
  using TfrxCustomMemoEditor::TfrxCustomMemoEditor;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override;
};

// Dialog controls: a double click creates or shows the control's OnClick handler.
class TfrxDialogControlEditor : public TfrxComponentEditor {
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

// Sub-objects edited in their dialogs: a text object's lines, pictures, bitmaps, string lists.
class TfrxMemoProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxMemoProperty, TfrxClassProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitReadOnly}; }
  bool RunEdit() override;
};

class TfrxPictureProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxPictureProperty, TfrxClassProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitReadOnly}; }
  String ValueText() const override;
  bool RunEdit() override;
};

class TfrxBitmapProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxBitmapProperty, TfrxClassProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitReadOnly}; }
  String ValueText() const override;
  bool RunEdit() override;
};

class TfrxStringsProperty : public TfrxClassProperty {
  KELM_CLASS(TfrxStringsProperty, TfrxClassProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitReadOnly}; }
  bool RunEdit() override;
};

// A script event: the handler's name, the script's procedures that fit the event, and a
// double click that creates the handler or shows it.
class TfrxEventProperty : public TfrxStringProperty {
  KELM_CLASS(TfrxEventProperty, TfrxStringProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect}; }
  void FillValueList() override;
  bool RunEdit() override;
};

// Enumerations drawn with a sample: brush patterns, frame line styles, check boxes.
class TfrxBrushProperty : public TfrxEnumProperty {
  KELM_CLASS(TfrxBrushProperty, TfrxEnumProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect, TraitOwnerDraw}; }
  void DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) override;
  void DrawValueCell(TCanvas* Canvas, const TRect& ARect) override;
};

class TfrxFrameStyleProperty : public TfrxEnumProperty {
  KELM_CLASS(TfrxFrameStyleProperty, TfrxEnumProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect, TraitOwnerDraw}; }
  int ListExtraWidth() const override { return TfrxEnumProperty::ListExtraWidth() + 36; }
  void DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) override;
  void DrawValueCell(TCanvas* Canvas, const TRect& ARect) override;
};

class TfrxBooleanProperty : public TfrxEnumProperty {
  KELM_CLASS(TfrxBooleanProperty, TfrxEnumProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList, TraitMultiSelect, TraitOwnerDraw}; }
  void DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) override;
  void DrawValueCell(TCanvas* Canvas, const TRect& ARect) override;
};

// A text object's display format, edited in the format dialog for every selected text object.
class TfrxDisplayFormatProperty : public TfrxStringProperty {
  KELM_CLASS(TfrxDisplayFormatProperty, TfrxStringProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitDialog, TraitMultiSelect, TraitReadOnly}; }
  String ValueText() const override { return String(); }
  void ApplyValueText(const String&) override {}
  bool RunEdit() override;
};

// The printer a report prints on: "预设" (the default) first, then the library's printers.
class TfrxPrinterProperty : public TfrxStringProperty {
  KELM_CLASS(TfrxPrinterProperty, TfrxStringProperty)
public:
  TfrxPropertyTraits Traits() const override { return {TraitValueList}; }
  void FillValueList() override;
};

// Creates the event handler Object's property names, or shows it: an existing handler puts
// the caret on its first body line; otherwise the handler (object name + property name) is
// written into the property of every object once its stub exists, the stub inserted when the
// script lacks it. False when nothing changed.
bool CreateOrShowHandler(TfrxCustomDesigner* Designer, const std::vector<TObject*>& Objects,
                         const String& PropertyName, const String& EventType);

// The designer window's code page, for handler creation: the lines being edited (changed in
// place) and a way to show a position. Without it the report's own script is edited.
struct TfrxCodeHooks {
  TStrings* (*CodeLines)(TfrxCustomDesigner* Designer) = nullptr;
  // Switches to the code page, refreshes its highlighting and puts the caret there (from 1).
  void (*ShowCode)(TfrxCustomDesigner* Designer, int Column, int Line) = nullptr;
};
extern TfrxCodeHooks DesignerCodeHooks;

// A text object bound to a field shows the field: [DataSet."Field"].
void BindMemoToField(TObject* Object);

// The position or length as the inspector shows it: "%f" unless whole.
String UnitsValueText(Extended Value);
// Stored value (pixels, or millimetres for paper) to shown units and back.
Extended ShownFromStored(TfrxRulerUnits Units, Extended Stored, Extended CharCell, bool Paper);
Extended StoredFromShown(TfrxRulerUnits Units, Extended Shown, Extended CharCell, bool Paper);
