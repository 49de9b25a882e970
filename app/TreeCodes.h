#pragma once
// Category codes as the tree windows keep them: two digits a level, shown in a node's text
// as "<code>-<name>".
#include "core/System.h"

class TTreeNode;

// "0" + Text when its length is odd, else Text.
String PadTreeCode(const String& Text);
// True when Text is a code's digits: not empty, "0" to "9" only (no sign, exponent or
// blank).
bool IsNumericText(const String& Text);
// A node's code: its text up to the first "-"; the root's is "".
String TreeNodeCode(const TTreeNode* Node);
// A node's name: its text after the first "-"; the root's is its whole text.
String TreeNodeName(const TTreeNode* Node);
// The code after Last on its level: its last two digits plus one, so any depth works; ""
// when they are no two digits or already 99 (the level is full).
String CodeAfter(const String& Last);
