// Tree views: nodes, their rows, painting, keys, mouse, scrolling and label editing.
#include "gui/TreeView.h"

#include "core/ClassBuilder.h"
#include "gui/ComCtrls_p.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <functional>

using namespace ctrl_utils;
using namespace comctrls;

namespace {

constexpr UINT_PTR ChangeDelayTimer = 0x7E02;

// Dotted connector lines: every other pixel.
void DotH(HDC DC, int X1, int X2, int Y, COLORREF C) {
  for (int x = X1; x < X2; ++x)
    if (((x + Y) & 1) == 0) SetPixel(DC, x, Y, C);
}
void DotV(HDC DC, int X, int Y1, int Y2, COLORREF C) {
  for (int y = Y1; y < Y2; ++y)
    if (((X + y) & 1) == 0) SetPixel(DC, X, y, C);
}

}  // namespace


// ================================================================ TTreeNode

KELM_PUBLISH(TTreeNode) {}

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() {
  for (TTreeNode* c : FChildren) delete c;
  FChildren.clear();
}

void TTreeNode::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TTreeNode*>(Source)) {
    SetText(s->FText);
    FData = s->FData;
    FImageIndex = s->FImageIndex;
    FSelectedIndex = s->FSelectedIndex;
    FStateIndex = s->FStateIndex;
    FOverlayIndex = s->FOverlayIndex;
    FBold = s->FBold;
    FCut = s->FCut;
    FHasChildren = s->FHasChildren;
    Changed(false);
    return;
  }
  TPersistent::Assign(Source);
}

