#pragma once
// Values as they go into the program's SQL text. Every value a window puts into a statement
// passes through one of these, so a quote in a name is stored and found like any other
// character and never ends the literal, and a date reads the same whatever the user's
// short-date format is.
#include "core/Currency.h"
#include "core/System.h"

// A text literal: 'O''Brien'.
String SqlStr(const String& Value);
// A table or column name: [name]. An empty name or one holding ']' is refused
// (EConvertError): it could end the brackets.
String SqlName(const String& Name);
// The pattern of a like comparison that finds Key anywhere in the value: '%key%'.
String SqlContains(const String& Key);
// A date literal in the one form the translator reads regardless of the short-date format:
// #yyyy-mm-dd#. The time of day is dropped.
String SqlDate(TDateTime Value);
// Numbers with '.' as the decimal separator whatever the settings say.
String SqlInt(Int64 Value);
String SqlFloat(double Value);
String SqlCurrency(Currency Value);
