#include "report/designer/frxInsp.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Buttons.h"
#include "gui/Canvas.h"
#include "gui/ComCtrls.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/ListCtrls.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "gui/Window.h"
#include "gui/WinUser.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/frxClassBases.h"
#include "report/frxFormUtils.h"
#include "report/frxPropertyList.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxObjectInspector) {}

namespace {

constexpr int kButtonSize = 15;
constexpr int kLevelIndent = 12;
constexpr int kSplitMargin = 30;
// A press that closed the drop-down by deactivating it must not reopen it.
constexpr Cardinal kReopenGuardMs = 100;

bool IsEventType(const String& TypeName) {
  return TypeName.size() >= 9 && TypeName.compare(0, 4, "Tfrx") == 0 &&
         TypeName.compare(TypeName.size() - 5, 5, "Event") == 0;
}

String ComboEntry(TObject* Object) {
  auto* c = dynamic_cast<TComponent*>(Object);
  return c ? c->Name() + ": " + c->ClassName() : String();
}

}  // namespace

TfrxObjectInspector::TfrxObjectInspector(TComponent* AOwner) : TForm(AOwner) {
  FDesigner = dynamic_cast<TfrxCustomDesigner*>(AOwner);
  if (!FDesigner) throw Exception("The Owner of the object inspector should be TfrxCustomDesigner");
  MergeInspectorTexts();
  SetBorderStyle(bsSizeToolWin);
  SetFormStyle(fsStayOnTop);
  SetDragKind(dkDock);
  SetKeyPreview(true);
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
  SetAutoScroll(false);
  SetWidth(210);
  SetHeight(452);
  OnMouseWheel = TMouseWheelEvent(this, &TfrxObjectInspector::FormMouseWheel);

  ObjectsCB = new TComboBox(this);
  ObjectsCB->SetParent(this);
  ObjectsCB->SetStyle(csOwnerDrawFixed);
  ObjectsCB->SetSorted(true);
  ObjectsCB->SetItemHeight(Screen && Screen->PixelsPerInch() > 96 ? 19 : 15);
  ObjectsCB->SetBounds(0, 0, ClientWidth(), 21);
  ObjectsCB->OnClick = TNotifyEvent(this, &TfrxObjectInspector::ObjectsCBChange);
  ObjectsCB->OnDrawItem = TDrawItemEvent::Lambda(
      [this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) { DrawObjectEntry(Index, Rect); });

  Tab = new TTabControl(this);
  Tab->SetParent(this);
  Tab->SetBounds(-2, ObjectsCB->Height() + 2, ClientWidth() + 10, ClientHeight() - ObjectsCB->Height());
  Tab->Tabs()->Add(ReportResources()->TextOf("oiProp"));
  Tab->Tabs()->Add(ReportResources()->TextOf("oiEvent"));
  Tab->SetTabIndex(0);
  Tab->OnChange = TNotifyEvent(this, &TfrxObjectInspector::TabChange);

  BackPanel = new TPanel(this);
  BackPanel->SetParent(Tab);
  BackPanel->SetBevelOuter(bvNone);
  BackPanel->SetBounds(2, 24, ClientWidth(), 300);

  HintPanel = new TPanel(this);
  HintPanel->SetParent(BackPanel);
  HintPanel->SetAlign(alBottom);
  HintPanel->SetBevelOuter(bvLowered);
  HintPanel->SetBorderWidth(2);
  HintPanel->SetHeight(65);
  PropL = new TLabel(this);
  PropL->SetParent(HintPanel);
  PropL->SetAlign(alTop);
  PropL->SetAutoSize(false);
  PropL->SetHeight(16);
  PropL->Font()->SetStyle({fsBold});
  PropL->SetColor(clInfoBk);
  DescrL = new TLabel(this);
  DescrL->SetParent(HintPanel);
  DescrL->SetAlign(alClient);
  DescrL->SetAutoSize(false);
  DescrL->SetWordWrap(true);
  DescrL->SetColor(clWhite);

  Splitter1 = new TSplitter(this);
  Splitter1->SetParent(BackPanel);
  Splitter1->SetAlign(alBottom);
  Splitter1->SetHeight(3);

  Box = new TScrollBox(this);
  Box->SetParent(BackPanel);
  Box->SetAlign(alClient);
  Box->SetColor(clWindow);
  Box->HorzScrollBar()->SetVisible(false);

  InnerPanel = new TPanel(this);
  InnerPanel->SetParent(Box);
  InnerPanel->SetBevelOuter(bvNone);
  InnerPanel->SetParentColor(true);

  PB = new TPaintBox(this);
  PB->SetParent(InnerPanel);
  PB->SetAlign(alClient);
  PB->OnPaint = TNotifyEvent(this, &TfrxObjectInspector::PaintGrid);
  PB->OnMouseDown = TMouseEvent(this, &TfrxObjectInspector::GridMouseDown);
  PB->OnMouseMove = TMouseMoveEvent(this, &TfrxObjectInspector::GridMouseMove);
  PB->OnMouseUp = TMouseEvent(this, &TfrxObjectInspector::GridMouseUp);
  PB->OnDblClick = TNotifyEvent(this, &TfrxObjectInspector::GridDblClick);
  PB->OnMouseLeave = TNotifyEvent(this, &TfrxObjectInspector::GridMouseLeave);

  Edit1 = new TEdit(this);
  Edit1->SetParent(InnerPanel);
  Edit1->SetBorderStyle(bsNone);
  Edit1->SetVisible(false);
  Edit1->OnKeyDown = TKeyEvent(this, &TfrxObjectInspector::EditKeyDown);
  Edit1->OnMouseDown = TMouseEvent(this, &TfrxObjectInspector::EditMouseDown);
  Edit1->OnDblClick = TNotifyEvent(this, &TfrxObjectInspector::EditDblClick);

  auto buttonPanel = [&](TSpeedButton*& Button, const char* Glyph) {
    auto* p = new TPanel(this);
    p->SetParent(InnerPanel);
    p->SetBevelOuter(bvNone);
    p->SetVisible(false);
    p->SetBounds(0, 0, kButtonSize, kButtonSize);
    Button = new TSpeedButton(this);
    Button->SetParent(p);
    Button->SetAlign(alClient);
    Button->SetCaption(Glyph);
    return p;
  };
  EditPanel = buttonPanel(EditBtn, "...");
  EditBtn->OnClick = TNotifyEvent(this, &TfrxObjectInspector::EditBtnClick);
  ComboPanel = buttonPanel(ComboBtn, "v");
  ComboBtn->OnMouseDown = TMouseEvent(this, &TfrxObjectInspector::ComboBtnMouseDown);
  ComboBtn->OnClick = TNotifyEvent(this, &TfrxObjectInspector::ComboBtnClick);

  HintWindow = new THintWindow(this);
  HintWindow->SetColor(clInfoBk);

  TCanvas* c = PB->Canvas();
  c->Font()->Assign(Font());
  FRowHeight = c->TextHeight("Wg") + 3;
  Box->VertScrollBar()->SetIncrement(FRowHeight);
  Box->VertScrollBar()->SetTracking(true);
  SetCaption(ResourceText(2000));
  Relayout();
  FNameColumnWidth = std::max(PB->Width(), Box->ClientWidth()) / 2;
}

