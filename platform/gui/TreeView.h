#pragma once
// The tree view: nodes in a hierarchy, expanded and collapsed, with buttons and lines, images,
// label editing and sorting. Selecting a node runs OnChanging (which may veto) and OnChange,
// programmatically too.
// Declares TTreeNode, TTreeNodes, TCustomTreeView and TTreeView.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/Edit.h"
#include "gui/ImgList.h"
#include "gui/ItemView.h"
#include "gui/Messages.h"
#include "gui/WinScroll.h"

#include <memory>
#include <vector>

class TCustomTreeView;
class TTreeNodes;

KELM_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)
KELM_ENUM(THitTest, htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight,
          htOnStateIcon, htToLeft, htToRight)
using THitTests = TSet<THitTest>;

class TTreeNode;
KELM_EVENT(TTVChangingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowChange));
KELM_EVENT(TTVChangedEvent, void(TObject* Sender, TTreeNode* Node));
KELM_EVENT(TTVExpandingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion));
KELM_EVENT(TTVCollapsingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse));
KELM_EVENT(TTVExpandedEvent, void(TObject* Sender, TTreeNode* Node));
KELM_EVENT(TTVEditingEvent, void(TObject* Sender, TTreeNode* Node, bool& AllowEdit));
KELM_EVENT(TTVEditedEvent, void(TObject* Sender, TTreeNode* Node, String& S));
KELM_EVENT(TTVCompareEvent, void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare));
KELM_EVENT(TTVCustomDrawItemEvent, void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw));

// A node: its text, images and data, its place in the tree and its state. Nodes belong to the
// tree's TTreeNodes; deleting one deletes its children.
class TTreeNode : public TPersistent {
  KELM_CLASS(TTreeNode, TPersistent)
public:
  explicit TTreeNode(TTreeNodes* AOwner = nullptr);
  ~TTreeNode() override;
  void Assign(TPersistent* Source) override;

  const String& Text() const { return FText; }
  void SetText(const String& v);
  void* Data() const { return FData; }
  void SetData(void* v) { FData = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int v);
  int StateIndex() const { return FStateIndex; }
  void SetStateIndex(int v);
  int OverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int v);
  bool Bold() const { return FBold; }
  void SetBold(bool v);
  bool Cut() const { return FCut; }
  void SetCut(bool v);
  bool DropTarget() const;
  void SetDropTarget(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  bool Selected() const;
  void SetSelected(bool v);
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool v);
  // A node with HasChildren shows its expand button before it has children (filled when it
  // expands).
  bool HasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool v);

  TTreeNode* Parent() const;
  int Level() const;
  int Index() const;
  int AbsoluteIndex() const;
  int Count() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* Item(int Index) const;
  int IndexOf(const TTreeNode* Node) const;
  TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  TTreeNode* GetNextChild(const TTreeNode* Value) const { return Value ? Value->getNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(const TTreeNode* Value) const { return Value ? Value->getPrevSibling() : nullptr; }
  // Depth first: the first child, else the next sibling, else the next sibling of a parent.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  bool IsVisible() const;  // every parent expanded
  bool HasAsParent(const TTreeNode* Value) const;
  TTreeNodes* Owner() const { return FOwner; }
  TCustomTreeView* TreeView() const;

  void Delete();
  void DeleteChildren();
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  void MakeVisible();
  // Starts editing the label in place; false when the tree does not allow it.
  bool EditText();
  void EndEdit(bool Cancel);
  bool IsEditing() const;
  // The node's row (or only its label) in client coordinates; empty when not shown.
  TRect DisplayRect(bool TextOnly) const;
  void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
  bool AlphaSort(bool Recurse = false);

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void Changed(bool Structure);

  TTreeNodes* FOwner = nullptr;
  TTreeNode* FParent = nullptr;  // the hidden root for top-level nodes
  std::vector<TTreeNode*> FChildren;
  String FText;
  void* FData = nullptr;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
  int FStateIndex = -1;
  int FOverlayIndex = -1;
  bool FBold = false;
  bool FCut = false;
  bool FExpanded = false;
  bool FHasChildren = false;
  bool FDeleting = false;
};

// The nodes of a tree view.
class TTreeNodes : public TPersistent {
  KELM_CLASS(TTreeNodes, TPersistent)
public:
  explicit TTreeNodes(TCustomTreeView* AOwner = nullptr);
  ~TTreeNodes() override;
  void Assign(TPersistent* Source) override;

