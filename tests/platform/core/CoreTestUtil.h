#pragma once
// Shorthands the runtime's tests share.
#include "core/Classes.h"
#include "core/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The lines of a string list, in order.
inline std::vector<String> Of(const TStrings& s) {
  std::vector<String> r;
  for (int i = 0; i < s.Count(); ++i) r.push_back(s[i]);
  return r;
}

// "<class>: <message>" of the exception f raises; "no error" when it raises none.
template <class F> String ErrorOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return String(e.ClassName()) + ": " + e.Message();
  }
  return "no error";
}

// Runs f, expects EConvertError and returns its message.
template <class F> std::string ConvertMessage(F f) {
  try {
    f();
  } catch (const EConvertError& e) {
    return e.Message();
  }
  ADD_FAILURE() << "no EConvertError";
  return {};
}
