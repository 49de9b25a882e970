#pragma once
// Weak links to objects: a control takes a link to itself before it hands a message to code
// that may free it, and looks at the link's Target afterwards; the destructors of the
// library's components clear the links that point at them. All links live in one
// process-wide controller, made by the first AcquireObjectLink and freed when the last link
// is released.
// Declares TcxObjectLink.
#include "core/System.h"

class TcxObjectLink {
public:
  explicit TcxObjectLink(TObject* ATarget) : Target(ATarget) {}
  TObject* Target;  // nullptr once the object is gone
};

TcxObjectLink* AcquireObjectLink(TObject* AObject);
// Frees the link (and the controller with the last one).
void ReleaseObjectLink(TcxObjectLink* ALink);
// Clears every live link to AObject; the links stay with their holders, to be released.
void ClearObjectLinks(TObject* AObject);
// Live links, for tests: 0 while no controller exists.
int ObjectLinkCount();

// Holds a link to an object for a scope: Alive() tells whether the object still exists.
class TcxObjectLinkScope {
public:
  explicit TcxObjectLinkScope(TObject* AObject) : FLink(AcquireObjectLink(AObject)) {}
  ~TcxObjectLinkScope() { ReleaseObjectLink(FLink); }
  TcxObjectLinkScope(const TcxObjectLinkScope&) = delete;
  TcxObjectLinkScope& operator=(const TcxObjectLinkScope&) = delete;
  bool Alive() const { return FLink->Target != nullptr; }

private:
  TcxObjectLink* FLink;
};