void TTreeNode::Changed(bool Structure) {
  if (FOwner) FOwner->Changed(Structure);
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TTreeNode::SetText(const String& v) {
  if (FText == v) return;
  FText = v;
  TCustomTreeView* tv = TreeView();
  if (tv && (tv->SortType() == stText || tv->SortType() == stBoth) && FParent) tv->SortChildren(FParent, false);
  Changed(false);
}

void TTreeNode::SetImageIndex(int v) {
  FImageIndex = v;
  Changed(false);
}
void TTreeNode::SetSelectedIndex(int v) {
  FSelectedIndex = v;
  Changed(false);
}
void TTreeNode::SetStateIndex(int v) {
  FStateIndex = v;
  Changed(false);
}
void TTreeNode::SetOverlayIndex(int v) {
  FOverlayIndex = v;
  Changed(false);
}
void TTreeNode::SetBold(bool v) {
  FBold = v;
  Changed(true);
}
void TTreeNode::SetCut(bool v) {
  FCut = v;
  Changed(false);
}

bool TTreeNode::DropTarget() const { return TreeView() && TreeView()->DropTarget() == this; }
void TTreeNode::SetDropTarget(bool v) {
  if (TCustomTreeView* tv = TreeView()) {
    if (v) tv->SetDropTarget(this);
    else if (tv->DropTarget() == this) tv->SetDropTarget(nullptr);
  }
}

bool TTreeNode::Selected() const { return TreeView() && TreeView()->Selected() == this; }
void TTreeNode::SetSelected(bool v) {
  if (TCustomTreeView* tv = TreeView()) {
    if (v) tv->SetSelected(this);
    else if (tv->Selected() == this) tv->SetSelected(nullptr);
  }
}
bool TTreeNode::Focused() const { return Selected(); }
void TTreeNode::SetFocused(bool v) { SetSelected(v); }

void TTreeNode::SetExpanded(bool v) {
  if (v) Expand(false);
  else Collapse(false);
}

void TTreeNode::SetHasChildren(bool v) {
  FHasChildren = v;
  Changed(false);
}

TTreeNode* TTreeNode::Parent() const {
  if (!FParent || !FParent->FParent) return nullptr;  // the hidden root is no parent
  return FParent;
}

int TTreeNode::Level() const {
  int l = 0;
  for (TTreeNode* p = Parent(); p; p = p->Parent()) ++l;
  return l;
}

int TTreeNode::Index() const { return FParent ? FParent->IndexOf(this) : -1; }

int TTreeNode::IndexOf(const TTreeNode* Node) const {
  auto it = std::find(FChildren.begin(), FChildren.end(), Node);
  return it == FChildren.end() ? -1 : static_cast<int>(it - FChildren.begin());
}

int TTreeNode::AbsoluteIndex() const {
  int i = -1;
  for (const TTreeNode* n = this; n; n = n->GetPrev()) ++i;
  return i;
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FChildren[static_cast<std::size_t>(Index)];
}

TTreeNode* TTreeNode::getNextSibling() const {
  if (!FParent) return nullptr;
  int i = FParent->IndexOf(this);
  return i + 1 < FParent->Count() ? FParent->FChildren[static_cast<std::size_t>(i + 1)] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  if (!FParent) return nullptr;
  int i = FParent->IndexOf(this);
  return i > 0 ? FParent->FChildren[static_cast<std::size_t>(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TTreeNode* n = this; n && n->FParent; n = n->FParent)
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* s = getPrevSibling();
  if (s) {
    while (!s->FChildren.empty()) s = s->FChildren.back();
    return s;
  }
  return Parent();
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (FExpanded && !FChildren.empty()) return FChildren.front();
  for (const TTreeNode* n = this; n && n->FParent; n = n->FParent)
    if (TTreeNode* s = n->getNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  TTreeNode* s = getPrevSibling();
  if (s) {
    while (s->FExpanded && !s->FChildren.empty()) s = s->FChildren.back();
    return s;
  }
  return Parent();
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->FExpanded) return false;
  return true;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
  if (!Value) return false;
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (p == Value) return true;
  return false;
}

void TTreeNode::Delete() {
  if (FOwner) FOwner->Delete(this);
  else delete this;
}

void TTreeNode::DeleteChildren() {
  while (!FChildren.empty()) FChildren.back()->Delete();
  FHasChildren = false;
  Changed(true);
}

void TTreeNode::Expand(bool Recurse) {
  if (TCustomTreeView* tv = TreeView()) tv->DoExpand(this, true);
  else FExpanded = true;
  if (Recurse)
    for (TTreeNode* c : std::vector<TTreeNode*>(FChildren)) c->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  if (Recurse)
    for (TTreeNode* c : std::vector<TTreeNode*>(FChildren)) c->Collapse(true);
  if (TCustomTreeView* tv = TreeView()) tv->DoExpand(this, false);
  else FExpanded = false;
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* p = Parent(); p; p = p->Parent())
    if (!p->FExpanded) p->Expand(false);
  if (TCustomTreeView* tv = TreeView()) tv->ScrollIntoView(this);
}

bool TTreeNode::EditText() {
  TCustomTreeView* tv = TreeView();
  if (!tv || !tv->CanEdit(this)) return false;
  tv->StartEdit(this);
  return tv->IsEditing();
}

void TTreeNode::EndEdit(bool Cancel) {
  if (TCustomTreeView* tv = TreeView(); tv && tv->FEditNode == this) tv->FinishEdit(Cancel);
}

bool TTreeNode::IsEditing() const { return TreeView() && TreeView()->FEditNode == this; }

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TCustomTreeView* tv = TreeView();
  if (!tv) return {};
  int row = tv->RowOf(this);
  if (row < 0) return {};
  if (TextOnly) return tv->LabelRect(this, row);
  int h = tv->ItemHeight();
  int y = (row - tv->FTopRow) * h;
  return {0, y, tv->ClientWidth(), y + h};
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this || (Destination && Destination->HasAsParent(this))) return;
  TTreeNodes* owner = Destination ? Destination->FOwner : FOwner;
  if (!owner) return;
  TTreeNode* newParent;
  int pos;
  switch (Mode) {
    case naAdd:
      newParent = Destination ? Destination->FParent : owner->FRoot.get();
      pos = -1;
      break;
    case naAddFirst:
      newParent = Destination ? Destination->FParent : owner->FRoot.get();
      pos = 0;
      break;
    case naAddChild:
      newParent = Destination ? Destination : owner->FRoot.get();
      pos = -1;
      break;
    case naAddChildFirst:
      newParent = Destination ? Destination : owner->FRoot.get();
      pos = 0;
      break;
    case naInsert:
    default:
      newParent = Destination ? Destination->FParent : owner->FRoot.get();
      pos = Destination ? Destination->Index() : -1;
      break;
  }
  auto& old = FParent->FChildren;
  old.erase(std::find(old.begin(), old.end(), this));
  if (pos < 0 || pos > newParent->Count()) pos = newParent->Count();
  newParent->FChildren.insert(newParent->FChildren.begin() + pos, this);
  FParent = newParent;
  Changed(true);
}

bool TTreeNode::AlphaSort(bool Recurse) {
  if (TCustomTreeView* tv = TreeView()) {
    tv->SortChildren(this, Recurse);
    return true;
  }
  return false;
}

// ================================================================ TTreeNodes

KELM_PUBLISH(TTreeNodes) {}

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) { FRoot = std::make_unique<TTreeNode>(this); }

TTreeNodes::~TTreeNodes() = default;

void TTreeNodes::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TTreeNodes*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  Clear();
  std::function<void(TTreeNode*, TTreeNode*)> copy = [&](TTreeNode* from, TTreeNode* toParent) {
    for (TTreeNode* c : from->FChildren) {
      TTreeNode* n = InternalAdd(toParent, -1, c->Text(), c->Data());
      n->Assign(c);
      copy(c, n);
    }
  };
  copy(s->FRoot.get(), FRoot.get());
  EndUpdate();
}

