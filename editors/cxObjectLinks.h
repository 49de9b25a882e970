#pragma once
// Weak links to objects: a control takes a link to itself before it hands a message to code
// that may free it, and looks at the link's Target afterwards; the destructors of the
// library's components clear the links that point at them. The live links are listed in one
// process-wide registry. A scope's link lives on the stack, so guarding a message costs no
// allocation.
// Declares TcxObjectLink and TcxObjectLinkScope.
#include "core/System.h"

class TcxObjectLink {
public:
  explicit TcxObjectLink(TObject* ATarget) : Target(ATarget) {}
  TObject* Target;  // nullptr once the object is gone
};

TcxObjectLink* AcquireObjectLink(TObject* AObject);
// Frees a link made by AcquireObjectLink.
void ReleaseObjectLink(TcxObjectLink* ALink);
// Clears every live link to AObject; the links stay with their holders, to be released.
void ClearObjectLinks(TObject* AObject);
// Live links, for tests.
int ObjectLinkCount();

// Lists and unlists a link its holder keeps itself.
void RegisterObjectLink(TcxObjectLink* ALink);
void UnregisterObjectLink(TcxObjectLink* ALink);

// Holds a link to an object for a scope: Alive() tells whether the object still exists.
class TcxObjectLinkScope {
public:
  explicit TcxObjectLinkScope(TObject* AObject) : FLink(AObject) { RegisterObjectLink(&FLink); }
  ~TcxObjectLinkScope() { UnregisterObjectLink(&FLink); }
  TcxObjectLinkScope(const TcxObjectLinkScope&) = delete;
  TcxObjectLinkScope& operator=(const TcxObjectLinkScope&) = delete;
  bool Alive() const { return FLink.Target != nullptr; }

private:
  TcxObjectLink FLink;
};
