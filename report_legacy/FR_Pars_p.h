#pragma once
// Private to the expression parser's units: the one failure routine.
#include "report_legacy/FR_Pars.h"

#include <string_view>

namespace frpars {
// Raises EfrParserError quoting the expression.
[[noreturn]] void Fail(std::string_view expr, const String& why);
}  // namespace frpars
