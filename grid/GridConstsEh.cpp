#include "grid/GridConstsEh.h"

const char* const SClearFilterEh = "(清除过滤器)";
const char* const SSortAscendingEh = "(正向排序)";
const char* const SSortDescendingEh = "(逆向排序)";
const char* const SEmptyValueEh = "(空)";
const char* const SNotEmptyValueEh = "(非空)";
const char* const SAllValuesEh = "(全部)";

const char* const SClearSelectedCellsEh = "清除选择的单元?";
const char* const SInvalidTextFormatEh = "错误的文本格式";
const char* const SInvalidVCLDBIFFormatEh = "错误的 VCLDBIF 格式";
const char* const SErrorDuringInsertValueEh = "插入值过程中出错:";
const char* const SIgnoreErrorsEh = "忽略错误?";

const char* const SGridInfoEh = "表格信息";
const char* const SPageOfPagesEh = "第 %d 页，共 %d 页";
const char* const SPreviewEh = "预览";

const char* const STextNotFoundEh = "字符串 \"%s\" 没有找到";
