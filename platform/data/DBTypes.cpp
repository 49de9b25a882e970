// The data layer's error and texts.
#include "data/DBTypes.h"

#include "core/StrUtils.h"

const char* const SDataSetClosed = "Cannot perform this operation on a closed dataset";
const char* const SDataSetOpen = "Cannot perform this operation on an open dataset";
const char* const SDataSetEmpty = "Cannot perform this operation on an empty dataset";
const char* const SDataSetReadOnly = "Cannot modify a read-only dataset";
const char* const SNotEditing = "Dataset not in edit or insert mode";
const char* const SFieldNotFound = "Field '%s' not found";
const char* const SFieldRequired = "Field '%s' must have a value";
const char* const SFieldReadOnly = "Field '%s' cannot be modified";
const char* const SFieldAccessError = "Cannot access field '%s' as type %s";
const char* const SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
const char* const SDuplicateFieldName = "Duplicate field name '%s'";
const char* const SRecordNotFound = "Record not found";

void DatabaseError(const String& message, const TComponent* component) {
  if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
  throw EDatabaseError(message);
}

void DatabaseErrorFmt(std::string_view message, std::initializer_list<TVarRec> args, const TComponent* component) {
  DatabaseError(Format(message, args), component);
}

std::vector<String> SplitFieldNames(const String& names) { return SplitTrimmed(names, ';'); }