  // Every node, depth first.
  int Count() const { return FCount; }
  TTreeNode* Item(int Index) const;
  TTreeNode* operator[](int Index) const { return Item(Index); }
  TTreeNode* GetFirstNode() const;
  TCustomTreeView* Owner() const { return FOwner; }

  // A node after the last sibling of Sibling (top level when Sibling is nullptr).
  TTreeNode* Add(TTreeNode* Sibling, const String& S);
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S);
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
  // The last (or first) child of Parent (top level when Parent is nullptr).
  TTreeNode* AddChild(TTreeNode* Parent, const String& S);
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S);
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
  // Before Sibling.
  TTreeNode* Insert(TTreeNode* Sibling, const String& S);
  TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InternalAdd(TTreeNode* Parent, int Position, const String& S, void* Ptr);
  void Changed(bool Structure);

  TCustomTreeView* FOwner;
  std::unique_ptr<TTreeNode> FRoot;  // hidden: its children are the top-level nodes
  int FCount = 0;
  int FUpdateCount = 0;
};

class TCustomTreeView : public TCustomItemView {
  KELM_CLASS(TCustomTreeView, TCustomItemView)
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return FNodes.get(); }
  void SetItems(TTreeNodes* v) { FNodes->Assign(v); }
  TTreeNode* Selected() const { return FSelected; }
  void SetSelected(TTreeNode* v);
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* v);
  TTreeNode* DropTarget() const { return FDropTarget; }
  void SetDropTarget(TTreeNode* v);

  TTreeNode* GetNodeAt(int X, int Y) const;
  THitTests GetHitTestInfoAt(int X, int Y) const;
  void FullExpand();
  void FullCollapse();
  bool IsEditing() const { return FEditNode != nullptr; }
  TCustomEdit* EditControl() const;
  bool AlphaSort(bool Recurse = true);
  // Lines indented with tabs, one node per line.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  // The height of one row.
  int ItemHeight() const;

  // ---- published
  bool AutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool v) { FAutoExpand = v; }
  int ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(int v) { FChangeDelay = std::max(0, v); }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  int Indent() const { return FIndent; }
  void SetIndent(int v);
  bool RightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool v) { FRightClickSelect = v; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool v);
  bool ShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool v);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool v);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType v);
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool v) { FToolTips = v; }

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnAddition;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCompareEvent OnCompare;
  TTVCustomDrawItemEvent OnCustomDrawItem;

protected:
  friend class TTreeNode;
  friend class TTreeNodes;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The rows are built again only when Rebuild; a new client size keeps them.
  void LayoutChanged(bool Rebuild) override { Changed(Rebuild); }
  void EditDelayExpired() override;
  bool TimerExpired(UINT_PTR Id) override;
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  virtual void Edit(TTreeNode* Node, String& S);
  virtual void Delete(TTreeNode* Node);
  virtual void Added(TTreeNode* Node);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual int CompareNodes(TTreeNode* A, TTreeNode* B);
  virtual bool CustomDrawItem(TTreeNode* Node, TCustomDrawState State);

private:
  // The native model's messages, one handler each (the base's DefaultHandler holds their
  // table).
  void PaintItems(HDC DC) override;
  void KeyDownDefault(TMessage& M) override;
  void CharDefault(TMessage& M) override;
  void MouseDownDefault(TMessage& M, bool Right, bool Double) override;
  bool MouseMoveDefault(TMessage& M) override;
  void WMLButtonUp(TMessage& M) override;
  void ScrollDefault(TMessage& M, bool Horizontal) override;
  void WMMouseWheelDefault(TMessage& M) override;
  // ---- the native model
  void Changed(bool Structure);
  void BuildRows() const;
  int RowOf(const TTreeNode* Node) const;  // -1 when not shown
  int VisibleRowCount() const;
  int NodeIndent(const TTreeNode* Node) const;  // x of the node's button column
  TRect LabelRect(const TTreeNode* Node, int Row) const;
  int ContentWidth() const;
  void UpdateScrollBars();
  void ScrollToRow(int Row);
  void ScrollIntoView(const TTreeNode* Node);
  bool SelectNode(TTreeNode* Node, bool ByUser);
  bool DoExpand(TTreeNode* Node, bool Expand);
  void NodeDeleting(TTreeNode* Node);
  void SortChildren(TTreeNode* Parent, bool Recurse);
  void StartEdit(TTreeNode* Node);
  void FinishEdit(bool Cancel);
  void PaintNode(HDC DC, TTreeNode* Node, int Row);
  void ChangeTimer();

  std::unique_ptr<TTreeNodes> FNodes;
  TTreeNode* FSelected = nullptr;
  TTreeNode* FDropTarget = nullptr;
  TTreeNode* FEditNode = nullptr;
  TTreeNode* FHot = nullptr;
  TTreeNode* FPendingChange = nullptr;
  TTreeNode* FClickedSelected = nullptr;  // a press on the label of the node already selected
  mutable std::vector<TTreeNode*> FRows;
  mutable bool FRowsValid = false;
  int FTopRow = 0;
  int FScrollX = 0;
  bool FAutoExpand = false;
  int FChangeDelay = 0;
  TCustomImageList* FImages = nullptr;
  int FIndent = 19;
  bool FRightClickSelect = false;
  bool FRowSelect = false;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  TSortType FSortType = stNone;
  bool FToolTips = true;
  String FSearch;
  DWORD FSearchTime = 0;
  bool FClearing = false;
};

