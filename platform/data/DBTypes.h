#pragma once
// The vocabulary the data layer shares: its error, its texts, the enumerations of dataset
// states, data events and field types, and the event types of datasets and fields.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Currency.h"
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"
#include "core/Variant.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;

using NativeInt = std::intptr_t;

// ---------------------------------------------------------------- errors

KELM_EXCEPTION(EDatabaseError, Exception);

// Raises EDatabaseError; a named component prefixes the message with "Name: ".
[[noreturn]] void DatabaseError(const String& Message, const TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(std::string_view Message, std::initializer_list<TVarRec> Args,
                                   const TComponent* Component = nullptr);

// The platform's texts, for callers that raise or compare them.
extern const char* const SDataSetClosed;     // "Cannot perform this operation on a closed dataset"
extern const char* const SDataSetOpen;       // "Cannot perform this operation on an open dataset"
extern const char* const SDataSetEmpty;      // "Cannot perform this operation on an empty dataset"
extern const char* const SDataSetReadOnly;   // "Cannot modify a read-only dataset"
extern const char* const SNotEditing;        // "Dataset not in edit or insert mode"
extern const char* const SFieldNotFound;     // "Field '%s' not found"
extern const char* const SFieldRequired;     // "Field '%s' must have a value"
extern const char* const SFieldReadOnly;     // "Field '%s' cannot be modified"
extern const char* const SFieldAccessError;  // "Cannot access field '%s' as type %s"
extern const char* const SFieldRangeError;   // "%s is not a valid value for field '%s'. The allowed range is %s to %s"
extern const char* const SDuplicateFieldName;  // "Duplicate field name '%s'"
extern const char* const SRecordNotFound;    // "Record not found"

// ---------------------------------------------------------------- enumerations

KELM_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
          dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc, dsOpening)

KELM_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deLayoutChange,
          deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange, deFieldListChange,
          deFocusControl, deParentScroll, deConnectChange, deReconcileError, deDisabledStateChange)

// Ordinals are fixed: tables elsewhere are indexed by them.
KELM_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
          ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo,
          ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT,
          ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid,
          ftTimeStamp, ftFMTBcd)
using TBlobType = TFieldType;

// The kind of value a field type holds, for every caller that treats fields by kind (the rows'
// conversions, the grid's editors, filters and footers, the exports). Whole numbers take the
// auto-increment and the 64-bit integer too: both hold integers. Floats take the exact decimals
// (BCD) and currency: fractional numbers. A caller that must set a type apart says why there.
enum class TFieldTypeGroup { Other, Text, Integer, Float, Boolean, DateTime, Binary };
TFieldTypeGroup FieldTypeGroup(TFieldType Type);
inline bool IsTextFieldType(TFieldType T) { return FieldTypeGroup(T) == TFieldTypeGroup::Text; }
inline bool IsIntegerFieldType(TFieldType T) { return FieldTypeGroup(T) == TFieldTypeGroup::Integer; }
inline bool IsFloatFieldType(TFieldType T) { return FieldTypeGroup(T) == TFieldTypeGroup::Float; }
inline bool IsNumericFieldType(TFieldType T) { return IsIntegerFieldType(T) || IsFloatFieldType(T); }
inline bool IsDateTimeFieldType(TFieldType T) { return FieldTypeGroup(T) == TFieldTypeGroup::DateTime; }

KELM_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate)
KELM_ENUM(TLocateOption, loCaseInsensitive, loPartialKey)
using TLocateOptions = TSet<TLocateOption>;
KELM_ENUM(TFilterOption, foCaseInsensitive, foNoPartialCompare)
using TFilterOptions = TSet<TFilterOption>;
KELM_ENUM(TUpdateStatus, usUnmodified, usModified, usInserted, usDeleted)
KELM_ENUM(TDataAction, daFail, daAbort, daRetry)
KELM_ENUM(TBlobStreamMode, bmRead, bmWrite, bmReadWrite)
KELM_ENUM(TFieldAttribute, faHiddenCol, faReadonly, faRequired, faLink, faUnNamed, faFixed)
using TFieldAttributes = TSet<TFieldAttribute>;

// ---------------------------------------------------------------- events

KELM_EVENT(TDataSetNotifyEvent, void(TDataSet* DataSet));
KELM_EVENT(TDataSetErrorEvent, void(TDataSet* DataSet, EDatabaseError* E, TDataAction& Action));
KELM_EVENT(TFilterRecordEvent, void(TDataSet* DataSet, bool& Accept));
KELM_EVENT(TFieldNotifyEvent, void(TField* Sender));
KELM_EVENT(TFieldGetTextEvent, void(TField* Sender, String& Text, bool DisplayText));
KELM_EVENT(TFieldSetTextEvent, void(TField* Sender, const String& Text));
KELM_EVENT(TDataChangeEvent, void(TObject* Sender, TField* Field));

// Splits "A; B;C" into trimmed names; empty parts are dropped.
std::vector<String> SplitFieldNames(const String& FieldNames);
