// The grid's settings objects (scroll bars, the filter row's settings, a column's drop-down
// box and filter), the data service, the property interceptors of stored column layouts, and
// what every grid shares: cursors, keys and the dataset features registry.
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhFilterExpr.h"
#include "grid/DBLookupGridEh.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "data/DataLink.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "grid/ToolCtrlsEh.h"

#include <algorithm>
#include <climits>
#include <map>

// ================================================================ filter expressions

namespace {

// The filter row's spelling of each operator, by ordinal.
const char* const kOperatorTexts[] = {"",   "=",   "<>",  ">",    "<",    ">=", "<=", "~",
                                      "!~", "In", "!In", "Null", "Null", "AND", "OR", ""};

String FilterValueText(const Variant& V) {
  switch (VarType(V)) {
    case varDouble:
    case varSingle:
    case varCurrency: return FloatToStr(V.AsDouble());
    case varDate: return DateToStr(V.AsDouble());
    default: return "'" + VarToStr(V) + "'";
  }
}

// The values of an operand: the elements of an array, or the one value.
std::vector<Variant> OperandValues(const Variant& Operand) {
  std::vector<Variant> r;
  if (!VarIsArray(Operand)) {
    r.push_back(Operand);
    return r;
  }
  for (int i = VarArrayLowBound(Operand, 1); i <= VarArrayHighBound(Operand, 1); ++i) r.push_back(Operand[i]);
  return r;
}

String JoinValues(const Variant& Operand, String (*Write)(const Variant&)) {
  String r;
  for (const Variant& v : OperandValues(Operand)) r += Write(v) + ",";
  if (!r.empty()) r.pop_back();
  return r;
}

String ConditionText(TSTFilterOperatorEh Operator, const Variant& Operand) {
  String op = STFilterOperatorText(Operator);
  switch (Operator) {
    case foNull: return "=" + op;
    case foNotNull: return "<>" + op;
    case foIn:
    case foNotIn: return op + " (" + JoinValues(Operand, FilterValueText) + ")";
    default: return op + " " + FilterValueText(Operand);
  }
}

}  // namespace

String STFilterOperatorText(TSTFilterOperatorEh Operator) {
  int i = static_cast<int>(Operator);
  return i >= 0 && i < static_cast<int>(std::size(kOperatorTexts)) ? kOperatorTexts[i] : "";
}

TSTFilterExpressionTypeEh STFilterExpressionTypeOf(TFieldType Type) {
  switch (FieldTypeGroup(Type)) {
    case TFieldTypeGroup::Text: return fetText;
    case TFieldTypeGroup::Integer:
    case TFieldTypeGroup::Float: return fetNumber;
    case TFieldTypeGroup::DateTime: return fetDateTime;
    case TFieldTypeGroup::Boolean: return fetBoolean;
    default: return fetOther;
  }
}

// ================================================================ dataset features

namespace {

// Registered features in registration order, each with the name of the class it serves.
struct TFeaturesEntry {
  String ClassName;
  std::unique_ptr<TDatasetFeaturesEh> Features;
};

std::vector<TFeaturesEntry>& FeaturesRegistry() {
  static auto* registry = [] {
    auto* r = new std::vector<TFeaturesEntry>();
    AddExitProc([r] { delete r; });
    return r;
  }();
  return *registry;
}

}  // namespace

void RegisterDatasetFeaturesEh(TClass DataSetClass, TDatasetFeaturesEh* Features) {
  std::unique_ptr<TDatasetFeaturesEh> owned(Features);
  auto& registry = FeaturesRegistry();
  for (const TFeaturesEntry& e : registry)
    if (SameText(e.ClassName, DataSetClass->Name())) throw EStringListError(SDuplicateString);
  registry.push_back({DataSetClass->Name(), std::move(owned)});
}

void UnregisterDatasetFeaturesEh(TClass DataSetClass) {
  auto& registry = FeaturesRegistry();
  std::erase_if(registry, [&](const TFeaturesEntry& e) { return SameText(e.ClassName, DataSetClass->Name()); });
}

