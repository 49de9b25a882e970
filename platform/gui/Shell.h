#pragma once
// The desktop shell: opening documents, folders and links with the programs the desktop has
// for them (the desktop's handler, xdg-open on Linux), and showing a file in the file manager.
//
// A target is a file or folder name (either separator, found without regard to case as
// everywhere in this system) or a URL with a scheme (http, https, mailto, file, ...). When it
// cannot be opened the caller learns why, in words that name the target: ShellOpen raises,
// ShellExecute tells the user and returns the platform's error code.
#include "core/Exceptions.h"
#include "gui/Messages.h"

#include <cstdint>
#include <functional>

KELM_EXCEPTION(EShellError, Exception);

// Opens the target; EShellError when it does not exist or nothing could open it.
void ShellOpen(const String& Target);
// Opens the folder holding the file (a folder opens itself); EShellError as ShellOpen.
void ShellShowInFolder(const String& FileName);
// Opens the file Name of Folder, a name taken from data: only a plain file name, exactly as
// written (see FolderFileExists), so only a local file of that folder reaches the desktop, never
// a URL or a file elsewhere. EShellError when the name is not plain or no such file exists.
void ShellOpenFolderFile(const String& Folder, const String& Name);
// Links taken from data are opened only with these schemes: http, https and mailto.
bool IsSafeLinkUrl(const String& Url);
// The URL a target stands for ('' when a file or folder named does not exist).
String ShellTargetUrl(const String& Target);

using HINSTANCE = std::intptr_t;
constexpr HINSTANCE SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31;
// The platform's call: Operation "open" (or '') opens File, "explore" opens a folder; other
// operations have no handler here. Returns a value above 32 on success; on failure the user is
// told (a message box with the reason, captioned with the application title) and the error
// code is returned.
HINSTANCE ShellExecute(HWND Owner, const String& Operation, const String& File, const String& Parameters,
                       const String& Directory, int ShowCmd);

// What opens URLs: true when it could. The default hands them to the desktop; tests replace
// it. Returns the handler it replaces; nullptr restores the default.
using TShellHandler = std::function<bool(const String& Url)>;
TShellHandler SetShellHandler(TShellHandler Handler);
