#include "report/designer/frxDesgnEditors.h"

#include "core/ClassBuilder.h"
#include "core/FloatFormat.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Menus.h"
#include "report/designer/frxCodeUtils.h"
#include "report/designer/frxEditDataBand.h"
#include "report/designer/frxEditFrame.h"
#include "report/designer/frxEditGroup.h"
#include "report/designer/frxEditPage.h"
#include "report/designer/frxEditPicture.h"
#include "gui/Pictures.h"
#include "report/designer/frxrcDesgnEditors.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"
#include "report/frxUtils.h"

#include <cmath>

KELM_PUBLISH(TfrxLocSizeXProperty) {}
KELM_PUBLISH(TfrxLocSizeYProperty) {}
KELM_PUBLISH(TfrxPaperXProperty) {}
KELM_PUBLISH(TfrxPaperYProperty) {}
KELM_PUBLISH(TfrxFrameProperty) {}
KELM_PUBLISH(TfrxDataSetProperty) {}
KELM_PUBLISH(TfrxDataFieldProperty) {}

TfrxRulerUnits (*DesignerUnitsHook)(TfrxCustomDesigner* Designer) = nullptr;

namespace {

TfrxRulerUnits UnitsOf(TfrxCustomDesigner* Designer) {
  return DesignerUnitsHook && Designer ? DesignerUnitsHook(Designer) : ruCM;
}

TfrxComponent* FirstSelected(TfrxCustomDesigner* Designer, TfrxComponent* Fallback) {
  if (Designer && !Designer->SelectedObjects().empty())
    if (auto* c = dynamic_cast<TfrxComponent*>(Designer->SelectedObjects().front())) return c;
  return Fallback;
}

bool Restricted(const TfrxComponent* C) { return C->Restrictions().Contains(rfDontModify); }

}  // namespace

// ---------------------------------------------------------------- pages

bool TfrxPageEditor::OpenEditor() {
  auto* page = dynamic_cast<TfrxReportPage*>(Component());
  if (!page) return false;
  if (TfrxReport* report = page->FindParentReport())
    for (TfrxComponent* c : report->AllObjects())
      if (auto* sub = dynamic_cast<TfrxSubreport*>(c); sub && sub->Page() == page) return false;
  return EditPage(Designer(), page, UnitsOf(Designer()));
}

// ---------------------------------------------------------------- lines, pictures, subreports

namespace {

std::vector<TfrxMenuEntry> LineEntries(const TObject* Object) {
  std::vector<TfrxMenuEntry> entries;
  if (dynamic_cast<const TfrxLineView*>(Object)) entries.push_back({"lvDiagonal", 0, "Diagonal"});
  entries.push_back({"mvStretch", 1, "StretchMode", smMaxHeight, smDontStretch});
  return entries;
}

const std::vector<TfrxMenuEntry> kPictureEntries = {
    {"pvAutoSize", 0, "AutoSize"},       {"mvStretch", 1, "Stretched"}, {"pvCenter", 2, "Center"},
    {"pvAspect", 3, "KeepAspectRatio"},  {"-", -1, nullptr},
};

// The view command, then the entry on every selected object of the class that is not restricted.
template <class T>
bool RunOnSelected(TfrxViewEditor* Editor, const std::vector<TfrxMenuEntry>& Entries, int Tag, bool Checked,
                   bool ViewChanged) {
  const TfrxMenuEntry* entry = EntryOfTag(Entries, Tag);
  if (!entry) return ViewChanged;
  bool changed = ViewChanged;
  for (TObject* o : SelectionOf(Editor))
    if (dynamic_cast<T*>(o) && !IsRestricted(o)) {
      ApplyMenuEntry(o, *entry, Checked);
      changed = true;
    }
  return changed;
}

}  // namespace

void TfrxLineEditor::BuildMenu() {
  AppendMenuEntries(this, Component(), LineEntries(Component()));
  TfrxViewEditor::BuildMenu();
}

bool TfrxLineEditor::RunMenuItem(int Tag, bool Checked) {
  bool view = TfrxViewEditor::RunMenuItem(Tag, Checked);
  return RunOnSelected<TfrxCustomLineView>(this, LineEntries(Component()), Tag, Checked, view);
}

bool TfrxPictureEditor::OpenEditor() {
  auto* view = dynamic_cast<TfrxPictureView*>(Component());
  return view && EditPicture(Designer(), view->Picture());
}

