#include "app/PickTargets.h"

#include "gui/Edit.h"

#include <algorithm>
#include <cassert>

void TPickTargets::Add(const String& Key, TComponent* Dialog, std::vector<TCustomEdit*> Edits) {
  assert(Dialog && std::none_of(Edits.begin(), Edits.end(), [](TCustomEdit* e) { return !e; }));
  auto same = [&](const TEntry& e) { return e.Dialog == Dialog && e.Key == Key; };
  FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(), same), FEntries.end());
  FEntries.push_back({Key, Dialog, std::move(Edits)});
  Dialog->FreeNotification(this);
}

void TPickTargets::Remove(TComponent* Dialog) {
  auto of = [Dialog](const TEntry& e) { return e.Dialog == Dialog; };
  FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(), of), FEntries.end());
}

int TPickTargets::Deliver(const String& Key, const std::vector<String>& Texts) const {
  int reached = 0;
  // A copy: an edit's change handler may open or close dialogs.
  const std::vector<TEntry> entries = FEntries;
  for (const TEntry& e : entries) {
    if (e.Key != Key) continue;
    for (std::size_t i = 0; i < e.Edits.size() && i < Texts.size(); ++i) e.Edits[i]->SetText(Texts[i]);
    ++reached;
  }
  return reached;
}

void TPickTargets::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) Remove(AComponent);
}
