#pragma once
// The screen: the forms and data modules in z-order, the active form and control, the
// cursors and the monitors with their work areas.
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"

#include <memory>
#include <vector>

class TForm;
class TCustomForm;
class TDataModule;
class TStrings;

KELM_ENUM(TMonitorDefaultTo, mdNearest, mdNull, mdPrimary)

class TMonitor : public TObject {
public:
  int MonitorNum() const { return FNum; }
  TRect BoundsRect() const { return FBounds; }
  TRect WorkareaRect() const { return FWork; }
  bool Primary() const { return FPrimary; }
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }

private:
  friend class TScreen;
  int FNum = 0;
  TRect FBounds, FWork;
  bool FPrimary = false;
};

class TScreen : public TComponent {
  KELM_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Forms in z-order, the active first.
  int FormCount() const;
  TForm* Forms(int Index) const;
  int CustomFormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* CustomForms(int Index) const;
  int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
  TDataModule* DataModules(int Index) const;
  TForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }

  // crDefault lets each control show its own cursor; another value overrides all of them.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);
  // The cursor image of an id (the arrow for unknown ids); assigning nullptr removes it.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);
  TStrings* Fonts();
  TFont* HintFont() const { return FHintFont.get(); }
  TFont* MenuFont() const { return FMenuFont.get(); }
  TFont* IconFont() const { return FIconFont.get(); }

  int PixelsPerInch() const { return 96; }
  int Width() const;
  int Height() const;
  TRect DesktopRect() const;
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int MonitorCount() const;
  TMonitor* Monitors(int Index) const;
  TMonitor* PrimaryMonitor() const;
  TMonitor* MonitorFromPoint(TPoint P, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromRect(const TRect& R, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest) const;

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

private:
  friend class TCustomForm;
  friend class TWinControl;
  friend class TDataModule;
  friend class TApplication;
  friend struct gui_glue::TAccess;
  void AddForm(TCustomForm* F);
  void RemoveForm(TCustomForm* F);
  void MoveFormToFront(TCustomForm* F);
  void SetActiveForm(TCustomForm* F);
  void SetActiveControl(TWinControl* C);
  void RefreshMonitors() const;

  std::vector<TCustomForm*> FForms;
  std::vector<TDataModule*> FDataModules;
  TCustomForm* FActiveCustomForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::unique_ptr<TStrings> FFonts;
  std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
  mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};
extern TScreen* Screen;

// Loads a cursor from the resources: "<Name>.cur" (or .ani's first frame is not supported);
// nullptr when there is none.
HCURSOR LoadCursorFromResource(const String& Name);
// A cursor made from a picture with its hot spot.
HCURSOR CreateCursorFromImage(TBitmap* Image, int HotX, int HotY);
// Inside a WM_SETCURSOR handler: shows Cursor over the window under the mouse. Returns the
// cursor shown before. GetCursor: the cursor last shown by a WM_SETCURSOR answer.
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
