#pragma once
// The platform message box.
#include "core/System.h"
#include "gui/Messages.h"

#include <functional>

// The platform message box: text, caption, MB_ buttons and icon; returns the ID of the
// pressed button. A hook (tests) answers instead of showing a window; an empty hook
// restores the real box. The standard dialogs go through the same service.
using TMessageBoxHook = std::function<int(const String& Text, const String& Caption, int Flags)>;
void SetMessageBoxHook(TMessageBoxHook Hook);
bool MessageBoxHooked();
int MessageBox(HWND Owner, const String& Text, const String& Caption, int Flags);

// The caption of a standard button by the ID it answers (IDOK ... IDNO), as a Chinese system
// shows it, accelerator included; '' for any other ID. The message dialogs use it too.
String MessageBoxButtonCaption(int Id);
