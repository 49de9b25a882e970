// The designer window's object palette: the tool buttons and one button per registered object
// or category, filtered for the page shown; arming the workspace, creating the object the user
// drew, and adding bands from the band menu.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnUnits.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesgnWorkspace1.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "gui/ImgList.h"
#include "gui/Menus.h"
#include "gui/ToolBar.h"

#include <cmath>

void TfrxDesignerForm::PublishPalette(TClassBuilder<TfrxDesignerForm>& b) {
  b.Method("ObjectsButtonClick", &TfrxDesignerForm::ObjectsButtonClick);
  b.Method("PaletteToolClick", &TfrxDesignerForm::PaletteToolClick);
  b.Method("InsertBandBClick", &TfrxDesignerForm::InsertBandBClick);
  b.Method("BandsPopupPopup", &TfrxDesignerForm::BandsPopupPopup);
  b.Method("BandItemClick", &TfrxDesignerForm::BandItemClick);
}

namespace {
constexpr int kToolTag = 1000;

// The band kinds by their index in the band menu's tags (tag mod 100).
TClass BandClassOfKind(int Kind) {
  static const TClass kinds[] = {
      TfrxReportTitle::StaticClass(),  TfrxReportSummary::StaticClass(), TfrxPageHeader::StaticClass(),
      TfrxPageFooter::StaticClass(),   TfrxHeader::StaticClass(),        TfrxFooter::StaticClass(),
      TfrxMasterData::StaticClass(),   TfrxDetailData::StaticClass(),    TfrxSubdetailData::StaticClass(),
      TfrxDataBand4::StaticClass(),    TfrxDataBand5::StaticClass(),     TfrxDataBand6::StaticClass(),
      TfrxGroupHeader::StaticClass(),  TfrxGroupFooter::StaticClass(),   TfrxChild::StaticClass(),
      TfrxColumnHeader::StaticClass(), TfrxColumnFooter::StaticClass(),  TfrxOverlay::StaticClass(),
  };
  return Kind >= 0 && Kind < 18 ? kinds[Kind] : nullptr;
}

// The first class entry of a category; nullptr when none carries its name.
TClass FirstClassOf(const String& Category) {
  TfrxObjectCollection& r = ObjectRegistry();
  for (int i = 0; i < r.Count(); ++i)
    if (r.ItemAt(i).ObjectClass && r.ItemAt(i).Category == Category) return r.ItemAt(i).ObjectClass;
  return nullptr;
}

bool Descends(TClass C, TClass Base) { return C && C->InheritsFrom(Base); }

bool NamedIn(TClass C, std::initializer_list<const char*> Names) {
  if (!C) return false;
  for (const char* n : Names)
    if (C->Name() == n) return true;
  return false;
}

String EntryHint(const TfrxObjectItem& Item) {
  if (!Item.HintKey.empty()) return ReportResources()->TextOf(Item.HintKey);
  if (!Item.ObjectClass) return Item.Category;
  std::unique_ptr<TfrxComponent> sample(TfrxComponent::CreateForDesign(Item.ObjectClass, nullptr));
  return sample ? sample->DisplayTypeName() : Item.ObjectClass->Name();
}
}  // namespace

// ---------------------------------------------------------------- building and filtering

void TfrxDesignerForm::BuildPalette() {
  auto addButton = [&](int Image, int Tag, const String& Hint, TNotifyEvent Click) {
    auto* b = new TToolButton(this);
    b->SetParent(ObjectsTB1);
    b->SetStyle(tbsCheck);
    b->SetGrouped(true);
    b->SetImageIndex(Image);
    b->SetTag(Tag);
    b->SetHint(Hint);
    b->OnClick = Click;
    return b;
  };
  TNotifyEvent tool = MakeEvent(this, &TfrxDesignerForm::PaletteToolClick);
  // The tools are named so the text table gives them their hints.
  SelectToolB = addButton(0, 0, "SelectToolB", tool);
  HandToolB = addButton(27, kToolTag, "HandToolB", tool);
  ZoomToolB = addButton(28, kToolTag, "ZoomToolB", tool);
  TextToolB = addButton(29, kToolTag, "TextToolB", tool);
  FormatToolB = addButton(30, kToolTag, "FormatToolB", tool);
  InsertBandB = addButton(1, kToolTag, "InsertBandB", MakeEvent(this, &TfrxDesignerForm::InsertBandBClick));
  InsertBandB->SetStyle(tbsButton);
  SelectToolB->SetDown(true);
  for (TToolButton* b : {SelectToolB, HandToolB, ZoomToolB, TextToolB, FormatToolB, InsertBandB})
    static_cast<TComponent*>(b)->SetName(b->Hint());

  TfrxObjectCollection& registry = ObjectRegistry();
  TNotifyEvent click = MakeEvent(this, &TfrxDesignerForm::ObjectsButtonClick);
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < registry.Count(); ++i) {
      const TfrxObjectItem& item = registry.ItemAt(i);
      bool category = item.ObjectClass == nullptr;
      if (pass == 0 && (category || !item.Category.empty())) continue;
      if (pass == 1 && (!category || !FirstClassOf(item.Category))) continue;
      FPaletteButtons.push_back(addButton(item.ImageIndex, i, EntryHint(item), click));
    }
}

