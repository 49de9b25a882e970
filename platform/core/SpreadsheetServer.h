#pragma once
// The automation stand-ins of a spreadsheet program, registered as "Excel.Application" and
// "Excel.Sheet" when the core library loads: just the members a workbook import calls, over
// the spreadsheet reader. The application has Workbooks (Add, Open(FileName)), Visible,
// ActiveSheet (the sheet of the workbook last opened) and Quit; a workbook has Close and
// ActiveSheet; a sheet has UsedRange (Columns.Count, Rows.Count) and Cells (Item(Row,
// Col).Value and .Text). Any other member is an unknown name. A workbook that cannot be read
// fails its Open with the reader's message (naming the file) as the exception's description.
#include "core/System.h"

// Registers the two identifiers again (tests that replaced them put them back).
void RegisterSpreadsheetAutomation();
