#pragma once
// The document lists of the contract and project windows: the current document's file opened
// by the shell, or shown selected in the file manager ("打开文件", "打开文件夹"). The file is the
// one its DocName names in the documents folder (DocumentFile), whatever the row's DocPath says:
// a path or link from the data never reaches the desktop.
#include "core/System.h"

class TDataSet;
class TWinControl;
struct TAttachmentKind;

// The DocPath of the list's current document; '' when the list has no current row.
String CurrentDocumentPath(TDataSet* Documents);
// The current document's file opened with the shell's "open"; a name that is no plain file name
// is told with DocumentNameText, a file that cannot be opened with the reason. Nothing without
// a current document.
void OpenCurrentDocument(const TAttachmentKind& Kind, TDataSet* Documents, TWinControl* Window);
// The current document's file shown selected in the file manager; a file that is gone is
// told with DocumentMissingText and its path. Nothing without a current document.
void ShowCurrentDocumentFolder(const TAttachmentKind& Kind, TDataSet* Documents);

extern const char* const DocumentMissingText;  // "文件不存在："