void TfrxPictureEditor::BuildMenu() {
  AppendMenuEntries(this, Component(), kPictureEntries);
  TfrxViewEditor::BuildMenu();
}

bool TfrxPictureEditor::RunMenuItem(int Tag, bool Checked) {
  bool view = TfrxViewEditor::RunMenuItem(Tag, Checked);
  return RunOnSelected<TfrxPictureView>(this, kPictureEntries, Tag, Checked, view);
}

namespace {
const std::vector<TfrxMenuEntry> kSubreportEntries = {{"srParent", 0, "PrintOnParent"}};
}

bool TfrxSubreportEditor::OpenEditor() {
  auto* sub = dynamic_cast<TfrxSubreport*>(Component());
  if (sub && sub->Page() && Designer()) Designer()->ChangePage(sub->Page());
  return false;
}

void TfrxSubreportEditor::BuildMenu() { AppendMenuEntries(this, Component(), kSubreportEntries); }

bool TfrxSubreportEditor::RunMenuItem(int Tag, bool Checked) {
  const TfrxMenuEntry* entry = EntryOfTag(kSubreportEntries, Tag);
  if (!entry || IsRestricted(Component())) return false;
  ApplyMenuEntry(Component(), *entry, Checked);
  return true;
}

// ---------------------------------------------------------------- bands

bool TfrxBandEditor::SingleSelection() const {
  return !Designer() || Designer()->SelectedObjects().size() <= 1;
}

std::vector<TfrxMenuEntry> TfrxBandEditor::BandEntries() const {
  auto* band = dynamic_cast<TfrxBand*>(Component());
  if (!band) return {};
  const int kind = band->KindIndex();
  auto isKind = [kind](std::initializer_list<int> kinds) {
    for (int k : kinds)
      if (k == kind) return true;
    return false;
  };
  std::vector<TfrxMenuEntry> entries;
  if (!band->Vertical()) {
    entries.push_back({"mvStretch", 10, "Stretched"});
    if (!isKind({2, 3, 15, 16})) entries.push_back({"bvSplit", 11, "AllowSplit"});
    if (!isKind({2, 15})) entries.push_back({"bvKeepChild", 12, "KeepChild"});
  }
  entries.push_back({"bvPrintChild", 13, "PrintChildIfInvisible"});
  if (!isKind({2, 3, 5, 13, 15, 16})) entries.push_back({"bvStartPage", 14, "StartNewPage"});
  return entries;
}

void TfrxBandEditor::BuildMenu() {
  if (!SingleSelection()) return;
  std::vector<TfrxMenuEntry> entries = BandEntries();
  for (const TfrxMenuEntry& e : OwnEntries()) entries.push_back(e);
  AppendMenuEntries(this, Component(), entries);
}

bool TfrxBandEditor::ApplyEntry(const std::vector<TfrxMenuEntry>& Entries, int Tag, bool Checked) {
  TfrxComponent* target = FirstSelected(Designer(), Component());
  if (Restricted(target)) return false;
  for (const TfrxMenuEntry& e : Entries)
    if (e.Tag == Tag && GetPropInfo(target, e.Property)) {
      SetOrdProp(target, e.Property, Checked ? 1 : 0);
      return true;
    }
  return false;
}

bool TfrxBandEditor::RunMenuItem(int Tag, bool Checked) {
  // Band tags (10-14) and the kind's own (0-4) never overlap.
  if (Tag >= 10) return ApplyEntry(BandEntries(), Tag, Checked);
  return ApplyEntry(OwnEntries(), Tag, Checked);
}

std::vector<TfrxMenuEntry> TfrxDataBandEditor::OwnEntries() const {
  std::vector<TfrxMenuEntry> entries = {{"bvPrintIfEmpty", 0, "PrintIfDetailEmpty"},
                                        {"bvFooterAfterEach", 1, "FooterAfterEach"}};
  auto* band = dynamic_cast<TfrxBand*>(Component());
  if (band && !band->Vertical()) {
    entries.push_back({"bvKeepDetail", 2, "KeepTogether"});
    entries.push_back({"bvKeepFooter", 3, "KeepFooter"});
    entries.push_back({"bvKeepHeader", 4, "KeepHeader"});
  }
  return entries;
}

bool TfrxDataBandEditor::OpenEditor() {
  TfrxDataBandEditorForm form(Designer());
  form.InitForm();
  form.DataBand = static_cast<TfrxDataBand*>(Component());
  return form.ShowModal() == mrOk;
}

