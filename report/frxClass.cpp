#include "report/frxClass.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <mutex>

namespace {

// Every report data set of the process in creation order; reports find theirs by user name.
struct TGlobalDataSets {
  std::mutex Lock;
  std::vector<TfrxDataSet*> List;
};
TGlobalDataSets& Globals() {
  static TGlobalDataSets g;
  return g;
}

// The character set new report fonts take: the platform's default character set.
constexpr TFontCharset kDefaultCharset = 1;

}  // namespace

// ================================================================ TfrxComponent

KELM_PUBLISH(TfrxComponent) {}

TComponent* TfrxComponent::PlatformOwner(TComponent* AOwner) {
  if (auto* parent = dynamic_cast<TfrxComponent*>(AOwner)) return parent->FindParentReport();
  return AOwner;
}

TfrxComponent::TfrxComponent(TComponent* AOwner) : TComponent(PlatformOwner(AOwner)), FFont(std::make_unique<TFont>()) {
  FFont->SetName("Arial");
  FFont->SetSize(10);
  FFont->SetColor(clBlack);
  FFont->SetCharset(kDefaultCharset);
  if (auto* parent = dynamic_cast<TfrxComponent*>(AOwner)) SetParent(parent);
}

TfrxComponent::~TfrxComponent() {
  if (FParent) SetParent(nullptr);
  Clear();
}

