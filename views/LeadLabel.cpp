#include "views/LeadLabel.h"

#include "framework/ResourceTable.h"

namespace {

constexpr int kIdsLeadNameOffset = 3;  // the name of lead code c is string c + 3

}  // namespace

QString LeadLabel(int leadCode) {
  const QString name = LoadString(leadCode + kIdsLeadNameOffset);
  return name.isEmpty() ? QString::number(leadCode) : name;
}