TfrxObjectInspector::~TfrxObjectInspector() {
  FRows.clear();
  FCurrentList = nullptr;
}

// ---------------------------------------------------------------- lists and rows

void TfrxObjectInspector::InspectSelection(std::vector<TObject*>* Selection) {
  FSelection = Selection;
  FRows.clear();
  FCurrentList = nullptr;
  FEventList.reset();
  FPropertyList.reset();
  static const std::vector<TObject*> kNone;
  FPropertyList = BuildCommonPropertyList(Selection ? *Selection : kNone, FDesigner);
  if (FPropertyList) {
    FEventList = std::make_unique<TfrxPropertyList>(FDesigner);
    for (int i = 0; i < FPropertyList->Count();) {
      TfrxPropertyEditor* ed = FPropertyList->ItemAt(i)->Editor();
      const TPropInfo* info = ed ? ed->FirstPropInfo() : nullptr;
      if (info && IsEventType(info->TypeName)) {
        FEventList->Append(FPropertyList->Extract(i));
      } else {
        ++i;
      }
    }
  }
  FCurrentList = Tab->TabIndex() == 1 ? FEventList.get() : FPropertyList.get();

  {
    TRestore<bool> filling(FUpdatingCB, true);
    std::size_t n = Selection ? Selection->size() : 0;
    if (n == 1) {
      TObject* o = (*Selection)[0];
      int i = ObjectsCB->Items()->IndexOfObject(o);
      if (i < 0) i = ObjectsCB->Items()->AddObject(ComboEntry(o), o);
      ObjectsCB->SetItemIndex(i);
    } else {
      ObjectsCB->SetItemIndex(-1);
    }
  }

  FRowIndex = -1;
  Relayout();
  int row = 0;
  for (int i = 0; i < RowCount(); ++i)
    if (RowName(i) == FLastProperty) {
      row = i;
      break;
    }
  SelectRow(row);
}

