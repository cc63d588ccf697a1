#include "document/DocWindows.h"

namespace {

IDocWindowOpener* installedOpener = nullptr;

}  // namespace

void SetDocWindowOpener(IDocWindowOpener* opener) {
  installedOpener = opener;
}

IDocWindowOpener* GetDocWindowOpener() {
  return installedOpener;
}
