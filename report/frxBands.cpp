#include "report/frxBands.h"
#include "report/frxKind.h"

#include "core/ClassBuilder.h"
#include "report/frxDBSet.h"
#include "report/frxDMPClass.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include <cmath>

// ================================================================ TfrxBand

KELM_PUBLISH(TfrxBand) { Published(b); }

TfrxBand::TfrxBand(TComponent* AOwner) : TfrxReportComponent(AOwner) {}
TfrxBand::~TfrxBand() = default;

Extended TfrxBand::Snap(Extended Value, Extended Cell) const {
  if (!KindOf<TfrxDMPPage>(Parent())) return Value;
  return std::round(static_cast<double>(Value / Cell)) * Cell;
}

void TfrxBand::SetLeft(Extended Value) { TfrxReportComponent::SetLeft(Snap(Value, 9.6L)); }
void TfrxBand::SetTop(Extended Value) { TfrxReportComponent::SetTop(Snap(Value, 17)); }
void TfrxBand::SetHeight(Extended Value) { TfrxReportComponent::SetHeight(Snap(Value, 17)); }

String TfrxBand::DisplayTypeName() const {
  String t = ReportResources()->TextOf("obBand");
  return t == "obBand" ? String("Band object") : t;
}

void TfrxBand::SetChild(TfrxChild* Value) {
  for (TfrxBand* b = Value; b; b = b->FChild)
    if (b == this) throw Exception("Circular child reference is not allowed");
  AssignReference<TfrxChild>(this, FChild, Value);
}

void TfrxBand::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxReportComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FChild) FChild = nullptr;
}

namespace {

// The eighteen kinds of band, in the order the engine and the designer count them.
const std::vector<TClass>& BandKinds() {
  static const std::vector<TClass> kinds = {
      TfrxReportTitle::StaticClass(),  TfrxReportSummary::StaticClass(), TfrxPageHeader::StaticClass(),
      TfrxPageFooter::StaticClass(),   TfrxHeader::StaticClass(),        TfrxFooter::StaticClass(),
      TfrxMasterData::StaticClass(),   TfrxDetailData::StaticClass(),    TfrxSubdetailData::StaticClass(),
      TfrxDataBand4::StaticClass(),    TfrxDataBand5::StaticClass(),     TfrxDataBand6::StaticClass(),
      TfrxGroupHeader::StaticClass(),  TfrxGroupFooter::StaticClass(),   TfrxChild::StaticClass(),
      TfrxColumnHeader::StaticClass(), TfrxColumnFooter::StaticClass(),  TfrxOverlay::StaticClass(),
  };
  return kinds;
}

}  // namespace

int TfrxBand::KindIndex() const {
  int index = 0;
  const auto& kinds = BandKinds();
  for (int i = 0; i < static_cast<int>(kinds.size()); ++i)
    if (InheritsFrom(kinds[static_cast<std::size_t>(i)])) index = i;
  return index;
}

String TfrxBand::KindName() const {
  String name = ClassName();
  if (std::size_t p = name.find("Tfrx"); p != String::npos) name.erase(p, 4);
  if (std::size_t p = name.find("Band"); p != String::npos) name.erase(p, 4);
  return name;
}

// ================================================================ TfrxDataBand

KELM_PUBLISH(TfrxDataBand) { Published(b); }

TfrxDataBand::TfrxDataBand(TComponent* AOwner)
    : TfrxBand(AOwner), FRowCounter(std::make_unique<TfrxUserDataSet>(nullptr)) {
  FRowCounter->SetRangeEnd(reCount);
}

TfrxDataBand::~TfrxDataBand() = default;

String TfrxDataBand::DisplayTypeName() const {
  String t = ReportResources()->TextOf("obDataBand");
  return t == "obDataBand" ? String("Data band") : t;
}

void TfrxDataBand::SetDataSet(TfrxDataSet* Value) {
  AssignReference<TfrxDataSet>(this, FDataSet, Value);
  FDataSetName = Value ? Value->UserName() : String();
}

String TfrxDataBand::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxDataBand::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    AssignReference<TfrxDataSet>(this, FDataSet, nullptr);
    return;
  }
  TfrxReport* report = FindParentReport();
  if (!report) return;
  if (TfrxDataSet* ds = TfrxDataSet::FindByUserName(nullptr, Value, report))
    AssignReference<TfrxDataSet>(this, FDataSet, ds);
}

void TfrxDataBand::SetRowCount(int Value) {
  FRowCount = Value;
  FRowCounter->SetRangeEndCount(Value);
}

void TfrxDataBand::SetBandColumn(int Value) {
  if (Value > FColumns) Value = 1;
  FBandColumn = Value;
  if (Value == 1) ColumnBottom = 0;
  SetLeft((FBandColumn - 1) * (FColumnWidth + FColumnGap));
}

void TfrxDataBand::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxBand::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) FDataSet = nullptr;
}

KELM_PUBLISH(TfrxReportTitle) { Published(b); }
KELM_PUBLISH(TfrxReportSummary) { Published(b); }
KELM_PUBLISH(TfrxPageHeader) { Published(b); }
KELM_PUBLISH(TfrxPageFooter) { Published(b); }
KELM_PUBLISH(TfrxHeader) { Published(b); }
KELM_PUBLISH(TfrxFooter) { Published(b); }
KELM_PUBLISH(TfrxMasterData) {}
KELM_PUBLISH(TfrxDetailData) {}
KELM_PUBLISH(TfrxSubdetailData) {}
KELM_PUBLISH(TfrxDataBand4) {}
KELM_PUBLISH(TfrxDataBand5) {}
KELM_PUBLISH(TfrxDataBand6) {}
KELM_PUBLISH(TfrxGroupHeader) { Published(b); }
KELM_PUBLISH(TfrxGroupFooter) { Published(b); }
KELM_PUBLISH(TfrxColumnHeader) { Published(b); }
KELM_PUBLISH(TfrxColumnFooter) {}
KELM_PUBLISH(TfrxChild) { Published(b); }
KELM_PUBLISH(TfrxOverlay) { Published(b); }
KELM_PUBLISH(TfrxNullBand) {}
