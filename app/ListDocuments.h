#pragma once
// The document lists of the contract and project windows: the current document's file opened
// by the shell, or shown selected in the file manager ("打开文件", "打开文件夹").
#include "core/System.h"

class TDataSet;
class TWinControl;

// The DocPath of the list's current document; '' when the list has no current row.
String CurrentDocumentPath(TDataSet* Documents);
// The current document's file opened with the shell's "open"; nothing without one.
void OpenCurrentDocument(TDataSet* Documents, TWinControl* Window);
// The current document's file shown selected in the file manager; a file that is gone is
// told with DocumentMissingText and its path. Nothing without a current document.
void ShowCurrentDocumentFolder(TDataSet* Documents);

extern const char* const DocumentMissingText;  // "文件不存在："