TTreeNode* TTreeNodes::Item(int Index) const {
  if (Index < 0 || Index >= FCount) throw EListError(Format(SListIndexError, {Index}));
  TTreeNode* n = GetFirstNode();
  for (int i = 0; i < Index && n; ++i) n = n->GetNext();
  return n;
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoot->getFirstChild(); }

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Position, const String& S, void* Ptr) {
  if (!Parent) Parent = FRoot.get();
  auto* n = new TTreeNode(this);
  n->FText = S;
  n->FData = Ptr;
  n->FParent = Parent;
  if (Position < 0 || Position > Parent->Count()) Position = Parent->Count();
  Parent->FChildren.insert(Parent->FChildren.begin() + Position, n);
  ++FCount;
  if (FOwner) {
    if (FOwner->SortType() == stText || FOwner->SortType() == stBoth) FOwner->SortChildren(Parent, false);
    FOwner->Added(n);
  }
  Changed(true);
  return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }
TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : nullptr, -1, S, Ptr);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const String& S) { return AddObjectFirst(Sibling, S, nullptr); }
TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr) {
  return InternalAdd(Sibling ? Sibling->FParent : nullptr, 0, S, Ptr);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }
TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) { return InternalAdd(Parent, -1, S, Ptr); }
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const String& S) { return AddChildObjectFirst(Parent, S, nullptr); }
TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr) { return InternalAdd(Parent, 0, S, Ptr); }
TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const String& S) { return InsertObject(Sibling, S, nullptr); }
TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  if (!Sibling) return InternalAdd(nullptr, -1, S, Ptr);
  return InternalAdd(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node == FRoot.get() || Node->FDeleting) return;
  Node->FDeleting = true;
  // Children go first, each told to the tree.
  while (!Node->FChildren.empty()) Delete(Node->FChildren.back());
  if (FOwner) FOwner->NodeDeleting(Node);
  if (TTreeNode* p = Node->FParent) {
    auto& v = p->FChildren;
    v.erase(std::remove(v.begin(), v.end(), Node), v.end());
  }
  --FCount;
  delete Node;
  Changed(true);
}

void TTreeNodes::Clear() {
  if (FOwner) FOwner->FClearing = true;
  BeginUpdate();
  TryFinally([&] { while (FRoot->Count() > 0) Delete(FRoot->FChildren.back()); },
             [&] {
               EndUpdate();
               if (FOwner) FOwner->FClearing = false;
             });
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) Changed(true);
}

void TTreeNodes::Changed(bool Structure) {
  if (FOwner && FUpdateCount == 0) FOwner->Changed(Structure);
  else if (FOwner) FOwner->FRowsValid = false;
}

// ================================================================ TCustomTreeView

KELM_PUBLISH(TCustomTreeView) {}

KELM_PUBLISH(TTreeView) { Published(b); }

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TCustomItemView(AOwner, 121, 97) {
  FNodes = std::make_unique<TTreeNodes>(this);
}

TCustomTreeView::~TCustomTreeView() {
  Destroying();
  FClearing = true;
  if (FImages) FImages->UnRegisterChanges(FImageLink.get());
  KillTimer(Handle(), EditDelayTimer);
  KillTimer(Handle(), ChangeDelayTimer);
  FSelected = nullptr;
  FNodes.reset();
}

TCustomEdit* TCustomTreeView::EditControl() const { return FEditNode ? FEditor : nullptr; }

// ---------------------------------------------------------------- properties

void TCustomTreeView::SetSelected(TTreeNode* v) { SelectNode(v, false); }

TTreeNode* TCustomTreeView::TopItem() const {
  BuildRows();
  return FTopRow < static_cast<int>(FRows.size()) ? FRows[static_cast<std::size_t>(FTopRow)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* v) {
  if (!v) return;
  v->MakeVisible();
  int r = RowOf(v);
  if (r >= 0) ScrollToRow(r);
}

void TCustomTreeView::SetDropTarget(TTreeNode* v) {
  if (FDropTarget == v) return;
  FDropTarget = v;
  Invalidate();
}

void TCustomTreeView::SetImages(TCustomImageList* v) {
  if (SwapImages(FImages, v)) Changed(true);
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomItemView::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    Changed(true);
  }
}

