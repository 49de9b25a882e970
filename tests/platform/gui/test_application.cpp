// The application object: its title and idle handling.
#include "GuiTestUtil.h"
#include "gui/Forms.h"
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

// Minimising the program takes its main form down; restoring brings it back in the state it
// had (a maximised one maximised), each time with the application's event.
TEST(ApplicationObject, MinimiseAndRestoreGoThroughTheMainFormsWindowState) {
  for (TWindowState before : {wsNormal, wsMaximized}) {
    SCOPED_TRACE(static_cast<int>(before));
    TForm main(nullptr);
    main.SetBounds(10, 10, 300, 200);
    TForm* oldMain = Application->MainForm();
    Application->SetMainForm(&main);
    main.Show();
    main.SetWindowState(before);
    Application->ProcessMessages();
    int minimised = 0, restored = 0;
    Application->OnMinimize = TNotifyEvent::Lambda([&](TObject*) { ++minimised; });
    Application->OnRestore = TNotifyEvent::Lambda([&](TObject*) { ++restored; });
    Application->Minimize();
    Application->ProcessMessages();
    EXPECT_EQ(main.WindowState(), wsMinimized);
    Application->Minimize();  // again: the state to come back to stays
    Application->Restore();
    Application->ProcessMessages();
    EXPECT_EQ(main.WindowState(), before);
    EXPECT_EQ(minimised, 2);
    EXPECT_EQ(restored, 1);
    Application->OnMinimize = nullptr;
    Application->OnRestore = nullptr;
    Application->SetMainForm(oldMain);
  }
}
