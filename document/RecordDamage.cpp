#include "document/RecordDamage.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

#include "document/DocMessages.h"
#include "resources/ResourceIds.h"
#include "scp/ScpHandles.h"

RecordDamage CheckRecordDamage(const QString& path) {
  RecordDamage damage;
  ScpRecordCheck* report = nullptr;
  if (ScpCheckRecordFile(QFile::encodeName(path).constData(), &report) != kScpOk) {
    damage.recordFields = true;
    return damage;
  }
  const ScpCheckPtr check(report);
  damage.recordFields = !ScpRecordCheckOk(check.get());
  for (uint32_t index = 0; index < check->sectionCount; ++index) {
    const ScpSectionCheck& section = check->sections[index];
    const bool listed = std::find(damage.sections.begin(), damage.sections.end(), section.id) !=
                        damage.sections.end();
    if (!ScpSectionCheckOk(&section) && !listed) {
      damage.sections.push_back(section.id);
    }
  }
  return damage;
}

QString DamagedPartsText(const RecordDamage& damage) {
  QStringList parts;
  for (const uint16_t id : damage.sections) {
    parts << DocText(kIdsDamagedPartSection, "section %1").arg(id);
  }
  if (damage.recordFields) {
    parts << DocText(kIdsDamagedPartRecord, "the record's length or checksum");
  }
  return parts.join(QStringLiteral(", "));
}
