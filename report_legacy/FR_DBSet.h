#pragma once
// The older engine's data set over a dataset of the program, given directly or through a
// data source; setting one of the two clears the other.
#include "report_legacy/FR_DSet.h"
#include "data/DB.h"

// Raised by a data set that has no dataset to walk.
KELM_EXCEPTION(EDSError, Exception);

class TfrDBDataSet : public TfrDataset {
  KELM_CLASS(TfrDBDataSet, TfrDataset)
  template <class B> static void Published(B& b) {
    b.Prop("CloseDataSource", &TfrDBDataSet::CloseDataSource, &TfrDBDataSet::SetCloseDataSource).Default(false);
    b.Prop("DataSet", &TfrDBDataSet::DataSet, &TfrDBDataSet::SetDataSet);
    b.Prop("DataSource", &TfrDBDataSet::DataSource, &TfrDBDataSet::SetDataSource);
    b.Prop("OpenDataSource", &TfrDBDataSet::OpenDataSource, &TfrDBDataSet::SetOpenDataSource).Default(true);
    b.Prop("OnClose", &TfrDBDataSet::OnClose, &TfrDBDataSet::SetOnClose);
    b.Prop("OnOpen", &TfrDBDataSet::OnOpen, &TfrDBDataSet::SetOnOpen);
  }
public:
  explicit TfrDBDataSet(TComponent* AOwner) : TfrDataset(AOwner) {}

  void BeginRun() override;
  void EndRun() override;
  void GoFirst() override;
  void GoNext() override;
  void GoPrior() override;
  bool AtEnd() override;

  bool CloseDataSource() const { return FCloseDataSource; }
  void SetCloseDataSource(bool Value) { FCloseDataSource = Value; }
  TDataSet* DataSet() const { return FLinks.DataSet(); }
  void SetDataSet(TDataSet* Value) { FLinks.SetDataSet(Value); }
  TDataSource* DataSource() const { return FLinks.DataSource(); }
  void SetDataSource(TDataSource* Value) { FLinks.SetDataSource(Value); }
  bool OpenDataSource() const { return FOpenDataSource; }
  void SetOpenDataSource(bool Value) { FOpenDataSource = Value; }
  const TNotifyEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TNotifyEvent& Value) { FOnClose = Value; }
  const TNotifyEvent& OnOpen() const { return FOnOpen; }
  void SetOnOpen(const TNotifyEvent& Value) { FOnOpen = Value; }

  // The data source's dataset when it has one, else DataSet; EDSError "Unable to open dataset
  // <Name>" when neither gives one.
  TDataSet* SourceDataSet() const;

  // The record the walk started on (rbCurrent, reCurrent); empty when none.
  const TDataSet::TBookmark& StartMark() const { return FStartMark; }
  bool EofReached() const { return FEofReached; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool FCloseDataSource = false;
  TDataSetOrSource FLinks{this};
  bool FOpenDataSource = true;
  TNotifyEvent FOnClose, FOnOpen;
  TDataSet::TBookmark FStartMark;
  bool FHasStartMark = false;
  bool FEofReached = false;
};