int DatasetClassDistanceEh(TClass DataSetClass, const String& AncestorName) {
  int steps = 0;
  for (TClass c = DataSetClass; c; c = c->Parent(), ++steps)
    if (SameText(c->Name(), AncestorName)) return steps;
  return INT_MAX;
}

TDatasetFeaturesEh* DatasetFeaturesForClass(TClass DataSetClass) {
  TDatasetFeaturesEh* best = nullptr;
  int bestDistance = INT_MAX;
  for (const TFeaturesEntry& e : FeaturesRegistry()) {
    int d = DatasetClassDistanceEh(DataSetClass, e.ClassName);
    if (d < bestDistance) {  // the first registered wins a tie
      bestDistance = d;
      best = e.Features.get();
    }
  }
  return best;
}

TDatasetFeaturesEh* DatasetFeaturesFor(TDataSet* DataSet) {
  return DataSet ? DatasetFeaturesForClass(DataSet->ClassType()) : nullptr;
}

// ================================================================ the data service

KELM_PUBLISH(TDBGridEhDataService) {}

TDBGridEhDataService* GridDataService() {
  static TDBGridEhDataService* service = [] {
    auto* s = new TDBGridEhDataService();
    AddExitProc([s] { delete s; });
    return s;
  }();
  return service;
}

bool TDBGridEhDataService::RequestMoveRecords(TCustomDBGridEh* Grid, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                              int& TreeLevel, bool CheckOnly) {
  return DefaultMoveRecords(Grid, BookmarkList, ToRecNo, TreeLevel, CheckOnly);
}

bool TDBGridEhDataService::DefaultMoveRecords(TCustomDBGridEh* Grid, TBookmarkListEh* BookmarkList, int& ToRecNo,
                                              int& TreeLevel, bool CheckOnly) {
  TDatasetFeaturesEh* f = DatasetFeaturesFor(Grid->DataSet());
  return f && f->MoveRecords(Grid, BookmarkList, ToRecNo, TreeLevel, CheckOnly);
}

void TDBGridEhDataService::RequestFilter(TCustomDBGridEh* Grid) {
  if (OnFilterRequest) OnFilterRequest(Grid);
  else DefaultFilter(Grid);
}

void TDBGridEhDataService::RequestSorting(TCustomDBGridEh* Grid) {
  if (OnSortingRequest) OnSortingRequest(Grid);
  else DefaultSorting(Grid);
}

void TDBGridEhDataService::DefaultFilter(TCustomDBGridEh* Grid) {
  if (TDatasetFeaturesEh* f = DatasetFeaturesFor(Grid->DataSet())) f->ApplyFilter(Grid, Grid->DataSet(), true);
}

void TDBGridEhDataService::DefaultSorting(TCustomDBGridEh* Grid) {
  if (TDatasetFeaturesEh* f = DatasetFeaturesFor(Grid->DataSet())) f->ApplySorting(Grid, Grid->DataSet(), true);
}

// ================================================================ scroll bars

KELM_PUBLISH(TDBGridEhScrollBar) { Published(b); }

KELM_PUBLISH(TVertDBGridEhScrollBar) { Published(b); }

TDBGridEhScrollBar::~TDBGridEhScrollBar() { Detach(); }

void TDBGridEhScrollBar::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TDBGridEhScrollBar*>(Source)) {
    SetVisible(s->Visible());
    FTracking = s->FTracking;
    SetExtScrollBar(s->FExtScrollBar);
    return;
  }
  TPersistent::Assign(Source);
}

void TDBGridEhScrollBar::SetVisibleMode(TScrollBarVisibleModeEh Value) {
  if (Value == FVisibleMode) return;
  FVisibleMode = Value;
  if (auto* bar = dynamic_cast<TScrollBar*>(FExtScrollBar)) bar->SetVisible(Visible());
  if (FKind == SB_VERT) FGrid->RefreshVertScrollBar();
  FGrid->RebuildLayout();
}

