#include "views/LeadLabel.h"

#include "scp/ScpLeadNames.h"

QString LeadLabel(int leadCode) {
  const char* name = ScpLeadName(leadCode);
  return name != nullptr ? QString::fromLatin1(name) : QString::number(leadCode);
}
