#pragma once
// The older contracts and the nine kinds of record that hang off a contract by its code, as
// tables the record dialogs are driven by: which query and table each dialog writes, the
// dated code it proposes, its captions and messages, and which control fills which column as
// what kind of value. Clearing, loading and saving a dialog walk its table; the functions
// here do the parts that need no window, so a dialog only reads and writes its controls.
#include "core/Exceptions.h"
#include "core/System.h"

#include <functional>
#include <vector>

class TADOQuery;
class TDataSet;

// How a control's value reaches its column.
enum class TLegacyValueKind {
  Text,    // typed text; a clear empties it
  Choice,  // a drop-down's text; a clear keeps it
  Code,    // the dated code edit; a clear keeps it, NewCode refills it
  Date,    // a date edit: NULL when empty; a clear shows today
  Amount,  // a calculator edit's text as a number; a clear keeps it
  TypeCode // the dialog's TypeCode field, not a control
};

struct TLegacyField {
  const char* Control;  // the control's name ("TypeCode" for the type code)
  const char* Column;   // matched without regard to case
  TLegacyValueKind Kind;
  bool Trimmed = false; // the contract dialog stores most of its texts trimmed
};

// One dialog of the family.
struct TLegacyRecordKind {
  const char* Window;        // "TFrm_htbg"
  const char* Query;         // the data module's query it writes, "Qry_HTBG"
  const char* Table;         // "T_htBG"
  const char* CodeColumn;    // "BGcode"; "" for the two plans, which carry no code
  const char* Prefix;        // "BG-"
  const char* AddCaption;
  const char* EditCaption;
  const char* NameControl;   // the required name
  const char* NameMessage;   // shown when it is empty
  const char* DeleteQuestion;// asked before one record of this kind is deleted
  std::vector<TLegacyField> Fields;
};

// The contract dialog TFrm_Addht, then the nine record dialogs in the order change, quantity
// report, claim, settlement, payment plan, payment, document, receipt plan, receipt.
const TLegacyRecordKind& LegacyContractKind();
const std::vector<TLegacyRecordKind>& LegacyRecordKinds();
// The kind of a window class name; nullptr for another window.
const TLegacyRecordKind* FindLegacyKind(const String& Window);
// The query of a kind on the data module.
TADOQuery* LegacyQuery(const TLegacyRecordKind& Kind);

// ---- dated codes: Prefix + "yyyy-mm-dd" + "-" + serial, the serial at least four digits
// A serial of fewer than four digits gets leading zeros; a longer one is returned unchanged.
String PadSerial(const String& Number);
// The serial of Code when it is Stem + "-" + digits only (Stem compared without regard to
// case, as the look-up matches), else -1.
Int64 SerialOfCode(const String& Code, const String& Stem);
// The code a new record of Kind gets on Today: the largest numeric serial among the day's
// codes of its table plus one, "-0001" for the first; 9999 is followed by 10000. Codes of
// other days, and serials typed by hand that are not numbers, do not count. While the day's
// last code in text order has a four-digit serial below 9999 and the code after it is free,
// that code is taken without reading the others: a longer serial typed by hand among them is
// then not seen. Runs on the data module's Qry_Temp.
String NextLegacyCode(const TLegacyRecordKind& Kind, TDateTime Today);

// ---- values between the controls and a row
struct TLegacyValue {
  const TLegacyField* Field = nullptr;
  String Text;           // Text, Choice, Code, TypeCode, and an Amount's text as typed
  TDateTime Date = 0;    // Date; 0 is the empty date edit
};
using TLegacyValues = std::vector<TLegacyValue>;

// An amount that is not a number: its control, and the conversion's message.
class ELegacyAmount : public EConvertError {
public:
  ELegacyAmount(const String& Control, const String& Message) : EConvertError(Message), FControl(Control) {}
  const String& Control() const { return FControl; }

private:
  String FControl;
};

// Every amount of Values as a number, in table order; the first that is not one raises
// ELegacyAmount before anything is written.
std::vector<double> ConvertLegacyAmounts(const TLegacyValues& Values);

// The values after a dialog's ClearFields: texts emptied, dates today; codes, drop-downs,
// amounts and the type code keep theirs (the next code comes from NextLegacyCode).
void ClearLegacyValues(TLegacyValues& Values, TDateTime Today);

// The current row of Data as values of Fields: texts as shown, dates (0 when NULL), amounts
// as the text of their number.
TLegacyValues ReadLegacyRow(const std::vector<TLegacyField>& Fields, TDataSet* Data);

// Appends (AddMode 1) or edits the current row of Data, writes every value (texts trimmed
// where their field says so, dates NULL when 0, amounts converted first) and posts; a failure
// cancels the row and raises, ELegacyAmount before the row is touched.
void WriteLegacyRow(TDataSet* Data, int AddMode, const TLegacyValues& Values);

// The save of the nine record dialogs, after the name check: appends (AddMode 1) or edits the
// current row of the kind's query and writes every value; a new record joins the contract
// current in Qry_HT, an edited one keeps its own. The payment also stores wfmoney, the
// contract's amount less this payment. Amounts are converted first, so a text that is no
// number raises ELegacyAmount with the query untouched; a refused post cancels the row.
void SaveLegacyRecord(const TLegacyRecordKind& Kind, int AddMode, const TLegacyValues& Values);

// ---- the contract dialog's checks and save
// A refused contract save: the message to show and the control to focus.
class ELegacyCheck : public Exception {
public:
  ELegacyCheck(const String& Control, const String& Message) : Exception(Message), FControl(Control) {}
  const String& Control() const { return FControl; }

private:
  String FControl;
};

// The six required fields of a contract (TextOf gives a control's text), each trimmed, in the
// order they are checked: the first empty one raises ELegacyCheck with its message.
void CheckLegacyContract(const std::function<String(const String& Control)>& TextOf);

// Saves the contract once its checks passed: the name must be new (on add) and the code unused by
// any other contract (ELegacyCheck with "合同名称有重复!" / "合同编号有重复!"). An add appends
// to Qry_HT; an edit changes its current row and, when the code changed, carries the new code
// to the contract's records, all in one transaction (a failure rolls everything back and
// raises). Amounts are converted before anything is written.
void SaveLegacyContract(int AddMode, const TLegacyValues& Values);

// The value of Column in Values (matched without regard to case); nullptr when absent.
const TLegacyValue* FindLegacyValue(const TLegacyValues& Values, const String& Column);
