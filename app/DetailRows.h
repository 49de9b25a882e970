#pragma once
// The detail rows a dialog keeps in a batch query until its save: the parent's code written
// into each of them, and an edit left open by a failed save taken back.
#include "core/System.h"

class TDataSet;

// Writes Code into Field of every row of Query (the cached rows of a batch query), leaving
// alone the rows that hold it already; the query's controls stay still meanwhile.
void StampDetailCode(TDataSet* Query, const char* Field, const String& Code);
// Cancels the row Data is editing or inserting, if any.
void CancelEditing(TDataSet* Data);