void TfrxObjectInspector::RefreshProperties() { InspectSelection(FSelection); }

void TfrxObjectInspector::FillObjectList(const std::vector<TObject*>& Objects) {
  // Every change refreshes the inspector; the sorted list is refilled only when an entry
  // differs, since refilling costs far more than comparing on large reports.
  std::vector<std::pair<TObject*, String>> entries;
  entries.reserve(Objects.size());
  for (TObject* o : Objects) entries.emplace_back(o, ComboEntry(o));
  if (entries == FListedObjects && ObjectsCB->Items()->Count() == static_cast<int>(entries.size())) return;
  TRestore<bool> filling(FUpdatingCB, true);
  // One layout of the list at the end, not one per object of a large report.
  TStrings* items = ObjectsCB->Items();
  items->BeginUpdate();
  TScopeExit endUpdate([items] { items->EndUpdate(); });
  items->Clear();
  for (const auto& e : entries) items->AddObject(e.second, e.first);
  FListedObjects = std::move(entries);
}

void TfrxObjectInspector::AddRows(TfrxPropertyList* List, int Level) {
  if (!List) return;
  for (int i = 0; i < List->Count(); ++i) {
    TfrxPropertyItem* item = List->ItemAt(i);
    FRows.push_back({item, List, Level});
    if (item->SubProperties() && item->Expanded()) AddRows(item->SubProperties(), Level + 1);
  }
}

void TfrxObjectInspector::BuildRows() {
  FRows.clear();
  AddRows(FCurrentList, 0);
}

TfrxPropertyItem* TfrxObjectInspector::RowItem(int Row) const {
  return Row >= 0 && Row < RowCount() ? FRows[static_cast<std::size_t>(Row)].Item : nullptr;
}
TfrxPropertyEditor* TfrxObjectInspector::RowEditor(int Row) const {
  TfrxPropertyItem* item = RowItem(Row);
  return item ? item->Editor() : nullptr;
}
String TfrxObjectInspector::RowName(int Row) const {
  TfrxPropertyItem* item = RowItem(Row);
  return item ? item->Name() : String();
}
int TfrxObjectInspector::RowLevel(int Row) const {
  return Row >= 0 && Row < RowCount() ? FRows[static_cast<std::size_t>(Row)].Level : 0;
}

// ---------------------------------------------------------------- selection of a row