TfrxComponent* TfrxComponent::Objects(int Index) const {
  if (Index < 0 || Index >= ObjectCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FObjects[static_cast<std::size_t>(Index)];
}

void TfrxComponent::SetParent(TfrxComponent* Value) {
  if (Value == FParent) return;
  for (TfrxComponent* p = Value; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("A report object cannot be placed inside itself");
  if (FParent) {
    auto& siblings = FParent->FObjects;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  FParent = Value;
  if (FParent) FParent->FObjects.push_back(this);
}

void TfrxComponent::SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight) {
  SetLeft(ALeft);
  SetTop(ATop);
  SetWidth(AWidth);
  SetHeight(AHeight);
}

String TfrxComponent::BaseName() const {
  String name = ClassName();
  if (std::size_t p = name.find("Tfrx"); p != String::npos) name.erase(p, 4);
  if (std::size_t p = name.find("View"); p != String::npos) name.erase(p, 4);
  return name;
}

TfrxReport* TfrxComponent::FindParentReport() const {
  for (const TfrxComponent* c = this; c; c = c->FParent)
    if (auto* r = dynamic_cast<const TfrxReport*>(c)) return const_cast<TfrxReport*>(r);
  return nullptr;
}

void TfrxComponent::CollectObjects(std::vector<TfrxComponent*>& List) const {
  for (TfrxComponent* c : FObjects) {
    List.push_back(c);
    c->CollectObjects(List);
  }
}

TfrxComponent* TfrxComponent::FindObject(const String& AName) const {
  std::vector<TfrxComponent*> all;
  CollectObjects(all);
  for (TfrxComponent* c : all)
    if (SameText(c->Name(), AName)) return c;
  return nullptr;
}

void TfrxComponent::Clear() {
  while (!FObjects.empty()) delete FObjects.back();  // each takes itself out of the list
}

// ================================================================ report components

KELM_PUBLISH(TfrxReportComponent) { Published(b); }

KELM_PUBLISH(TfrxDialogComponent) {}

TfrxDialogComponent::TfrxDialogComponent(TComponent* AOwner) : TfrxReportComponent(AOwner) {
  // Off every page until a designer places it.
  SetLeft(-10000);
  SetTop(-10000);
}

// ================================================================ TfrxDataSet

KELM_PUBLISH(TfrxDataSet) { Published(b); }

TfrxDataSet::TfrxDataSet(TComponent* AOwner) : TfrxDialogComponent(AOwner) {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  g.List.push_back(this);
}

TfrxDataSet::~TfrxDataSet() {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  g.List.erase(std::remove(g.List.begin(), g.List.end(), this), g.List.end());
}

void TfrxDataSet::SetUserName(const String& Value) {
  if (Trim(Value).empty()) throw EPropertyError("Invalid property value");
  FUserName = Value;
}

void TfrxDataSet::SetName(const String& Value) {
  String old = Name();
  bool follow = !Value.empty() && (FUserName.empty() || FUserName == old);
  TfrxDialogComponent::SetName(Value);
  if (follow) FUserName = Value;
}

void TfrxDataSet::GetFieldList(TStrings* List) { List->Clear(); }

int TfrxDataSet::FieldsCount() {
  TStringList names;
  GetFieldList(&names);
  return names.Count();
}

bool TfrxDataSet::HasField(const String& FieldName) {
  TStringList names;
  GetFieldList(&names);
  return names.IndexOf(FieldName) >= 0;
}

TfrxDataSet* TfrxDataSet::FindByUserName(TfrxDataSet* Default, const String& AName, TfrxReport* AReport) {
  if (AName.empty()) return nullptr;
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  for (TfrxDataSet* ds : g.List) {
    auto* owner = dynamic_cast<TfrxReport*>(ds->Owner());
    if (owner && owner != AReport) continue;
    if (SameText(ds->UserName(), AName)) return ds;
  }
  return Default;
}

std::vector<TfrxDataSet*> TfrxDataSet::GlobalDataSets() {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  return g.List;
}

// ================================================================ TfrxCustomDBDataSet

KELM_PUBLISH(TfrxCustomDBDataSet) { Published(b); }

TfrxCustomDBDataSet::TfrxCustomDBDataSet(TComponent* AOwner)
    : TfrxDataSet(AOwner), FFieldAliases(std::make_unique<TStringList>()) {}

TfrxCustomDBDataSet::~TfrxCustomDBDataSet() = default;

String TfrxCustomDBDataSet::RealFieldName(const String& Alias) const {
  for (int i = 0; i < FFieldAliases->Count(); ++i)
    if (SameText(FFieldAliases->ValueFromIndex(i), Alias)) return FFieldAliases->Names(i);
  return Alias;
}

void TfrxCustomDBDataSet::GetFieldList(TStrings* List) {
  List->Clear();
  if (FFieldAliases->Count() > 0) {
    for (int i = 0; i < FFieldAliases->Count(); ++i)
      if (!StartsStr("-", FFieldAliases->Names(i))) List->Add(FFieldAliases->ValueFromIndex(i));
    return;
  }
  try {
    if (TDataSet* ds = SourceDataSet()) ds->GetFieldNames(List);
  } catch (const Exception&) {
    // A dataset that cannot tell its fields offers none.
  }
}

// ================================================================ TfrxDBDataset

KELM_PUBLISH(TfrxDBDataset) { Published(b); }

TfrxDBDataset::~TfrxDBDataset() = default;

TDataSet* TfrxDBDataset::EffectiveDataSet() const {
  if (TDataSet* ds = DataSet()) return ds;
  return DataSource() ? DataSource()->DataSet() : nullptr;
}

bool TfrxDBDataset::IsActive() const {
  TDataSet* ds = EffectiveDataSet();
  return ds && ds->Active();
}

bool TfrxDBDataset::LinksStored() const { return !dynamic_cast<TfrxReport*>(Owner()); }

void TfrxDBDataset::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxCustomDBDataSet::Notification(AComponent, Operation);
  FLinks.Notification(AComponent, Operation);
}

// ================================================================ options

KELM_PUBLISH(TfrxEngineOptions) { Published(b); }

void TfrxEngineOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxEngineOptions*>(Source);
  if (!s) return;  // only the same kind of object is taken
  FConvertNulls = s->FConvertNulls;
  FDoublePass = s->FDoublePass;
  FMaxMemSize = s->FMaxMemSize;
  FPrintIfEmpty = s->FPrintIfEmpty;
  FNewSilentMode = s->FNewSilentMode;
  FTempDir = s->FTempDir;
  FUseFileCache = s->FUseFileCache;
}

void TfrxEngineOptions::Clear() {
  FConvertNulls = true;
  FDoublePass = false;
}

KELM_PUBLISH(TfrxPreviewOptions) { Published(b); }

TfrxPreviewButtons TfrxPreviewOptions::AllButtons() {
  TfrxPreviewButtons all;
  for (int b = pbPrint; b <= pbExportQuick; ++b) all.Include(static_cast<TfrxPreviewButton>(b));
  return all;
}

void TfrxPreviewOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxPreviewOptions*>(Source);
  if (!s) return;
  FAllowEdit = s->FAllowEdit;
  FButtons = s->FButtons;
  FDoubleBuffered = s->FDoubleBuffered;
  FMaximized = s->FMaximized;
  FMDIChild = s->FMDIChild;
  FModal = s->FModal;
  FOutlineExpand = s->FOutlineExpand;
  FOutlineVisible = s->FOutlineVisible;
  FOutlineWidth = s->FOutlineWidth;
  FShowCaptions = s->FShowCaptions;
  FZoom = s->FZoom;
  FZoomMode = s->FZoomMode;
}

void TfrxPreviewOptions::Clear() {
  FOutlineExpand = true;
  FOutlineVisible = false;
  FOutlineWidth = 120;
}

const char* const TfrxPrintOptions::DefaultPrinterName = "预设";

KELM_PUBLISH(TfrxPrintOptions) { Published(b); }

void TfrxPrintOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxPrintOptions*>(Source);
  if (!s) return;
  FCopies = s->FCopies;
  FCollate = s->FCollate;
  FPageNumbers = s->FPageNumbers;
  FPrinter = s->FPrinter;
  FPrintPages = s->FPrintPages;
  FReverse = s->FReverse;
  FShowDialog = s->FShowDialog;
}

void TfrxPrintOptions::Clear() {
  TfrxPrintOptions fresh;
  Assign(&fresh);
}

KELM_PUBLISH(TfrxReportOptions) { Published(b); }

TfrxReportOptions::TfrxReportOptions(TfrxReport* AReport)
    : FReport(AReport), FDescription(std::make_unique<TStringList>()) {
  Clear();
}

TfrxReportOptions::~TfrxReportOptions() = default;

void TfrxReportOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxReportOptions*>(Source);
  if (!s) return;
  FAuthor = s->FAuthor;
  FCompressed = s->FCompressed;
  FConnectionName = s->FConnectionName;
  FCreateDate = s->FCreateDate;
  FDescription->Assign(s->FDescription.get());
  FInitString = s->FInitString;
  FName = s->FName;
  FLastChange = s->FLastChange;
  FPassword = s->FPassword;
  FVersionBuild = s->FVersionBuild;
  FVersionMajor = s->FVersionMajor;
  FVersionMinor = s->FVersionMinor;
  FVersionRelease = s->FVersionRelease;
}

void TfrxReportOptions::Clear() {
  FAuthor.clear();
  FCompressed = false;
  FConnectionName.clear();
  FCreateDate = Now();
  FDescription->Clear();
  FInitString.clear();
  FName.clear();
  FLastChange = FCreateDate;
  FPassword.clear();
  FVersionBuild.clear();
  FVersionMajor.clear();
  FVersionMinor.clear();
  FVersionRelease.clear();
  FPrevPassword.clear();
}

// ================================================================ data-set list

KELM_PUBLISH(TfrxDataSetItem) { Published(b); }

TfrxDataSetItem::TfrxDataSetItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

TfrxReport* TfrxDataSetItem::Report() const {
  auto* list = dynamic_cast<TfrxReportDataSets*>(Collection());
  return list ? list->Report() : nullptr;
}

void TfrxDataSetItem::SetDataSet(TfrxDataSet* Value) {
  FDataSet = Value;
  FDataSetName = Value ? Value->UserName() : String();
  // The report drops the entry when the data set is freed.
  if (Value)
    if (TfrxReport* r = Report()) Value->FreeNotification(r);
}

String TfrxDataSetItem::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxDataSetItem::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    FDataSet = nullptr;
    return;
  }
  TfrxDataSet* found = TfrxDataSet::FindByUserName(nullptr, Value, Report());
  if (found) SetDataSet(found);
}

KELM_PUBLISH(TfrxReportDataSets) {}

TfrxReportDataSets::TfrxReportDataSets(TfrxReport* AReport)
    : TCollection(TfrxDataSetItem::StaticClass()), FReport(AReport) {}

TPersistent* TfrxReportDataSets::GetOwner() const { return FReport; }

TfrxDataSetItem* TfrxReportDataSets::AddDataSet(TfrxDataSet* DataSet) {
  auto* item = static_cast<TfrxDataSetItem*>(Add());
  item->SetDataSet(DataSet);
  return item;
}

TfrxDataSetItem* TfrxReportDataSets::FindItemOf(TfrxDataSet* DataSet) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() == DataSet) return Items(i);
  return nullptr;
}

