#pragma once
// The texts of the designer's report-wide windows (evaluate, connections, report tree,
// variables and styles), as key=text lines merged into the report library's table once.
const char* ReportDialogsResourceBlock();
void MergeReportDialogsTexts();
