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
  for (uint32_t index = 0; index < check->sectionCount; ++index) {
    const ScpSectionCheck& section = check->sections[index];
    const bool listed = std::find(damage.sections.begin(), damage.sections.end(), section.id) !=
                        damage.sections.end();
    if (!ScpSectionCheckOk(&section) && !listed) {
      damage.sections.push_back(section.id);
    }
  }
  // A damaged section spoils the record's checksum too; the record itself is named only when its
  // length field is wrong or no section accounts for its checksum.
  const bool lengthWrong = static_cast<int64_t>(check->lengthField) != check->fileSize;
  damage.recordFields = lengthWrong || (!ScpRecordCheckOk(check.get()) && damage.sections.empty());
  return damage;
}

QString DamagedPartsText(const RecordDamage& damage) {
  QStringList parts;
  for (const uint16_t id : damage.sections) {
    parts << DocText(kIdsDamagedPartSection, "section %1").arg(id);
  }
  if (damage.recordFields) {
    parts << DocText(kIdsDamagedPartRecord, "the record as a whole");
  }
  return parts.join(QStringLiteral(", "));
}