void TfrxObjectInspector::SelectRow(int Row) {
  PropL->SetCaption("");
  DescrL->SetCaption("");
  if (Row >= RowCount()) Row = RowCount() - 1;
  if (Row < 0) Row = -1;
  Edit1->SetVisible(RowCount() > 0);
  if (RowCount() == 0) {
    FRowIndex = -1;
    PlaceEditor();
    return;
  }
  if (FRowIndex >= 0 && FRowIndex < RowCount() && Edit1->Modified()) CommitValueText(FRowIndex, Edit1->Text());
  FRowIndex = Row;
  if (Row != -1) {
    const TRow& r = FRows[static_cast<std::size_t>(Row)];
    FLastProperty = r.Item->Name();
    PropL->SetCaption(FLastProperty);
    TObject* owner = r.List->Component();
    if (!owner && FSelection && !FSelection->empty()) owner = FSelection->front();
    String key = "prop" + FLastProperty;
    String qualified = owner ? key + "." + owner->ClassName() : key;
    String text = ReportResources()->TextOf(qualified);
    if (text == qualified) text = ReportResources()->TextOf(key);
    DescrL->SetCaption(text);
  }
  PlaceEditor();
}

void TfrxObjectInspector::PlaceEditor() {
  if (FLocked) return;
  TfrxPropertyEditor* ed = RowEditor(FRowIndex);
  if (!ed) {
    EditPanel->SetVisible(false);
    ComboPanel->SetVisible(false);
    Edit1->SetVisible(false);
    PB->Invalidate();
    return;
  }
  {
    TRestore<bool> placing(FPlacing, true);
    TfrxPropertyTraits traits = ed->Traits();
    EditPanel->SetVisible(traits.Contains(TraitDialog));
    ComboPanel->SetVisible(traits.Contains(TraitValueList));
    Edit1->SetReadOnly(traits.Contains(TraitReadOnly));
    int width = PB->Width() - FNameColumnWidth - 2;
    int top = FRowIndex * FRowHeight;
    for (TPanel* p : {EditPanel, ComboPanel})
      if (p->Visible()) {
        p->SetBounds(PB->Width() - kButtonSize, top, kButtonSize, FRowHeight - 1);
        width -= kButtonSize;
      }
    Edit1->SetVisible(true);
    Edit1->SetText(ed->ValueText());
    Edit1->SetModified(false);
    Edit1->SetBounds(FNameColumnWidth + 2, top + 1, width, FRowHeight - 2);
    Edit1->SelectAll();
    TControlScrollBar* bar = Box->VertScrollBar();
    int bottom = top + FRowHeight;
    if (bottom > bar->Position() + Box->ClientHeight())
      bar->SetPosition(bottom - Box->ClientHeight());
    else if (top < bar->Position())
      bar->SetPosition(top);
  }
  PB->Invalidate();
}

// ---------------------------------------------------------------- writing values

void TfrxObjectInspector::CommitValueText(int Row, const String& Text) {
  TfrxPropertyEditor* ed = RowEditor(Row);
  if (!ed) return;
  try {
    ed->ApplyValueText(Text);
    NotifyModified();
    PB->Invalidate();
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
    Edit1->SetText(ed->ValueText());
    Edit1->SetModified(false);
  }
}

void TfrxObjectInspector::NotifyModified() {
  if (FSelection && FSelection->size() == 1) {
    TObject* o = FSelection->front();
    int i = ObjectsCB->Items()->IndexOfObject(o);
    if (i >= 0 && dynamic_cast<TComponent*>(o)) {
      TRestore<bool> filling(FUpdatingCB, true);
      ObjectsCB->Items()->Delete(i);
      ObjectsCB->SetItemIndex(ObjectsCB->Items()->AddObject(ComboEntry(o), o));
    }
  }
  OnPropertyModified(this);
}

void TfrxObjectInspector::RunEditor() {
  TfrxPropertyEditor* ed = RowEditor(FRowIndex);
  if (!ed) return;
  if (ed->RunEdit()) {
    SelectRow(FRowIndex);
    NotifyModified();
  }
}

// ---------------------------------------------------------------- layout

