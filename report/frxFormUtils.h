#pragma once
// What the report library asks of the program's windows and data modules: message boxes
// with the library's captions, components named by a path across forms and data modules,
// and reporting collected errors the way a report's engine options ask.
#include "core/System.h"

class TComponent;
class TStrings;
class TfrxReport;

// A message box with the error icon, captioned TextOf("mbError").
void ShowErrorBox(const String& Message);
// A message box with the question icon and Buttons (MB_YESNO, ...), captioned
// TextOf("mbConfirm"); the button pressed (IDYES, ...).
int AskConfirmation(const String& Message, int Buttons);

// "Name" (the owner's component, or the report owner's), "Form.Name" or "Form.Sub.Name"
// across the application's forms and data modules; nullptr for a plain miss. Any failure of
// the search raises EClassNotFound "Missing " + Path.
TComponent* FindComponentByPath(TComponent* Owner, const String& Path);
// The name a report stores for a component: bare when it belongs to the report, its owner or
// no one; "Form.Name" when a form or data module owns it; '' otherwise.
String QualifiedComponentName(TfrxReport* Report, TComponent* Component);
// Every component of the class found in the report, the forms, the data modules and the data
// modules owned by forms of class TDataModuleForm, by qualified name, Skip left out.
void CollectComponentsOfClass(TfrxReport* Report, TClass Class, TStrings* List, TComponent* Skip);

// By the report's NewSilentMode: a message box, nothing, or an Exception with the message.
void ReportErrorByMode(TfrxReport* Report, const String& Message);