void TCustomTreeView::SetIndent(int v) {
  FIndent = std::max(0, v);
  Changed(true);
}
void TCustomTreeView::SetRowSelect(bool v) {
  FRowSelect = v;
  Invalidate();
}
void TCustomTreeView::SetShowButtons(bool v) {
  FShowButtons = v;
  Changed(true);
}
void TCustomTreeView::SetShowLines(bool v) {
  FShowLines = v;
  Invalidate();
}
void TCustomTreeView::SetShowRoot(bool v) {
  FShowRoot = v;
  Changed(true);
}
void TCustomTreeView::SetSortType(TSortType v) {
  if (FSortType == v) return;
  FSortType = v;
  if (v == stText || v == stBoth) AlphaSort(true);
}

// ---------------------------------------------------------------- overridables

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { OnChange(this, Node); }

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) { OnExpanded(this, Node); }

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) { OnCollapsed(this, Node); }

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  if (FReadOnly || !Node) return false;
  bool allow = true;
  OnEditing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, String& S) { OnEdited(this, Node, S); }

void TCustomTreeView::Delete(TTreeNode* Node) { OnDeletion(this, Node); }

void TCustomTreeView::Added(TTreeNode* Node) { OnAddition(this, Node); }

void TCustomTreeView::GetImageIndex(TTreeNode* Node) { OnGetImageIndex(this, Node); }

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) { OnGetSelectedIndex(this, Node); }

int TCustomTreeView::CompareNodes(TTreeNode* A, TTreeNode* B) {
  if (OnCompare) {
    int r = 0;
    OnCompare(this, A, B, 0, r);
    return r;
  }
  return AnsiCompareText(A->Text(), B->Text());
}

bool TCustomTreeView::CustomDrawItem(TTreeNode* Node, TCustomDrawState State) {
  bool def = true;
  OnCustomDrawItem(this, Node, State, def);
  return def;
}

// ---------------------------------------------------------------- operations

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->getNextSibling()) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->getNextSibling()) n->Collapse(true);
}

bool TCustomTreeView::AlphaSort(bool Recurse) {
  SortChildren(FNodes->FRoot.get(), Recurse);
  return true;
}

void TCustomTreeView::SortChildren(TTreeNode* Parent, bool Recurse) {
  if (!Parent) return;
  std::stable_sort(Parent->FChildren.begin(), Parent->FChildren.end(),
                   [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b) < 0; });
  if (Recurse)
    for (TTreeNode* c : Parent->FChildren) SortChildren(c, true);
  Changed(true);
}

void TCustomTreeView::LoadFromStream(TStream* Stream) {
  TStringList lines;
  lines.LoadFromStream(Stream);
  FNodes->BeginUpdate();
  FNodes->Clear();
  std::vector<TTreeNode*> levels;
  for (int i = 0; i < lines.Count(); ++i) {
    String s = lines[i];
    int level = 0;
    while (level < static_cast<int>(s.size()) && (s[static_cast<std::size_t>(level)] == '\t' || s[static_cast<std::size_t>(level)] == ' ')) ++level;
    String text = s.substr(static_cast<std::size_t>(level));
    if (Trim(text).empty()) continue;
    level = std::min(level, static_cast<int>(levels.size()));
    TTreeNode* parent = level > 0 ? levels[static_cast<std::size_t>(level - 1)] : nullptr;
    TTreeNode* n = FNodes->AddChild(parent, text);
    levels.resize(static_cast<std::size_t>(level));
    levels.push_back(n);
  }
  FNodes->EndUpdate();
}

void TCustomTreeView::SaveToStream(TStream* Stream) {
  TStringList lines;
  for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext()) lines.Add(String(static_cast<std::size_t>(n->Level()), '\t') + n->Text());
  lines.SaveToStream(Stream);
}

void TCustomTreeView::LoadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead);
  LoadFromStream(&f);
}

