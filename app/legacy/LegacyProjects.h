#pragma once
// The older project dialog's table and save, without its window: which control fills which
// column of T_Project (through the data module's Qry_Project), the dates kept only when they
// are real ones, and the save with its code checks.
#include "app/legacy/LegacyRecords.h"

// The project dialog TFrm_AddProject: its controls and columns, captions and code message.
const TLegacyRecordKind& LegacyProjectKind();

// A project date is stored, and shown, only after this day count (1905-02-09): an empty or
// earlier date edit stands for no date.
constexpr double kLegacyProjectDateFloor = 1867;

// A date edit's value as the project stores it: 0 (NULL) up to the floor.
TDateTime LegacyProjectDate(TDateTime Value);

// Saves a project: the code must be filled ("项目编码不能为空!") and not be another project's
// ("项目编码有重复!"), both raised as ELegacyCheck before anything is written. An add appends
// to Qry_Project (opened on no project when closed); an edit changes its current row, in one
// transaction when the code changed. Texts are stored trimmed, amounts converted first.
void SaveLegacyProject(int AddMode, const TLegacyValues& Values);

// The current project of Qry_Project as values of the dialog's table, its dates as the dialog
// shows them (0 up to the floor), and the name of its category; false when there is no row.
bool ReadLegacyProject(TLegacyValues& Values, String& CategoryName);
