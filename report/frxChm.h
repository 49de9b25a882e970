#pragma once
// The way into the help viewer. The system's HTML help entry point is looked up once; where
// there is none (every Linux system), help requests do nothing. A program or a test may
// install an entry point of its own.
#include "core/System.h"

#include <cstdint>
#include <functional>

// (owner window handle, path, command, data); command 1 shows the contents at the path.
using THtmlHelpEntry = std::function<void(std::uintptr_t Owner, const String& Path, int Command, std::intptr_t Data)>;

// Installs the entry point; an empty one makes it missing again.
void SetHtmlHelpEntry(THtmlHelpEntry Entry);
bool HtmlHelpAvailable();
// Shows the help at Path through the entry point, when there is one.
void ShowHtmlHelp(std::uintptr_t Owner, const String& Path);
