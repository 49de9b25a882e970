#pragma once
// The older engine's data sets: the navigator that bands walk, with a record counter and a
// range, and the data set whose records exist only through its events.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Exceptions.h"

// The newer report engine names several of its values the same way (rbFirst, pbPrint, ...),
// so the types here whose values would collide are scoped enumerations; their streamed names
// are the plain ones.
#define KELM_FR_SCOPED_ENUM(Name, ...)                                   \
  enum class Name : int { __VA_ARGS__ };                                 \
  inline const TEnumInfo& EnumInfoOf(Name*) {                            \
    static const TEnumInfo info(#Name, #__VA_ARGS__);                    \
    return info;                                                         \
  }
KELM_FR_SCOPED_ENUM(TRangeBegin, rbFirst, rbCurrent)
KELM_FR_SCOPED_ENUM(TRangeEnd, reLast, reCurrent, reCount)
KELM_FR_SCOPED_ENUM(TfrPreviewButton, pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit, pbPageSetup)
KELM_FR_SCOPED_ENUM(TfrPreviewZoom, pzDefault, pzPageWidth, pzOnePage, pzTwoPages)
KELM_FR_SCOPED_ENUM(TfrReportType, rtSimple, rtMultiple)
#undef KELM_FR_SCOPED_ENUM
using TfrPreviewButtons = TSet<TfrPreviewButton>;

KELM_EVENT(TCheckEOFEvent, void(TObject* Sender, bool& Eof));

// A walk over records with a range: where it starts, where it ends.
class TfrDataset : public TComponent {
  KELM_CLASS(TfrDataset, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("RangeBegin", &TfrDataset::RangeBegin, &TfrDataset::SetRangeBegin).Default(TRangeBegin::rbFirst);
    b.Prop("RangeEnd", &TfrDataset::RangeEnd, &TfrDataset::SetRangeEnd).Default(TRangeEnd::reLast);
    b.Prop("RangeEndCount", &TfrDataset::RangeEndCount, &TfrDataset::SetRangeEndCount).Default(0);
    b.Prop("OnCheckEOF", &TfrDataset::OnCheckEOF, &TfrDataset::SetOnCheckEOF);
    b.Prop("OnFirst", &TfrDataset::OnFirst, &TfrDataset::SetOnFirst);
    b.Prop("OnNext", &TfrDataset::OnNext, &TfrDataset::SetOnNext);
    b.Prop("OnPrior", &TfrDataset::OnPrior, &TfrDataset::SetOnPrior);
  }
public:
  explicit TfrDataset(TComponent* AOwner) : TComponent(AOwner) {}

  // A band binds the data set (BeginRun) and releases it (EndRun); in between it walks with
  // GoFirst, then GoNext and AtEnd after each record.
  virtual void BeginRun() {}
  virtual void EndRun() {}
  virtual void GoFirst();
  virtual void GoNext();
  virtual void GoPrior();
  virtual bool AtEnd();

  int RecordIndex() const { return FRecordIndex; }

  TRangeBegin RangeBegin() const { return FRangeBegin; }
  void SetRangeBegin(TRangeBegin Value) { FRangeBegin = Value; }
  TRangeEnd RangeEnd() const { return FRangeEnd; }
  void SetRangeEnd(TRangeEnd Value) { FRangeEnd = Value; }
  int RangeEndCount() const { return FRangeEndCount; }
  void SetRangeEndCount(int Value) { FRangeEndCount = Value; }
  const TCheckEOFEvent& OnCheckEOF() const { return FOnCheckEOF; }
  void SetOnCheckEOF(const TCheckEOFEvent& Value) { FOnCheckEOF = Value; }
  const TNotifyEvent& OnFirst() const { return FOnFirst; }
  void SetOnFirst(const TNotifyEvent& Value) { FOnFirst = Value; }
  const TNotifyEvent& OnNext() const { return FOnNext; }
  void SetOnNext(const TNotifyEvent& Value) { FOnNext = Value; }
  const TNotifyEvent& OnPrior() const { return FOnPrior; }
  void SetOnPrior(const TNotifyEvent& Value) { FOnPrior = Value; }

private:
  int FRecordIndex = 0;
  TRangeBegin FRangeBegin = TRangeBegin::rbFirst;
  TRangeEnd FRangeEnd = TRangeEnd::reLast;
  int FRangeEndCount = 0;
  TCheckEOFEvent FOnCheckEOF;
  TNotifyEvent FOnFirst, FOnNext, FOnPrior;
};

// A data set whose records exist only through its events.
class TzeVodaDataset : public TfrDataset {
  KELM_CLASS(TzeVodaDataset, TfrDataset)
  template <class B> static void Published(B&) {}
public:
  explicit TzeVodaDataset(TComponent* AOwner) : TfrDataset(AOwner) {}
};