TfrxDataSetItem* TfrxReportDataSets::FindItemByName(const String& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() && SameText(Items(i)->DataSet()->UserName(), AName)) return Items(i);
  return nullptr;
}

// ================================================================ TfrxReport

const char* const TfrxReport::LibraryVersion = "3.23.7";
const char* const TfrxReport::DefaultIniFile = "\\Software\\Zude Vizerav";

KELM_PUBLISH(TfrxReport) { Published(b); }

TfrxReport::TfrxReport(TComponent* AOwner)
    : TfrxComponent(AOwner),
      FEngineOptions(std::make_unique<TfrxEngineOptions>()),
      FPreviewOptions(std::make_unique<TfrxPreviewOptions>()),
      FPrintOptions(std::make_unique<TfrxPrintOptions>()),
      FReportOptions(std::make_unique<TfrxReportOptions>(this)),
      FScriptText(std::make_unique<TStringList>()),
      FDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FStoredPages(std::make_unique<TStringList>()),
      FErrors(std::make_unique<TStringList>()) {
  FErrors->SetSorted(true);
  FErrors->SetDuplicates(dupIgnore);
  Clear();
}

TfrxReport::~TfrxReport() = default;

void TfrxReport::Clear() {
  TfrxComponent::Clear();
  FDataSets->Clear();
  FEngineOptions->Clear();
  FPreviewOptions->Clear();
  FPrintOptions->Clear();
  FReportOptions->Clear();
  FStoredPages->Clear();
  SetDataSet(nullptr);
  FDataSetName.clear();
  FDotMatrixReport = false;
  FScriptLanguage = "PascalScript";
  FScriptText->SetText("begin\n\nend.");
  FOnRunDialogs.clear();
  FOnStartReport.clear();
  FOnStopReport.clear();
}

void TfrxReport::SetDataSet(TfrxDataSet* Value) {
  if (FDataSet && FDataSet != Value && !FDataSets->FindItemOf(FDataSet)) FDataSet->RemoveFreeNotification(this);
  FDataSet = Value;
  FDataSetName = Value ? Value->UserName() : String();
  if (Value) Value->FreeNotification(this);
}

String TfrxReport::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxReport::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    SetDataSet(nullptr);
    return;
  }
  if (TfrxDataSet* found = TfrxDataSet::FindByUserName(nullptr, Value, this)) SetDataSet(found);
}

bool TfrxReport::LoadFromFile(const String& AFileName, bool ExceptionIfNotFound) {
  Clear();
  FFileName.clear();
  bool exists = FileExists(AFileName);
  if (exists || ExceptionIfNotFound) {
    TFileStream stream(AFileName, fmOpenRead | fmShareDenyWrite);  // EFOpenError when missing
    LoadFromStream(&stream);
    FFileName = AFileName;
  }
  return exists;
}

void TfrxReport::LoadFromStream(TStream* Stream) {
  FErrors->Clear();
  String message = "Cannot read the report definition";
  if (auto* file = dynamic_cast<TFileStream*>(Stream)) message += " \"" + file->FileName() + "\"";
  message += ": this version does not read the report format yet";
  FErrors->Add(message);
  throw EfrxFormatError(message);
}

TfrxDataSet* TfrxReport::GetDataset(const String& Alias) const {
  TfrxDataSetItem* item = FDataSets->FindItemByName(Alias);
  return item ? item->DataSet() : nullptr;
}

void TfrxReport::DefineProperties(TFiler* Filer) {
  TfrxComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      "Datasets", [this](TReader* r) { r->ReadCollection(FDataSets.get()); },
      [this](TWriter* w) { w->WriteCollection(FDataSets.get()); }, FDataSets->Count() > 0);
  Filer->DefineProperty(
      "StoredPages",
      [this](TReader* r) {
        FStoredPages->Clear();
        r->ReadListBegin();
        while (!r->EndOfList()) FStoredPages->Add(r->ReadString());
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < FStoredPages->Count(); ++i) w->WriteString(FStoredPages->Strings(i));
        w->WriteListEnd();
      },
      FStoredPages->Count() > 0);
}

void TfrxReport::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDataSet) {
    FDataSet = nullptr;
    FDataSetName.clear();
  }
  for (int i = FDataSets->Count() - 1; i >= 0; --i)
    if (FDataSets->Items(i)->DataSet() == AComponent) FDataSets->Delete(i);
}