bool TfrxGroupHeaderEditor::OpenEditor() {
  TfrxGroupEditorForm form(Designer());
  form.InitForm();
  form.GroupHeader = static_cast<TfrxGroupHeader*>(Component());
  return form.ShowModal() == mrOk;
}

namespace {
const std::vector<TfrxMenuEntry> kPageFooterEntries = {{"bvOnFirst", 0, "PrintOnFirstPage"},
                                                       {"bvOnLast", 1, "PrintOnLastPage"}};
}

void TfrxPageFooterEditor::BuildMenu() {
  if (!SingleSelection()) return;
  AppendMenuEntries(this, Component(), kPageFooterEntries);
}

bool TfrxPageFooterEditor::RunMenuItem(int Tag, bool Checked) { return ApplyEntry(kPageFooterEntries, Tag, Checked); }

// ---------------------------------------------------------------- units

String UnitsValueText(Extended Value) {
  // 96 pixels in 9.6-pixel cells is 10 give or take the last bit: that counts as whole.
  const Extended whole = std::round(Value);
  if (std::fabs(Value - whole) < 1e-9) return FloatToStr(whole);
  return FloatToStrF(Value, ffFixed, 15, 2);
}

Extended ShownFromStored(TfrxRulerUnits Units, Extended v, Extended r, bool Paper) {
  if (Paper) {
    switch (Units) {
      case ruCM: return v / 10;
      case ruInches: return v / 25.4;
      case ruPixels: return v * 96 / 25.4;
      case ruChars: return v * 96 / 25.4 / r;
    }
  }
  switch (Units) {
    case ruCM: return v / 96 * 2.54;
    case ruInches: return v / 96;
    case ruPixels: return v;
    case ruChars: return v / r;
  }
  return v;
}

Extended StoredFromShown(TfrxRulerUnits Units, Extended a, Extended r, bool Paper) {
  if (Paper) {
    switch (Units) {
      case ruCM: return a * 10;
      case ruInches: return a * 25.4;
      case ruPixels: return a * 25.4 / 96;
      case ruChars: return a * 25.4 / 96 * r;
    }
  }
  switch (Units) {
    case ruCM: return a * 96 / 2.54;
    case ruInches: return a * 96;
    case ruPixels: return a;
    case ruChars: return a * r;
  }
  return a;
}

String TfrxLocSizeXProperty::ValueText() const {
  return UnitsValueText(ShownFromStored(UnitsOf(Designer()), ReadFloat(), CharCell(), IsPaper()));
}

void TfrxLocSizeXProperty::ApplyValueText(const String& Value) {
  WriteFloat(StoredFromShown(UnitsOf(Designer()), StrToFloatAnySep(Value), CharCell(), IsPaper()));
}

// ---------------------------------------------------------------- frames, data sets, fields

bool TfrxFrameProperty::RunEdit() {
  auto* frame = dynamic_cast<TfrxFrame*>(ReadObject());
  if (!frame) return false;
  TfrxFrame copy;
  copy.Assign(frame);
  if (!EditFrame(Designer(), &copy)) return false;
  for (std::size_t i = 0; i < Instances().size(); ++i)
    if (auto* f = dynamic_cast<TfrxFrame*>(PropInfos()[i]->Access->GetObj(Instances()[i]))) f->Assign(&copy);
  return true;
}

void BindMemoToField(TObject* Object) {
  auto* memo = dynamic_cast<TfrxCustomMemoView*>(Object);
  if (!memo || !memo->DataSet() || memo->DataField().empty()) return;
  memo->SetText("[" + memo->DataSet()->UserName() + ".\"" + memo->DataField() + "\"]");
}

String TfrxDataSetProperty::ValueText() const {
  auto* ds = dynamic_cast<TfrxDataSet*>(ReadObject());
  TfrxComponent* first = FirstReportComponent();
  TfrxReport* report = first ? first->FindParentReport() : nullptr;
  if (ds && report) return report->AliasOfDataSet(ds);
  return ReportResources()->TextOf("prNotAssigned");
}

void TfrxDataSetProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  TfrxComponent* first = FirstReportComponent();
  TfrxReport* report = first ? first->FindParentReport() : nullptr;
  if (!report) return;
  TStringList names;
  report->ListDataSets(&names);
  for (int i = 0; i < names.Count(); ++i)
    if (names.Objects(i) != FirstInstance()) AddValue(names.Strings(i));
}

