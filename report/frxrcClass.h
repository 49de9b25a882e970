#pragma once
// The report library's built-in Chinese texts, as key=text lines.

const char* ReportResourceBlock();
