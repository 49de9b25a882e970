#include "report_legacy/FR_Class.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"

#include <cstring>

// ================================================================ data sets

KELM_PUBLISH(TfrDataset) { Published(b); }

KELM_PUBLISH(TfrDBDataSet) { Published(b); }

TDataSet* TfrDBDataSet::SourceDataSet() const {
  if (DataSource() && DataSource()->DataSet()) return DataSource()->DataSet();
  if (TDataSet* ds = DataSet()) return ds;
  throw EDSError("Unable to open dataset " + Name());
}

void TfrDBDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TfrDataset::Notification(AComponent, Operation);
  FLinks.Notification(AComponent, Operation);
}

// ================================================================ TfrReport

KELM_PUBLISH(TfrReport) { Published(b); }

TfrPreviewButtons TfrReport::DefaultPreviewButtons() {
  return {TfrPreviewButton::pbZoom, TfrPreviewButton::pbLoad, TfrPreviewButton::pbSave, TfrPreviewButton::pbPrint,
          TfrPreviewButton::pbFind, TfrPreviewButton::pbHelp, TfrPreviewButton::pbExit};
}

void TfrReport::SetDataset(TfrDataset* Value) {
  if (FDataset && FDataset != Value) FDataset->RemoveFreeNotification(this);
  FDataset = Value;
  if (FDataset) FDataset->FreeNotification(this);
}

void TfrReport::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataset) FDataset = nullptr;
}

namespace {
void WriteInt32(TStream* s, std::int32_t v) {
  Byte b[4] = {Byte(v), Byte(v >> 8), Byte(v >> 16), Byte(v >> 24)};
  s->WriteBuffer(b, 4);
}
std::int32_t ReadInt32(TStream* s) {
  Byte b[4];
  s->ReadBuffer(b, 4);
  return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                   std::uint32_t(b[3]) << 24);
}
}  // namespace

void TfrReport::ReadReportForm(TStream* Stream) {
  ReadInt32(Stream);  // the format number; the definition says its own version
  FStoredForm.clear();
  if (!FStoreInDFM) return;
  std::int32_t size = ReadInt32(Stream);
  if (size < 0 || size > Stream->Size() - Stream->Position()) throw EReadError("Invalid stored report size");
  FStoredForm.resize(static_cast<std::size_t>(size));
  if (size > 0) Stream->ReadBuffer(FStoredForm.data(), size);
}

void TfrReport::WriteReportForm(TStream* Stream) {
  WriteInt32(Stream, FormVersion);
  if (!FStoreInDFM) return;
  WriteInt32(Stream, static_cast<std::int32_t>(FStoredForm.size()));
  if (!FStoredForm.empty()) Stream->WriteBuffer(FStoredForm.data(), static_cast<Int64>(FStoredForm.size()));
}

void TfrReport::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "ReportForm", [this](TStream* s) { ReadReportForm(s); }, [this](TStream* s) { WriteReportForm(s); }, true);
}
