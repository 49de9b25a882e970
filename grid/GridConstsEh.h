#pragma once
// The captions and messages of the grid library.

// Filter-row drop-down list.
extern const char* const SClearFilterEh;        // "(清除过滤器)"
extern const char* const SSortAscendingEh;      // "(正向排序)"
extern const char* const SSortDescendingEh;     // "(逆向排序)"
extern const char* const SEmptyValueEh;         // "(空)"
extern const char* const SNotEmptyValueEh;      // "(非空)"
extern const char* const SAllValuesEh;          // "(全部)"

// Import and clipboard operations.
extern const char* const SClearSelectedCellsEh;   // "清除选择的单元?"
extern const char* const SInvalidTextFormatEh;    // "错误的文本格式"
extern const char* const SInvalidVCLDBIFFormatEh; // "错误的 VCLDBIF 格式"
extern const char* const SErrorDuringInsertValueEh;  // "插入值过程中出错:"
extern const char* const SIgnoreErrorsEh;         // "忽略错误?"

// Printing and the print preview.
extern const char* const SGridInfoEh;           // "表格信息"
extern const char* const SPageOfPagesEh;        // "第 %d 页，共 %d 页"
extern const char* const SPreviewEh;            // "预览"

// Find dialog.
extern const char* const STextNotFoundEh;       // "字符串 "%s" 没有找到"
