#pragma once
// The designer's own texts, as key=text lines: the designer window's captions and hints
// (keys 2300-2475 and the "ds" keys) and the texts its tool windows and dialogs share.
// Merged into the report library's text table at start.

const char* DesignerResourceBlock();
