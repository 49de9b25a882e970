// The application object: its title and idle handling.
#include "GuiTestUtil.h"
#include "gui/Timers.h"

#include <gtest/gtest.h>

using namespace guitest;

TEST(ApplicationObject, TitleDefaultsToTheProgramNameAndIdleRunsWhenNothingWaits) {
  // The program file's name without its extension, as the toolkit also sees it.
  EXPECT_EQ(Application->Title(), QCoreApplication::applicationName().toStdString());
  EXPECT_FALSE(Application->Title().empty());
  Application->SetTitle("合同");
  EXPECT_EQ(Application->Title(), "合同");
  Application->SetTitle("");
  Application->ProcessMessages();
  int idles = 0;
  Application->OnIdle = TIdleEvent::Lambda([&](TObject*, bool& done) {
    ++idles;
    done = true;
  });
  int extra = 0;
  Application->AddIdleHandler(nullptr, [&] { ++extra; });
  TTimer wake(nullptr);  // so that the wait for the next event ends
  wake.SetInterval(20);
  wake.SetOnTimer(TNotifyEvent::Lambda([](TObject*) {}));
  Application->HandleMessage();
  Application->OnIdle = nullptr;
  Application->RemoveIdleHandler(nullptr);
  EXPECT_EQ(idles, 1);
  EXPECT_EQ(extra, 1);
}