void TfrxDesignerForm::FilterPalette() {
  if (!SelectToolB) return;
  PressSelectTool();
  TfrxPage* p = Page();
  bool dialogPage = p && p->Is<TfrxDialogPage>();
  bool dmpPage = p && p->Is<TfrxDMPPage>();
  TfrxObjectCollection& registry = ObjectRegistry();
  for (TToolButton* b : FPaletteButtons) {
    const TfrxObjectItem& item = registry.ItemAt(static_cast<int>(b->Tag()));
    TClass cls = item.ObjectClass ? item.ObjectClass : FirstClassOf(item.Category);
    bool dialogControl = Descends(cls, TfrxDialogControl::StaticClass());
    bool visible;
    if (dialogPage) visible = dialogControl || Descends(FirstClassOf(item.Category), TfrxDialogComponent::StaticClass()) ||
                              Descends(item.ObjectClass, TfrxDialogComponent::StaticClass());
    else visible = !dialogControl;
    if (dmpPage && (NamedIn(item.ObjectClass, {"TfrxMemoView", "TfrxSysMemoView", "TfrxLineView", "TfrxPictureView"}) ||
                    item.Category == "Draw"))
      visible = false;
    if (!dmpPage && NamedIn(item.ObjectClass, {"TfrxDMPMemoView", "TfrxDMPLineView", "TfrxDMPCommand"})) visible = false;
    b->SetVisible(visible);
  }
}

void TfrxDesignerForm::ApplyPaletteTool() {
  TfrxWorkspaceTool tool = wtSelect;
  if (HandToolB->Down()) tool = wtHand;
  else if (ZoomToolB->Down()) tool = wtZoom;
  else if (TextToolB->Down()) tool = wtText;
  else if (FormatToolB->Down()) tool = wtFormat;
  if (TDesignerWorkspace* w = DesignerWorkspace()) w->SetTool(tool);
}

void TfrxDesignerForm::PaletteToolClick(TObject*) {
  // Any tool ends a pending insertion.
  for (TToolButton* b : FPaletteButtons) b->SetDown(false);
  FWorkspace->StartInsertion(nullptr, 0, 0, 0);
  ApplyPaletteTool();
}

void TfrxDesignerForm::PressSelectTool() {
  for (TToolButton* b : FPaletteButtons) b->SetDown(false);
  if (!SelectToolB) return;
  SelectToolB->SetDown(true);
  FWorkspace->StartInsertion(nullptr, 0, 0, 0);
  ApplyPaletteTool();
}

// ---------------------------------------------------------------- inserting objects

void TfrxDesignerForm::ObjectsButtonClick(TObject* Sender) {
  auto* component = dynamic_cast<TComponent*>(Sender);
  TfrxPage* p = Page();
  if (!component || !p) return;
  TfrxObjectCollection& registry = ObjectRegistry();
  int index = static_cast<int>(component->Tag());
  if (index < 0 || index >= registry.Count()) return;
  const TfrxObjectItem& item = registry.ItemAt(index);
  if (!item.ObjectClass) {
    // A category: its classes in a menu at the button's right edge.
    ObjectsPopup->Items()->Clear();
    bool dmp = p->Is<TfrxDMPPage>();
    for (int i = 0; i < registry.Count(); ++i) {
      const TfrxObjectItem& entry = registry.ItemAt(i);
      if (!entry.ObjectClass || entry.Category != item.Category) continue;
      if (dmp && !NamedIn(entry.ObjectClass, {"TfrxCrossView", "TfrxDBCrossView"}) &&
          !Descends(entry.ObjectClass, TfrxDialogComponent::StaticClass()))
        continue;
      auto* mi = new TMenuItem(ObjectsPopup);
      mi->SetCaption(EntryHint(entry));
      mi->SetImageIndex(entry.ImageIndex);
      mi->SetTag(i);
      mi->OnClick = MakeEvent(this, &TfrxDesignerForm::ObjectsButtonClick);
      ObjectsPopup->Items()->Add(mi);
    }
    if (auto* b = dynamic_cast<TToolButton*>(Sender)) {
      TPoint at = b->ClientToScreen({b->Width(), 0});
      ObjectsPopup->Popup(at.X, at.Y);
    }
    return;
  }
  if (Descends(item.ObjectClass, TfrxDialogComponent::StaticClass())) {
    // A non-visual component needs no rectangle: it is made at once.
    TfrxComponent* c = TfrxComponent::CreateForDesign(item.ObjectClass, p, item.VariantFlags);
    c->AssignNumberedName();
    Objects().push_back(c);
    SelectedObjects().assign(1, c);
    FlagModified(true);
    PressSelectTool();
    FWorkspace->BringToFront();
    return;
  }
  Extended w = 0, h = 0;
  {
    std::unique_ptr<TfrxComponent> sample(TfrxComponent::CreateForDesign(item.ObjectClass, p, item.VariantFlags));
    w = sample->Width();
    h = sample->Height();
  }
  if (w == 0 && h == 0) {
    TfrxObjectSize size = DefaultObjectSize(FUnits);
    w = size.Width;
    h = size.Height;
  }
  // The pressed object button stands for the armed class; the tools are released.
  for (TToolButton* t : {SelectToolB, HandToolB, ZoomToolB, TextToolB, FormatToolB}) t->SetDown(false);
  ApplyPaletteTool();
  if (auto* b = dynamic_cast<TToolButton*>(Sender)) b->SetDown(true);
  FWorkspace->StartInsertion(item.ObjectClass, item.VariantFlags, w, h);
}

