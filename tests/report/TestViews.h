#pragma once
// A stand-in for the text objects of reports: a view with bounds, font, alignment, a frame,
// a list, a data-set reference and a text, published the way views publish them.
#include "report/frxClass.h"

#include <memory>

class TTestView : public TfrxReportComponent {
  KELM_CLASS(TTestView, TfrxReportComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TTestView::Left, &TTestView::SetLeft);
    b.Prop("Top", &TTestView::Top, &TTestView::SetTop);
    b.Prop("Width", &TTestView::Width, &TTestView::SetWidth);
    b.Prop("Height", &TTestView::Height, &TTestView::SetHeight);
    b.Prop("Align", &TTestView::Align, &TTestView::SetAlign).Default(baNone);
    b.Prop("DataSet", &TTestView::DataSet, &TTestView::SetDataSet);
    b.Prop("DataSetName", &TTestView::DataSetName, &TTestView::SetDataSetName);
    b.Prop("Font", &TTestView::Font, &TTestView::SetFont).StoredUnless(&TTestView::ParentFont);
    b.Prop("Frame", &TTestView::Frame, &TTestView::SetFrame);
    b.Prop("Lines", &TTestView::Lines, &TTestView::SetLines);
    b.Prop("ParentFont", &TTestView::ParentFont, &TTestView::SetParentFont).Default(true);
    b.Prop("Restrictions", &TTestView::Restrictions, &TTestView::SetRestrictions).Default(TfrxRestrictions{});
    b.Prop("Style", &TTestView::Style, &TTestView::SetStyle);
    b.Prop("Visible", &TTestView::Visible, &TTestView::SetVisible).Default(true);
    b.Prop("OnBeforePrint", &TTestView::OnBeforePrint, &TTestView::SetOnBeforePrint);
  }
public:
  explicit TTestView(TComponent* AOwner);
  ~TTestView() override;

  TfrxAlign Align() const { return FAlign; }
  void SetAlign(TfrxAlign Value) { FAlign = Value; }
  TfrxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  void SetDataSetName(const String& Value);
  TfrxFrame* Frame() const { return FFrame.get(); }
  void SetFrame(TfrxFrame* Value) { FFrame->Assign(Value); }
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  const String& Style() const { return FStyle; }
  // A style of the report gives its colour to the view; '' keeps the look.
  void SetStyle(const String& Value);
  TColor Color() const { return FColor; }

  bool IsTextObject() const override { return true; }
  WideString ObjectText() const override { return FText; }
  void SetObjectText(const WideString& Value) override { FText = Value; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TfrxAlign FAlign = baNone;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
  std::unique_ptr<TfrxFrame> FFrame;
  std::unique_ptr<TStringList> FLines;
  String FStyle;
  TColor FColor = clNone;
  WideString FText;
};
