#include "report_legacy/FR_DBSet.h"
#include "report_legacy/FR_DBRel.h"

#include "core/ClassBuilder.h"

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

void TfrDBDataSet::BeginRun() {
  TDataSet* ds = SourceDataSet();
  if (FOpenDataSource) ds->Open();
  OnOpen()(this);
  FHasStartMark = RangeBegin() == TRangeBegin::rbCurrent || RangeEnd() == TRangeEnd::reCurrent;
  FStartMark = FHasStartMark ? DataSetMark(ds) : TDataSet::TBookmark();
  FEofReached = false;
}

void TfrDBDataSet::EndRun() {
  TDataSet* ds = SourceDataSet();
  if (FHasStartMark) {
    if (!FStartMark.empty()) DataSetGotoMark(ds, FStartMark);
    DataSetFreeMark(ds, FStartMark);
  }
  FHasStartMark = false;
  FStartMark.clear();
  OnClose()(this);
  if (FCloseDataSource) ds->Close();
}

void TfrDBDataSet::GoFirst() {
  TDataSet* ds = SourceDataSet();
  if (RangeBegin() == TRangeBegin::rbFirst) ds->First();
  else if (FHasStartMark && !FStartMark.empty()) DataSetGotoMark(ds, FStartMark);
  FEofReached = false;
  TfrDataset::GoFirst();
}

void TfrDBDataSet::GoNext() {
  TDataSet* ds = SourceDataSet();
  FEofReached = false;
  if (RangeEnd() == TRangeEnd::reCurrent) {
    TDataSet::TBookmark here = DataSetMark(ds);
    if (DataSetMarksEqual(ds, here, FStartMark)) {
      FEofReached = true;
    } else {
      ds->Next();
      TfrDataset::GoNext();
    }
    DataSetFreeMark(ds, here);
    return;
  }
  ds->Next();
  TfrDataset::GoNext();
}

void TfrDBDataSet::GoPrior() {
  SourceDataSet()->Prior();
  TfrDataset::GoPrior();
}

bool TfrDBDataSet::AtEnd() {
  TDataSet* ds = SourceDataSet();
  return TfrDataset::AtEnd() || ds->Eof() || FEofReached;
}