void TfrxObjectInspector::Relayout() {
  BuildRows();
  if (!Tab) return;
  Tab->SetWidth(ClientWidth() + 10);
  Tab->SetHeight(ClientHeight() - Tab->Top() + 2);
  BackPanel->SetWidth(ClientWidth());
  BackPanel->SetHeight(Tab->ClientHeight() - 26);
  ObjectsCB->SetWidth(ClientWidth());
  InnerPanel->SetBounds(0, -Box->VertScrollBar()->Position(), Box->ClientWidth(), RowCount() * FRowHeight);
  Box->VertScrollBar()->SetRange(RowCount() * FRowHeight);
  PlaceEditor();
}

void TfrxObjectInspector::Resize() {
  TForm::Resize();
  if (Tab) Relayout();
}

void TfrxObjectInspector::SetNameColumnWidth(int Value) {
  FNameColumnWidth = Value;
  PlaceEditor();
}

int TfrxObjectInspector::HintPanelHeight() const { return HintPanel->Height(); }
void TfrxObjectInspector::SetHintPanelHeight(int Value) { HintPanel->SetHeight(Value); }

void TfrxObjectInspector::LockUpdates() { FLocked = true; }

void TfrxObjectInspector::UnlockUpdates() {
  FLocked = false;
  PlaceEditor();
}

void TfrxObjectInspector::SetPanelColor(TColor Value) {
  ObjectsCB->SetColor(Value);
  Box->SetColor(Value);
  PB->Invalidate();
}

void TfrxObjectInspector::Deactivate() {
  TForm::Deactivate();
  if (!FLocked) SelectRow(FRowIndex);
}

void TfrxObjectInspector::DoShow() {
  TForm::DoShow();
  PlaceEditor();
}

// ---------------------------------------------------------------- painting

void TfrxObjectInspector::PaintGrid(TObject*) {
  if (FPlacing) return;
  TCanvas* c = PB->Canvas();
  // Only the rows in the visible part of the box: the grid is as tall as all its rows.
  int top = Box->VertScrollBar()->Position();
  int bottom = top + std::max(Box->ClientHeight(), Box->Height());
  c->Brush()->SetColor(Box->Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(TRect{0, top, PB->Width(), std::min(bottom, PB->Height())});
  if (FLocked || FRowHeight <= 0) return;
  c->Font()->Assign(Font());
  int first = std::max(0, top / FRowHeight);
  int last = std::min(RowCount() - 1, bottom / FRowHeight);
  for (int i = first; i <= last; ++i)
    if (i != FRowIndex) DrawRow(i);
  if (FRowIndex >= first && FRowIndex <= last) DrawRow(FRowIndex);
}

void TfrxObjectInspector::DrawRow(int Index) {
  const TRow& r = FRows[static_cast<std::size_t>(Index)];
  TfrxPropertyEditor* ed = r.Item->Editor();
  TCanvas* c = PB->Canvas();
  int y0 = Index * FRowHeight;
  int w = PB->Width();
  if (ed) ed->SetItemHeight(FRowHeight);

  auto drawName = [&] {
    int x = r.Level * kLevelIndent;
    if (r.Item->SubProperties()) {
      c->Pen()->SetColor(RGB(128, 128, 128));
      c->Brush()->SetColor(clWhite);
      c->Rectangle(x + 1, y0 + 3, x + 10, y0 + 12);
      c->Pen()->SetColor(clBlack);
      c->MoveTo(x + 3, y0 + 7);
      c->LineTo(x + 8, y0 + 7);
      if (!r.Item->Expanded()) {
        c->MoveTo(x + 5, y0 + 5);
        c->LineTo(x + 5, y0 + 10);
      }
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(clBlack);
    // Only the object's own name is bold, not a font's.
    bool bold = r.Level == 0 && r.Item->Name() == "Name";
    if (bold) c->Font()->SetStyle({fsBold});
    c->TextRect(TRect{0, y0, FNameColumnWidth, y0 + FRowHeight - 1}, x + 13, y0 + 1, r.Item->Name());
    if (bold) c->Font()->SetStyle({});
    c->Brush()->SetStyle(bsSolid);
  };

  c->Pen()->SetColor(clBtnFace);
  c->MoveTo(0, y0 + FRowHeight - 1);
  c->LineTo(w, y0 + FRowHeight - 1);
  if (Index == FRowIndex) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, y0, FNameColumnWidth, y0 + FRowHeight - 1});
    drawName();
    return;
  }
  c->MoveTo(FNameColumnWidth - 1, y0);
  c->LineTo(FNameColumnWidth - 1, y0 + FRowHeight);
  drawName();
  if (!ed) return;
  c->Font()->SetColor(RGB(0, 0, 128));
  if (ed->Traits().Contains(TraitOwnerDraw)) {
    ed->DrawValueCell(c, TRect{FNameColumnWidth + 2, y0 + 1, Width(), y0 + FRowHeight + 1});
  } else {
    // Clipped to the cell rather than written with TextOut, which measures every text again
    // to move the pen after it.
    c->Brush()->SetStyle(bsClear);
    c->TextRect(TRect{FNameColumnWidth, y0, w, y0 + FRowHeight - 1}, FNameColumnWidth + 2, y0 + 1, ed->ValueText());
    c->Brush()->SetStyle(bsSolid);
  }
}

