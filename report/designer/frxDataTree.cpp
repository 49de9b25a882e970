#include "report/designer/frxDataTree.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/TreeView.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxRes.h"
#include "report/frxVariables.h"
#include "script/fs_iscript.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"

#include <algorithm>
#include <cctype>

KELM_PUBLISH(TfrxDataTreeForm) {}

namespace {

enum : int { kImageDataSet = 53, kImageField = 54, kImageFolder = 66, kImageMember = 75, kImageVariable = 80 };

const char* const kSystemVariables[] = {"Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#"};

String Res(const char* Key) { return ReportResources()->TextOf(Key); }

bool IsHidden(const String& S) {
  String lower = S;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == "hidden";
}

// Nodes with children are drawn bold.
void BoldParents(TTreeView* Tree) {
  for (int i = 0; i < Tree->Items()->Count(); ++i) {
    TTreeNode* n = Tree->Items()->Item(i);
    n->SetBold(n->Count() > 0);
  }
}

TTreeNode* AddNode(TTreeView* Tree, TTreeNode* Parent, const String& Caption, void* Data, int Image) {
  TTreeNode* n = Tree->Items()->AddChildObject(Parent, Caption, Data);
  n->SetImageIndex(Image);
  n->SetSelectedIndex(Image);
  return n;
}

}  // namespace

void MergeDataTreeTexts() {
  static bool merged = false;
  if (merged) return;
  merged = true;
  ReportResources()->MergeLines(
      "2100=数据树\r\n2101=数据\r\n2102=变量\r\n2103=函数\r\n2104=建立字段\r\n2105=建立标题\r\n2106=Classes\r\n"
      "dtNoData=没有数据库可以使用\r\ndtData=数据\r\ndtSysVar=系统变量\r\ndtVar=变量\r\ndtFunc=函数\r\n"
      "ctString=字符串\r\nctDate=日期/时间\r\nctConv=转换\r\nctFormat=格式\r\nctMath=数学\r\nctOther=其他\r\n"
      "ctAggregate=汇总\r\n");
}

String& TfrxDataTreeForm::RememberedCollapsed() {
  static String remembered;
  return remembered;
}

