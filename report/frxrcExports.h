#pragma once
// The export dialogs' built-in texts, as key=text lines; merged last at start-up.

const char* ExportResourceBlock();
