#pragma once
// A small window-like class hierarchy for the streaming tests: a form with handlers and
// component fields, controls with properties of every kind, an owned font, a collection, a
// string list, defined (binary and list) properties, a reference and events.
#include "core/Classes.h"
#include "core/Component.h"
#include "core/Filer.h"
#include "core/Variant.h"

#include <vector>

// Objects of the hierarchy alive right now; a failed read must bring it back to where it was.
int& FxLive();
// What happened, in order: "Name.Prop" for logged setters, "Loaded:Name" for Loaded.
std::vector<String>& FxLog();

KELM_ENUM(TFxAlign, faNone, faTop, faBottom, faClient)
KELM_ENUM(TFxStyle, fsBold, fsItalic, fsUnderline)
using TFxStyles = TSet<TFxStyle>;
KELM_EVENT(TFxChangeEvent, void(TObject* Sender, int& Value));

// Colours have names in layouts (fxRed), registered as integer identifiers of "TFxColor".
constexpr int fxBlack = 0;
constexpr int fxRed = 0x0000FF;
constexpr int fxWindow = -16;
void RegisterFxColors();

class TFxFont : public TPersistent {
  KELM_CLASS(TFxFont, TPersistent)
public:
  TFxFont();
  ~TFxFont() override;
  const String& Name() const { return FName; }
  void SetName(const String& v) { FName = v; }
  int Size() const { return FSize; }
  void SetSize(int v) { FSize = v; }
  int Color() const { return FColor; }
  void SetColor(int v) { FColor = v; }
  TFxStyles Style() const { return FStyle; }
  void SetStyle(TFxStyles v) { FStyle = v; }
  void Assign(TPersistent* Source) override;

private:
  String FName = "Tahoma";
  int FSize = 9;
  int FColor = fxBlack;
  TFxStyles FStyle;
};

class TFxItem : public TCollectionItem {
  KELM_CLASS(TFxItem, TCollectionItem)
public:
  using TCollectionItem::TCollectionItem;
  const String& Title() const { return FTitle; }
  void SetTitle(const String& v) { FTitle = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }

private:
  String FTitle;
  int FWidth = 64;
  bool FVisible = true;
};

class TFxItems : public TOwnedCollection {
public:
  explicit TFxItems(TPersistent* owner) : TOwnedCollection(owner, TFxItem::StaticClass()) {}
  TFxItem* Item(int i) const { return static_cast<TFxItem*>(Items(i)); }
};

class TFxControl;

// Something controls can be put in (forms and panels).
class TFxHost {
public:
  virtual ~TFxHost();
  std::vector<TFxControl*> Controls;
};

class TFxControl : public TComponent {
  KELM_CLASS(TFxControl, TComponent)
public:
  explicit TFxControl(TComponent* AOwner);
  ~TFxControl() override;

  int Left() const { return FLeft; }
  void SetLeft(int v);
  int Top() const { return FTop; }
  void SetTop(int v) { FTop = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v);
  int Height() const { return FHeight; }
  void SetHeight(int v) { FHeight = v; }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  TFxAlign Align() const { return FAlign; }
  void SetAlign(TFxAlign v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  TFxFont* Font() const { return FFont; }
  void SetFont(TFxFont* v) { FFont->Assign(v); }
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override;
  void Loaded() override;

  TComponent* ParentComponent() const { return FParent; }
  void ParentGone() { FParent = nullptr; }
  bool SawLoading = false;  // csLoading was set when a logged setter ran
  bool LoadingInLoaded = false;
  bool ReadingInLoaded = true;

protected:
  void Log(const char* prop);

private:
  int FLeft = 0, FTop = 0, FWidth = 100, FHeight = 20;
  String FCaption;
  TFxAlign FAlign = faNone;
  bool FVisible = true;
  TFxFont* FFont;
  String FHint;
  TComponent* FParent = nullptr;
};

class TFxPanel : public TFxControl, public TFxHost {
  KELM_CLASS(TFxPanel, TFxControl)
public:
  using TFxControl::TFxControl;
  int Color() const { return FColor; }
  void SetColor(int v) { FColor = v; }
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;

private:
  int FColor = fxWindow;
};

class TFxEdit : public TFxControl {
  KELM_CLASS(TFxEdit, TFxControl)
public:
  explicit TFxEdit(TComponent* AOwner);
  ~TFxEdit() override;

