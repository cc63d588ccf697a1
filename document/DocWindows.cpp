#include "document/DocWindows.h"

namespace {

IDocWindowOpener* g_windowOpener = nullptr;

}  // namespace

void SetDocWindowOpener(IDocWindowOpener* opener) {
  g_windowOpener = opener;
}

IDocWindowOpener* GetDocWindowOpener() {
  return g_windowOpener;
}