void TDBGridEhScrollBar::SetExtScrollBar(TComponent* Value) {
  if (Value == FExtScrollBar) return;
  auto* bar = dynamic_cast<TScrollBar*>(Value);
  bool design = FGrid->Designing();
  // Another object's procedure in front of the bar's own means another control drives it.
  if (bar && !design && !bar->WindowProcIsOwn())
    throw Exception("Possible " + bar->Name() + " already attached to the other control.");
  Detach();
  FExtScrollBar = Value;
  if (Value) Value->FreeNotification(FGrid);
  if (bar && !design) {
    FExtOwnProc = bar->WindowProc;
    bar->WindowProc = [this](TMessage& M) { ExtBarMessage(M); };
  }
  if (bar) bar->SetVisible(Visible());
  if (FGrid->ComponentState().Contains(csDestroying) || !FGrid->HandleAllocated()) return;
  if (FKind == SB_VERT) FGrid->RefreshVertScrollBar();
  FGrid->RebuildLayout();
}

void TDBGridEhScrollBar::Detach() {
  if (!FExtScrollBar) return;
  if (auto* bar = dynamic_cast<TScrollBar*>(FExtScrollBar); bar && FExtOwnProc) bar->WindowProc = FExtOwnProc;
  FExtOwnProc = nullptr;
  FExtScrollBar->RemoveFreeNotification(FGrid);
  FExtScrollBar = nullptr;
}

void TDBGridEhScrollBar::ExtScrollBarGone() {
  FExtOwnProc = nullptr;
  FExtScrollBar = nullptr;
  if (FGrid->ComponentState().Contains(csDestroying)) return;
  if (FKind == SB_VERT) FGrid->RefreshVertScrollBar();
  FGrid->RebuildLayout();
}

// The external bar's scrolling scrolls the grid; the bar then goes on as usual and is put
// back in step with the grid, which knows where it stands.
void TDBGridEhScrollBar::ExtBarMessage(TMessage& M) {
  TWndMethod own = FExtOwnProc;
  bool scroll = M.Msg == CN_HSCROLL || M.Msg == CN_VSCROLL;
  if (scroll && FGrid->HandleAllocated()) FGrid->Perform(FKind == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, M.WParam, M.LParam);
  own(M);
  if (!scroll || !FGrid->HandleAllocated() || FExtOwnProc == nullptr) return;
  if (FKind == SB_VERT) FGrid->RefreshVertScrollBar();
  else FGrid->UpdateExtHorzScrollBar();
}

bool TDBGridEhScrollBar::IsShownNow() const {
  if (auto* bar = dynamic_cast<TScrollBar*>(FExtScrollBar)) return bar->Visible();
  if (!Visible() || !FGrid->HandleAllocated()) return false;
  DWORD flag = FKind == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  return (static_cast<DWORD>(GetWindowLong(FGrid->Handle(), GWL_STYLE)) & flag) != 0;
}

bool TDBGridEhScrollBar::ReadScrollInfo(SCROLLINFO& Info) const {
  if (auto* bar = dynamic_cast<TScrollBar*>(FExtScrollBar))
    return GetScrollInfo(bar->Handle(), SB_CTL, &Info);
  return FGrid->HandleAllocated() && GetScrollInfo(FGrid->Handle(), FKind, &Info);
}

// ================================================================ the filter row's settings

KELM_PUBLISH(TSTDBGridEhFilter) { Published(b); }

void TSTDBGridEhFilter::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSTDBGridEhFilter*>(Source)) {
    SetVisible(s->FVisible);
    FLocal = s->FLocal;
    return;
  }
  TPersistent::Assign(Source);
}

void TSTDBGridEhFilter::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (!Value) FGrid->LeaveFilterRow();  // a hidden row is not edited
  FGrid->RebuildLayout();
  if (FGrid->InplaceEditorVisible()) FGrid->InvalidateEditor();
}