  Int64 Big() const { return FBig; }
  void SetBig(Int64 v) { FBig = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  float Scale() const { return FScale; }
  void SetScale(float v) { FScale = v; }
  TDateTime Stamp() const { return FStamp; }
  void SetStamp(TDateTime v) { FStamp = v; }
  char Accel() const { return FAccel; }
  void SetAccel(char v) { FAccel = v; }
  TFxStyles Options() const { return FOptions; }
  void SetOptions(TFxStyles v) { FOptions = v; }
  const Variant& Data() const { return FData; }
  void SetData(const Variant& v) { FData = v; }
  const String& Text() const { return FText; }
  void SetText(const String& v);
  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* v) { FLines->Assign(v); }
  TFxItems* Columns() const { return FColumns; }
  void SetColumns(TFxItems* v) { FColumns->Assign(v); }
  TFxControl* Buddy() const { return FBuddy; }
  void SetBuddy(TFxControl* v);
  TFxChangeEvent OnChange;

  // Streamed by DefineProperties: raw bytes, and a list of integers.
  TBytes Picture;
  std::vector<int> Extra;
  void DefineProperties(TFiler* Filer) override;

protected:
  void Notification(TComponent* c, TOperation op) override;

private:
  Int64 FBig = 0;
  double FRatio = 0;
  float FScale = 0;
  TDateTime FStamp = 0;
  char FAccel = 0;
  TFxStyles FOptions = {fsBold};
  Variant FData;
  String FText;
  TStringList* FLines;
  TFxItems* FColumns;
  TFxControl* FBuddy = nullptr;
};

// A component without a parent, like a timer or a data set.
class TFxTimer : public TComponent {
  KELM_CLASS(TFxTimer, TComponent)
public:
  explicit TFxTimer(TComponent* AOwner);
  ~TFxTimer() override;
  int Interval() const { return FInterval; }
  void SetInterval(int v) { FInterval = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TNotifyEvent OnTimer;

private:
  int FInterval = 1000;
  bool FEnabled = true;
};

class TFxForm : public TComponent, public TFxHost {
  KELM_CLASS(TFxForm, TComponent)
public:
  explicit TFxForm(TComponent* AOwner);
  ~TFxForm() override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v);
  int Color() const { return FColor; }
  void SetColor(int v) { FColor = v; }
  TFxFont* Font() const { return FFont; }
  void SetFont(TFxFont* v) { FFont->Assign(v); }
  TNotifyEvent OnClick;

  // Published fields, filled by name when the layout is read.
  TFxEdit* Edit1 = nullptr;
  TFxPanel* Panel1 = nullptr;
  TFxTimer* Timer1 = nullptr;

  // Published handlers.
  void FormClick(TObject* Sender) { ++Clicks; }
  void EditChange(TObject* Sender, int& Value) { Value += 100; }
  void TimerFire(TObject* Sender) { ++Ticks; }
  int Clicks = 0;
  int Ticks = 0;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void Loaded() override;

private:
  String FCaption;
  int FColor = fxWindow;
  TFxFont* FFont;
};

// A report-like object whose data is all defined properties: a design position and three
// collections, written as name + value records with no header.
class TFxPropData : public TPersistent {
  KELM_CLASS(TFxPropData, TPersistent)
public:
  int Left = 0, Top = 0;
  std::vector<String> Datasets, Variables, Style;
  void DefineProperties(TFiler* Filer) override;
};

// FxMain: a timer, Panel1 holding Edit1 (every kind of value set), Edit2 on the form; Edit1's
// Buddy is Edit2; handlers of the form on OnClick, OnTimer and OnChange.
TFxForm* BuildFxForm();
