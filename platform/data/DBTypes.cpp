// The data layer's error, its texts and the field-type groups.
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

TFieldTypeGroup FieldTypeGroup(TFieldType Type) {
  using G = TFieldTypeGroup;
  switch (Type) {
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftGuid: case ftOraClob:
      return G::Text;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: return G::Integer;
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: return G::Float;
    case ftBoolean: return G::Boolean;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp: return G::DateTime;
    case ftBytes: case ftVarBytes: case ftBlob: case ftGraphic: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob:
      return G::Binary;
    default: return G::Other;
  }
}

std::vector<String> SplitFieldNames(const String& names) { return SplitTrimmed(names, ';'); }