// ================================================================ a column's drop-down box

KELM_PUBLISH(TColumnDropDownBoxEh) { Published(b); }

TColumnDropDownBoxEh::TColumnDropDownBoxEh(TColumnEh* AColumn) : FColumn(AColumn) {
  FSpecRow = std::make_unique<TSpecRowEh>(this);
}

TColumnDropDownBoxEh::~TColumnDropDownBoxEh() = default;

TPersistent* TColumnDropDownBoxEh::GetOwner() const { return FColumn; }

void TColumnDropDownBoxEh::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TColumnDropDownBoxEh*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  FAlign = s->FAlign;
  FAutoDrop = s->FAutoDrop;
  FAutoFitColWidths = s->FAutoFitColWidths;
  SetColumnDefValues(s->ColumnDefValues());
  SetColumns(s->Columns());
  SetOptions(s->Options());
  FRows = s->FRows;
  FWidth = s->FWidth;
  FSizable = s->FSizable;
  FShowTitles = s->FShowTitles;
  FUseMultiTitle = s->FUseMultiTitle;
  SetListSource(s->FListSource);
}

// The lookup grid that would take these is made by a later part of the column.
namespace {

IColumnDropDownHost* HostOf(TColumnEh* Column) { return Column; }

}  // namespace

TColumnDefValuesEh* TColumnDropDownBoxEh::ColumnDefValues() const {
  IColumnDropDownHost* h = HostOf(FColumn);
  return h ? h->DropDownList()->ColumnDefValues() : nullptr;
}

void TColumnDropDownBoxEh::SetColumnDefValues(TColumnDefValuesEh* Value) {
  if (IColumnDropDownHost* h = HostOf(FColumn)) h->DropDownList()->SetColumnDefValues(Value);
}

TDBGridColumnsEh* TColumnDropDownBoxEh::Columns() const {
  IColumnDropDownHost* h = HostOf(FColumn);
  return h ? h->DropDownList()->Columns() : nullptr;
}

void TColumnDropDownBoxEh::SetColumns(TDBGridColumnsEh* Value) {
  if (IColumnDropDownHost* h = HostOf(FColumn)) h->DropDownList()->SetColumns(Value);
}

bool TColumnDropDownBoxEh::ColumnsStored() const {
  return FColumn && FColumn->HasDropDownList() && FColumn->DropDownList()->Columns()->IsCustomized();
}

TDBLookupGridEhOptions TColumnDropDownBoxEh::Options() const {
  IColumnDropDownHost* h = HostOf(FColumn);
  return h ? h->DropDownOptions() : TDBLookupGridEhOptions();
}

void TColumnDropDownBoxEh::SetOptions(TDBLookupGridEhOptions Value) {
  if (IColumnDropDownHost* h = HostOf(FColumn)) h->SetDropDownOptions(Value);
}

void TColumnDropDownBoxEh::SetListSource(TDataSource* Value) {
  if (Value == FListSource) return;
  FListSource = Value;
  if (IColumnDropDownHost* h = HostOf(FColumn)) h->FreeNotifyFor(Value);
}

// ================================================================ a column's filter

KELM_PUBLISH(TSTColumnFilterEh) { Published(b); }

TSTColumnFilterEh::TSTColumnFilterEh(TColumnEh* AColumn) : FColumn(AColumn) {
  FListLink = std::make_unique<TFieldDataLink>();
}

TSTColumnFilterEh::~TSTColumnFilterEh() { FValueList.reset(); }

TPersistent* TSTColumnFilterEh::GetOwner() const { return FColumn; }

void TSTColumnFilterEh::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TSTColumnFilterEh*>(Source);
  if (!s) {
    TPersistent::Assign(Source);
    return;
  }
  FDataField = s->FDataField;
  SetVisible(s->FVisible);
  FKeyField = s->FKeyField;
  FListField = s->FListField;
  SetListSource(s->ListSource());
}