class TTreeView : public TCustomTreeView {
  KELM_CLASS(TTreeView, TCustomTreeView)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    b.Prop("AutoExpand", &TTreeView::AutoExpand, &TTreeView::SetAutoExpand).Default(false);
    PublishBiDiMode(b);
    b.Prop("BorderStyle", &TTreeView::BorderStyle, &TTreeView::SetBorderStyle).Default(bsSingle);
    PublishBorderWidth(b);
    b.Prop("ChangeDelay", &TTreeView::ChangeDelay, &TTreeView::SetChangeDelay).Default(0);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection).Default(true);
    b.Prop("HotTrack", &TTreeView::HotTrack, &TTreeView::SetHotTrack).Default(false);
    b.Prop("Images", &TTreeView::Images, &TTreeView::SetImages);
    b.Prop("Indent", &TTreeView::Indent, &TTreeView::SetIndent).Default(19);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishParentColor(b).Default(false);
    b.Prop("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly).Default(false);
    b.Prop("RightClickSelect", &TTreeView::RightClickSelect, &TTreeView::SetRightClickSelect).Default(false);
    b.Prop("RowSelect", &TTreeView::RowSelect, &TTreeView::SetRowSelect).Default(false);
    b.Prop("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons).Default(true);
    PublishShowHint(b);
    b.Prop("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines).Default(true);
    b.Prop("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot).Default(true);
    b.Prop("SortType", &TTreeView::SortType, &TTreeView::SetSortType).Default(stNone);
    b.Prop("StateImages", &TTreeView::StateImages, &TTreeView::SetStateImages);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    b.Prop("ToolTips", &TTreeView::ToolTips, &TTreeView::SetToolTips).Default(true);
    PublishVisible(b);
    b.Prop("OnAddition", &TTreeView::OnAddition, &TTreeView::OnAddition);
    b.Prop("OnChange", &TTreeView::OnChange, &TTreeView::OnChange);
    b.Prop("OnChanging", &TTreeView::OnChanging, &TTreeView::OnChanging);
    PublishOnClick(b);
    b.Prop("OnCollapsed", &TTreeView::OnCollapsed, &TTreeView::OnCollapsed);
    b.Prop("OnCollapsing", &TTreeView::OnCollapsing, &TTreeView::OnCollapsing);
    b.Prop("OnCompare", &TTreeView::OnCompare, &TTreeView::OnCompare);
    PublishOnContextPopup(b);
    b.Prop("OnCustomDrawItem", &TTreeView::OnCustomDrawItem, &TTreeView::OnCustomDrawItem);
    PublishOnDblClick(b);
    b.Prop("OnDeletion", &TTreeView::OnDeletion, &TTreeView::OnDeletion);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnEdited", &TTreeView::OnEdited, &TTreeView::OnEdited);
    b.Prop("OnEditing", &TTreeView::OnEditing, &TTreeView::OnEditing);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    b.Prop("OnExpanding", &TTreeView::OnExpanding, &TTreeView::OnExpanding);
    b.Prop("OnExpanded", &TTreeView::OnExpanded, &TTreeView::OnExpanded);
    b.Prop("OnGetImageIndex", &TTreeView::OnGetImageIndex, &TTreeView::OnGetImageIndex);
    b.Prop("OnGetSelectedIndex", &TTreeView::OnGetSelectedIndex, &TTreeView::OnGetSelectedIndex);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
