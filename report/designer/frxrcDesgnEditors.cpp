#include "report/designer/frxrcDesgnEditors.h"

#include "report/frxRes.h"

const char* DesignerEditorsResourceBlock() {
  return
      "prInvProp=Invalid property value\r\n"
      "prPict=(Picture)\r\n"
      "prNotAssigned=(Not assigned)\r\n"
      "prDefault=预设\r\n"
      "5200=外框编辑器\r\n5201=外框\r\n5202=框线\r\n5203=阴影\r\n5204=上线\r\n5205=底线\r\n5206=左线\r\n"
      "5207=右线\r\n5208=外框线\r\n5209=无框线\r\n5210=外框颜色\r\n5211=外框样式\r\n5212=外框宽度\r\n"
      "5213=阴影\r\n5214=阴影颜色\r\n5215=阴影宽度\r\n"
      "4000=图像\r\n4001=载入\r\n4002=复制\r\n4003=粘贴\r\n4004=清除\r\npiEmpty=清空\r\n"
      "4600=突显\r\n4601=颜色...\r\n4602=颜色...\r\n4603=条件\r\n4604=字体\r\n4605=背景\r\n4606=粗体\r\n"
      "4607=斜体\r\n4608=底线\r\n4609=透明\r\n4610=其他\r\n"
      "3100=选取数据库\r\n3101=Number of records:\r\ndbNotAssigned=[未指定]\r\n"
      "3200=群组\r\n3201=群组分隔于\r\n3202=选项\r\n3203=数据字段\r\n3204=运算式\r\n3205=保持与群组在一起\r\n"
      "3206=换页\r\n3207=显示在大纲\r\n"
      "2700=页面设置\r\n2701=纸张\r\n2702=宽度\r\n2703=高度\r\n2704=大小\r\n2705=方向\r\n2706=左边距\r\n"
      "2707=上边距\r\n2708=右边距\r\n2709=下边距\r\n2710=边距\r\n2711=纸张来源\r\n2712=第一页\r\n2713=其他页\r\n"
      "2714=纵向\r\n2715=横向\r\n2716=其他选项\r\n2717=分栏\r\n2718=栏数\r\n2719=栏间距\r\n2720=位置\r\n"
      "2721=其他\r\n2722=双面打印\r\n2723=打印至前一页\r\n2724=伸展至打印区\r\n2725=在设计模式使用大的纸张高度\r\n"
      "lvDiagonal=Diagonal\r\nmvStretch=Stretch\r\npvAutoSize=Auto Size\r\npvCenter=Center\r\n"
      "pvAspect=Keep Aspect Ratio\r\nbvSplit=Allow Split\r\nbvKeepChild=Keep Child Together\r\n"
      "bvPrintChild=Print Child If Invisible\r\nbvStartPage=Start New Page\r\nbvPrintIfEmpty=Print If Detail Empty\r\n"
      "bvFooterAfterEach=Footer after each row\r\nbvKeepDetail=Keep Detail Together\r\n"
      "bvKeepFooter=Keep Footer Together\r\nbvKeepHeader=Keep Header Together\r\nbvReprint=Reprint On New Page\r\n"
      "bvOnFirst=Print On First Page\r\nbvOnLast=Print On Last Page\r\nbvKeepGroup=Keep Together\r\n"
      "srParent=Print On Parent\r\n"
      "mvFormat=Display Format...\r\nmvClear=Clear Contents\r\nmvAutoWidth=Auto Width\r\nmvWWrap=Word Wrap\r\n"
      "mvSuppress=Suppress Repeated Values\r\nmvHideZ=Hide Zeros\r\nmvExpr=Allow Expressions\r\n"
      "mvHTML=Allow HTML Tags\r\nmvStretchToMax=Stretch to Max Height\r\nmvShift=Shift\r\n"
      "mvShiftOver=Shift When Overlapped\r\nmvVisible=Visible\r\nmvPrintable=Printable\r\n"
      "3900=备忘\r\n3901=插入运算式\r\n3902=插入合计\r\n3903=插入输出格式\r\n3904=文本自动换行\r\n"
      "3300=系统备忘\r\n3301=数据band\r\n3302=数据库\r\n3303=数据字段\r\n3304=函数\r\n3305=表示式\r\n"
      "3306=Aggregate value\r\n3307=系统变量\r\n3308=计算不可见band的数目\r\n3309=文本\r\n3310=执行总数\r\n"
      "agAggregate=插入合计\r\n4400=运算式编辑器\r\n4401=运算式:\r\n4500=显示格式\r\n4501=类别\r\n4502=格式\r\n"
      "4503=格式字串:\r\n4504=小数点分隔字元:\r\n4800=字串清单\r\n"
      "vt1=[DATE]\r\nvt2=[TIME]\r\nvt3=[PAGE#]\r\nvt4=[TOTALPAGES#]\r\nvt5=[PAGE#] of [TOTALPAGES#]\r\nvt6=[LINE#]\r\n"
      "fkText=文本 (未格式化)\r\nfkNumber=数字\r\nfkNumber1=1234.5;%g\r\nfkNumber2=1234.50;%2.2f\r\n"
      "fkNumber3=1,234.50;%2.2n\r\nfkNumber4=$1,234.50;%2.2m\r\nfkDateTime=日期/时间\r\n"
      "fkDateTime1=11.28.2002;mm.dd.yyyy\r\nfkDateTime2=28 nov 2002;dd mmm yyyy\r\n"
      "fkDateTime3=November 28, 2002;mmmm dd, yyyy\r\nfkDateTime4=02:14;hh:mm\r\nfkDateTime5=02:14am;hh:mm am/pm\r\n"
      "fkDateTime6=02:14:00;hh:mm:ss\r\nfkDateTime7=02:14am, November 28, 2002;hh:mm am/pm, mmmm dd, yyyy\r\n"
      "fkBoolean=布林\r\nfkBoolean1=0,1;0,1\r\nfkBoolean2=No,Yes;No,Yes\r\nfkBoolean3=_,x;_,x\r\n"
      "fkBoolean4=False,True;False,True\r\n"
      "obCatDraw=Draw\r\nobCatOther=Other objects\r\nobDiagLine=Diagonal line\r\nobRect=Rectangle\r\n"
      "obRoundRect=Rounded rectangle\r\nobEllipse=Ellipse\r\nobTrian=Triangle\r\nobDiamond=Diamond\r\n";
}

void MergeDesignerEditorsTexts() {
  static const bool merged = [] {
    ReportResources()->MergeLines(DesignerEditorsResourceBlock());
    return true;
  }();
  (void)merged;
}
