#pragma once
// A step run on the modal window as soon as it is up, for tests whose code opens a modal
// dialog and waits in its loop.
#include "gui/Forms.h"
#include "gui/Screen.h"
#include "gui/Timers.h"

#include <functional>
#include <memory>

namespace report_test {

// Runs one step on the modal window as soon as it is up.
class TModalStep {
public:
  explicit TModalStep(std::function<void(TCustomForm*)> Step) : FStep(std::move(Step)) {
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetInterval(10);
    FTimer->SetOnTimer(TNotifyEvent::Lambda([this](TObject*) {
      if (FDone) return;
      for (int i = 0; Screen && i < Screen->CustomFormCount(); ++i) {
        TCustomForm* f = Screen->CustomForms(i);
        if (!f->Visible() || !f->FormState().Contains(fsModal)) continue;
        FDone = true;
        FStep(f);
        return;
      }
    }));
  }
  bool Done() const { return FDone; }

private:
  std::function<void(TCustomForm*)> FStep;
  std::unique_ptr<TTimer> FTimer;
  bool FDone = false;
};

}  // namespace report_test
