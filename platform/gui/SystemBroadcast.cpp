// Settings changes sent to every window of the program.
#include "gui/SystemBroadcast.h"

#include "gui/Forms.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

void SendSystemBroadcast(UINT Msg, WPARAM WParam, LPARAM LParam) {
  // The receivers are listed first: a receiver may make or free windows.
  std::vector<HWND> targets = gui_glue::MessageWindows();
  if (Screen)
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (!f->Parent() && f->HandleAllocated()) targets.push_back(f->Handle());
    }
  for (HWND h : targets) SendMessage(h, Msg, WParam, LParam);
}

void GetFormatSettings() {}
