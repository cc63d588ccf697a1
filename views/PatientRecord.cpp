#include "views/PatientRecord.h"

#include <algorithm>
#include <vector>

#include "app/CDateText.h"
#include "app/CTimeText.h"
#include "scp/ScpFields.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"

namespace {

constexpr uint16_t kHeaderSection = 1;
constexpr uint16_t kStatementSection = 8;
constexpr uint32_t kItemHeadSize = 3;
constexpr uint32_t kStatementHeaderSize = 9;
constexpr int kMaxStatementCount = 255;  // the header counts them in one byte

// The filter bit map: read only for the footer's mains-filter labels.
constexpr uint8_t kTagFilterBitMap = 29;
constexpr uint8_t kFilter60HzBit = 0x01;
constexpr uint8_t kFilter50HzBit = 0x02;

constexpr int kAgeUnitYears = 1;
constexpr int kAgeUnitMonths = 2;
constexpr int kAgeUnitDays = 4;

// Every tag the form writes; a save keeps every other item of section 1 as it was.
bool IsFormTag(uint8_t tag) {
  switch (tag) {
    case kScpTagLastName:
    case kScpTagFirstName:
    case kScpTagPatientId:
    case kScpTagSecondLastName:
    case kScpTagAge:
    case kScpTagDateOfBirth:
    case kScpTagHeight:
    case kScpTagWeight:
    case kScpTagSex:
    case kScpTagRace:
    case kScpTagSystolic:
    case kScpTagDiastolic:
    case kScpTagDiagnosis:
    case kScpTagAcquiringInstitution:
    case kScpTagAnalysingInstitution:
    case kScpTagAcquiringDepartment:
    case kScpTagAnalysingDepartment:
    case kScpTagReferringPhysician:
    case kScpTagConfirmingPhysician:
    case kScpTagTechnician:
    case kScpTagRoom:
    case kScpTagStat:
    case kScpTagAcquisitionDate:
    case kScpTagAcquisitionTime:
    case kScpTagBaselineFilter:
    case kScpTagLowPassFilter:
    case kScpTagFreeText:
    case kScpTagSequenceNumber:
    case kScpTagTerminator:
      return true;
    default:
      return false;
  }
}

// One stored item: its tag and its whole stored form (head and value).
struct StoredItem {
  uint8_t tag;
  QByteArray bytes;
};

// The items of a section up to its terminator, in stored order. An item whose value runs past
// the body ends the list, as it ends every reader's search.
std::vector<StoredItem> StoredItems(const ScpRecord* record, uint16_t section) {
  std::vector<StoredItem> items;
  const int64_t bodyLength = ScpRecordSectionLength(record, section);
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(record, section));
  if (bodyLength <= 0 || body == nullptr) {
    return items;
  }
  const uint32_t length = static_cast<uint32_t>(bodyLength);
  uint32_t offset = section == kStatementSection ? kStatementHeaderSize : 0;
  while (offset + kItemHeadSize <= length) {
    ScpItemHead head = {};
    if (ScpUnpack(body, length, kScpLayoutItemHead, &head, offset, 0) != kScpOk ||
        head.tag == kScpTagTerminator) {
      break;
    }
    const uint32_t itemSize = kItemHeadSize + head.length;
    if (itemSize > length - offset) {
      break;
    }
    items.push_back({head.tag, QByteArray(reinterpret_cast<const char*>(body + offset),
                                          static_cast<int>(itemSize))});
    offset += itemSize;
  }
  return items;
}

QByteArray FirstItem(const std::vector<StoredItem>& items, uint8_t tag) {
  for (const StoredItem& item : items) {
    if (item.tag == tag) {
      return item.bytes;
    }
  }
  return QByteArray();
}

// A whole text item, as Latin-1 so that every byte is one character and back. False when absent.
bool ReadText(const ScpRecord* record, uint16_t section, uint8_t tag, QString* out) {
  uint32_t length = 0;
  if (ScpFindItem(record, section, tag, nullptr, 0, &length) != kScpOk) {
    return false;
  }
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  if (ScpGetItemText(record, section, tag, text.data(), length + 1, nullptr) != kScpOk) {
    return false;
  }
  *out = QString::fromLatin1(text.data());
  return true;
}

QString DateText(int day, int month, int year) {
  return QString::asprintf("%02d/%02d/%04d", day, month, year);
}

QString TimeText(int hour, int minute) {
  return QString::asprintf("%02d:%02d", hour, minute);
}

