#include "report/designer/frxrcReportDialogs.h"

#include "report/frxRes.h"

const char* ReportDialogsResourceBlock() {
  return
      "5500=求值\r\n5501=运算式\r\n5502=结果\r\n"
      "5800=Connections\r\n5801=New\r\n5802=Delete\r\ncpName=Name\r\ncpConnStr=Connection string\r\n"
      "2200=报表树\r\n"
      "2900=编辑变量\r\n2901=Category\r\n2902=变量\r\n2903=编辑\r\n2904=删除\r\n2905=清单\r\n2906=载入\r\n"
      "2907=保存\r\n2908= 运算式:\r\n2909=Dictionary (*.fd3)|*.fd3\r\n2910=Dictionary (*.fd3)|*.fd3\r\n"
      "vaVar=变量\r\nvaNoVar=(未定义变量)\r\nvaDupName=名称重复\r\n"
      "5100=样式编辑器\r\n5101=颜色...\r\n5102=字体...\r\n5103=外框...\r\n5104=加入\r\n5105=删除\r\n5106=编辑\r\n"
      "5107=载入\r\n5108=保存\r\ndsStyleFile=样式\r\ndsStyleSample=样式范例\r\n";
}

void MergeReportDialogsTexts() {
  static const bool merged = [] {
    ReportResources()->MergeLines(ReportDialogsResourceBlock());
    return true;
  }();
  (void)merged;
}
