// The combo box: list style, list rows and owner drawing, popup size, row snapping, the
// press hand-over, stepping double-clicks and the owner-drawn fixed-list text.
#include "editors/cxComboBox.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlUtils.h"
#include "editors/cxScrollBar.h"
#include "gui/GdiDC.h"
#include "gui/SysColors.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <algorithm>

template <class B> void TcxComboBoxProperties::Published(B& b) {
  using P = TcxComboBoxProperties;
  b.Prop("Alignment", &P::Alignment, &P::SetAlignmentValue).Stored(&P::AlignmentStored);
  b.Prop("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
  b.Prop("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
  b.Prop("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(false);
  b.Prop("ButtonGlyph", &P::ButtonGlyph, &P::SetButtonGlyph);
  b.Prop("CaseInsensitive", &P::CaseInsensitive, &P::SetCaseInsensitive).Default(true);
  b.Prop("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
  b.Prop("ClearKey", &P::ClearKey, &P::SetClearKey).Type("TShortCut").Default(0);
  b.Prop("DropDownAutoWidth", &P::DropDownAutoWidth, &P::SetDropDownAutoWidth).Default(true);
  b.Prop("DropDownListStyle", &P::DropDownListStyle, &P::SetDropDownListStyle).Default(lsEditList);
  b.Prop("DropDownRows", &P::DropDownRows, &P::SetDropDownRows).Default(8);
  b.Prop("DropDownSizeable", &P::DropDownSizeable, &P::SetDropDownSizeable).Default(false);
  b.Prop("DropDownWidth", &P::DropDownWidth, &P::SetDropDownWidth).Default(0);
  b.Prop("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
  b.Prop("IgnoreMaskBlank", &P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank).Default(false);
  b.Prop("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &P::ImeName, &P::SetImeName);
  b.Prop("ImmediateDropDown", &P::ImmediateDropDown, &P::SetImmediateDropDown).Default(true);
  b.Prop("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
  b.Prop("ImmediateUpdateText", &P::ImmediateUpdateText, &P::SetImmediateUpdateText).Default(false);
  b.Prop("IncrementalSearch", &P::IncrementalSearch, &P::SetIncrementalSearch).Default(true);
  b.Prop("ItemHeight", &P::ItemHeight, &P::SetItemHeight).Default(0);
  b.Prop("Items", &P::Items, &P::SetItems);
  b.Prop("MaskKind", &P::MaskKind, &P::SetMaskKind).Default(emkStandard);
  b.Prop("EditMask", &P::EditMask, &P::SetEditMask).Type("TcxEditMask").Stored(&P::EditMaskStored);
  b.Prop("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::MaxLengthStored);
  b.Prop("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
  b.Prop("PopupAlignment", &P::PopupAlignment, &P::SetPopupAlignment).Default(taLeftJustify);
  b.Prop("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
  b.Prop("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::ReadOnlyStored);
  b.Prop("Revertable", &P::Revertable, &P::SetRevertable).Default(false);
  b.Prop("Sorted", &P::Sorted, &P::SetSorted).Default(false);
  b.Prop("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
      .Stored(&P::UseLeftAlignmentOnEditingStored);
  b.Prop("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
  b.Prop("OnChange", &P::OnChange, &P::SetOnChange);
  b.Prop("OnCloseUp", &P::OnCloseUp, &P::SetOnCloseUp);
  b.Prop("OnDrawItem", &P::OnDrawItem, &P::SetOnDrawItem);
  b.Prop("OnEditValueChanged", &P::OnEditValueChanged, &P::SetOnEditValueChanged);
  b.Prop("OnInitPopup", &P::OnInitPopup, &P::SetOnInitPopup);
  b.Prop("OnMeasureItem", &P::OnMeasureItem, &P::SetOnMeasureItem);
  b.Prop("OnNewLookupDisplayText", &P::OnNewLookupDisplayText, &P::SetOnNewLookupDisplayText);
  b.Prop("OnPopup", &P::OnPopup, &P::SetOnPopup);
  b.Prop("OnValidate", &P::OnValidate, &P::SetOnValidate);
}

template <class B> void TcxComboBox::Published(B& b) {
  using E = TcxComboBox;
  PublishedEditing(b);
  b.Prop("BeepOnEnter", &E::BeepOnEnterValue, &E::SetBeepOnEnter).Default(true);
  b.Prop(
       "ItemIndex", [](const E* e) { return const_cast<E*>(e)->ItemIndex(); }, [](E* e, int i) { e->SetItemIndex(i); })
      .Stored(false);
  b.Prop("Properties", &E::Properties, &E::SetProperties);
  b.Prop("Text", &TControl::Text, &TControl::SetText);
}

KELM_PUBLISH(TcxCustomComboBoxProperties) {}
KELM_PUBLISH(TcxComboBoxProperties) { Published(b); }
KELM_PUBLISH(TcxComboBoxLookupData) {}
KELM_PUBLISH(TcxCustomComboBoxListBox) {}
KELM_PUBLISH(TcxComboBoxListBox) {}
KELM_PUBLISH(TcxComboBoxPopupWindow) {}
KELM_PUBLISH(TcxCustomComboBoxInnerEdit) {}
KELM_PUBLISH(TcxCustomComboBox) {}
KELM_PUBLISH(TcxComboBox) { Published(b); }

namespace {
const bool gClassesRegistered = (RegisterClasses({TcxComboBox::StaticClass()}), true);
}  // namespace

// ================================================================ properties

TcxCustomComboBoxProperties::TcxCustomComboBoxProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner) {}

TClass TcxCustomComboBoxProperties::GetEditorClass() { return TcxComboBox::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomComboBoxProperties::GetViewDataClass() {
  return [](TcxCustomEditProperties* P, TcxCustomEditStyle* S, bool InPlace) -> TcxCustomEditViewData* {
    return new TcxCustomComboBoxViewData(P, S, InPlace);
  };
}

TcxCustomEditViewInfoClass TcxCustomComboBoxProperties::GetViewInfoClass() {
  return []() -> TcxCustomEditViewInfo* { return new TcxCustomComboBoxViewInfo; };
}

TcxTextEditLookupDataClass TcxCustomComboBoxProperties::GetLookupDataClass() {
  return [](TcxCustomTextEdit* E) -> TcxCustomTextEditLookupData* { return new TcxComboBoxLookupData(E); };
}

TcxPopupWindowClass TcxCustomComboBoxProperties::GetPopupFormClass() {
  return [](TControl* O) -> TcxCustomEditPopupWindow* { return new TcxComboBoxPopupWindow(O); };
}

TcxTextEditingStyle TcxCustomComboBoxProperties::GetEditingStyle() {
  static const TcxTextEditingStyle kByListStyle[] = {tesEditList, tesEdit, tesFixedList};
  return kByListStyle[FDropDownListStyle];
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle V) {
  if (V == FDropDownListStyle) return;
  FDropDownListStyle = V;
  SignalPropertiesChanged();
}

void TcxCustomComboBoxProperties::SetDropDownRows(int V) {
  if (V <= 0 || V == FDropDownRows) return;
  FDropDownRows = V;
  SignalPropertiesChanged();
}

void TcxCustomComboBoxProperties::SetItemHeight(int V) {
  if (V == FItemHeight) return;
  FItemHeight = V;
  SignalPropertiesChanged();
}

void TcxCustomComboBoxProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomComboBoxProperties*>(Source);
  if (!s) return TcxCustomDropDownEditProperties::Assign(Source);
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  TcxCustomDropDownEditProperties::Assign(Source);
  SetDropDownListStyle(s->FDropDownListStyle);
  SetDropDownRows(s->FDropDownRows);
  SetItemHeight(s->FItemHeight);
  FRevertable = s->FRevertable;
  OnDrawItem = s->OnDrawItem;
  OnMeasureItem = s->OnMeasureItem;
}

// ================================================================ lookup data

TcxCustomEditListBoxClass TcxComboBoxLookupData::ListBoxClass() {
  return [](TComponent* O) -> TcxCustomEditListBox* { return new TcxComboBoxListBox(O); };
}

void TcxComboBoxLookupData::CreateListIn(TWinControl* Parent) {
  const bool made = !List();
  TcxCustomTextEditLookupData::CreateListIn(Parent);
  if (made && List())
    if (auto* e = dynamic_cast<TcxCustomDropDownEdit*>(Edit())) List()->LookAndFeel()->SetMaster(e->PopupControlsFeel());
}

void TcxComboBoxLookupData::GetListPreferredSize(int HeightLimit, int WidthLimit, TSize& Size) {
  (void)HeightLimit;  // only the rows and the clipping of the opened window limit the height
  TcxCustomEditListBox* list = List();
  if (!list) {
    Size = TSize{0, 0};
    return;
  }
  const int count = ItemCount();
  const int dropRows = static_cast<TcxCustomComboBoxProperties*>(Properties())->DropDownRows();
  const int rows = std::min(count, dropRows);
  Size.cy = list->GetHeightForRows(rows);
  // The widths only change with the items or the font: measured again only then.
  TFont* font = list->Font();
  const String fontKey = font->Name() + "/" + std::to_string(font->Height()) + "/" +
                         std::to_string(font->Style().Contains(fsBold)) + std::to_string(font->Style().Contains(fsItalic));
  if (FWidest < 0 || FWidestCount != count || FWidestFont != fontKey) {
    auto* combo = dynamic_cast<TcxCustomComboBoxListBox*>(list);
    int widest = 0;
    if (combo) {
      widest = combo->WidestItem(count);
    } else {
      for (int i = 0; i < count; ++i) widest = std::max(widest, list->GetItemWidth(i));
    }
    FWidest = widest;
    FWidestCount = count;
    FWidestFont = fontKey;
  }
  Size.cx = FWidest + 4;
  list->SetScrollWidth(0);
  list->SetScrollWidth(Size.cx);
  if (count > dropRows) Size.cx += GetSystemMetrics(SM_CXVSCROLL);
  if (WidthLimit > 0 && Size.cx > WidthLimit) Size.cy += GetSystemMetrics(SM_CYHSCROLL);
}

void TcxComboBoxLookupData::ItemsChanged() {
  FWidest = -1;
  TcxCustomTextEditLookupData::ItemsChanged();
}

bool TcxComboBoxLookupData::MayResizeList(TSize& Size, int HeightLimit) {
  TcxCustomEditListBox* list = List();
  // Without items (or a list) there are no rows to snap to: the size stays as asked.
  if (!list || ItemCount() == 0) return true;
  const int W = Size.cx, H = Size.cy, count = ItemCount();
  if (W == list->Width() && H == list->Height()) return true;
  const int L = HeightLimit > 0 ? HeightLimit : INT_MAX;
  const int cxv = GetSystemMetrics(SM_CXVSCROLL), cyh = GetSystemMetrics(SM_CYHSCROLL);
  const int scrollWidth = list->ScrollWidth();
  int sum = 0, t = 0;
  bool more = false, hbar = false;
  for (int i = 0; i < count; ++i) {
    const int rh = list->GetRowHeight(i);
    sum += rh;
    more = i + 1 < count;
    hbar = scrollWidth > W - (more ? cxv : 0);
    t = sum + (hbar ? cyh : 0);
    if (t == H && t <= L) break;
    if (t < H && t <= L) continue;
    if (t <= L && H < list->Height()) break;  // shrinking: the overshooting row stays
    sum -= rh;
    more = true;
    hbar = scrollWidth > W - cxv;
    t = sum + (hbar ? cyh : 0);
    break;
  }
  Size.cy = t;
  Size.cx = std::max(int(Size.cx), (more ? cxv : 0) + (hbar ? cxv : 0));
  return true;
}

// ================================================================ list boxes

TcxCustomComboBoxListBox::TcxCustomComboBoxListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner) {
  SetStyle(lbOwnerDrawVariable);
}

TcxCustomComboBox* TcxCustomComboBoxListBox::ComboBox() {
  for (TWinControl* p = Parent(); p; p = p->Parent())
    if (auto* w = dynamic_cast<TcxCustomEditPopupWindow*>(p)) return dynamic_cast<TcxCustomComboBox*>(w->Edit());
  return dynamic_cast<TcxCustomComboBox*>(ContainerEditor());
}

void TcxCustomComboBoxListBox::GetItemText(int Index, String& Text) {
  TcxCustomComboBox* e = ComboBox();
  if (e && e->LookupDataObject()) e->LookupDataObject()->ReadItem(Index, Text);
  else TcxCustomEditListBox::GetItemText(Index, Text);
}

int TcxCustomComboBoxListBox::GetHeightForRows(int Rows) {
  int h = 0;
  for (int i = 0; i < Rows; ++i) h += GetRowHeight(i);
  return h;
}

int TcxCustomComboBoxListBox::WidestItem(int Count) {
  TcxCustomComboBox* e = ComboBox();
  TcxCustomTextEditLookupData* data = e ? e->LookupDataObject() : nullptr;
  TcxCanvas* c = ScreenCanvas();
  c->Font()->Assign(Font());
  int widest = 0;
  String s;
  for (int i = 0; i < Count; ++i) {
    if (data) data->ReadItem(i, s);
    else GetItemText(i, s);
    widest = std::max(widest, c->TextWidthOf(s));
  }
  return widest;
}

bool TcxCustomComboBoxListBox::DrawItemHook(int Index, const TRect& R, TOwnerDrawState State) {
  TcxCustomComboBox* e = ComboBox();
  if (!e || !e->HasDrawItemHandler()) return false;
  e->FireDrawItem(cxCanvas(), Index, State, R);
  return true;
}

void TcxCustomComboBoxListBox::ListInitialized() {
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomComboBoxListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (TcxCustomComboBox* e = ComboBox(); e && e->PopupMouseLock) {
    e->PopupMouseLock = false;
    return;
  }
  TcxCustomEditListBox::MouseMove(Shift, X, Y);
}

int TcxComboBoxListBox::GetRowHeight(int Index) {
  TcxCustomComboBox* e = ComboBox();
  int h = e && e->ComboProperties()->ItemHeight() > 0 ? e->ComboProperties()->ItemHeight()
                                                     : TcxCustomComboBoxListBox::GetRowHeight(Index);
  if (Index >= 0 && e && e->HasMeasureItemHandler()) e->FireMeasureItem(Index, cxCanvas(), h);
  return h;
}

void TcxComboBoxListBox::ListInitialized() {
  SetItemHeight(GetRowHeight(-1));
  TcxCustomComboBox* e = ComboBox();
  SetStyle(e && e->HasMeasureItemHandler() ? lbOwnerDrawVariable : lbOwnerDrawFixed);
}

void TcxComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxCustomComboBoxListBox::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const int i = ItemAtPos(TPoint{X, Y}, true);
  if (i < 0) return;
  SetCaptureControl(nullptr);
  SelectIndex(i);
  if (TcxCustomComboBox* e = ComboBox()) e->ClosePopup(pcrAccept);
}

void TcxComboBoxListBox::Resize() {
  TcxCustomComboBoxListBox::Resize();
  TcxCustomComboBox* e = ComboBox();
  if (!e || !e->IsPopupOpen() || !HandleAllocated()) return;
  if (HScrollBar() && VScrollBar() && HScrollBar()->Visible() && VScrollBar()->Visible()) {
    HRGN r = CreateRectRgnIndirect(ScrollBarCornerRect());
    SendMessage(Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(r), 0);
    DeleteObject(r);
  }
}

// ================================================================ popup window

void TcxComboBoxPopupWindow::FitSizeToChildren() {
  TcxCustomDropDownEdit* e = Edit();
  ViewInfo()->GripCorner = gcBottomRight;
  RefreshOwnerRect();
  TRect ext;
  ViewInfo()->GetClientExtents(ext);
  TSize m;
  GetMinimumSize(m);
  TSize s{0, 0};
  if (e) e->GetPopupContentSize(s);
  const bool resized = e && e->PopupResized && Resizable();
  int w;
  if (resized || (!AutoFit && PreferredWidth > 0)) w = PreferredWidth;
  else if (AutoFit) w = std::max(int(ext.Left + s.cx + ext.Right), OwnerRect.Width());
  else w = OwnerRect.Width();
  if (Resizable() && MinWidth > 0) w = std::max(w, MinWidth);
  w = std::max(w, int(m.cx));
  int h = (!resized && PreferredHeight == 0) || (AutoFit && !Resizable()) ? ext.Top + s.cy + ext.Bottom : PreferredHeight;
  if (Resizable() && MinHeight > 0) h = std::max(h, MinHeight);
  h = std::max(h, int(m.cy));
  SetBounds(Left(), Top(), w, h);
}

// ================================================================ view data and view info

TcxCustomComboBoxViewInfo::TcxCustomComboBoxViewInfo() {
  OwnerDrawHook = TcxTextEditOwnerDrawHook(this, &TcxCustomComboBoxViewInfo::PaintOwnerDrawnItem);
}

void TcxCustomComboBoxViewInfo::CopyFrom(TObject* Source) {
  TcxCustomTextEditViewInfo::CopyFrom(Source);
  if (auto* s = dynamic_cast<TcxCustomComboBoxViewInfo*>(Source)) DrawItemIndex = s->DrawItemIndex;
  OwnerDrawHook = TcxTextEditOwnerDrawHook(this, &TcxCustomComboBoxViewInfo::PaintOwnerDrawnItem);
}

void TcxCustomComboBoxViewInfo::PaintOwnerDrawnItem(TcxCanvas* C, TcxCustomEditViewInfo*, const TRect& R) {
  if (Font) C->Font()->Assign(Font);
  C->Brush()->SetColor(Highlighted ? clHighlight : FillColor);
  C->Font()->SetColor(Highlighted ? clHighlightText : TextColor);
  PrepareTextMetrics(C->Handle());
  TOwnerDrawState state{odComboBoxEdit};
  if (Focused) state += TOwnerDrawState{odSelected, odFocused};
  if (auto* e = dynamic_cast<TcxCustomComboBox*>(Edit)) {
    e->FireDrawItem(C, DrawItemIndex, state, R);
  } else if (auto* p = dynamic_cast<TcxCustomComboBoxProperties*>(Properties); p && p->OnDrawItem) {
    p->OnDrawItem(nullptr, C, DrawItemIndex, R, state);
  }
}

void TcxCustomComboBoxViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P,
                                                TcxMouseButtonCode Button, TcxCustomEditViewInfo* V,
                                                TShiftState Shift, bool Recalculate) {
  TcxCustomDropDownEditViewData::ComputeViewInfo(ACanvas, R, P, Button, V, Shift, Recalculate);
  auto* v = static_cast<TcxCustomComboBoxViewInfo*>(V);
  auto* p = static_cast<TcxCustomComboBoxProperties*>(Properties);
  auto* e = dynamic_cast<TcxCustomComboBox*>(Edit);
  v->DrawItemIndex = p->DropDownListStyle() == lsFixedList && e && e->HasDrawItemHandler() ? e->ItemIndex() : -1;
  v->OwnerDrawHookSet = v->DrawItemIndex != -1;
}

void TcxCustomComboBoxViewData::FillValueText(TcxCanvas* ACanvas, const Variant& Value, TcxCustomEditViewInfo* V) {
  TcxCustomDropDownEditViewData::FillValueText(ACanvas, Value, V);
  auto* v = static_cast<TcxCustomComboBoxViewInfo*>(V);
  auto* p = static_cast<TcxCustomComboBoxProperties*>(Properties);
  v->DrawItemIndex = p->DropDownListStyle() == lsFixedList && p->OnDrawItem ? p->LookupItems()->IndexOf(VarToStr(Value)) : -1;
  v->OwnerDrawHookSet = v->DrawItemIndex != -1;
}

// ================================================================ inner edit

void TcxCustomComboBoxInnerEdit::Dispatch(TMessage& M) {
  // A release never clicks through the platform: OnClick follows the chosen item instead.
  if (M.Msg == WM_LBUTTONUP) SetControlState(ControlState() - csClicked);
  TcxCustomDropDownInnerEdit::Dispatch(M);
}

// ================================================================ editor

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner) : TcxCustomComboBox(AOwner, false) {}

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner, bool AInPlace)
    : TcxCustomDropDownEdit(AOwner, AInPlace, TDeferInitialize{}) {
  InitializeEdit();
}

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner, bool AInPlace, TDeferInitialize D)
    : TcxCustomDropDownEdit(AOwner, AInPlace, D) {}

TClass TcxCustomComboBox::GetPropertiesClass() { return TcxCustomComboBoxProperties::StaticClass(); }
TClass TcxComboBox::GetPropertiesClass() { return TcxComboBoxProperties::StaticClass(); }

TcxCustomInnerEditClass TcxCustomComboBox::InnerEditClass() {
  return [](TcxCustomEdit* E) -> IcxCustomInnerEdit* { return (new TcxCustomComboBoxInnerEdit(E))->Companion(); };
}

TcxComboBoxListBox* TcxCustomComboBox::ListBox() const {
  return LookupDataObject() ? dynamic_cast<TcxComboBoxListBox*>(LookupDataObject()->List()) : nullptr;
}

void TcxCustomComboBox::InitializeEdit() {
  TcxCustomDropDownEdit::InitializeEdit();
  SetControlStyle(ControlStyle() - csClickEvents);
}

bool TcxCustomComboBox::HasPopupContent() { return !LookupData() || !LookupData()->HasNoItems(); }

void TcxCustomComboBox::FireDrawItem(TcxCanvas* ACanvas, int Index, TOwnerDrawState State, const TRect& R) {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(Properties());
  if (own->OnDrawItem) own->OnDrawItem(this, ACanvas, Index, R, State);
  if (RepositoryItem())
    if (auto* a = dynamic_cast<TcxCustomComboBoxProperties*>(ActiveProperties()); a && a != own && a->OnDrawItem)
      a->OnDrawItem(this, ACanvas, Index, R, State);
}

void TcxCustomComboBox::FireMeasureItem(int Index, TcxCanvas* ACanvas, int& Height) {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(Properties());
  if (own->OnMeasureItem) own->OnMeasureItem(this, Index, ACanvas, Height);
  if (RepositoryItem())
    if (auto* a = dynamic_cast<TcxCustomComboBoxProperties*>(ActiveProperties()); a && a != own && a->OnMeasureItem)
      a->OnMeasureItem(this, Index, ACanvas, Height);
}

bool TcxCustomComboBox::HasDrawItemHandler() {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(Properties());
  auto* a = dynamic_cast<TcxCustomComboBoxProperties*>(ActiveProperties());
  return own->OnDrawItem || (RepositoryItem() && a && a->OnDrawItem);
}

bool TcxCustomComboBox::HasMeasureItemHandler() {
  auto* own = static_cast<TcxCustomComboBoxProperties*>(Properties());
  auto* a = dynamic_cast<TcxCustomComboBoxProperties*>(ActiveProperties());
  return own->OnMeasureItem || (RepositoryItem() && a && a->OnMeasureItem);
}

void TcxCustomComboBox::GetPopupContentSize(TSize& Size) {
  TcxCustomEditPopupWindow* w = PopupForm();
  TRect e;
  w->ViewInfo()->GetClientExtents(e);
  TRect o = GetPopupOwnerRect();
  if (Parent() && HandleAllocated() && IsChildWindow(Handle())) {
    const TPoint a = Parent()->ClientToScreen(o.TopLeft()), b = Parent()->ClientToScreen(o.BottomRight());
    o = TRect{a.X, a.Y, b.X, b.Y};
  }
  TRect a1, a2;
  DesktopWorkArea(o.TopLeft(), a1);
  DesktopWorkArea(TPoint{o.Left, o.Bottom}, a2);
  int above = o.Top - a1.Top - e.Top - e.Bottom;
  if (w->ViewInfo()->ShadowOn) above += 3;
  const int below = a2.Bottom - o.Bottom - e.Top - e.Bottom;
  const int heightLimit = std::max(above, below);
  TcxCustomComboBoxProperties* p = ComboProperties();
  int widthLimit;
  if (p->PopupSizeable() || p->PopupAutoSize()) widthLimit = a1.Width() - e.Left - e.Right;
  else if (p->PopupWidth() >= 1) widthLimit = p->PopupWidth() - e.Left - e.Right;
  else widthLimit = o.Width() - e.Left - e.Right;
  if (TcxComboBoxLookupData* d = ComboLookupData()) d->GetListPreferredSize(heightLimit, widthLimit, Size);
  else Size = TSize{0, 0};
}

bool TcxCustomComboBox::AdjustListSize(TSize& Size, int HeightLimit) {
  TcxComboBoxLookupData* d = ComboLookupData();
  return !d || d->MayResizeList(Size, HeightLimit);
}

void TcxCustomComboBox::ApplyPopupSettings() {
  TcxCustomDropDownEdit::ApplyPopupSettings();
  // A sizeable combo popup always shows the panel with its grip.
  PopupForm()->SetPanelOn(ComboProperties()->PopupSizeable());
}

void TcxCustomComboBox::AttachLookupToPopup() {
  TcxCustomDropDownEdit::AttachLookupToPopup();
  // Row height and owner-draw style follow the handlers and ItemHeight of this opening.
  if (TcxComboBoxListBox* list = ListBox(); list && IsPopupOpen() == false) list->ListInitialized();
}

void TcxCustomComboBox::StartInPlaceEditing(TcxCustomEditData*& AEditData) {
  TcxCustomDropDownEdit::StartInPlaceEditing(AEditData);
  if (ComboProperties()->HasLookupData() && LookupData()) LookupData()->TextChanged();
}

bool TcxCustomComboBox::LookupRematchNeeded() {
  if (LookupRematchLocked) return false;
  if (IsPopupOpen()) return true;
  const TcxTextEditingStyle s = ComboProperties()->GetEditingStyle();
  const bool incremental = (s == tesEdit && ComboProperties()->IncrementalSearch()) || s == tesEditList || s == tesFixedList;
  if (!incremental && OpenPending()) return true;
  return s == tesEditList || s == tesFixedList;
}

void TcxCustomComboBox::InnerEditChanged(TObject* Sender) {
  const int key0 = LookupDataObject() ? LookupDataObject()->ActiveKey() : -1;
  {
    LockClick(true);
    TScopeExit unlock([this] { LockClick(false); });
    TcxCustomDropDownEdit::InnerEditChanged(Sender);
    if (LookupRematchNeeded() && LookupData()) LookupData()->TextChanged();
  }
  if (LookupDataObject() && LookupDataObject()->ActiveKey() != key0) MarkChangedAndClick();
}

void TcxCustomComboBox::DblClick() {
  TcxCustomDropDownEdit::DblClick();
  LockChangeEvents(true);
  TRestore<bool> browsing(BrowsingLookup, true);
  TScopeExit unlock([this] { LockChangeEvents(false); });
  if (IsPopupOpen() || !ComboProperties()->Revertable() || !LookupDataObject()) return;
  const int key0 = LookupDataObject()->ActiveKey();
  LookupData()->MoveActiveKey(ldNext, true);
  if (LookupDataObject()->ActiveKey() != key0 && PostAllowed() && ActiveProperties()->ImmediatePost() &&
      VerifyEditValue(false))
    CommitEditValue(false);
}

void TcxCustomComboBox::HandlePopupShown(TObject* Sender) {
  TcxCustomDropDownEdit::HandlePopupShown(Sender);
  TPoint c;
  GetCursorPos(&c);
  if (LookupData() && dynamic_cast<TWinControl*>(LookupData()->GetListControl()) && LookupData()->IsPointOverList(c))
    PopupMouseLock = true;
}

void TcxCustomComboBox::ProcessKeyDown(Word& Key, TShiftState Shift) {
  const bool moving = IsPopupOpen() && !Shift.Contains(ssAlt) &&
                      (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT);
  TcxCustomDropDownEdit::ProcessKeyDown(Key, Shift);
  // A highlight moved by keys keeps its place until the pointer really moves.
  if (moving) PopupMouseLock = true;
}

void TcxCustomComboBox::MouseMove(TShiftState Shift, int X, int Y) {
  TcxCustomDropDownEdit::MouseMove(Shift, X, Y);
  if (!HandleAllocated() || GetCapture() != Handle() || !IsPopupOpen() || !LookupData()) return;
  auto* list = dynamic_cast<TWinControl*>(LookupData()->GetListControl());
  if (!list || !list->HandleAllocated()) return;
  TPoint p;
  GetCursorPos(&p);
  const TPoint inPopup = PopupForm()->ScreenToClient(p);
  if (!PtInRect(PopupForm()->ViewInfo()->ClientRect, inPopup) || !LookupData()->IsPointOverList(p)) return;
  const TPoint l = list->ScreenToClient(p);
  SendMessage(list->Handle(), WM_LBUTTONDOWN, 0, MakeLParam(l.X, l.Y));
}

void TcxCustomComboBox::Dispatch(TMessage& M) {
  if (M.Msg == WM_LBUTTONUP) SetControlState(ControlState() - csClicked);
  TcxCustomDropDownEdit::Dispatch(M);
}

void RegisterComboBoxProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  EditPropertiesRegistry()->RegisterEntry(TcxComboBoxProperties::StaticClass(),
                                          TranslateLibraryString("ComboBox|Represents the combo box editor"));
}

namespace {
const bool gRegistered = (RegisterComboBoxProperties(), true);
}  // namespace
