// The designer window's captions and hints from the text table: runs of consecutive keys,
// each run naming its controls in key order and saying what the text becomes.
#include "report/designer/frxDesignerForm.h"

#include "report/frxRes.h"

#include "gui/ActnList.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"

#include <initializer_list>

namespace {

enum TTextUse { tuHint, tuCaption, tuFilter };

struct TTextRun {
  int FirstKey;
  TTextUse Use;
  std::initializer_list<const char*> Names;
};

const TTextRun kRuns[] = {
    {2300, tuHint, {"OpenScriptB", "SaveScriptB", "RunScriptB", "StepScriptB", "StopScriptB", "EvaluateB"}},
    {2306, tuCaption, {"LangL", "AlignTB"}},
    {2308, tuHint, {"AlignLeftsB", "AlignHorzCentersB", "AlignRightsB", "AlignTopsB", "AlignVertCentersB", "AlignBottomsB",
                    "SpaceHorzB", "SpaceVertB", "CenterHorzB", "CenterVertB", "SameWidthB", "SameHeightB"}},
    {2320, tuCaption, {"TextTB"}},
    {2321, tuHint, {"StyleCB", "FontNameCB", "FontSizeCB", "BoldB", "ItalicB", "UnderlineB", "FontColorB", "HighlightB",
                    "RotateB", "TextAlignLeftB", "TextAlignCenterB", "TextAlignRightB", "TextAlignBlockB", "TextAlignTopB",
                    "TextAlignMiddleB", "TextAlignBottomB"}},
    {2461, tuHint, {"FontB"}},
    {2337, tuCaption, {"FrameTB"}},
    {2338, tuHint, {"FrameTopB", "FrameBottomB", "FrameLeftB", "FrameRightB", "FrameAllB", "FrameNoB", "ShadowB",
                    "FillColorB", "FrameColorB", "FrameStyleB", "FrameWidthCB"}},
    {2349, tuCaption, {"StandardTB"}},
    {2350, tuHint, {"NewB", "OpenB", "SaveB", "PreviewB", "NewPageB", "NewDialogB", "DeletePageB", "PageSettingsB",
                    "VariablesB", "CutB", "CopyB", "PasteB", "SampleFormatB", "UndoB", "RedoB", "GroupB", "UngroupB",
                    "ShowGridB", "AlignToGridB", "SetToGridB", "ScaleCB"}},
    {2371, tuCaption, {"ExtraToolsTB"}},
    {2372, tuHint, {"SelectToolB", "HandToolB", "ZoomToolB", "TextToolB", "FormatToolB", "InsertBandB"}},
    {2378, tuCaption, {"FileMenu", "EditMenu", "FindMI", "FindNextMI", "ReplaceMI", "ReportMenu", "ReportDataMI",
                       "ReportSettingsMI", "ReportStylesMI", "ViewMenu", "ToolbarsMI", "StandardMI", "TextMI", "FrameMI",
                       "AlignmentMI", "ToolsMI", "InspectorMI", "DataTreeMI", "ReportTreeMI", "ShowRulersMI",
                       "ShowGuidesMI", "DeleteGuidesMI", "OptionsMI", "HelpMenu", "HelpContentsMI", "AboutMI",
                       "TabOrderMI"}},
    {2405, tuCaption, {"UndoCmd", "RedoCmd", "CutCmd", "CopyCmd", "PasteCmd", "GroupCmd", "UngroupCmd", "DeleteCmd",
                       "DeletePageCmd", "SelectAllCmd", "EditCmd", "BringToFrontCmd", "SendToBackCmd", "NewItemCmd",
                       "NewReportCmd", "NewPageCmd", "NewDialogCmd", "OpenCmd", "SaveCmd", "SaveAsCmd", "VariablesCmd",
                       "PageSettingsCmd", "PreviewCmd", "ExitCmd"}},
    {2429, tuCaption, {"ReportTitleMI", "ReportSummaryMI", "PageHeaderMI", "PageFooterMI", "HeaderMI", "FooterMI",
                       "MasterDataMI", "DetailDataMI", "SubdetailDataMI", "Data4levelMI", "Data5levelMI", "Data6levelMI",
                       "GroupHeaderMI", "GroupFooterMI", "ChildMI", "ColumnHeaderMI", "ColumnFooterMI", "OverlayMI",
                       "VerticalbandsMI", "HeaderMI1", "FooterMI1", "MasterDataMI1", "DetailDataMI1", "SubdetailDataMI1",
                       "GroupHeaderMI1", "GroupFooterMI1", "ChildMI1"}},
    {2456, tuCaption, {"R0MI", "R45MI", "R90MI", "R180MI", "R270MI"}},
    {2461, tuHint, {"FontB"}},
    {2462, tuCaption, {"BoldMI", "ItalicMI", "UnderlineMI", "SuperScriptMI", "SubScriptMI", "CondensedMI", "WideMI",
                       "N12cpiMI", "N15cpiMI"}},
    {2471, tuFilter, {"OpenDialog", "OpenScriptDialog", "SaveScriptDialog"}},
    {2474, tuCaption, {"ConnectionsMI"}},
};

// A caption goes to whatever the component is; controls that are not in the window yet
// (the palette's tools, the commands' buttons) are skipped.
void PutText(TComponent* C, TTextUse Use, const String& Text) {
  if (Use == tuFilter) {
    if (auto* d = dynamic_cast<TOpenDialog*>(C)) d->SetFilter(Text);
    return;
  }
  if (Use == tuHint) {
    if (auto* c = dynamic_cast<TControl*>(C)) c->SetHint(Text);
    return;
  }
  if (auto* a = dynamic_cast<TCustomAction*>(C)) a->SetCaption(Text);
  else if (auto* m = dynamic_cast<TMenuItem*>(C)) m->SetCaption(Text);
  else if (auto* c = dynamic_cast<TControl*>(C)) c->SetCaption(Text);
}

}  // namespace

void TfrxDesignerForm::LocalizeControls() {
  for (const TTextRun& run : kRuns) {
    int key = run.FirstKey;
    for (const char* name : run.Names) {
      if (TComponent* c = FindComponent(name)) PutText(c, run.Use, ResourceText(key));
      ++key;
    }
  }
  // No loader of the older report format exists here, so the open filter keeps key 2471.
}
