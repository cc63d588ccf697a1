#include "document/PatientModel.h"

#include <algorithm>
#include <vector>

#include "document/CDateText.h"
#include "document/DocMessages.h"
#include "resources/ResourceIds.h"
#include "scp/ScpFields.h"
#include "scp/ScpItems.h"
#include "scp/ScpMemory.h"
#include "scp/ScpSections.h"

namespace {

constexpr int kMaxStatementCount = 255;     // the header counts them in one byte
constexpr uint8_t kLastStatementTag = 254;  // 255 is the terminator
constexpr uint32_t kMaxItemValue = 0xFFFF;  // an item's length is a u16
constexpr int kMaxTextChars = 65534;        // the terminator takes the last byte

// The filter bit map: read only for the footer's mains-filter labels.
constexpr uint8_t kTagFilterBitMap = 29;
constexpr uint8_t kFilter60HzBit = 0x01;
constexpr uint8_t kFilter50HzBit = 0x02;

constexpr int kAgeUnitYears = 1;
constexpr int kAgeUnitMonths = 2;
constexpr int kAgeUnitDays = 4;
constexpr int kMonthsPerYear = 12;

const char* const kSexEntries[] = {"not known", "male", "female", "unspecified"};
const char* const kRaceEntries[] = {"Unspec.", "caucasian", "black", "oriental", ""};
const char* const kWeightUnitEntries[] = {"Unspec.", "Kg", "g", "Pound", "Ounce"};
const char* const kHeightUnitEntries[] = {"Unspec.", "cm", "inch", "mm"};
const char* const kAgeUnitEntries[] = {"Unspec.", "Years", "Months", "Weeks", "Days", "Hours"};
const char* const kStatementEntries[] = {"ECG NORMAL", "ECG ABNORMAL"};

template <size_t N>
QStringList Entries(const char* const (&entries)[N]) {
  QStringList list;
  for (const char* entry : entries) {
    list << QString::fromLatin1(entry);
  }
  return list;
}

QString DateText(int day, int month, int year) {
  return QString::asprintf("%02d/%02d/%04d", day, month, year);
}

QString TimeText(int hour, int minute) {
  return QString::asprintf("%02d:%02d", hour, minute);
}

// --- Reading -----------------------------------------------------------------------------------

// The bytes [offset, offset + count) of a section body; empty when they cannot be read.
QByteArray BodyBytes(const ScpRecord* record, uint16_t section, uint32_t offset, uint32_t count) {
  QByteArray bytes(static_cast<int>(count), '\0');
  if (count > 0 &&
      ScpGetFields(record, section, kScpLayoutBytes, bytes.data(), offset, count) != kScpOk) {
    return QByteArray();
  }
  return bytes;
}

// One stored item: its tag and its whole stored form (head and value).
struct StoredItem {
  uint8_t tag;
  QByteArray bytes;
};

// The items of a section up to its end, in stored order, and where that end is.
std::vector<StoredItem> StoredItems(const ScpRecord* record, uint16_t section, uint32_t* end) {
  std::vector<StoredItem> items;
  uint32_t cursor = ScpFirstItemOffset(section);
  ScpItemSpan span = {};
  while (ScpNextItem(record, section, &cursor, &span) == kScpOk) {
    items.push_back(
        {span.tag, BodyBytes(record, section, span.offset, kScpItemHeadSize + span.length)});
  }
  *end = cursor;
  return items;
}

// The text of an item's value: its bytes up to the first zero byte, as Latin-1.
QString ItemText(const QByteArray& item) {
  const QByteArray value = item.mid(static_cast<int>(kScpItemHeadSize));
  const int zero = value.indexOf('\0');
  return QString::fromLatin1(zero < 0 ? value : value.left(zero));
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

struct DateParts {
  int day = 0;
  int month = 0;
  int year = 0;
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
    ReadText(record, kScpPatientSection, text.tag, text.field);
  }
}

// Reads a byte into a list position, remembering the stored code for a save.
void ReadCode(const ScpRecord* record, uint8_t tag, int* field, int* storedCode) {
  uint8_t code = 0;
  if (ScpGetItemByte(record, kScpPatientSection, tag, &code) == kScpOk) {
    *field = code;
    *storedCode = code;
  }
}

template <typename Number>
void ReadWord(const ScpRecord* record, uint8_t tag, Number* field) {
  uint16_t word = 0;
  if (ScpGetItemWord(record, kScpPatientSection, tag, &word) == kScpOk) {
    *field = word;
  }
}

void ReadValueUnit(const ScpRecord* record, uint8_t tag, unsigned int* value, int* unit,
                   int* storedUnit) {
  ScpValueUnit stored = {};
  if (ScpGetItemValueUnit(record, kScpPatientSection, tag, &stored) == kScpOk) {
    *value = stored.value;
    *unit = stored.unit;
    *storedUnit = stored.unit;
  }
}

void ReadFilterLabels(const ScpRecord* record, PatientFields* fields) {
  fields->m_bHighPassLabel = fields->m_nBaselineFilter != 0;
  fields->m_nHighPassLabel = static_cast<int>(fields->m_nBaselineFilter);
  fields->m_bLowPassLabel = fields->m_nLowPassFilter != 0;
  uint8_t filters = 0;
  if (ScpGetItemByte(record, kScpPatientSection, kTagFilterBitMap, &filters) == kScpOk) {
    fields->m_b50HzLabel = (filters & kFilter50HzBit) != 0;
    fields->m_b60HzLabel = (filters & kFilter60HzBit) != 0;
  }
}

// Age: as stored when its unit is not 0, else derived from the two dates.
void ReadAge(const ScpRecord* record, const DateParts& birth, const DateParts& acquisition,
             PatientFields* fields, PatientRecordKeep* keep) {
  ScpValueUnit stored = {};
  if (ScpGetItemValueUnit(record, kScpPatientSection, kScpTagAge, &stored) == kScpOk) {
    keep->ageStored = true;
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
}

void ReadHeaderSection(const ScpRecord* record, const QDate& today, PatientFields* fields,
                       PatientRecordKeep* keep) {
  ReadHeaderTexts(record, fields);

  // Without an acquisition date the field stays blank (today is not when the ECG was taken); an
  // age the record does not store is then reckoned up to today.
  DateParts acquisition = {today.day(), today.month(), today.year()};
  ScpDate date = {};
  if (ScpGetItemDate(record, kScpPatientSection, kScpTagAcquisitionDate, &date) == kScpOk) {
    acquisition = {date.day, date.month, date.year};
    keep->acquisitionDateStored = true;
    fields->m_strAcqDate = DateText(acquisition.day, acquisition.month, acquisition.year);
  }
  ScpTime time = {};
  if (ScpGetItemTime(record, kScpPatientSection, kScpTagAcquisitionTime, &time) == kScpOk) {
    fields->m_strAcqTime = TimeText(time.hour, time.minute);
    keep->acquisitionTime = QTime(time.hour, time.minute, time.second);
  }

  DateParts birth;
  if (ScpGetItemDate(record, kScpPatientSection, kScpTagDateOfBirth, &date) == kScpOk) {
    birth = {date.day, date.month, date.year};
    fields->m_strBirthDate = DateText(birth.day, birth.month, birth.year);
  }

  ReadCode(record, kScpTagRace, &fields->m_nRace, &keep->raceCode);
  ReadCode(record, kScpTagSex, &fields->m_nSex, &keep->sexCode);
  uint8_t stat = 0;
  if (ScpGetItemByte(record, kScpPatientSection, kScpTagStat, &stat) == kScpOk) {
    fields->m_nStatCode = stat;
  }
  ReadWord(record, kScpTagSystolic, &fields->m_nSystolic);
  ReadWord(record, kScpTagDiastolic, &fields->m_nDiastolic);
  ReadWord(record, kScpTagBaselineFilter, &fields->m_nBaselineFilter);
  ReadWord(record, kScpTagLowPassFilter, &fields->m_nLowPassFilter);
  ReadAge(record, birth, acquisition, fields, keep);
  ReadValueUnit(record, kScpTagHeight, &fields->m_nHeight, &fields->m_nHeightUnit,
                &keep->heightUnitCode);
  ReadValueUnit(record, kScpTagWeight, &fields->m_nWeight, &fields->m_nWeightUnit,
                &keep->weightUnitCode);
  ReadFilterLabels(record, fields);
}

// Every statement in stored order, whatever its numbering; the first six fill the boxes.
void ReadStatements(const ScpRecord* record, PatientFields* fields, PatientRecordKeep* keep) {
  ScpStatementHeader header = {};
  if (ScpGetStatementHeader(record, kScpStatementSection, &header) != kScpOk) {
    return;
  }
  keep->hasStatementSection = true;
  fields->m_bConfirmed = header.confirmed;
  fields->m_strConfirmDate = DateText(header.day, header.month, header.year);
  fields->m_strConfirmTime = TimeText(header.hour, header.minute);
  uint32_t end = 0;
  for (StoredItem& item : StoredItems(record, kScpStatementSection, &end)) {
    keep->statements.push_back({item.tag, ItemText(item.bytes), item.bytes});
  }
  const int shown = std::min<int>(kStatementCount, static_cast<int>(keep->statements.size()));
  for (int i = 0; i < shown; ++i) {
    fields->m_strStatement[i] = keep->statements[static_cast<size_t>(i)].text;
  }
}

// --- Checking ----------------------------------------------------------------------------------

// A field's name in the messages: its string id and the English kept when no table answers.
struct FieldLabel {
  int id;
  const char* english;
};

struct TextCheck {
  PatientField field;
  FieldLabel label;
  const QString PatientFields::*text;
};

constexpr FieldLabel kBirthDateLabel = {kIdsFormBirthDate, "Birth Date"};

QString Quoted(const QString& text) {
  return QLatin1Char('"') + text + QLatin1Char('"');
}

bool FitsLatin1(const QString& text) {
  return QString::fromLatin1(text.toLatin1()) == text;
}

// The message names the field (a statement by its number from 1) and says why.
PatientRefusal Refuse(PatientField field, FieldLabel label, const QString& reason,
                      int statement = -1) {
  QString name = DocText(label.id, label.english);
  if (statement >= 0) {
    name = name.arg(statement + 1);
  }
  return {field, statement, name + QStringLiteral(": ") + reason};
}

PatientRefusal CheckText(PatientField field, FieldLabel label, const QString& text,
                         const QString& current, int maxChars, int statement = -1) {
  if (text == current) {
    return {};
  }
  if (!FitsLatin1(text)) {
    return Refuse(field, label,
                  DocText(kIdsRefusedNotLatin1,
                          "%1 holds characters the record cannot store (only Latin-1 letters "
                          "and signs).")
                      .arg(Quoted(text)),
                  statement);
  }
  if (text.size() > maxChars) {
    return Refuse(field, label, DocText(kIdsRefusedTooLong, "at most %1 characters.").arg(maxChars),
                  statement);
  }
  return {};
}

PatientRefusal CheckNumber(PatientField field, FieldLabel label, long long value,
                           long long current) {
  if (value == current || (value >= 0 && value <= kMaxItemNumber)) {
    return {};
  }
  return Refuse(
      field, label,
      DocText(kIdsRefusedOutOfRange, "%1 is outside 0 to %2.").arg(value).arg(kMaxItemNumber));
}

PatientRefusal CheckList(PatientField field, FieldLabel label, int position, int current,
                         const QStringList& entries) {
  if (position == current || (position >= kNoListEntry && position < entries.size())) {
    return {};
  }
  return Refuse(field, label, DocText(kIdsRefusedNoListEntry, "no list entry %1.").arg(position));
}

// A birth date must be a real date, not after today; two-digit years are widened against today.
PatientRefusal CheckBirthDate(const QString& text, const QString& current, const QDate& today) {
  if (text == current || text.trimmed().isEmpty()) {
    return {};
  }
  CDateText date;
  date.SetToday(today);
  date.SetText(text);
  const bool parsed = date.IsValid();
  const QDate birth(date.Year(), date.Month(), date.Day());
  if (!parsed || !birth.isValid()) {
    return Refuse(
        PatientField::kBirthDate, kBirthDateLabel,
        DocText(kIdsRefusedNotADate, "%1 is not a date; enter DD/MM/YYYY.").arg(Quoted(text)));
  }
  if (birth > today) {
    return Refuse(PatientField::kBirthDate, kBirthDateLabel,
                  DocText(kIdsRefusedFutureDate, "%1 lies in the future.")
                      .arg(DateText(birth.day(), birth.month(), birth.year())));
  }
  return {};
}

// --- Writing -----------------------------------------------------------------------------------

QByteArray ItemHead(uint8_t tag, int valueLength) {
  QByteArray head(static_cast<int>(kScpItemHeadSize), '\0');
  head[0] = static_cast<char>(tag);
  head[1] = static_cast<char>(valueLength & 0xFF);
  head[2] = static_cast<char>((valueLength >> 8) & 0xFF);
  return head;
}

QByteArray TextValue(const QString& text) {
  QByteArray value = text.toLatin1();
  value.append('\0');
  return value;
}

QByteArray Packed(int layout, const void* in) {
  QByteArray value(static_cast<int>(ScpLayoutSize(layout)), '\0');
  ScpPack(reinterpret_cast<uint8_t*>(value.data()), static_cast<uint32_t>(value.size()), layout, in,
          0, 0);
  return value;
}

QByteArray ByteValue(int code) {
  const auto byte = static_cast<uint8_t>(code & 0xFF);
  return Packed(kScpLayoutByte, &byte);
}

QByteArray WordValue(long long number) {
  const auto word = static_cast<uint16_t>(number & 0xFFFF);
  return Packed(kScpLayoutWord, &word);
}

QByteArray ValueUnitValue(unsigned int number, int unit) {
  const ScpValueUnit stored = {static_cast<uint16_t>(number & 0xFFFF),
                               static_cast<uint8_t>(unit & 0xFF)};
  return Packed(kScpLayoutValueUnit, &stored);
}

// A birth date text as its stored value: null for an empty text; a text that is not a date (only
// a stored one can be) gives a value no written item has, so it only compares.
QByteArray DateValue(const QString& text) {
  if (text.trimmed().isEmpty()) {
    return QByteArray();
  }
  CDateText date;
  date.SetText(text);
  if (!date.IsValid()) {
    return QByteArrayLiteral("?") + text.toLatin1();
  }
  const ScpDate stored = {static_cast<uint16_t>(date.Year()), static_cast<uint8_t>(date.Month()),
                          static_cast<uint8_t>(date.Day())};
  return Packed(kScpLayoutDate, &stored);
}

// A list position, or the stored code when the list shows no entry for it.
int ListCode(int position, int storedCode, int fallback) {
  if (position >= 0) {
    return position;
  }
  return storedCode >= 0 ? storedCode : fallback;
}

// The tags of section 1 a save may change, in the order a new section lays them out.
constexpr uint8_t kWrittenTags[] = {
    kScpTagLastName,
    kScpTagFirstName,
    kScpTagSecondLastName,
    kScpTagPatientId,
    kScpTagReferringPhysician,
    kScpTagAcquiringInstitution,
    kScpTagAnalysingInstitution,
    kScpTagAcquiringDepartment,
    kScpTagAnalysingDepartment,
    kScpTagDateOfBirth,
    kScpTagRace,
    kScpTagSex,
    kScpTagSystolic,
    kScpTagDiastolic,
    kScpTagAge,
    kScpTagHeight,
    kScpTagWeight,
    kScpTagDiagnosis,
    kScpTagConfirmingPhysician,
    kScpTagTechnician,
    kScpTagRoom,
    kScpTagStat,
    kScpTagBaselineFilter,
    kScpTagLowPassFilter,
    kScpTagFreeText,
    kScpTagSequenceNumber,
};

// The stored value of one tag for the fields; null when the tag is not to be stored.
QByteArray TagValue(uint8_t tag, const PatientFields& f, const PatientRecordKeep& keep) {
  const PatientFields initial;
  switch (tag) {
    case kScpTagLastName:
      return TextValue(f.m_strLastName);
    case kScpTagFirstName:
      return TextValue(f.m_strFirstName);
    case kScpTagSecondLastName:
      return TextValue(f.m_strSecondName);
    case kScpTagPatientId:
      return TextValue(f.m_strPatientId);
    case kScpTagReferringPhysician:
      return TextValue(f.m_strReferringPhysician);
    case kScpTagAcquiringInstitution:
      return TextValue(f.m_strAcqInstitution);
    case kScpTagAnalysingInstitution:
      return TextValue(f.m_strAnaInstitution);
    case kScpTagAcquiringDepartment:
      return TextValue(f.m_strAcqDepartment);
    case kScpTagAnalysingDepartment:
      return TextValue(f.m_strAnaDepartment);
    case kScpTagDateOfBirth:
      return DateValue(f.m_strBirthDate);
    case kScpTagRace:
      return ByteValue(ListCode(f.m_nRace, keep.raceCode, initial.m_nRace));
    case kScpTagSex:
      return ByteValue(ListCode(f.m_nSex, keep.sexCode, initial.m_nSex));
    case kScpTagSystolic:
      return WordValue(f.m_nSystolic);
    case kScpTagDiastolic:
      return WordValue(f.m_nDiastolic);
    case kScpTagAge:
      return keep.ageStored ? ValueUnitValue(f.m_nAge, f.m_nAgeUnit) : QByteArray();
    case kScpTagHeight:
      return ValueUnitValue(f.m_nHeight, ListCode(f.m_nHeightUnit, keep.heightUnitCode, 0));
    case kScpTagWeight:
      return ValueUnitValue(f.m_nWeight, ListCode(f.m_nWeightUnit, keep.weightUnitCode, 0));
    case kScpTagDiagnosis:
      return TextValue(f.m_strDiagnosis);
    case kScpTagConfirmingPhysician:
      return TextValue(f.m_strConfirmingPhysician);
    case kScpTagTechnician:
      return TextValue(f.m_strTechnician);
    case kScpTagRoom:
      return TextValue(f.m_strRoom);
    case kScpTagStat:
      return ByteValue(static_cast<int>(f.m_nStatCode));
    case kScpTagBaselineFilter:
      return WordValue(f.m_nBaselineFilter);
    case kScpTagLowPassFilter:
      return WordValue(f.m_nLowPassFilter);
    case kScpTagFreeText:
      return TextValue(f.m_strFreeText);
    case kScpTagSequenceNumber:
      return TextValue(f.m_strSequenceNumber);
    default:
      return QByteArray();
  }
}

bool TagChanged(uint8_t tag, const PatientFields& fields, const PatientRecordKeep& keep) {
  return TagValue(tag, fields, keep) != TagValue(tag, keep.asRead, keep);
}

// Section 1 with each changed item replaced where it is stored, an item the record lacked added
// before the end, and everything else as it was. False when an item outgrows its length field.
bool BuildHeaderBody(const ScpRecord* record, const PatientFields& fields,
                     const PatientRecordKeep& keep, QByteArray* body) {
  std::vector<StoredItem> items;
  QByteArray tail = ItemHead(kScpTagTerminator, 0);
  if (keep.hasHeaderSection) {
    uint32_t end = 0;
    items = StoredItems(record, kScpPatientSection, &end);
    const int64_t length = ScpRecordSectionLength(record, kScpPatientSection);
    tail = BodyBytes(record, kScpPatientSection, end,
                     static_cast<uint32_t>(std::max<int64_t>(length - end, 0)));
  }
  QByteArray added;
  for (const uint8_t tag : kWrittenTags) {
    if (!TagChanged(tag, fields, keep)) {
      continue;
    }
    const QByteArray value = TagValue(tag, fields, keep);
    if (static_cast<uint32_t>(value.size()) > kMaxItemValue) {
      return false;
    }
    const QByteArray item = value.isNull() ? QByteArray() : ItemHead(tag, value.size()) + value;
    auto stored = std::find_if(items.begin(), items.end(),
                               [tag](const StoredItem& s) { return s.tag == tag; });
    if (stored == items.end()) {
      added += item;
    } else if (item.isEmpty()) {
      items.erase(stored);
    } else {
      stored->bytes = item;
    }
  }
  body->clear();
  for (const StoredItem& item : items) {
    *body += item.bytes;
  }
  *body += added;
  *body += tail;
  return true;
}

bool StatementTextsChanged(const PatientFields& fields, const PatientFields& asRead) {
  for (int i = 0; i < kStatementCount; ++i) {
    if (fields.m_strStatement[i] != asRead.m_strStatement[i]) {
      return true;
    }
  }
  return false;
}

// Section 8: a header dated `now`, then every stored statement in its place (the first six with
// the boxes' texts), then the boxes beyond the stored statements that hold text, numbered on.
bool BuildStatementBody(const ScpRecord* record, const PatientFields& fields,
                        const PatientRecordKeep& keep, const QDateTime& now, QByteArray* body) {
  QByteArray items;
  int count = 0;
  int nextTag = 0;
  for (const StoredStatement& statement : keep.statements) {
    const int box = count;
    if (box < kStatementCount && fields.m_strStatement[box] != statement.text) {
      const QByteArray value = TextValue(fields.m_strStatement[box]);
      if (static_cast<uint32_t>(value.size()) > kMaxItemValue) {
        return false;
      }
      items += ItemHead(statement.tag, value.size()) + value;
    } else {
      items += statement.item;
    }
    nextTag = std::max(nextTag, statement.tag + 1);
    ++count;
  }
  for (int box = count; box < kStatementCount; ++box) {
    if (fields.m_strStatement[box].isEmpty() || nextTag > kLastStatementTag) {
      continue;
    }
    const QByteArray value = TextValue(fields.m_strStatement[box]);
    if (static_cast<uint32_t>(value.size()) > kMaxItemValue) {
      return false;
    }
    items += ItemHead(static_cast<uint8_t>(nextTag++), value.size()) + value;
    ++count;
  }
  QByteArray tail;
  if (keep.hasStatementSection) {
    uint32_t end = 0;
    StoredItems(record, kScpStatementSection, &end);
    const int64_t length = ScpRecordSectionLength(record, kScpStatementSection);
    tail = BodyBytes(record, kScpStatementSection, end,
                     static_cast<uint32_t>(std::max<int64_t>(length - end, 0)));
  }
  const QDate date = now.date();
  const QTime time = now.time();
  ScpStatementHeader header = {};
  header.confirmed = static_cast<uint8_t>(fields.m_bConfirmed & 0xFF);
  header.year = static_cast<uint16_t>(date.year());
  header.month = static_cast<uint8_t>(date.month());
  header.day = static_cast<uint8_t>(date.day());
  header.hour = static_cast<uint8_t>(time.hour());
  header.minute = static_cast<uint8_t>(time.minute());
  header.second = static_cast<uint8_t>(time.second());
  header.statementCount = static_cast<uint8_t>(std::min(count, kMaxStatementCount));
  *body = Packed(kScpLayoutStatementHeader, &header) + items + tail;
  return true;
}

// Replaces the body of the first section `id` of record (or adds it) with `bytes`; a replaced
// section keeps the version it was read with.
bool ReplaceSection(ScpRecord* record, uint16_t id, const QByteArray& bytes) {
  ScpBlock block = ScpMemAlloc(static_cast<size_t>(bytes.size()));
  if (block == nullptr) {
    return false;
  }
  ScpMemCopy(ScpMemLock(block), bytes.constData(), static_cast<size_t>(bytes.size()));
  if (ScpRecordReplaceSection(record, id, static_cast<uint32_t>(bytes.size()), block) != kScpOk) {
    ScpMemFree(block);
    return false;
  }
  return true;
}

}  // namespace

QStringList SexEntries() {
  return Entries(kSexEntries);
}
QStringList RaceEntries() {
  return Entries(kRaceEntries);
}
QStringList WeightUnitEntries() {
  return Entries(kWeightUnitEntries);
}
QStringList HeightUnitEntries() {
  return Entries(kHeightUnitEntries);
}
QStringList AgeUnitEntries() {
  return Entries(kAgeUnitEntries);
}
QStringList StatementEntries() {
  return Entries(kStatementEntries);
}

DerivedAge DeriveAge(int birthDay, int birthMonth, int birthYear, int acqDay, int acqMonth,
                     int acqYear) {
  const QDate birth(birthYear, birthMonth, birthDay);
  const QDate acquisition(acqYear, acqMonth, acqDay);
  if (!birth.isValid() || !acquisition.isValid() || acquisition < birth) {
    return {0, 0};
  }
  // A year or a month is complete once its day of the month has come again.
  const int dayNotReached = acqDay < birthDay ? 1 : 0;
  const int months =
      (acqYear - birthYear) * kMonthsPerYear + (acqMonth - birthMonth) - dayNotReached;
  if (months >= kMonthsPerYear) {
    return {static_cast<unsigned int>(months / kMonthsPerYear), kAgeUnitYears};
  }
  if (months >= 1) {
    return {static_cast<unsigned int>(months), kAgeUnitMonths};
  }
  const qint64 days = birth.daysTo(acquisition);
  if (days >= 1) {
    return {static_cast<unsigned int>(days), kAgeUnitDays};
  }
  return {0, 0};
}

void PatientModel::Read(const ScpRecord* record, const QDate& today) {
  m_fields = PatientFields();
  m_keep = PatientRecordKeep();
  m_keep.hasHeaderSection = ScpRecordFindSection(record, kScpPatientSection) >= 0;
  if (m_keep.hasHeaderSection) {
    ReadHeaderSection(record, today, &m_fields, &m_keep);
  }
  ReadStatements(record, &m_fields, &m_keep);
  m_keep.asRead = m_fields;
  m_today = today;
}

PatientRefusal PatientModel::Check(const PatientFields& f, const QDate& today) const {
  const PatientFields& now = m_fields;
  const int physicianLimit =
      std::max<int>(kMaxReferringPhysicianChars, m_keep.asRead.m_strReferringPhysician.size());
  const TextCheck leadingTexts[] = {
      {PatientField::kAcqDepartment,
       {kIdsFieldAcqDepartment, "Acquiring Department"},
       &PatientFields::m_strAcqDepartment},
      {PatientField::kAcqInstitution,
       {kIdsFormAcqInstitution, "Acquiring Institution"},
       &PatientFields::m_strAcqInstitution},
      {PatientField::kAnaDepartment,
       {kIdsFieldAnaDepartment, "Analyzing Department"},
       &PatientFields::m_strAnaDepartment},
      {PatientField::kAnaInstitution,
       {kIdsFormAnaInstitution, "Analyzing Institution"},
       &PatientFields::m_strAnaInstitution},
  };
  for (const TextCheck& c : leadingTexts) {
    PatientRefusal r = CheckText(c.field, c.label, f.*c.text, now.*c.text, kMaxTextChars);
    if (r.Refused()) {
      return r;
    }
  }
  const PatientRefusal checks[] = {
      CheckBirthDate(f.m_strBirthDate, now.m_strBirthDate, today),
      CheckNumber(PatientField::kDiastolic, {kIdsFieldDiastolic, "Diastolic Pressure"},
                  f.m_nDiastolic, now.m_nDiastolic),
      CheckText(PatientField::kFirstName, {kIdsFormFirstName, "First Name"}, f.m_strFirstName,
                now.m_strFirstName, kMaxTextChars),
      CheckText(PatientField::kPatientId, {kIdsFormPatientId, "ID"}, f.m_strPatientId,
                now.m_strPatientId, kMaxTextChars),
      CheckText(PatientField::kLastName, {kIdsFormLastName, "Last Name"}, f.m_strLastName,
                now.m_strLastName, kMaxTextChars),
      CheckText(PatientField::kReferringPhysician,
                {kIdsFormReferringPhysician, "Referr. Physician"}, f.m_strReferringPhysician,
                now.m_strReferringPhysician, physicianLimit),
      CheckText(PatientField::kSecondName, {kIdsFormSecondName, "Second Name"}, f.m_strSecondName,
                now.m_strSecondName, kMaxTextChars),
      CheckNumber(PatientField::kSystolic, {kIdsFieldSystolic, "Systolic Pressure"}, f.m_nSystolic,
                  now.m_nSystolic),
      CheckList(PatientField::kRace, {kIdsFormRace, "Race"}, f.m_nRace, now.m_nRace, RaceEntries()),
      CheckList(PatientField::kSex, {kIdsFormSex, "Sex"}, f.m_nSex, now.m_nSex, SexEntries()),
      CheckList(PatientField::kConfirmed, {kIdsFormConfirmed, "Confirmed"}, f.m_bConfirmed,
                now.m_bConfirmed, QStringList{QString(), QString()}),
      CheckList(PatientField::kWeightUnit, {kIdsFieldWeightUnit, "Weight Unit"}, f.m_nWeightUnit,
                now.m_nWeightUnit, WeightUnitEntries()),
      CheckList(PatientField::kHeightUnit, {kIdsFieldHeightUnit, "Height Unit"}, f.m_nHeightUnit,
                now.m_nHeightUnit, HeightUnitEntries()),
      CheckNumber(PatientField::kWeight, {kIdsFormWeight, "Weight"}, f.m_nWeight, now.m_nWeight),
      CheckNumber(PatientField::kHeight, {kIdsFormHeight, "Height"}, f.m_nHeight, now.m_nHeight),
  };
  for (const PatientRefusal& r : checks) {
    if (r.Refused()) {
      return r;
    }
  }
  for (int i = 0; i < kStatementCount; ++i) {
    PatientRefusal r = CheckText(PatientField::kStatement, {kIdsFieldStatement, "Statement %1"},
                                 f.m_strStatement[i], now.m_strStatement[i], kMaxTextChars, i);
    if (r.Refused()) {
      return r;
    }
  }
  return {};
}

PatientRefusal PatientModel::SetFields(const PatientFields& fields, const QDate& today) {
  PatientRefusal refusal = Check(fields, today);
  if (refusal.Refused()) {
    return refusal;
  }
  PatientFields next = fields;
  if (next.m_strBirthDate != m_fields.m_strBirthDate) {
    CDateText birth;
    birth.SetToday(today);
    birth.SetText(next.m_strBirthDate);
    CDateText acquisition;
    acquisition.SetText(next.m_strAcqDate.isEmpty()
                            ? DateText(today.day(), today.month(), today.year())
                            : next.m_strAcqDate);
    if (next.m_strBirthDate.trimmed().isEmpty()) {
      next.m_strBirthDate.clear();
      if (!m_keep.ageStored) {
        next.m_nAge = 0;
        next.m_nAgeUnit = 0;
      }
    } else if (birth.IsValid()) {
      next.m_strBirthDate = DateText(birth.Day(), birth.Month(), birth.Year());
      if (acquisition.IsValid()) {
        const DerivedAge age =
            DeriveAge(birth.Day(), birth.Month(), birth.Year(), acquisition.Day(),
                      acquisition.Month(), acquisition.Year());
        next.m_nAge = age.value;
        next.m_nAgeUnit = age.unit;
      }
    }
  }
  m_fields = next;
  return {};
}

bool PatientModel::HeaderChanged() const {
  for (const uint8_t tag : kWrittenTags) {
    if (TagChanged(tag, m_fields, m_keep)) {
      return true;
    }
  }
  return false;
}

bool PatientModel::StatementsChanged() const {
  return m_fields.m_bConfirmed != m_keep.asRead.m_bConfirmed ||
         StatementTextsChanged(m_fields, m_keep.asRead);
}

bool PatientModel::Write(ScpRecord* record, const QDateTime& now) {
  const bool headerChanged = HeaderChanged();
  const bool statementsChanged = StatementsChanged();
  if (!headerChanged && !statementsChanged) {
    return true;
  }
  QByteArray header;
  QByteArray statements;
  if ((headerChanged && !BuildHeaderBody(record, m_fields, m_keep, &header)) ||
      (statementsChanged && !BuildStatementBody(record, m_fields, m_keep, now, &statements))) {
    return false;
  }
  if ((headerChanged && !ReplaceSection(record, kScpPatientSection, header)) ||
      (statementsChanged && !ReplaceSection(record, kScpStatementSection, statements))) {
    return false;
  }
  // What was written is now what the record holds; the acquisition date shown stays as it was.
  const PatientFields written = m_fields;
  Read(record, m_today);
  m_fields.m_strAcqDate = written.m_strAcqDate;
  m_keep.asRead.m_strAcqDate = written.m_strAcqDate;
  return true;
}

QString PatientModel::PatientText() const {
  return m_fields.m_strLastName + QLatin1Char(' ') + m_fields.m_strFirstName + QLatin1Char(' ') +
         m_fields.m_strAcqDate;
}

QString PatientModel::SexText() const {
  const QStringList entries = SexEntries();
  return m_fields.m_nSex >= 0 && m_fields.m_nSex < entries.size() ? entries[m_fields.m_nSex]
                                                                  : QString();
}