// ---------------------------------------------------------------- mouse on the grid

void TfrxObjectInspector::GridMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  FToggled = false;
  if (RowCount() == 0 || Button != mbLeft) return;
  if (PB->Cursor() == crHSplit) {
    FDragging = true;
    return;
  }
  int row = Y / FRowHeight;
  if (row >= RowCount()) row = RowCount() - 1;
  TfrxPropertyEditor* ed = RowEditor(row);
  if (X > FNameColumnWidth && X < FNameColumnWidth + kButtonSize && dynamic_cast<TfrxBooleanProperty*>(ed)) {
    ed->RunEdit();
    NotifyModified();
    if (row == FRowIndex) {
      Edit1->SetText(ed->ValueText());
      Edit1->SetModified(false);
    }
    PB->Invalidate();
    return;
  }
  SelectRow(row);
  if (Edit1->Visible() && Edit1->CanFocus()) Edit1->SetFocus();
  FLastPressTick = GetTickCount();
  int level = RowLevel(row);
  TfrxPropertyItem* item = RowItem(row);
  if (item && item->SubProperties() && X > level * kLevelIndent && X < level * kLevelIndent + 13) {
    item->SetExpanded(!item->Expanded());
    Relayout();
    FToggled = true;
  }
}

void TfrxObjectInspector::GridMouseMove(TObject*, TShiftState, int X, int Y) {
  if (FDragging) {
    // Clamped rather than ignored: a quick drag skips pixels and would stop short of the limit.
    FNameColumnWidth = std::clamp(X, kSplitMargin, std::max(kSplitMargin, PB->Width() - kSplitMargin));
    PlaceEditor();
    return;
  }
  bool onSplit = X > FNameColumnWidth - 4 && X < FNameColumnWidth + 2;
  PB->SetCursor(onSplit ? crHSplit : crDefault);
  int row = Y / FRowHeight;
  if (X <= kLevelIndent || onSplit || row < 0 || row >= RowCount()) {
    HideHint();
    return;
  }
  String text;
  int left, room;
  if (X > FNameColumnWidth - 4) {
    if (row == FRowIndex || !RowEditor(row)) {
      HideHint();
      return;
    }
    text = RowEditor(row)->ValueText();
    left = FNameColumnWidth + 1;
    room = PB->Width() - FNameColumnWidth;
  } else {
    text = RowName(row);
    left = RowLevel(row) * kLevelIndent + kLevelIndent;
    room = FNameColumnWidth - left;
  }
  if (PB->Canvas()->TextWidth(text) <= room) {
    HideHint();
    return;
  }
  TRect r = HintWindow->CalcHintRect(1000, text, nullptr);
  TPoint p = PB->ClientToScreen(TPoint{left - 2, row * FRowHeight - 2});
  HintWindow->ActivateHint(TRect{p.X, p.Y, p.X + r.Right - r.Left, p.Y + r.Bottom - r.Top}, text);
}