void TCustomTreeView::SaveToFile(const String& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

// ---------------------------------------------------------------- the native model

void TCustomTreeView::Changed(bool Structure) {
  if (Structure) FRowsValid = false;
  if (FNodes && FNodes->FUpdateCount > 0) return;
  UpdateScrollBars();
  Invalidate();
}

int TCustomTreeView::ItemHeight() const {
  int h = CellHeight() + 3;
  if (FImages) h = std::max(h, FImages->Height() + 1);
  if (FStateImages) h = std::max(h, FStateImages->Height() + 1);
  return h;
}

void TCustomTreeView::BuildRows() const {
  if (FRowsValid) return;
  FRowsValid = true;
  FRows.clear();
  if (!FNodes) return;
  for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNextVisible()) FRows.push_back(n);
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const {
  BuildRows();
  auto it = std::find(FRows.begin(), FRows.end(), Node);
  return it == FRows.end() ? -1 : static_cast<int>(it - FRows.begin());
}

int TCustomTreeView::VisibleRowCount() const { return std::max(1, ClientHeight() / std::max(1, ItemHeight())); }

int TCustomTreeView::NodeIndent(const TTreeNode* Node) const {
  // Where the node's own column begins: one indent per level, one more for the root's lines.
  return (Node->Level() + (FShowRoot ? 1 : 0)) * FIndent - FScrollX;
}

TRect TCustomTreeView::LabelRect(const TTreeNode* Node, int Row) const {
  int h = ItemHeight();
  int y = (Row - FTopRow) * h;
  int x = NodeIndent(Node) + 2;
  if (FStateImages && Node->StateIndex() >= 0) x += FStateImages->Width();
  if (FImages) x += FImages->Width() + 1;
  return {x, y, x + TextWidthOf(Font(), Node->Text()) + 4, y + h};
}

int TCustomTreeView::ContentWidth() const {
  BuildRows();
  int w = 0;
  int saved = FScrollX;
  const_cast<TCustomTreeView*>(this)->FScrollX = 0;
  for (int i = 0; i < static_cast<int>(FRows.size()); ++i) w = std::max(w, LabelRect(FRows[static_cast<std::size_t>(i)], i).Right);
  const_cast<TCustomTreeView*>(this)->FScrollX = saved;
  return w;
}

void TCustomTreeView::UpdateScrollBars() {
  BuildRows();
  int rows = static_cast<int>(FRows.size());
  int page = VisibleRowCount();
  FTopRow = std::clamp(FTopRow, 0, std::max(0, rows - page));
  FBars->SetInfo(SB_VERT, 0, std::max(0, rows - 1), page, FTopRow);
  int cw = ContentWidth();
  int w = std::max(1, ClientWidth());
  FScrollX = std::clamp(FScrollX, 0, std::max(0, cw - w));
  FBars->SetInfo(SB_HORZ, 0, std::max(0, cw - 1), w, FScrollX);
}

void TCustomTreeView::ScrollToRow(int Row) {
  BuildRows();
  int rows = static_cast<int>(FRows.size());
  Row = std::clamp(Row, 0, std::max(0, rows - VisibleRowCount()));
  if (Row == FTopRow) return;
  FTopRow = Row;
  FBars->SetPos(SB_VERT, Row);
  if (FEditNode) FinishEdit(false);
  Invalidate();
}

void TCustomTreeView::ScrollIntoView(const TTreeNode* Node) {
  int r = RowOf(Node);
  if (r < 0) return;
  int page = VisibleRowCount();
  if (r < FTopRow) ScrollToRow(r);
  else if (r >= FTopRow + page) ScrollToRow(r - page + 1);
}

bool TCustomTreeView::SelectNode(TTreeNode* Node, bool ByUser) {
  if (Node == FSelected) return true;
  if (!CanChange(Node)) return false;
  if (FEditNode) FinishEdit(false);
  FSelected = Node;
  if (Node) Node->MakeVisible();
  Invalidate();
  if (FChangeDelay > 0 && ByUser) {
    // The change is reported once the selection rests.
    FPendingChange = Node;
    SetTimer(Handle(), ChangeDelayTimer, static_cast<UINT>(FChangeDelay));
  } else {
    Change(Node);
  }
  return true;
}

void TCustomTreeView::ChangeTimer() {
  KillTimer(Handle(), ChangeDelayTimer);
  if (FPendingChange && FPendingChange == FSelected) Change(FPendingChange);
  FPendingChange = nullptr;
}

bool TCustomTreeView::DoExpand(TTreeNode* Node, bool ExpandIt) {
  if (!Node || Node->FExpanded == ExpandIt) return true;
  if (ExpandIt) {
    // Lazy trees fill the node here.
    if (!CanExpand(Node)) return false;
    if (!Node->HasChildren()) return false;
    Node->FExpanded = true;
    FRowsValid = false;
    Changed(true);
    Expand(Node);
  } else {
    if (!CanCollapse(Node)) return false;
    Node->FExpanded = false;
    // A hidden selection moves to the collapsed node.
    if (FSelected && FSelected->HasAsParent(Node)) SelectNode(Node, true);
    FRowsValid = false;
    Changed(true);
    Collapse(Node);
  }
  return true;
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
  if (!ComponentState().Contains(csDestroying)) Delete(Node);
  if (Node == FDropTarget) FDropTarget = nullptr;
  if (Node == FHot) FHot = nullptr;
  if (Node == FPendingChange) FPendingChange = nullptr;
  if (Node == FClickedSelected) FClickedSelected = nullptr;
  if (Node == FEditNode) {
    FEditNode = nullptr;
    if (FEditor) FEditor->SetVisible(false);
  }
  if (Node == FSelected) {
    // The selection moves to a neighbour, as the platform's tree does; emptying the tree
    // leaves nothing selected without telling.
    TTreeNode* next = nullptr;
    if (!FClearing) {
      next = Node->getNextSibling();
      if (!next) next = Node->getPrevSibling();
      if (!next) next = Node->Parent();
      if (next && next->FDeleting) next = nullptr;
    }
    FSelected = nullptr;
    if (next && !ComponentState().Contains(csDestroying)) SelectNode(next, false);
    else if (!FClearing && !ComponentState().Contains(csDestroying)) Change(nullptr);
  }
  FRowsValid = false;
}

// ---------------------------------------------------------------- hit tests

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
  THitTests h = GetHitTestInfoAt(X, Y);
  if (!(h.Contains(htOnItem) || h.Contains(htOnButton) || h.Contains(htOnIndent) || h.Contains(htOnRight))) return nullptr;
  BuildRows();
  int row = FTopRow + Y / std::max(1, ItemHeight());
  return row >= 0 && row < static_cast<int>(FRows.size()) ? FRows[static_cast<std::size_t>(row)] : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) const {
  THitTests r;
  if (Y < 0) r += htAbove;
  if (Y >= ClientHeight()) r += htBelow;
  if (X < 0) r += htToLeft;
  if (X >= ClientWidth()) r += htToRight;
  if (!r.Empty()) return r;
  BuildRows();
  int row = FTopRow + Y / std::max(1, ItemHeight());
  if (row >= static_cast<int>(FRows.size())) return {htNowhere};
  TTreeNode* n = FRows[static_cast<std::size_t>(row)];
  int col = NodeIndent(n);
  TRect label = LabelRect(n, row);
  int x = col + 2;
  if (X < col) {
    // The button sits in the column before the node's.
    if (FShowButtons && n->HasChildren() && (FShowRoot || n->Level() > 0) && X >= col - FIndent) return {htOnButton};
    return {htOnIndent};
  }
  if (FStateImages && n->StateIndex() >= 0) {
    if (X < x + FStateImages->Width()) return {htOnStateIcon};
    x += FStateImages->Width();
  }
  if (FImages) {
    if (X < x + FImages->Width() + 1) return {htOnItem, htOnIcon};
  }
  if (X < label.Right) return {htOnItem, htOnLabel};
  return {htOnRight};
}

