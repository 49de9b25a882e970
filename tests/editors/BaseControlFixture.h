#pragma once
// The base control under test: TTestControl is a descendant that answers the hooks the base
// leaves to descendants (scroll-bar states, scrolling, drag and drop) from the test's
// settings and logs what the base asks of it; TBaseControlForm puts one on a shown form.
#include "StdTestUtil.h"

#include "editors/cxControls.h"
#include "editors/cxScrollBar.h"
#include "core/Exceptions.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace basetest {

// A screen pixel as 0xRRGGBB.
inline unsigned Rgb(const QColor& c) { return (unsigned(c.red()) << 16) | (unsigned(c.green()) << 8) | unsigned(c.blue()); }

class TTestControl;

// Logs its start and its end into the control's log.
class TTestDragObject : public TcxDragAndDropObject {
public:
  explicit TTestDragObject(TcxControl* AControl);
  ~TTestDragObject() override;
  bool StartsImmediately() override;

protected:
  void AfterDragAndDropStart() override;
  void AfterDragAndDrop(bool Accepted) override;
  void TrackDragAndDrop(TPoint P, bool& Accepted) override;

private:
  TTestControl* Owner() const;
};

class TTestControl : public TcxControl {
public:
  explicit TTestControl(TComponent* AOwner) : TcxControl(AOwner) {}

  std::function<void(TTestControl*)> FillStates;
  std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
  std::vector<std::string> Log;
  bool DragAndDropWanted = false;
  bool StartsAtOnce = false;
  bool UnfocusedMouseDown = false;
  bool CountsPixels = false;
  bool WantsBars = true;
  bool FillRed = false;       // paints its whole client red after the base
  bool ThrowOnFinish = false; // the drag object's end raises
  int FocusChanges = 0;

  using TcxControl::ContentBounds;
  using TcxControl::SetScrollBarState;
  int ScrollCount(TScrollBarKind Kind, TScrollCode Code) const {
    int n = 0;
    for (auto& s : Scrolls) n += s.first == Kind && s.second == Code;
    return n;
  }

protected:
  void FillScrollBarStates() override {
    if (FillStates) FillStates(this);
  }
  void ScrollContent(TScrollBarKind Kind, TScrollCode Code, int&) override { Scrolls.push_back({Kind, Code}); }
  bool WantsDragAndDropAt(TPoint) override { return DragAndDropWanted; }
  bool AllowsUnfocusedMouseDown() override { return UnfocusedMouseDown; }
  bool ScrollBarCountsPixels(TScrollBarKind) override { return CountsPixels; }
  bool WantsScrollBars() override { return WantsBars; }
  TcxDragAndDropObjectClass DragDropObjectClass() override {
    return &ClassFactory<TcxDragAndDropObject, TTestDragObject, TcxControl*>;
  }
  void Paint() override {
    TcxControl::Paint();
    if (!FillRed) return;
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(ClientRect());
  }
  void HandleFocusChange() override {
    ++FocusChanges;
    TcxControl::HandleFocusChange();
  }
};

inline TTestDragObject::TTestDragObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) {}
inline TTestDragObject::~TTestDragObject() { Owner()->Log.push_back("freed"); }
inline TTestControl* TTestDragObject::Owner() const { return static_cast<TTestControl*>(Control()); }
inline bool TTestDragObject::StartsImmediately() { return Owner()->StartsAtOnce; }
inline void TTestDragObject::AfterDragAndDropStart() {
  Owner()->Log.push_back("start");
  TcxDragAndDropObject::AfterDragAndDropStart();
}
inline void TTestDragObject::AfterDragAndDrop(bool Accepted) {
  Owner()->Log.push_back(Accepted ? "finish accepted" : "finish refused");
  if (Owner()->ThrowOnFinish) throw Exception("the drop failed");
}
inline void TTestDragObject::TrackDragAndDrop(TPoint P, bool& Accepted) {
  Owner()->Log.push_back("move " + std::to_string(P.X) + "," + std::to_string(P.Y));
  Accepted = true;
  TcxDragAndDropObject::TrackDragAndDrop(P, Accepted);
}

// A shown form with a test control and an edit to take the focus elsewhere.
struct TBaseControlForm : stdtest::FormFixture {
  TTestControl* Ctl = nullptr;
  TEdit* Other = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Ctl = Add<TTestControl>(Rect(10, 10, 210, 110));
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    Application->ProcessMessages();
  }
};

}  // namespace basetest
