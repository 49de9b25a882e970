#pragma once
// A drop-down editor on a shown form whose popup holds a plain 120 x 80 area, with every
// popup event in one log; a platform edit takes the focus elsewhere.
#include "BaseControlFixture.h"
#include "GuiTestUtil.h"

#include "editors/cxDropDownEdit.h"
#include "editors/cxControlUtils.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <QtCore/QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace droptest {

class TTestDropDown : public TcxCustomDropDownEdit {
public:
  explicit TTestDropDown(TComponent* AOwner) : TcxCustomDropDownEdit(AOwner, false, TDeferInitialize{}) {
    InitializeEdit();
  }
  TSize Content{120, 80};
  bool Content_ = true;
  bool HasPopupContent() override { return Content_; }
  void GetPopupContentSize(TSize& Size) override { Size = Content; }
};

struct DropDownForm : stdtest::FormFixture {
  TTestDropDown* Ed = nullptr;
  TEdit* Other = nullptr;
  std::vector<std::string> Log;

  void SetUp() override {
    FormFixture::SetUp();
    Ed = Add<TTestDropDown>(Rect(10, 10, 170, 31));
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    Wire(Ed);
    Application->ProcessMessages();
  }
  void TearDown() override {
    for (TcxCustomPopupWindow* p : std::vector<TcxCustomPopupWindow*>(OpenPopupWindows())) p->DismissPopup();
    FormFixture::TearDown();
  }
  void Wire(TcxCustomDropDownEdit* E) {
    auto* p = static_cast<TcxCustomDropDownEditProperties*>(E->Properties());
    auto note = [this](const char* what) {
      return TNotifyEvent::Lambda([this, what](TObject*) { Log.push_back(what); });
    };
    p->OnInitPopup = note("init");
    p->OnPopup = note("popup");
    p->OnPopupDone = note("done");
    p->OnCloseUp = note("closeup");
    p->OnClosePopup = TcxEditClosePopupEvent::Lambda(
        [this](TObject*, TcxPopupCloseReason r) { Log.push_back("closepopup " + std::to_string(int(r))); });
  }
  // Runs the queued messages: a requested open happens then.
  void Pump() {
    for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  }
  // A focus-taking popup runs its own message loop until it closes: Step runs inside that
  // loop once the popup is open (or after 500 tries without it) and must close it.
  void WhenOpen(TcxCustomDropDownEdit* E, std::function<void()> Step) {
    auto* t = new QTimer;
    auto tries = std::make_shared<int>(0);
    t->setInterval(1);
    QObject::connect(t, &QTimer::timeout, [t, E, tries, Step] {
      if (!E->IsPopupOpen() && ++*tries < 500) return;
      t->stop();
      t->deleteLater();
      Step();
    });
    t->start();
  }
  TRect WorkArea() {
    TRect a;
    DesktopWorkArea(Ed->ClientToScreen({0, 0}), a);
    return a;
  }
};

}  // namespace droptest