// ---------------------------------------------------------------- editing

void TCustomTreeView::StartEdit(TTreeNode* Node) {
  if (!Node) return;
  Node->MakeVisible();
  int row = RowOf(Node);
  if (row < 0) return;
  FEditNode = Node;
  TRect r = LabelRect(Node, row);
  ShowLabelEditor([this](bool Cancel) { FinishEdit(Cancel); }, r, r.Height(), Node->Text());
}

void TCustomTreeView::FinishEdit(bool Cancel) {
  TTreeNode* node = FEditNode;
  if (!node) return;
  FEditNode = nullptr;
  String s = HideLabelEditor();
  if (!Cancel) {
    Edit(node, s);
    node->SetText(s);
  }
  Invalidate();
}

// ---------------------------------------------------------------- messages

void TCustomTreeView::EditDelayExpired() {
  TTreeNode* n = FClickedSelected;
  FClickedSelected = nullptr;
  if (n && n == FSelected && CanEdit(n)) StartEdit(n);
}

bool TCustomTreeView::TimerExpired(UINT_PTR Id) {
  if (Id != ChangeDelayTimer) return false;
  ChangeTimer();
  return true;
}

// Hot tracking follows the node under the mouse.
bool TCustomTreeView::MouseMoveDefault(TMessage& M) {
  if (!FHotTrack) return false;
  TPoint p = PointFromLParam(M.LParam);
  TTreeNode* n = GetHitTestInfoAt(p.X, p.Y).Contains(htOnItem) ? GetNodeAt(p.X, p.Y) : nullptr;
  if (n != FHot) {
    FHot = n;
    Invalidate();
  }
  return false;
}

void TCustomTreeView::WMLButtonUp(TMessage& M) {
  if (FClickedSelected) {
    TPoint p = PointFromLParam(M.LParam);
    if (GetNodeAt(p.X, p.Y) == FClickedSelected && GetHitTestInfoAt(p.X, p.Y).Contains(htOnLabel))
      SetTimer(Handle(), EditDelayTimer, 500);
    else
      FClickedSelected = nullptr;
  }
}

void TCustomTreeView::WMMouseWheelDefault(TMessage& M) {
  int steps = WheelSteps(M.WParam);
  if (steps != 0) ScrollToRow(FTopRow - steps);
}

