#pragma once
// The dialogs that take a picked value while they are open: each registers, under the key of
// what it takes (a category kind, a table), the edits a pick writes into. A pick goes to every
// open dialog registered under its key; a freed dialog drops out by itself.
#include "core/Component.h"

#include <vector>

class TCustomEdit;

class TPickTargets : public TComponent {
public:
  struct TEntry {
    String Key;
    TComponent* Dialog;
    std::vector<TCustomEdit*> Edits;
  };

  TPickTargets() : TComponent(nullptr) {}

  // Registers Dialog's edits under Key, in place of what it registered under Key before.
  void Add(const String& Key, TComponent* Dialog, std::vector<TCustomEdit*> Edits);
  // Drops every registration of Dialog.
  void Remove(TComponent* Dialog);
  // Writes Texts into the edits of each dialog registered under Key, one text per edit in
  // registration order; the number of dialogs reached.
  int Deliver(const String& Key, const std::vector<String>& Texts) const;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::vector<TEntry> FEntries;
};
