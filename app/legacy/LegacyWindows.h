#pragma once
// What the older record windows share: their navigator's look, Enter moving on through a
// dialog, and the record count in a status bar.
#include "gui/Messages.h"

#include <utility>
#include <vector>

class TDBNavigator;
class TCustomForm;
class TStatusBar;

// The navigator's four buttons captioned "第一条", "前一条", "后一条", "末一条", without glyphs.
void CaptionLegacyNavigator(TDBNavigator* Navigator);
// Enter (character 13) moves the focus to the next control in tab order, unless a bitmap
// button has the focus: that button receives the Enter and presses itself.
void LegacyEnterKey(TCustomForm* Form, Char& Key);
// Text in the status bar's first panel (its simple text when it has no panels).
void ShowLegacyStatus(TStatusBar* Status, const String& Text);

// The older searches' statements: "select * from [Table] where " + Conditions joined by
// "AND", or "select * from " + Table when there is none.
String LegacySearchSQL(const String& Table, const std::vector<String>& Conditions);
// "(Column like '%Text%')"; the text is a literal, its "%" and "_" keep their like meaning.
String LegacyLike(const String& Column, const String& Text);
// The like conditions of the non-empty texts, in order: {column, text} pairs.
std::vector<String> LegacyLikes(const std::vector<std::pair<String, String>>& ColumnTexts);