struct DateParts {
  int day = 0;
  int month = 0;
  int year = 0;
  bool IsSet() const { return day + month + year != 0; }
};

void ReadHeaderTexts(const ScpRecord* record, PatientFields* fields) {
  const struct {
    uint8_t tag;
    QString* field;
  } texts[] = {
      {kScpTagAcquiringDepartment, &fields->m_strAcqDepartment},
      {kScpTagAcquiringInstitution, &fields->m_strAcqInstitution},
      {kScpTagAnalysingDepartment, &fields->m_strAnaDepartment},
      {kScpTagAnalysingInstitution, &fields->m_strAnaInstitution},
      {kScpTagLastName, &fields->m_strLastName},
      {kScpTagFirstName, &fields->m_strFirstName},
      {kScpTagSecondLastName, &fields->m_strSecondName},
      {kScpTagPatientId, &fields->m_strPatientId},
      {kScpTagReferringPhysician, &fields->m_strReferringPhysician},
      {kScpTagFreeText, &fields->m_strFreeText},
      {kScpTagDiagnosis, &fields->m_strDiagnosis},
      {kScpTagTechnician, &fields->m_strTechnician},
      {kScpTagConfirmingPhysician, &fields->m_strConfirmingPhysician},
      {kScpTagRoom, &fields->m_strRoom},
      {kScpTagSequenceNumber, &fields->m_strSequenceNumber},
  };
  for (const auto& text : texts) {
    ReadText(record, kHeaderSection, text.tag, text.field);
  }
}

// Reads a byte into a list position, remembering the stored code for a save.
void ReadCode(const ScpRecord* record, uint8_t tag, int* field, int* storedCode) {
  uint8_t code = 0;
  if (ScpGetItemByte(record, kHeaderSection, tag, &code) == kScpOk) {
    *field = code;
    *storedCode = code;
  }
}

void ReadWord(const ScpRecord* record, uint8_t tag, int* field) {
  uint16_t word = 0;
  if (ScpGetItemWord(record, kHeaderSection, tag, &word) == kScpOk) {
    *field = word;
  }
}

void ReadWord(const ScpRecord* record, uint8_t tag, unsigned int* field) {
  uint16_t word = 0;
  if (ScpGetItemWord(record, kHeaderSection, tag, &word) == kScpOk) {
    *field = word;
  }
}

void ReadValueUnit(const ScpRecord* record, uint8_t tag, unsigned int* value, int* unit,
                   int* storedUnit) {
  ScpValueUnit stored = {};
  if (ScpGetItemValueUnit(record, kHeaderSection, tag, &stored) == kScpOk) {
    *value = stored.value;
    *unit = stored.unit;
    *storedUnit = stored.unit;
  }
}

void ReadFilterLabels(const ScpRecord* record, PatientFields* fields) {
  uint16_t word = 0;
  if (ScpGetItemWord(record, kHeaderSection, kScpTagBaselineFilter, &word) == kScpOk && word != 0) {
    fields->m_bHighPassLabel = true;
    fields->m_nHighPassLabel = word;
  }
  if (ScpGetItemWord(record, kHeaderSection, kScpTagLowPassFilter, &word) == kScpOk && word != 0) {
    fields->m_bLowPassLabel = true;
  }
  uint8_t filters = 0;
  if (ScpGetItemByte(record, kHeaderSection, kTagFilterBitMap, &filters) == kScpOk) {
    fields->m_b50HzLabel = (filters & kFilter50HzBit) != 0;
    fields->m_b60HzLabel = (filters & kFilter60HzBit) != 0;
  }
}

// Age: as stored when its unit is not 0, else derived from the two dates.
void ReadAge(const ScpRecord* record, const DateParts& birth, const DateParts& acquisition,
             bool acquisitionStored, PatientFields* fields, PatientRecordKeep* keep) {
  ScpValueUnit stored = {};
  if (ScpGetItemValueUnit(record, kHeaderSection, kScpTagAge, &stored) == kScpOk) {
    fields->m_nAge = stored.value;
    fields->m_nAgeUnit = stored.unit;
  }
  if (fields->m_nAgeUnit != 0) {
    return;
  }
  const DerivedAge age = DeriveAge(birth.day, birth.month, birth.year, acquisition.day,
                                   acquisition.month, acquisition.year);
  fields->m_nAge = age.value;
  fields->m_nAgeUnit = age.unit;
  keep->ageDerivedFromStoredDates = acquisitionStored && age.unit != 0;
}

