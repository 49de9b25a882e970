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
      "5107=载入\r\n5108=保存\r\ndsStyleFile=样式\r\ndsStyleSample=样式范例\r\n"
      "4700=报表设置\r\n4701=常规\r\n4702=打印机设置\r\n4703=打印份数\r\n4704=常规\r\n4705=密码\r\n4706=自动分页\r\n"
      "4707=Double pass\r\n4708=Print if empty\r\n4709=描述\r\n4710=名称\r\n4711=描述\r\n4712=图像\r\n4713=作者\r\n"
      "4714=Major\r\n4715=Minor\r\n4716=Release\r\n4717=Build\r\n4718=建立\r\n4719=修改\r\n4720=描述\r\n"
      "4721=版本\r\n4722=浏览...\r\nrePrnOnPort=在\r\n"
      "2800=选取报表数据库\r\n"
      "5400=Tab键次序\r\n5401=控制项的Tab键次序:\r\n5402=上移\r\n5403=下移\r\n"
      "5300=新项目\r\n5301=项目\r\n5302=模板\r\n"
      "2600=关于 Vizerav Report\r\n2601=访问我们的网站以取得更多的信息:\r\n2602=销售:\r\n2603=支援:\r\n";
}

void MergeReportDialogsTexts() {
  static const bool merged = [] {
    ReportResources()->MergeLines(ReportDialogsResourceBlock());
    return true;
  }();
  (void)merged;
}