void TfrxDesignerForm::InsertPendingObject(TObject*) {
  TfrxInsertion in = FWorkspace->Insertion();
  TfrxPage* p = Page();
  auto backToSelect = [&] { PressSelectTool(); };
  if (!CheckOp(drDontInsertObject) || in.Top < 0) {
    backToSelect();
    return;
  }
  if (!in.ComponentClass || (in.Width == 0 && in.Height == 0) || !p) return;
  // A subreport brings a page of its own, which cannot be made while pages may not be added.
  if (in.ComponentClass->InheritsFrom(TfrxSubreport::StaticClass()) && !CheckOp(drDontCreatePage)) {
    backToSelect();
    return;
  }
  TfrxComponent* c = TfrxComponent::CreateForDesign(in.ComponentClass, p, in.Flags);
  c->AssignNumberedName();
  c->SetBounds(in.Left, in.Top, in.Width, in.Height);
  if (c->Is<TfrxCustomLineView>()) FWorkspace->StartInsertion(in.ComponentClass, in.Flags, 0, 0);
  else if (!(TextToolB && TextToolB->Down())) backToSelect();
  if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(c); memo && ApplySampleFormat) ApplySampleFormat(memo);
  Objects().push_back(c);
  SelectedObjects().assign(1, c);
  if (TfrxDesigner* d = TfrxDesigner::Current(); d && d->OnInsertObject()) d->OnInsertObject()(c);
  if (auto* sub = dynamic_cast<TfrxSubreport*>(c)) {
    NewPageCmdExecute(nullptr);
    auto* page = dynamic_cast<TfrxReportPage*>(Report()->PageAt(Report()->CountPages() - 1));
    sub->SetPage(page);
    RebuildPageTabs(Report()->CountPages() - 1);
  } else {
    FlagModified(true);
    if (FEditAfterInsert && !c->Is<TfrxDialogControl>() && !c->Is<TfrxDialogComponent>()) EditSelectedObject();
  }
  FWorkspace->BringToFront();
}

// ---------------------------------------------------------------- bands

void TfrxDesignerForm::InsertBandBClick(TObject*) {
  if (!Page()) return;
  TPoint at = InsertBandB->ClientToScreen({InsertBandB->Width(), 0});
  BandsPopup->Popup(at.X, at.Y);
}

void TfrxDesignerForm::BandsPopupPopup(TObject*) {
  // The bands a page holds once are offered only while it has none.
  TMenuItem* singles[] = {ReportTitleMI, ReportSummaryMI, PageHeaderMI, PageFooterMI, ColumnHeaderMI, ColumnFooterMI};
  for (TMenuItem* item : singles) {
    TClass cls = BandClassOfKind(static_cast<int>(item->Tag()));
    bool present = false;
    if (Page())
      for (int i = 0; i < Page()->ObjectCount(); ++i)
        if (Page()->Objects(i)->ClassType() == cls) present = true;
    item->SetEnabled(!present);
  }
}

void TfrxDesignerForm::BandItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TfrxPage* p = Page();
  if (!item || !p) return;
  int tag = static_cast<int>(item->Tag());
  TClass cls = BandClassOfKind(tag % 100);
  if (!cls) return;
  auto* band = dynamic_cast<TfrxBand*>(TfrxComponent::CreateForDesign(cls, p));
  if (!band) return;
  band->AssignNumberedName();
  bool vertical = tag >= 100;
  band->SetVertical(vertical);
  Extended size = FUnits == ruCM ? 22.68 : FUnits == ruInches ? 28.8 : FUnits == ruPixels ? 20 : 17;
  if (vertical) {
    band->SetLeft(size);
    band->SetWidth(size);
  } else {
    if (FWorkspace->FreeBands()) {
      Extended bottom = 0;
      for (int i = 0; i < p->ObjectCount(); ++i)
        if (auto* b = dynamic_cast<TfrxBand*>(p->Objects(i)); b && b != band)
          bottom = std::max(bottom, b->Top() + b->Height());
      Extended gy = FWorkspace->GridY();
      Extended top = gy > 0 ? std::round((bottom + FWorkspace->CaptionHeight() + 4) / gy) * gy : bottom;
      band->SetTop(std::round(top * 1e8) / 1e8);
    } else {
      band->SetTop(10000);
    }
    band->SetHeight(size);
  }
  Objects().push_back(band);
  SelectedObjects().assign(1, band);
  FlagModified(true);
  NotifySelectionChanged(nullptr);
  PressSelectTool();
  if (FEditAfterInsert) EditSelectedObject();
}
