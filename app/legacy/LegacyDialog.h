#pragma once
// What the older record dialogs share between their controls and a kind's field table: the
// values read from the controls named by the table, and values shown in them. Texts and
// drop-downs go through the control's text, amounts through the calculator edit's text, dates
// through the date edit's date value (an empty date edit is 0).
#include "app/legacy/LegacyRecords.h"

class TComponent;

// The values of Fields as Form's controls hold them; the type code field takes TypeCode.
TLegacyValues ReadLegacyControls(TComponent* Form, const std::vector<TLegacyField>& Fields, const String& TypeCode);
// Values shown in Form's controls; the type code field is not a control and is skipped.
void ShowLegacyValues(TComponent* Form, const TLegacyValues& Values);
