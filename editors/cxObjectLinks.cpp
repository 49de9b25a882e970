// The registry of live object links.
#include "editors/cxObjectLinks.h"

#include <algorithm>
#include <vector>

namespace {

// The links whose target is alive; links mostly end in the reverse order they began, so
// searches start at the back.
std::vector<TcxObjectLink*>& Links() {
  static std::vector<TcxObjectLink*> links;
  return links;
}

void Unlist(TcxObjectLink* ALink) {
  auto& links = Links();
  for (std::size_t i = links.size(); i-- > 0;)
    if (links[i] == ALink) {
      links.erase(links.begin() + std::ptrdiff_t(i));
      return;
    }
}

}  // namespace

void RegisterObjectLink(TcxObjectLink* ALink) { Links().push_back(ALink); }

void UnregisterObjectLink(TcxObjectLink* ALink) {
  if (ALink->Target) Unlist(ALink);
}

TcxObjectLink* AcquireObjectLink(TObject* AObject) {
  auto* link = new TcxObjectLink(AObject);
  RegisterObjectLink(link);
  return link;
}

void ReleaseObjectLink(TcxObjectLink* ALink) {
  UnregisterObjectLink(ALink);
  delete ALink;
}

void ClearObjectLinks(TObject* AObject) {
  auto& links = Links();
  for (std::size_t i = links.size(); i-- > 0;)
    if (links[i]->Target == AObject) {
      links[i]->Target = nullptr;
      links.erase(links.begin() + std::ptrdiff_t(i));
    }
}

int ObjectLinkCount() { return static_cast<int>(Links().size()); }