void TfrxDataSetProperty::ApplyValueText(const String& Value) {
  if (Value.empty()) {
    WriteObject(nullptr);
  } else {
    TfrxComponent* first = FirstReportComponent();
    TfrxReport* report = first ? first->FindParentReport() : nullptr;
    TfrxDataSet* ds = report ? report->GetDataset(Value) : nullptr;
    if (!ds) RaiseInvalidPropertyValue();
    WriteObject(ds);
  }
  BindMemoToField(FirstInstance());
}

void TfrxDataFieldProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  auto* view = dynamic_cast<TfrxView*>(FirstInstance());
  if (view && view->DataSet()) view->DataSet()->GetFieldList(Values());
}

void TfrxDataFieldProperty::ApplyValueText(const String& Value) {
  WriteText(Value);
  BindMemoToField(FirstInstance());
}

// ---------------------------------------------------------------- registrations

void RegisterDesignerEditors() {
  static const bool done = [] {
    MergeDesignerEditorsTexts();
    // Handler stubs are written from the templates in the text table.
    RegisterScriptTemplates();
    TfrxObjectCollection& palette = ObjectRegistry();
    palette.RegisterPaletteObject(TfrxMemoView::StaticClass(), nullptr, "", "", 0, 2);
    palette.RegisterPaletteObject(TfrxPictureView::StaticClass(), nullptr, "", "", 0, 3);
    palette.RegisterPaletteObject(TfrxSubreport::StaticClass(), nullptr, "", "", 0, 4);
    palette.RegisterPaletteObject(TfrxLineView::StaticClass(), nullptr, "", "", 0, 5);
    palette.RegisterPaletteObject(TfrxSysMemoView::StaticClass(), nullptr, "", "", 0, 32);
    palette.RegisterPaletteGroup("Draw", nullptr, "obCatDraw", 6);
    palette.RegisterPaletteGroup("Other", nullptr, "obCatOther", 21);
    palette.RegisterPaletteObject(TfrxLineView::StaticClass(), nullptr, "obDiagLine", "Draw", 1, 7);
    const char* shapes[] = {"obRect", "obRoundRect", "obEllipse", "obTrian", "obDiamond"};
    const int shapeImages[] = {8, 9, 10, 11, 31};
    for (int k = 0; k < 5; ++k)
      palette.RegisterPaletteObject(TfrxShapeView::StaticClass(), nullptr, shapes[k], "Draw", k, shapeImages[k]);

    TfrxComponentEditorCollection& editors = ComponentEditorRegistry();
    editors.RegisterEditorClass(TfrxReportPage::StaticClass(), ComponentEditorClassOf<TfrxPageEditor>());
    editors.RegisterEditorClass(TfrxView::StaticClass(), ComponentEditorClassOf<TfrxViewEditor>());
    editors.RegisterEditorClass(TfrxMemoView::StaticClass(), ComponentEditorClassOf<TfrxMemoEditor>());
    editors.RegisterEditorClass(TfrxSysMemoView::StaticClass(), ComponentEditorClassOf<TfrxSysMemoEditor>());
    editors.RegisterEditorClass(TfrxDMPMemoView::StaticClass(), ComponentEditorClassOf<TfrxMemoEditor>());
    editors.RegisterEditorClass(TfrxLineView::StaticClass(), ComponentEditorClassOf<TfrxLineEditor>());
    editors.RegisterEditorClass(TfrxDMPLineView::StaticClass(), ComponentEditorClassOf<TfrxLineEditor>());
    editors.RegisterEditorClass(TfrxPictureView::StaticClass(), ComponentEditorClassOf<TfrxPictureEditor>());
    editors.RegisterEditorClass(TfrxBand::StaticClass(), ComponentEditorClassOf<TfrxBandEditor>());
    editors.RegisterEditorClass(TfrxDataBand::StaticClass(), ComponentEditorClassOf<TfrxDataBandEditor>());
    editors.RegisterEditorClass(TfrxHeader::StaticClass(), ComponentEditorClassOf<TfrxHeaderEditor>());
    editors.RegisterEditorClass(TfrxPageHeader::StaticClass(), ComponentEditorClassOf<TfrxPageHeaderEditor>());
    editors.RegisterEditorClass(TfrxPageFooter::StaticClass(), ComponentEditorClassOf<TfrxPageFooterEditor>());
    editors.RegisterEditorClass(TfrxGroupHeader::StaticClass(), ComponentEditorClassOf<TfrxGroupHeaderEditor>());
    editors.RegisterEditorClass(TfrxDialogControl::StaticClass(), ComponentEditorClassOf<TfrxDialogControlEditor>());
    editors.RegisterEditorClass(TfrxSubreport::StaticClass(), ComponentEditorClassOf<TfrxSubreportEditor>());

    TfrxPropertyEditorCollection& props = PropertyEditorRegistry();
    TClass component = TfrxComponent::StaticClass(), page = TfrxReportPage::StaticClass();
    props.RegisterPropertyEditor("Extended", component, "Left", TfrxLocSizeXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", component, "Top", TfrxLocSizeYProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", component, "Width", TfrxLocSizeXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", component, "Height", TfrxLocSizeYProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "PaperWidth", TfrxPaperXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "PaperHeight", TfrxPaperYProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "LeftMargin", TfrxPaperXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "RightMargin", TfrxPaperXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "TopMargin", TfrxPaperYProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", page, "BottomMargin", TfrxPaperYProperty::StaticClass());
    props.RegisterEventEditor(TfrxEventProperty::StaticClass());
    props.RegisterPropertyEditor("Boolean", nullptr, "", TfrxBooleanProperty::StaticClass());
    props.RegisterPropertyEditor("TfrxFrame", nullptr, "", TfrxFrameProperty::StaticClass());
    props.RegisterPropertyEditor("TPicture", nullptr, "", TfrxPictureProperty::StaticClass());
    props.RegisterPropertyEditor("TBitmap", nullptr, "", TfrxBitmapProperty::StaticClass());
    props.RegisterPropertyEditor("TfrxDataSet", nullptr, "", TfrxDataSetProperty::StaticClass());
    props.RegisterPropertyEditor("String", TfrxView::StaticClass(), "DataField", TfrxDataFieldProperty::StaticClass());
    props.RegisterPropertyEditor("TStrings", nullptr, "", TfrxStringsProperty::StaticClass());
    props.RegisterPropertyEditor("TWideStrings", TfrxCustomMemoView::StaticClass(), "Memo",
                                 TfrxMemoProperty::StaticClass());
    props.RegisterPropertyEditor("TBrushStyle", nullptr, "", TfrxBrushProperty::StaticClass());
    props.RegisterPropertyEditor("TfrxFrameStyle", nullptr, "", TfrxFrameStyleProperty::StaticClass());
    props.RegisterPropertyEditor("String", TfrxMemoView::StaticClass(), "DisplayFormat",
                                 TfrxDisplayFormatProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", TfrxDataBand::StaticClass(), "ColumnWidth",
                                 TfrxLocSizeXProperty::StaticClass());
    props.RegisterPropertyEditor("Extended", TfrxDataBand::StaticClass(), "ColumnGap",
                                 TfrxLocSizeXProperty::StaticClass());
    props.RegisterPropertyEditor("String", TfrxPrintOptions::StaticClass(), "Printer",
                                 TfrxPrinterProperty::StaticClass());

    HideProperties(TfrxReport::StaticClass(),
                   "DefaultLanguage;IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;Variables;DataSetName;"
                   "DotMatrixReport;OldStyleProgress;ShowProgress;StoreInDFM");
    HideProperties(TfrxEngineOptions::StaticClass(), "NewSilentMode;MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache");
    HideProperties(TfrxPreviewOptions::StaticClass(),
                   "AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;ShowCaptions;Zoom;ZoomMode");
    HideProperties(TfrxReportOptions::StaticClass(), "CreateDate;LastChange;Compressed");
    HideProperties(TfrxReportOptions::StaticClass(), "Password");
    HideProperties(TfrxReportPage::StaticClass(),
                   "Bin;BinOtherPages;ColumnWidth;ColumnPositions;PaperSize;DataSetName;HGuides;VGuides");
    HideProperties(TfrxDMPPage::StaticClass(), "BackPicture;Color;Font;Frame");
    HideProperties(TfrxReportComponent::StaticClass(), "GroupIndex");
    HideProperties(TfrxView::StaticClass(), "DataSetName");
    HideProperties(TfrxBand::StaticClass(), "Vertical");
    HideProperties(TfrxDataBand::StaticClass(), "DataSetName");
    HideProperties(TFont::StaticClass(), "Height;Pitch");
    HideProperties(TfrxHighlight::StaticClass(), "Active");
    return true;
  }();
  (void)done;
}

namespace {
// The designer library registers its editors as it loads.
[[maybe_unused]] const bool kRegistered = (RegisterDesignerEditors(), true);
}  // namespace