void TCustomTreeView::ScrollDefault(TMessage& M, bool Horizontal) {
  if (Horizontal) {
    if (!IsScrollMove(M.WParam)) return;  // before measuring every row's width
    int w = ClientWidth(), content = ContentWidth(), x = FScrollX;
    ScrollBarTarget(M.WParam, FScrollX, FIndent, w, content, x);
    x = std::clamp(x, 0, std::max(0, content - w));
    if (x == FScrollX) return;
    FScrollX = x;
    FBars->SetPos(SB_HORZ, x);
    Invalidate();
    return;
  }
  int top;
  if (ScrollBarTarget(M.WParam, FTopRow, 1, VisibleRowCount(), static_cast<int>(FRows.size()), top)) ScrollToRow(top);
}

void TCustomTreeView::KeyDownDefault(TMessage& M) {
  BuildRows();
  if (FRows.empty()) return;
  TTreeNode* cur = FSelected;
  int row = cur ? RowOf(cur) : -1;
  int last = static_cast<int>(FRows.size()) - 1;
  int page = std::max(1, VisibleRowCount() - 1);
  auto go = [&](int r) { SelectNode(FRows[static_cast<std::size_t>(std::clamp(r, 0, last))], true); };
  switch (M.WParam) {
    case VK_UP: go(row < 0 ? 0 : row - 1); return;
    case VK_DOWN: go(row < 0 ? 0 : row + 1); return;
    case VK_PRIOR: go(row - page); return;
    case VK_NEXT: go(row + page); return;
    case VK_HOME: go(0); return;
    case VK_END: go(last); return;
    case VK_LEFT:
      if (!cur) return;
      if (cur->Expanded() && cur->HasChildren()) DoExpand(cur, false);
      else if (cur->Parent()) SelectNode(cur->Parent(), true);
      return;
    case VK_RIGHT:
      if (!cur) return;
      if (cur->HasChildren() && !cur->Expanded()) DoExpand(cur, true);
      else if (cur->getFirstChild()) SelectNode(cur->getFirstChild(), true);
      return;
    case VK_ADD:
      if (cur) DoExpand(cur, true);
      return;
    case VK_SUBTRACT:
      if (cur) DoExpand(cur, false);
      return;
    case VK_MULTIPLY:
      if (cur) cur->Expand(true);
      return;
    case VK_F2:
      if (cur) cur->EditText();
      return;
    default:
      return;
  }
}

void TCustomTreeView::CharDefault(TMessage& M) {
  Char c = static_cast<Char>(M.WParam);
  if (c < 32) return;
  BuildRows();
  if (FRows.empty()) return;
  // Characters typed within a second search on: the next shown node that begins with them.
  DWORD now = GetTickCount();
  if (now - FSearchTime > 1000) FSearch.clear();
  FSearchTime = now;
  AppendUtf8(FSearch, c);
  int n = static_cast<int>(FRows.size());
  int start = FSelected ? RowOf(FSelected) : -1;
  bool single = Length(FSearch) == 1;
  for (int k = single ? 1 : 0; k <= n; ++k) {
    int r = ((start < 0 ? 0 : start) + k) % n;
    TTreeNode* node = FRows[static_cast<std::size_t>(r)];
    if (CaptionStartsWith(node->Text(), FSearch)) {
      SelectNode(node, true);
      return;
    }
  }
}

void TCustomTreeView::MouseDownDefault(TMessage& M, bool Right, bool Double) {
  TPoint p = PointFromLParam(M.LParam);
  if (!Right && CanFocus() && GetFocus() != Handle()) SetFocus();
  if (FEditNode) FinishEdit(false);
  THitTests h = GetHitTestInfoAt(p.X, p.Y);
  TTreeNode* n = GetNodeAt(p.X, p.Y);
  if (!n) return;
  if (Right) {
    if (FRightClickSelect && (h.Contains(htOnItem) || FRowSelect)) SelectNode(n, true);
    return;
  }
  if (h.Contains(htOnButton)) {
    DoExpand(n, !n->Expanded());
    return;
  }
  bool onItem = h.Contains(htOnItem) || h.Contains(htOnStateIcon) || (FRowSelect && (h.Contains(htOnRight) || h.Contains(htOnIndent)));
  if (!onItem) return;
  if (Double) {
    FClickedSelected = nullptr;
    KillTimer(Handle(), EditDelayTimer);
    if (n->HasChildren()) DoExpand(n, !n->Expanded());
    return;
  }
  if (n == FSelected && h.Contains(htOnLabel) && !FReadOnly) FClickedSelected = n;
  else {
    FClickedSelected = nullptr;
    SelectNode(n, true);
    if (FAutoExpand && n == FSelected) DoExpand(n, true);
  }
}

// ---------------------------------------------------------------- painting