TfrxDataTreeForm::TfrxDataTreeForm(TComponent* AOwner) : TForm(AOwner), FDictionary(std::make_unique<TfsXMLDocument>()) {
  MergeDataTreeTexts();
  SetBorderStyle(bsSizeToolWin);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
  SetClientWidth(190);
  SetClientHeight(341);
  SetCaption(ResourceText(2100));

  Tabs = new TPageControl(this);
  Tabs->SetParent(this);
  Tabs->SetAlign(alClient);
  Tabs->SetMultiLine(true);
  auto sheet = [&](int Key) {
    auto* s = new TTabSheet(this);
    s->SetPageControl(Tabs);
    s->SetCaption(ResourceText(Key));
    return s;
  };
  DataTS = sheet(2101);
  VariablesTS = sheet(2102);
  FunctionsTS = sheet(2103);
  ClassesTS = sheet(2106);
  auto tree = [&](TTabSheet* Sheet) {
    auto* t = new TTreeView(this);
    t->SetParent(Sheet);
    t->SetAlign(alClient);
    t->SetReadOnly(true);
    t->SetShowRoot(false);
    t->SetIndent(19);
    // Drags start once the mouse moves with the button down, after the press has selected
    // the item the drag carries (an automatic drag would take the press before the tree).
    t->OnMouseDown = TMouseEvent::Lambda([t](TObject*, TMouseButton Button, TShiftState Shift, int, int) {
      if (Button == mbLeft && !Shift.Contains(ssDouble)) t->BeginDrag(false);
    });
    t->SetImages(ReportResources()->ToolImages());
    t->OnDblClick = TNotifyEvent(this, &TfrxDataTreeForm::TreeDblClick);
    return t;
  };
  DataTree = tree(DataTS);
  VariablesTree = tree(VariablesTS);
  FunctionsTree = tree(FunctionsTS);
  ClassesTree = tree(ClassesTS);

  CBPanel = new TPanel(this);
  CBPanel->SetParent(DataTS);
  CBPanel->SetAlign(alBottom);
  CBPanel->SetHeight(44);
  CBPanel->SetBevelOuter(bvNone);
  CBPanel->SetVisible(false);
  InsFieldCB = new TCheckBox(this);
  InsFieldCB->SetParent(CBPanel);
  InsFieldCB->SetBounds(4, 4, 180, 17);
  InsFieldCB->SetCaption(ResourceText(2104));
  InsFieldCB->SetChecked(true);
  InsCaptionCB = new TCheckBox(this);
  InsCaptionCB->SetParent(CBPanel);
  InsCaptionCB->SetBounds(4, 24, 180, 17);
  InsCaptionCB->SetCaption(ResourceText(2105));

  auto* splitter = new TSplitter(this);
  HintPanel = new TPanel(this);
  HintPanel->SetParent(FunctionsTS);
  HintPanel->SetAlign(alBottom);
  HintPanel->SetHeight(95);
  HintPanel->SetBevelOuter(bvLowered);
  splitter->SetParent(FunctionsTS);
  splitter->SetAlign(alBottom);
  splitter->SetHeight(3);
  FunctionNameL = new TLabel(this);
  FunctionNameL->SetParent(HintPanel);
  FunctionNameL->SetAlign(alTop);
  FunctionNameL->SetWordWrap(true);
  FunctionNameL->Font()->SetStyle(TFontStyles{fsBold});
  FunctionNameL->SetColor(clInfoBk);
  FunctionDescL = new TLabel(this);
  FunctionDescL->SetParent(HintPanel);
  FunctionDescL->SetAlign(alClient);
  FunctionDescL->SetWordWrap(true);
  FunctionDescL->SetColor(clWhite);

  FunctionsTS->OnShow = TNotifyEvent::Lambda([this](TObject*) { FillFunctions(); });
  ClassesTS->OnShow = TNotifyEvent::Lambda([this](TObject*) { FillClasses(); });
  ClassesTree->OnExpanding = TTVExpandingEvent(this, &TfrxDataTreeForm::ClassExpanding);
  FunctionsTree->OnChange = TTVChangedEvent(this, &TfrxDataTreeForm::FunctionSelected);
  Tabs->SetActivePage(DataTS);
}

TfrxDataTreeForm::~TfrxDataTreeForm() {
  if (dynamic_cast<TfrxCustomDesigner*>(Owner())) RememberedCollapsed() = CollapsedDataSets();
}

void TfrxDataTreeForm::RefreshTrees() {
  BuildDataTree();
  BuildVariablesTree();
  FFirstFill = false;
}

String TfrxDataTreeForm::CollapsedDataSets() const {
  String out;
  TTreeNode* root = DataTree->Items()->GetFirstNode();
  if (!root) return out;
  for (int i = 0; i < root->Count(); ++i)
    if (!root->Item(i)->Expanded()) out += root->Item(i)->Text() + ",";
  return out;
}

void TfrxDataTreeForm::BuildDataTree() {
  TStringList dataSets;
  if (FReport) FReport->ListDataSets(&dataSets);
  String collapsed = FFirstFill ? RememberedCollapsed() : CollapsedDataSets();
  // Whole names only: "DS," must not be found inside "MyDS,".
  auto wasCollapsed = [&](const String& Name) {
    String key = Name + ",";
    for (std::size_t at = collapsed.find(key); at != String::npos; at = collapsed.find(key, at + 1))
      if (at == 0 || collapsed[at - 1] == ',') return true;
    return false;
  };
  FUpdating = true;
  DataTree->Items()->BeginUpdate();
  DataTree->Items()->Clear();
  TTreeNode* root = AddNode(DataTree, nullptr, Res(dataSets.Count() > 0 ? "dtData" : "dtNoData"), nullptr,
                            kImageDataSet);
  std::vector<TTreeNode*> setNodes;
  for (int i = 0; i < dataSets.Count(); ++i) {
    auto* ds = dynamic_cast<TfrxDataSet*>(dataSets.Objects(i));
    if (!ds) continue;
    TTreeNode* node = AddNode(DataTree, root, FReport->AliasOfDataSet(ds), ds, kImageDataSet);
    TStringList fields;
    ds->GetFieldList(&fields);
    for (int f = 0; f < fields.Count(); ++f) AddNode(DataTree, node, fields.Strings(f), ds, kImageField);
    setNodes.push_back(node);
  }
  root->Expand(false);
  for (TTreeNode* n : setNodes)
    if (!wasCollapsed(n->Text())) n->Expand(false);
  BoldParents(DataTree);
  DataTree->Items()->EndUpdate();
  FUpdating = false;
}

