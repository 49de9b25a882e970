#include "report_legacy/FR_DSet.h"

#include "core/ClassBuilder.h"

KELM_PUBLISH(TfrDataset) { Published(b); }
KELM_PUBLISH(TzeVodaDataset) { Published(b); }

void TfrDataset::GoFirst() {
  FRecordIndex = 0;
  FOnFirst(this);
}

void TfrDataset::GoNext() {
  ++FRecordIndex;
  if (!(FRangeEnd == TRangeEnd::reCount && FRecordIndex >= FRangeEndCount)) FOnNext(this);
}

void TfrDataset::GoPrior() {
  --FRecordIndex;
  FOnPrior(this);
}

bool TfrDataset::AtEnd() {
  bool eof = FRangeEnd == TRangeEnd::reCount && FRecordIndex >= FRangeEndCount;
  if (FOnCheckEOF) FOnCheckEOF(this, eof);
  return eof;
}