void TCustomTreeView::PaintItems(HDC DC) {
  if (!DC) return;
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(Color()));
  BuildRows();
  int h = ItemHeight();
  int rows = static_cast<int>(FRows.size());
  for (int r = FTopRow; r < rows && (r - FTopRow) * h < c.Bottom; ++r) PaintNode(DC, FRows[static_cast<std::size_t>(r)], r);
}

void TCustomTreeView::PaintNode(HDC DC, TTreeNode* Node, int Row) {
  int h = ItemHeight();
  int y = (Row - FTopRow) * h;
  int cy = y + h / 2;
  int col = NodeIndent(Node);
  COLORREF lineColor = GetSysColor(COLOR_GRAYTEXT);
  bool focused = ViewFocused();
  bool selected = Node == FSelected;
  // Connector lines: through the columns of the ancestors that go on below, and to this node.
  if (FShowLines && (FShowRoot || Node->Level() > 0)) {
    int x = col - FIndent / 2 - 1;
    bool first = !Node->getPrevSibling() && !Node->Parent();
    DotV(DC, x, first ? cy : y, Node->getNextSibling() ? y + h : cy + 1, lineColor);
    DotH(DC, x, col, cy, lineColor);
    int ax = x - FIndent;
    for (TTreeNode* a = Node->Parent(); a && (FShowRoot || a->Level() > 0); a = a->Parent(), ax -= FIndent)
      if (a->getNextSibling()) DotV(DC, ax, y, y + h, lineColor);
  }
  if (FShowButtons && Node->HasChildren() && (FShowRoot || Node->Level() > 0)) {
    int bx = col - FIndent / 2 - 1;
    TRect b{bx - 4, cy - 4, bx + 5, cy + 5};
    Fill(DC, b, ColorToRGB(Color()));
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    FrameRect(DC, b, frame);
    DeleteObject(frame);
    COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    for (int i = bx - 2; i <= bx + 2; ++i) SetPixel(DC, i, cy, ink);
    if (!Node->Expanded())
      for (int i = cy - 2; i <= cy + 2; ++i) SetPixel(DC, bx, i, ink);
  }
  int x = col + 2;
  if (FStateImages && Node->StateIndex() >= 0) {
    if (Node->StateIndex() < FStateImages->Count()) FStateImages->Draw(FCanvas.get(), x, y + (h - FStateImages->Height()) / 2, Node->StateIndex());
    x += FStateImages->Width();
  }
  if (FImages) {
    if (selected) GetSelectedIndex(Node);
    else GetImageIndex(Node);
    int img = selected ? Node->SelectedIndex() : Node->ImageIndex();
    PaintOnCanvas(*FCanvas, DC, [&] {
      if (img >= 0 && img < FImages->Count())
        FImages->Draw(FCanvas.get(), x, y + (h - FImages->Height()) / 2, img, selected && focused ? dsSelected : dsNormal, itImage, Enabled());
    });
  }
  TRect label = LabelRect(Node, Row);
  bool hilite = selected && (focused || !FHideSelection);
  bool drop = Node == FDropTarget;
  COLORREF back = ColorToRGB(Color()), fore = ColorToRGB(Font()->Color());
  if (drop || (hilite && focused)) {
    back = GetSysColor(COLOR_HIGHLIGHT);
    fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else if (hilite) {
    back = GetSysColor(COLOR_BTNFACE);
  }
  if (!Enabled()) fore = GetSysColor(COLOR_GRAYTEXT);
  if (Node == FHot && FHotTrack && !hilite) fore = GetSysColor(COLOR_HOTLIGHT);
  TCustomDrawState state;
  if (selected) state += cdsSelected;
  if (selected && focused) state += cdsFocused;
  if (!Enabled()) state += cdsDisabled;
  if (Node == FHot) state += cdsHot;
  // The item's colours and font go to the canvas, where a custom-draw handler may change them.
  PaintOnCanvas(*FCanvas, DC, [&] {
    FCanvas->Font()->Assign(Font());
    if (Node->Bold()) FCanvas->Font()->SetStyle(FCanvas->Font()->Style() + fsBold);
    FCanvas->Font()->SetColor(static_cast<TColor>(fore));
    FCanvas->Brush()->SetColor(static_cast<TColor>(back));
    if (!CustomDrawItem(Node, state) || Node == FEditNode) return;
    TRect fillRect = label;
    if (FRowSelect) {
      fillRect.Left = 0;
      fillRect.Right = ClientWidth();
    }
    if (hilite || drop || FCanvas->Brush()->Color() != Color()) FCanvas->FillRect(fillRect);
    HDC cdc = FCanvas->Handle();
    SetBkMode(cdc, TRANSPARENT);
    TRect t = label;
    t.Left += 2;
    DrawText(cdc, Node->Text(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (selected && focused) DrawFocusRect(cdc, fillRect);
  });
}