void TfrxObjectInspector::GridMouseUp(TObject*, TMouseButton, TShiftState, int, int) { FDragging = false; }

void TfrxObjectInspector::GridDblClick(TObject*) {
  if (FToggled) return;
  TfrxPropertyItem* item = RowItem(FRowIndex);
  if (item && item->SubProperties()) {
    item->SetExpanded(!item->Expanded());
    Relayout();
  }
}

void TfrxObjectInspector::GridMouseLeave(TObject*) { HideHint(); }

void TfrxObjectInspector::HideHint() {
  if (HintWindow->HandleAllocated()) HintWindow->ReleaseHandle();
}

void TfrxObjectInspector::FormMouseWheel(TObject*, TShiftState, int WheelDelta, TPoint, bool& Handled) {
  TControlScrollBar* bar = Box->VertScrollBar();
  bar->SetPosition(bar->Position() + (WheelDelta < 0 ? FRowHeight : -FRowHeight));
  Handled = true;
}

// ---------------------------------------------------------------- the edit box

void TfrxObjectInspector::EditKeyDown(TObject*, Word& Key, TShiftState) {
  int page = std::max(1, Box->Height() / FRowHeight);
  switch (Key) {
    case VK_ESCAPE:
      // Drops the typing: the row's value as it stands comes back.
      if (Edit1->Modified() && RowEditor(FRowIndex)) {
        Edit1->SetText(RowEditor(FRowIndex)->ValueText());
        Edit1->SelectAll();
      }
      Edit1->SetModified(false);
      break;
    case VK_UP:
      SelectRow(std::max(0, FRowIndex - 1));
      Key = 0;
      break;
    case VK_DOWN:
      if (FRowIndex < RowCount() - 1) SelectRow(FRowIndex + 1);
      Key = 0;
      break;
    case VK_PRIOR:
      SelectRow(std::max(0, FRowIndex - page));
      Key = 0;
      break;
    case VK_NEXT:
      SelectRow(FRowIndex + page);
      Key = 0;
      break;
    case VK_RETURN: {
      TfrxPropertyEditor* ed = RowEditor(FRowIndex);
      if (ed && ed->Traits().Contains(TraitDialog))
        RunEditor();
      else if (Edit1->Modified())
        CommitValueText(FRowIndex, Edit1->Text());
      Edit1->SetModified(false);
      Edit1->SelectAll();
      Key = 0;
      break;
    }
    default:
      break;
  }
}

void TfrxObjectInspector::EditMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button == mbLeft && GetTickCount() - FLastPressTick < GetDoubleClickTime()) RunEditor();
}

void TfrxObjectInspector::EditDblClick(TObject*) { RunEditor(); }

void TfrxObjectInspector::EditBtnClick(TObject*) { RunEditor(); }

// ---------------------------------------------------------------- the drop-down

void TfrxObjectInspector::ComboBtnMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  FDropDownSuppressed = GetTickCount() - TfrxPopupForm::PopupFormCloseTime() < kReopenGuardMs;
}

