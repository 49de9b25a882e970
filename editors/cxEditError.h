#pragma once
// The editor library's own failures, in a header of their own so that the engines below the
// editors (the mask compilers) raise them without including the editor classes.
// Declares EcxEditError and EcxEditValidationError.
#include "core/Exceptions.h"

KELM_EXCEPTION(EcxEditError, Exception);
KELM_EXCEPTION(EcxEditValidationError, EcxEditError);