void TfrxDataTreeForm::BuildVariablesTree() {
  TStringList categories;
  if (FReport) FReport->Variables()->ListCategories(&categories);
  FUpdating = true;
  VariablesTree->Items()->BeginUpdate();
  VariablesTree->Items()->Clear();
  TTreeNode* root = AddNode(VariablesTree, nullptr, Res("dtVar"), nullptr, kImageFolder);
  if (FReport) {
    if (categories.Count() > 0) {
      for (int i = 0; i < categories.Count(); ++i) {
        TTreeNode* cat = AddNode(VariablesTree, root, categories.Strings(i), nullptr, kImageFolder);
        TStringList vars;
        FReport->Variables()->ListCategoryVariables(categories.Strings(i), &vars);
        for (int v = 0; v < vars.Count(); ++v) AddNode(VariablesTree, cat, vars.Strings(v), nullptr, kImageVariable);
      }
    } else {
      TStringList vars;
      FReport->Variables()->ListCategoryVariables(String(), &vars);
      for (int v = 0; v < vars.Count(); ++v) AddNode(VariablesTree, root, vars.Strings(v), nullptr, kImageVariable);
    }
  }
  TTreeNode* sys = AddNode(VariablesTree, root, Res("dtSysVar"), nullptr, kImageFolder);
  for (const char* name : kSystemVariables) AddNode(VariablesTree, sys, name, nullptr, kImageVariable);
  VariablesTree->FullExpand();
  VariablesTree->SetTopItem(root);
  BoldParents(VariablesTree);
  VariablesTree->Items()->EndUpdate();
  FUpdating = false;
}

void TfrxDataTreeForm::FillDictionary() {
  if (FDictionary->Root()->Count() > 0 || !FReport) return;
  FReport->Script()->InstallModules();
  FillDictionaryXML(FReport->Script(), FDictionary->Root(), false);
}

void TfrxDataTreeForm::FillFunctions() {
  if (FunctionsTree->Items()->Count() > 0) return;
  FillDictionary();
  TfsXMLItem* functions = FDictionary->Root()->FindItem("Functions");
  FUpdating = true;
  FunctionsTree->Items()->BeginUpdate();
  auto walk = [&](auto&& self, TfsXMLItem* Item, TTreeNode* Parent) -> void {
    TTreeNode* node;
    if (Item->Count() > 0) {
      String caption = ReportResources()->TextOf(Item->Prop("text"));
      if (IsHidden(caption)) return;
      node = AddNode(FunctionsTree, Parent, caption, nullptr, kImageFolder);
      for (int i = 0; i < Item->Count(); ++i) self(self, Item->Items(i), node);
    } else {
      String text = Item->Prop("text");
      std::size_t blank = text.find(' ');
      String caption = blank == String::npos ? text : text.substr(blank + 1);
      if (IsHidden(caption)) return;
      AddNode(FunctionsTree, Parent, caption, Item, kImageVariable);
    }
  };
  walk(walk, functions, nullptr);
  if (TTreeNode* top = FunctionsTree->Items()->GetFirstNode()) {
    top->SetText(Res("dtFunc"));
    top->SetImageIndex(kImageFolder);
    top->SetSelectedIndex(kImageFolder);
    FunctionsTree->FullExpand();
    FunctionsTree->SetTopItem(top);
  }
  BoldParents(FunctionsTree);
  FunctionsTree->Items()->EndUpdate();
  FUpdating = false;
}