void TfrxObjectInspector::ComboBtnClick(TObject*) {
  TfrxPropertyEditor* ed = RowEditor(FRowIndex);
  if (FDropDownSuppressed || !ed) {
    FDropDownSuppressed = false;
    if (Edit1->CanFocus()) Edit1->SetFocus();
    return;
  }
  bool ownerDraw = ed->Traits().Contains(TraitOwnerDraw);
  ed->FillValueList();
  if (ed->Values()->Count() == 0) return;
  auto* popup = new TfrxPopupForm(this);
  auto* list = new TListBox(popup);
  list->SetParent(popup);
  list->SetAlign(alClient);
  list->SetBorderStyle(bsNone);
  list->SetItemHeight(FRowHeight);
  if (ownerDraw) {
    list->SetStyle(lbOwnerDrawFixed);
    list->OnDrawItem = TDrawItemEvent::Lambda([this](TWinControl*, int Index, const TRect& Rect, TOwnerDrawState) {
      if (FPopupEditor && FPopupList) FPopupEditor->DrawListItem(FPopupList, Index, Rect);
    });
  }
  list->OnClick = TNotifyEvent(this, &TfrxObjectInspector::PopupListClick);
  list->Items()->Assign(ed->Values());
  list->SetItemIndex(list->Items()->IndexOf(ed->ValueText()));
  int width = 0;
  list->Canvas()->Font()->Assign(list->Font());
  for (int i = 0; i < list->Items()->Count(); ++i)
    width = std::max(width, list->Canvas()->TextWidth(list->Items()->Strings(i)));
  width += 8;
  if (ownerDraw) width += ed->ListExtraWidth();
  int rows = list->Items()->Count();
  if (rows >= 9) {
    width += GetSystemMetrics(SM_CXVSCROLL);
    rows = 8;
  }
  int valueColumn = PB->Width() - FNameColumnWidth;
  TPoint editAt = Edit1->ClientToScreen(TPoint{0, 0});
  int x;
  if (width < valueColumn) {
    x = editAt.X - 3;
    width = valueColumn + 1;
  } else {
    x = PB->Width() + editAt.X - FNameColumnWidth - width - 2;
  }
  popup->SetBounds(x, editAt.Y + Edit1->Height(), width, rows * FRowHeight + 2);
  FPopup = popup;
  FPopupList = list;
  FPopupEditor = ed;
  popup->OnDestroy = TNotifyEvent::Lambda([this, popup](TObject*) {
    if (FPopup == popup) {
      FPopup = nullptr;
      FPopupList = nullptr;
      FPopupEditor = nullptr;
    }
  });
  TRestore<bool> locked(FLocked, true);
  popup->Show();
}

void TfrxObjectInspector::PopupListClick(TObject*) {
  if (!FPopupList || FPopupList->ItemIndex() < 0) return;
  String text = FPopupList->Items()->Strings(FPopupList->ItemIndex());
  Edit1->SetText(text);
  TfrxPopupForm* popup = FPopup;
  FPopup = nullptr;
  FPopupList = nullptr;
  FPopupEditor = nullptr;
  popup->Hide();
  popup->Release();
  if (Edit1->CanFocus()) Edit1->SetFocus();
  Edit1->SelectAll();
  CommitValueText(FRowIndex, text);
}

// ---------------------------------------------------------------- combo box and tabs

void TfrxObjectInspector::ObjectsCBChange(TObject*) {
  if (FUpdatingCB || !FSelection) return;
  int i = ObjectsCB->ItemIndex();
  if (i < 0) return;
  TObject* o = ObjectsCB->Items()->Objects(i);
  FSelection->clear();
  FSelection->push_back(o);
  InspectSelection(FSelection);
  if (Edit1->Visible() && Edit1->CanFocus()) Edit1->SetFocus();
  OnObjectChosen(this);
}

void TfrxObjectInspector::DrawObjectEntry(int Index, const TRect& Rect) {
  if (FLocked) return;
  TCanvas* c = ObjectsCB->Canvas();
  c->FillRect(Rect);
  c->TextOut(Rect.Left + 2, Rect.Top + 1, ObjectsCB->Items()->Strings(Index));
}

void TfrxObjectInspector::TabChange(TObject*) {
  FCurrentList = Tab->TabIndex() == 1 ? FEventList.get() : FPropertyList.get();
  FRowIndex = -1;
  Relayout();
  SelectRow(-1);
}
