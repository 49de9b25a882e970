// The shared controller of object links.
#include "editors/cxObjectLinks.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace {

struct TcxObjectLinkController {
  std::vector<TcxObjectLink*> Links;  // the links whose target is alive
  int Usage = 0;
};

TcxObjectLinkController* gController = nullptr;

}  // namespace

TcxObjectLink* AcquireObjectLink(TObject* AObject) {
  if (!gController) gController = new TcxObjectLinkController;
  ++gController->Usage;
  auto* link = new TcxObjectLink(AObject);
  gController->Links.push_back(link);
  return link;
}

void ReleaseObjectLink(TcxObjectLink* ALink) {
  assert(gController && gController->Usage > 0);
  if (ALink->Target) {
    auto& links = gController->Links;
    links.erase(std::remove(links.begin(), links.end(), ALink), links.end());
  }
  delete ALink;
  if (--gController->Usage == 0) {
    assert(gController->Links.empty());
    delete gController;
    gController = nullptr;
  }
}

void ClearObjectLinks(TObject* AObject) {
  if (!gController) return;
  auto& links = gController->Links;
  for (std::size_t i = links.size(); i-- > 0;)
    if (links[i]->Target == AObject) {
      links[i]->Target = nullptr;
      links.erase(links.begin() + std::ptrdiff_t(i));
    }
}

int ObjectLinkCount() { return gController ? int(gController->Links.size()) : 0; }