void TfrxDataTreeForm::FillClasses() {
  if (ClassesTree->Items()->Count() > 0) return;
  FillDictionary();
  TfsXMLItem* classes = FDictionary->Root()->FindItem("Classes");
  ClassesTree->Items()->BeginUpdate();
  TTreeNode* top = AddNode(ClassesTree, nullptr, ResourceText(2106), nullptr, kImageFolder);
  for (int i = 0; i < classes->Count(); ++i) {
    TfsXMLItem* cls = classes->Items(i);
    TTreeNode* node = AddNode(ClassesTree, top, cls->Prop("text"), cls, kImageFolder);
    AddNode(ClassesTree, node, "more...", nullptr, kImageFolder);
  }
  top->Expand(false);
  ClassesTree->Items()->EndUpdate();
}

void TfrxDataTreeForm::ClassExpanding(TObject*, TTreeNode* Node, bool&) {
  if (Node->Level() != 1 || !Node->Data()) return;
  auto* cls = static_cast<TfsXMLItem*>(Node->Data());
  FUpdating = true;
  ClassesTree->Items()->BeginUpdate();
  Node->DeleteChildren();
  Node->SetData(nullptr);  // members are listed once
  for (int i = 0; i < cls->Count(); ++i) AddNode(ClassesTree, Node, cls->Items(i)->Prop("text"), nullptr, kImageMember);
  ClassesTree->Items()->EndUpdate();
  FUpdating = false;
}

void TfrxDataTreeForm::FunctionSelected(TObject*, TTreeNode* Node) {
  if (FUpdating) return;
  if (Node && Node->Data()) {
    auto* item = static_cast<TfsXMLItem*>(Node->Data());
    FunctionNameL->SetCaption(item->Prop("text"));
    FunctionDescL->SetCaption(ReportResources()->TextOf(item->Prop("description")));
  } else {
    FunctionNameL->SetCaption(String());
    FunctionDescL->SetCaption(String());
  }
}

void TfrxDataTreeForm::TreeDblClick(TObject*) {
  if (OnDblClick) OnDblClick(this);
}

TTreeView* TfrxDataTreeForm::ActiveTree() const {
  TTabSheet* page = Tabs->ActivePage();
  if (page == DataTS) return DataTree;
  if (page == VariablesTS) return VariablesTree;
  if (page == FunctionsTS) return FunctionsTree;
  return ClassesTree;
}

bool TfrxDataTreeForm::IsDataTabActive() const { return Tabs->ActivePage() == DataTS; }

String TfrxDataTreeForm::SelectedItemText() const {
  TTreeView* tree = ActiveTree();
  TTreeNode* node = tree->Selected();
  if (!node || node->Count() > 0) return String();
  if (tree == DataTree) {
    auto* ds = static_cast<TfrxDataSet*>(node->Data());
    if (!ds || node->Level() < 2 || !FReport) return String();
    return "<" + FReport->AliasOfDataSet(ds) + ".\"" + node->Text() + "\">";
  }
  if (tree == VariablesTree) {
    if (node->Level() == 0) return String();
    return "<" + node->Text() + ">";
  }
  if (tree == FunctionsTree) {
    const String& text = node->Text();
    if (!node->Data()) return String();
    int n = static_cast<int>(std::count(text.begin(), text.end(), ',') + std::count(text.begin(), text.end(), ';'));
    std::size_t paren = text.find('(');
    if (paren != String::npos) ++n;
    if (n > 0 && paren != String::npos) return text.substr(0, paren + 1) + String(static_cast<std::size_t>(n - 1), ',') + ")";
    return text.substr(0, text.find(':'));
  }
  return String();
}

void TfrxDataTreeForm::SetTreeColor(TColor Color) {
  for (TTreeView* t : {DataTree, VariablesTree, FunctionsTree, ClassesTree}) t->SetColor(Color);
}
