#include "framework/ResourceTable.h"

#include <utility>

namespace {

// The one table of the running program, installed by the application (or by a test).
ResourceTable& InstalledTable() {
  static ResourceTable table;
  return table;
}

}  // namespace

void SetResourceTable(ResourceTable table) {
  InstalledTable() = std::move(table);
}

QString LoadString(int id) {
  const ResourceTable& table = InstalledTable();
  return table.loadString ? table.loadString(id) : QString();
}

QCursor LoadCursor(int id) {
  const ResourceTable& table = InstalledTable();
  return table.loadCursor ? table.loadCursor(id) : QCursor(Qt::ArrowCursor);
}

QIcon LoadIcon(int id) {
  const ResourceTable& table = InstalledTable();
  return table.loadIcon ? table.loadIcon(id) : QIcon();
}