void ReadHeaderSection(const ScpRecord* record, const QDate& today, PatientFields* fields,
                       PatientRecordKeep* keep) {
  const std::vector<StoredItem> items = StoredItems(record, kHeaderSection);
  ReadHeaderTexts(record, fields);

  DateParts acquisition;
  ScpDate date = {};
  const bool acquisitionStored =
      ScpGetItemDate(record, kHeaderSection, kScpTagAcquisitionDate, &date) == kScpOk;
  if (acquisitionStored) {
    acquisition = {date.day, date.month, date.year};
  } else {
    acquisition = {today.day(), today.month(), today.year()};
  }
  fields->m_strAcqDate = DateText(acquisition.day, acquisition.month, acquisition.year);
  ScpTime time = {};
  if (ScpGetItemTime(record, kHeaderSection, kScpTagAcquisitionTime, &time) == kScpOk) {
    fields->m_strAcqTime = TimeText(time.hour, time.minute);
  }

  DateParts birth;
  if (ScpGetItemDate(record, kHeaderSection, kScpTagDateOfBirth, &date) == kScpOk) {
    birth = {date.day, date.month, date.year};
    fields->m_strBirthDate = DateText(birth.day, birth.month, birth.year);
  } else {
    fields->m_strBirthDate.clear();
  }

  ReadCode(record, kScpTagRace, &fields->m_nRace, &keep->raceCode);
  ReadCode(record, kScpTagSex, &fields->m_nSex, &keep->sexCode);
  uint8_t stat = 0;
  if (ScpGetItemByte(record, kHeaderSection, kScpTagStat, &stat) == kScpOk) {
    fields->m_nStatCode = stat;
  }
  ReadWord(record, kScpTagSystolic, &fields->m_nSystolic);
  ReadWord(record, kScpTagDiastolic, &fields->m_nDiastolic);
  ReadWord(record, kScpTagBaselineFilter, &fields->m_nBaselineFilter);
  ReadWord(record, kScpTagLowPassFilter, &fields->m_nLowPassFilter);
  ReadAge(record, birth, acquisition, acquisitionStored && birth.IsSet(), fields, keep);
  ReadValueUnit(record, kScpTagHeight, &fields->m_nHeight, &fields->m_nHeightUnit,
                &keep->heightUnitCode);
  ReadValueUnit(record, kScpTagWeight, &fields->m_nWeight, &fields->m_nWeightUnit,
                &keep->weightUnitCode);
  ReadFilterLabels(record, fields);

  keep->birthDateItem = FirstItem(items, kScpTagDateOfBirth);
  keep->birthDateText = fields->m_strBirthDate;
  keep->acquisitionDateItem = FirstItem(items, kScpTagAcquisitionDate);
  keep->acquisitionTimeItem = FirstItem(items, kScpTagAcquisitionTime);
  keep->ageItem = FirstItem(items, kScpTagAge);
  for (const StoredItem& item : items) {
    if (!IsFormTag(item.tag)) {
      keep->otherHeaderItems += item.bytes;
    }
  }
}

void ReadStatements(const ScpRecord* record, PatientFields* fields, PatientRecordKeep* keep) {
  ScpStatementHeader header = {};
  if (ScpGetStatementHeader(record, kStatementSection, &header) != kScpOk) {
    return;
  }
  fields->m_bConfirmed = header.confirmed;
  fields->m_strConfirmDate = DateText(header.day, header.month, header.year);
  fields->m_strConfirmTime = TimeText(header.hour, header.minute);
  const int shown = std::min<int>(kStatementCount, header.statementCount);
  for (int i = 0; i < shown; ++i) {
    ReadText(record, kStatementSection, static_cast<uint8_t>(i), &fields->m_strStatement[i]);
  }
  for (const StoredItem& item : StoredItems(record, kStatementSection)) {
    if (item.tag >= kStatementCount) {
      keep->extraStatements += item.bytes;
      ++keep->extraStatementCount;
    }
  }
}

// --- Writing -----------------------------------------------------------------------------------

// Appends items to one section of a scratch record and remembers whether any append failed.
class SectionBuilder {
 public:
  SectionBuilder(ScpRecord* record, uint16_t section) : m_record(record), m_section(section) {}