TDataSource* TSTColumnFilterEh::ListSource() const { return FListLink->DataSource(); }

void TSTColumnFilterEh::SetListSource(TDataSource* Value) { FListLink->SetDataSource(Value); }

void TSTColumnFilterEh::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (FColumn) FColumn->Changed(false);
}

bool TSTColumnFilterEh::GridLinkActive() const {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  return g && g->DataLink()->Active();
}

TField* TSTColumnFilterEh::LookupField() const {
  TField* f = FColumn && GridLinkActive() ? FColumn->Field() : nullptr;
  return f && f->FieldKind() == fkLookup ? f : nullptr;
}

String TSTColumnFilterEh::KeyFieldName() const {
  if (!FKeyField.empty()) return FKeyField;
  TField* f = LookupField();
  return f ? f->LookupKeyFields() : String();
}

String TSTColumnFilterEh::ListFieldName() const {
  if (!FListField.empty()) return FListField;
  TField* f = LookupField();
  return f ? f->LookupResultField() : String();
}

TDataSet* TSTColumnFilterEh::ListDataSet() const {
  if (TDataSource* s = ListSource(); s && s->DataSet()) return s->DataSet();
  TField* f = LookupField();
  return f ? f->LookupDataSet() : nullptr;
}

String TSTColumnFilterEh::TargetFieldName() const {
  if (!FDataField.empty()) return FDataField;
  if (TField* f = LookupField()) return f->KeyFields();
  return FColumn ? FColumn->FieldName() : String();
}

Variant TSTColumnFilterEh::FirstOperand() const {
  return KeyFieldName().empty() ? FExpression.Operand1 : FKeyValues;
}

Variant TSTColumnFilterEh::SecondOperand() const { return FExpression.Operand2; }

bool TSTColumnFilterEh::ShowsDropDownButton() const {
  TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr;
  return ListSource() != nullptr || (g && g->MemTableSupport());
}

void TSTColumnFilterEh::ResetFilter() {
  FKeyValues = Null();
  ApplyText(String());
}

void TSTColumnFilterEh::SetExpressionText(const String& Text) {
  ApplyText(Text);
  if (TCustomDBGridEh* g = FColumn ? FColumn->Grid() : nullptr) g->FilterExpressionChanged(FColumn);
}

void TSTColumnFilterEh::ParseInto(const String& Text, TSTFilterExpressionEh& Expression) const {
  Expression.Clear();
  TField* f = FColumn ? FColumn->Field() : nullptr;
  if (f) Expression.ExpressionType = STFilterExpressionTypeOf(f->DataType());
  ParseSTFilterExpressionEh(Text, Expression);
}

void TSTColumnFilterEh::ApplyText(const String& Text) {
  // A text that fails to parse leaves no condition (not half of one); the typed text stays.
  FTypedText = Text;
  FExpression.Clear();
  FKeyValues = Null();
  TSTFilterExpressionEh parsed;
  ParseInto(Text, parsed);
  FExpression = parsed;
  if (!KeyFieldName().empty() && FExpression.Operator1 != foNull && FExpression.Operator1 != foNotNull) {
    TDataSet* list = ListDataSet();
    FKeyValues = Null();
    if (!Text.empty() && list) FKeyValues = list->Lookup(ListFieldName(), Variant(Text), KeyFieldName());
    ParseInto(String(), FExpression);
    FExpression.ExpressionType = fetText;
    if (!Text.empty()) {
      // A text the list does not hold names no key: the condition is an empty key list,
      // which no record matches (a test for empty keys would show records of no key).
      FExpression.Operator1 = foIn;
      FExpression.Operand1 = Variant(Text);
      if (VarIsNull(FKeyValues)) FKeyValues = VarArrayOf(std::vector<Variant>{});
    }
  }
}

