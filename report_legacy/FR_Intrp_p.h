#pragma once
// Private to the script interpreter's units: the compiler's entry point.
#include "report_legacy/FR_Intrp.h"

#include <vector>

namespace frintrp {

struct TCompileResult {
  std::vector<String> Lines;  // what was compiled, also up to an error
  String Error;               // "Line l/c: message", or empty
};

// The passes: comments are cut out (their places kept for error positions), the statement is
// read into lines whose expressions are still text, then every expression becomes postfix and
// every GOTO gets its label's line.
TCompileResult Compile(const std::vector<String>& Source, const TfrParser& Parser);

}  // namespace frintrp