  void Text(uint8_t tag, const QString& text) {
    Check(ScpAddItemText(m_record, m_section, tag, text.toLatin1().constData()));
  }
  void Byte(uint8_t tag, int value) {
    Check(ScpAddItemByte(m_record, m_section, tag, static_cast<uint8_t>(value & 0xFF)));
  }
  void Word(uint8_t tag, unsigned int value) {
    Check(ScpAddItemWord(m_record, m_section, tag, static_cast<uint16_t>(value & 0xFFFF)));
  }
  void ValueUnit(uint8_t tag, unsigned int value, int unit) {
    const ScpValueUnit stored = {static_cast<uint16_t>(value & 0xFFFF),
                                 static_cast<uint8_t>(unit & 0xFF)};
    Check(ScpAddItemValueUnit(m_record, m_section, tag, &stored));
  }
  void Date(uint8_t tag, const CDateText& date) {
    const ScpDate stored = {static_cast<uint16_t>(date.Year()), static_cast<uint8_t>(date.Month()),
                            static_cast<uint8_t>(date.Day())};
    Check(ScpAddItemDate(m_record, m_section, tag, &stored));
  }
  // Items kept whole, head and value.
  void Raw(const QByteArray& bytes) {
    if (!bytes.isEmpty()) {
      Check(ScpAppendFields(m_record, m_section, kScpLayoutBytes, bytes.constData(),
                            static_cast<uint32_t>(bytes.size())));
    }
  }
  void End() { Check(ScpAddItemEnd(m_record, m_section)); }
  void StatementHeader(const ScpStatementHeader& header) {
    Check(ScpSetStatementHeader(m_record, m_section, &header));
  }
  bool Ok() const { return m_bOk; }

 private:
  void Check(ScpStatus status) { m_bOk = m_bOk && status == kScpOk; }

  ScpRecord* m_record;
  uint16_t m_section;
  bool m_bOk = true;
};

// A list position, or the stored code when the list shows no entry for it.
int ListCode(int position, int storedCode, int fallback) {
  if (position >= 0) {
    return position;
  }
  return storedCode >= 0 ? storedCode : fallback;
}

void WriteBirthDate(SectionBuilder& s, const PatientFields& fields, const PatientRecordKeep& keep) {
  if (!keep.birthDateItem.isEmpty() && fields.m_strBirthDate == keep.birthDateText) {
    s.Raw(keep.birthDateItem);
    return;
  }
  CDateText birth;
  birth.SetText(fields.m_strBirthDate);
  if (birth.IsValid()) {
    s.Date(kScpTagDateOfBirth, birth);
  }
}

void WriteAge(SectionBuilder& s, const PatientFields& fields, const PatientRecordKeep& keep) {
  if (keep.ageDerivedFromStoredDates) {
    s.ValueUnit(kScpTagAge, fields.m_nAge, fields.m_nAgeUnit);
  } else {
    s.Raw(keep.ageItem);
  }
}

bool BuildHeaderSection(SectionBuilder& s, const PatientFields& f, const PatientRecordKeep& keep) {
  s.Text(kScpTagLastName, f.m_strLastName);
  s.Text(kScpTagFirstName, f.m_strFirstName);
  s.Text(kScpTagSecondLastName, f.m_strSecondName);
  s.Text(kScpTagPatientId, f.m_strPatientId);
  s.Text(kScpTagReferringPhysician, f.m_strReferringPhysician);
  s.Text(kScpTagAcquiringInstitution, f.m_strAcqInstitution);
  s.Text(kScpTagAnalysingInstitution, f.m_strAnaInstitution);
  s.Text(kScpTagAcquiringDepartment, f.m_strAcqDepartment);
  s.Text(kScpTagAnalysingDepartment, f.m_strAnaDepartment);
  WriteBirthDate(s, f, keep);
  s.Byte(kScpTagRace, ListCode(f.m_nRace, keep.raceCode, PatientFields().m_nRace));
  s.Byte(kScpTagSex, ListCode(f.m_nSex, keep.sexCode, PatientFields().m_nSex));
  s.Word(kScpTagSystolic, static_cast<unsigned int>(f.m_nSystolic));
  s.Word(kScpTagDiastolic, static_cast<unsigned int>(f.m_nDiastolic));
  WriteAge(s, f, keep);
  s.ValueUnit(kScpTagHeight, f.m_nHeight, ListCode(f.m_nHeightUnit, keep.heightUnitCode, 0));
  s.ValueUnit(kScpTagWeight, f.m_nWeight, ListCode(f.m_nWeightUnit, keep.weightUnitCode, 0));
  s.Text(kScpTagDiagnosis, f.m_strDiagnosis);
  s.Text(kScpTagConfirmingPhysician, f.m_strConfirmingPhysician);
  s.Text(kScpTagTechnician, f.m_strTechnician);
  s.Text(kScpTagRoom, f.m_strRoom);
  s.Byte(kScpTagStat, static_cast<int>(f.m_nStatCode));
  s.Raw(keep.acquisitionDateItem);
  s.Raw(keep.acquisitionTimeItem);
  s.Word(kScpTagBaselineFilter, f.m_nBaselineFilter);
  s.Word(kScpTagLowPassFilter, f.m_nLowPassFilter);
  s.Text(kScpTagFreeText, f.m_strFreeText);
  s.Text(kScpTagSequenceNumber, f.m_strSequenceNumber);
  s.Raw(keep.otherHeaderItems);
  s.End();
  return s.Ok();
}