String TSTColumnFilterEh::ExpressionText() const {
  if (FExpression.Operator1 == foNon) return FTypedText;
  // The null tests have no operand to list: written as values they would read back as a test
  // for an empty text.
  const bool nullTest = FExpression.Operator1 == foNull || FExpression.Operator1 == foNotNull;
  if (ListSource() && !nullTest) return JoinValues(FExpression.Operand1, [](const Variant& V) -> String {
      return "'" + VarToStr(V) + "'";
    });
  String r = ConditionText(FExpression.Operator1, FExpression.Operand1);
  if (FExpression.Relation != foNon)
    r += " " + STFilterOperatorText(FExpression.Relation) + " " + ConditionText(FExpression.Operator2, FExpression.Operand2);
  return r;
}

std::shared_ptr<TDatasetFieldValueListEh> TSTColumnFilterEh::ValueList() {
  TDataSource* s = ListSource();
  TDataSet* ds = s ? s->DataSet() : nullptr;
  if (!GridLinkActive() || !ds || !ds->Active()) return nullptr;
  if (!FValueList) FValueList = std::make_shared<TDatasetFieldValueListEh>();
  FValueList->SetSourceDataSet(ds);
  FValueList->SetSourceField(!FListField.empty() ? FListField : FColumn->FieldName());
  return FValueList;
}

// ================================================================ property interceptors

KELM_PUBLISH(TColumnEhPropertyInterceptor) { Published(b); }

int TColumnEhPropertyInterceptor::Width() const { return Column() ? Column()->Width() : 0; }

void TColumnEhPropertyInterceptor::SetWidth(int Value) {
  TColumnEh* c = Column();
  if (!c) return;
  TCustomDBGridEh* g = c->Grid();
  if (g && g->AutoFitColWidths()) c->SetInitialWidth(Value);
  else c->SetWidth(Value);
}

KELM_PUBLISH(TColumnsEhPropertyInterceptor) { Published(b); }

String TColumnsEhPropertyInterceptor::ColumnsIndex() const {
  TDBGridColumnsEh* cols = Columns();
  String r;
  for (int i = 0; cols && i < cols->Count(); ++i) r += "\"" + cols->Items(i)->FieldName() + "\",";
  if (!r.empty()) r.pop_back();
  return r;
}

void TColumnsEhPropertyInterceptor::SetColumnsIndex(const String& Value) {
  TDBGridColumnsEh* cols = Columns();
  if (!cols) return;
  TStringList names;
  names.SetCommaText(Value);
  WithinUpdate(*cols, [&] {
    for (int pos = 0; pos < names.Count(); ++pos) {
      for (int i = 0; i < cols->Count(); ++i) {
        if (cols->Items(i)->FieldName() != names.Strings(pos)) continue;
        cols->Items(i)->SetIndex(std::min(pos, cols->Count() - 1));
        break;
      }
    }
  });
}

// ================================================================ unit start

namespace {

struct TGridCursors {
  TCursor ColumnSelect, RowSelect, RowSelectRtl;
};

const TGridCursors& GridCursors() {
  static const TGridCursors cursors{RegisterResourceCursor("DOWNCUREH"), RegisterResourceCursor("RIGHTCUREH"),
                                    RegisterResourceCursor("LEFTCUREH")};
  return cursors;
}

// Stored column layouts are read back through the interceptors from the start.
[[maybe_unused]] const bool kColumnInterceptorsRegistered =
    (RegisterReadPropertyInterceptor<TColumnEhPropertyInterceptor>(TColumnEh::StaticClass()),
     RegisterReadPropertyInterceptor<TColumnsEhPropertyInterceptor>(TDBGridColumnsEh::StaticClass()), true);

}  // namespace

TCursor GridColumnSelectCursor() { return GridCursors().ColumnSelect; }
TCursor GridRowSelectCursor() { return GridCursors().RowSelect; }
TCursor GridRowSelectCursorRtl() { return GridCursors().RowSelectRtl; }

void InitDBGridEhUnit() { GridCursors(); }
