#pragma once
// The report library as scripts see it: the report object classes with the members scripts
// call, the report enumerations and measuring constants, and the report functions (DayOf,
// MonthOf, YearOf, and IIF and the aggregates, which answer 0 here: inside a report's script
// the report's own macro functions of those names answer instead). The last module every
// script installs.
//
// Members are served by three call-backs (methods, property reads, property writes) that pick
// by the class that registered the member, then by its upper-case name. Objects cross as the
// script engine's object handles.
// Declares frxClassRTTI::TFunctions.
#include "script/fs_iscript.h"

namespace frxClassRTTI {

class TFunctions : public TfsRTTIModule {
public:
  explicit TFunctions(TfsScript* AScript);
  ~TFunctions() override;

  struct TLists;

private:
  // The Objects and AllObjects lists scripts read, kept as long as the script.
  std::unique_ptr<TLists> FLists;
};

}  // namespace frxClassRTTI