bool BuildStatementSection(SectionBuilder& s, const PatientFields& f, const PatientRecordKeep& keep,
                           const QDateTime& now) {
  const QDate date = now.date();
  const QTime time = now.time();
  ScpStatementHeader header = {};
  header.confirmed = static_cast<uint8_t>(f.m_bConfirmed & 0xFF);
  header.year = static_cast<uint16_t>(date.year());
  header.month = static_cast<uint8_t>(date.month());
  header.day = static_cast<uint8_t>(date.day());
  header.hour = static_cast<uint8_t>(time.hour());
  header.minute = static_cast<uint8_t>(time.minute());
  header.second = static_cast<uint8_t>(time.second());
  header.statementCount = static_cast<uint8_t>(
      std::min(kStatementCount + keep.extraStatementCount, kMaxStatementCount));
  s.StatementHeader(header);
  for (int i = 0; i < kStatementCount; ++i) {
    s.Text(static_cast<uint8_t>(i), f.m_strStatement[i]);
  }
  s.Raw(keep.extraStatements);
  return s.Ok();
}

// Replaces section `id` of record by a copy of the same section of scratch.
bool ReplaceSection(ScpRecord* record, const ScpRecord* scratch, uint16_t id) {
  const int64_t length = ScpRecordSectionLength(scratch, id);
  const uint8_t* body = ScpMemLock(ScpRecordSectionData(scratch, id));
  ScpBlock copy = ScpMemAlloc(static_cast<size_t>(std::max<int64_t>(length, 0)));
  if (length < 0 || body == nullptr || copy == nullptr) {
    ScpMemFree(copy);
    return false;
  }
  ScpMemCopy(ScpMemLock(copy), body, static_cast<size_t>(length));
  ScpRecordRemoveSection(record, id);
  if (ScpRecordAddSection(record, id, static_cast<uint32_t>(length), copy) != kScpOk) {
    ScpMemFree(copy);
    return false;
  }
  return true;
}

}  // namespace

DerivedAge DeriveAge(int birthDay, int birthMonth, int birthYear, int acqDay, int acqMonth,
                     int acqYear) {
  if (birthDay + birthMonth + birthYear == 0 || acqDay + acqMonth + acqYear == 0) {
    return {0, 0};
  }
  if (acqYear > birthYear) {
    return {static_cast<unsigned int>(acqYear - birthYear), kAgeUnitYears};
  }
  if (acqMonth > birthMonth) {
    return {static_cast<unsigned int>(acqMonth - birthMonth), kAgeUnitMonths};
  }
  if (acqDay > birthDay) {
    return {static_cast<unsigned int>(acqDay - birthDay), kAgeUnitDays};
  }
  return {0, 0};
}

void ReadPatientRecord(const ScpRecord* record, const QDate& today, PatientFields* fields,
                       PatientRecordKeep* keep) {
  *keep = PatientRecordKeep();
  keep->hasHeaderSection = ScpRecordFindSection(record, kHeaderSection) >= 0;
  if (keep->hasHeaderSection) {
    ReadHeaderSection(record, today, fields, keep);
  }
  ReadStatements(record, fields, keep);
}

bool WritePatientRecord(ScpRecord* record, const PatientFields& fields,
                        const PatientRecordKeep& keep, const QDateTime& now) {
  const ScpRecordPtr scratch(ScpRecordCreate());
  if (scratch == nullptr || ScpRecordNewSection(scratch.get(), kHeaderSection) == nullptr ||
      ScpRecordNewSection(scratch.get(), kStatementSection) == nullptr) {
    return false;
  }
  SectionBuilder header(scratch.get(), kHeaderSection);
  SectionBuilder statements(scratch.get(), kStatementSection);
  if (!BuildHeaderSection(header, fields, keep) ||
      !BuildStatementSection(statements, fields, keep, now)) {
    return false;
  }
  return ReplaceSection(record, scratch.get(), kHeaderSection) &&
         ReplaceSection(record, scratch.get(), kStatementSection);
}
