#include "document/RecordAnonymizer.h"

#include <algorithm>
#include <vector>

#include "document/PatientModel.h"
#include "scp/ScpFields.h"
#include "scp/ScpHandles.h"
#include "scp/ScpItems.h"
#include "scp/ScpMemory.h"
#include "scp/ScpSections.h"

namespace {

constexpr int kMaxPatientIdChars = 64;  // a patient identification, not a text to hide data in

// Items whose whole value names or locates the patient: left out.
constexpr uint8_t kRemovedTags[] = {
    kScpTagLastName,
    kScpTagFirstName,
    kScpTagSecondLastName,
    kScpTagDiagnosis,
    kScpTagAcquiringInstitution,
    kScpTagAnalysingInstitution,
    kScpTagAcquiringDepartment,
    kScpTagAnalysingDepartment,
    kScpTagReferringPhysician,
    kScpTagConfirmingPhysician,
    kScpTagTechnician,
    kScpTagRoom,
    kScpTagFreeText,
    kScpTagSequenceNumber,
    kScpTagMedicalHistoryText,
};

struct Item {
  uint8_t tag;
  std::vector<uint8_t> value;
};

// The items of section 1 before its terminator, in stored order.
bool ReadItems(const ScpRecord* record, std::vector<Item>* items) {
  uint32_t cursor = ScpFirstItemOffset(kScpPatientSection);
  ScpItemSpan span = {};
  while (ScpNextItem(record, kScpPatientSection, &cursor, &span) == kScpOk) {
    Item item{span.tag, std::vector<uint8_t>(span.length)};
    if (span.length > 0 &&
        ScpGetFields(record, kScpPatientSection, kScpLayoutBytes, item.value.data(),
                     span.offset + kScpItemHeadSize, span.length) != kScpOk) {
      return false;
    }
    items->push_back(std::move(item));
  }
  return true;
}

template <typename Value>
std::vector<uint8_t> Packed(int layout, const Value& value) {
  std::vector<uint8_t> bytes(ScpLayoutSize(layout));
  ScpPack(bytes.data(), static_cast<uint32_t>(bytes.size()), layout, &value, 0, 0);
  return bytes;
}

std::vector<uint8_t> TextValue(const QByteArray& text) {
  std::vector<uint8_t> value(text.begin(), text.end());
  value.push_back(0);
  return value;
}

// The device's institution, department and device numbers become 0 and its serial number an
// empty text; the fixed fields and the other texts stay. A text part that does not end where it
// should is cut at the serial number, so nothing after it can leak.
void BlankDeviceIdentity(std::vector<uint8_t>* device) {
  std::fill_n(device->begin(), std::min<size_t>(device->size(), kScpDeviceNumbersSize), 0);
  if (device->size() <= kScpDeviceFirstTextOffset) {
    return;
  }
  auto textStart = device->begin() + kScpDeviceFirstTextOffset;
  for (int text = 0; text < kScpDeviceSerialText && textStart != device->end(); ++text) {
    textStart = std::find(textStart, device->end(), 0);
    textStart += textStart != device->end() ? 1 : 0;
  }
  const auto serialEnd = std::find(textStart, device->end(), 0);
  if (serialEnd == device->end()) {
    device->erase(textStart, device->end());
    device->push_back(0);
  } else {
    device->erase(textStart, serialEnd);
  }
}

// The age to keep in the birth date's place: none when an age is stored (it stays where it is)
// or cannot be reckoned from the two dates.
bool AgeFromDates(const ScpRecord* record, ScpValueUnit* age) {
  ScpValueUnit stored = {};
  if (ScpGetItemValueUnit(record, kScpPatientSection, kScpTagAge, &stored) == kScpOk &&
      stored.unit != 0) {
    return false;
  }
  ScpDate birth = {};
  ScpDate acquired = {};
  if (ScpGetItemDate(record, kScpPatientSection, kScpTagDateOfBirth, &birth) != kScpOk ||
      ScpGetItemDate(record, kScpPatientSection, kScpTagAcquisitionDate, &acquired) != kScpOk) {
    return false;
  }
  const DerivedAge derived =
      DeriveAge(birth.day, birth.month, birth.year, acquired.day, acquired.month, acquired.year);
  if (derived.unit == 0) {
    return false;
  }
  *age = {static_cast<uint16_t>(std::min(derived.value, kMaxItemNumber)),
          static_cast<uint8_t>(derived.unit)};
  return true;
}

std::vector<Item> AnonymousItems(const ScpRecord* record, const std::vector<Item>& stored,
                                 const QByteArray& patientId) {
  ScpValueUnit derivedAge = {};
  bool ageToAdd = AgeFromDates(record, &derivedAge);
  std::vector<Item> items;
  bool idWritten = false;
  for (const Item& item : stored) {
    const uint8_t* const removed = std::end(kRemovedTags);
    if (std::find(std::begin(kRemovedTags), removed, item.tag) != removed) {
      continue;
    }
    if (item.tag == kScpTagPatientId) {
      if (!idWritten) {
        items.push_back({item.tag, TextValue(patientId)});
        idWritten = true;
      }
    } else if (item.tag == kScpTagDateOfBirth) {
      if (ageToAdd) {
        items.push_back({kScpTagAge, Packed(kScpLayoutValueUnit, derivedAge)});
        ageToAdd = false;
      }
    } else if (item.tag == kScpTagAge && AgeFromDates(record, &derivedAge)) {
      continue;  // an age of unit 0 says nothing; the reckoned one replaces it
    } else if (item.tag == kScpTagAcquiringDevice || item.tag == kScpTagAnalysingDevice) {
      items.push_back(item);
      BlankDeviceIdentity(&items.back().value);
    } else {
      items.push_back(item);
    }
  }
  if (!idWritten) {
    items.insert(items.begin(), {kScpTagPatientId, TextValue(patientId)});
  }
  return items;
}

// Builds the new section 1 in a scratch record with the item writers, then puts its body in
// place of record's, which keeps the header bytes (and so the version) it was read with.
bool WriteSection(ScpRecord* record, const std::vector<Item>& items) {
  const ScpRecordPtr scratch(ScpRecordCreate());
  if (scratch == nullptr || ScpRecordNewSection(scratch.get(), kScpPatientSection) == nullptr) {
    return false;
  }
  for (const Item& item : items) {
    if (ScpAddItem(scratch.get(), kScpPatientSection, item.tag, kScpLayoutBytes,
                   item.value.empty() ? nullptr : item.value.data(),
                   static_cast<uint16_t>(item.value.size())) != kScpOk) {
      return false;
    }
  }
  if (ScpAddItemEnd(scratch.get(), kScpPatientSection) != kScpOk) {
    return false;
  }
  const auto length =
      static_cast<uint32_t>(ScpRecordSectionLength(scratch.get(), kScpPatientSection));
  ScpBlock body = ScpMemAlloc(std::max<size_t>(length, 1));
  if (body == nullptr) {
    return false;
  }
  ScpMemCopy(ScpMemLock(body), ScpMemLock(ScpRecordSectionData(scratch.get(), kScpPatientSection)),
             length);
  if (ScpRecordReplaceSection(record, kScpPatientSection, length, body) != kScpOk) {
    ScpMemFree(body);
    return false;
  }
  return true;
}

}  // namespace

QString AnonymizeRecord(ScpRecord* record, const QString& anonId) {
  const QString id = anonId.isEmpty() ? QString::fromLatin1(kAnonymousPatientId) : anonId;
  const QByteArray latin1 = id.toLatin1();
  if (QString::fromLatin1(latin1) != id || latin1.contains('\0')) {
    return QStringLiteral(
               "the new patient ID \"%1\" holds characters the record cannot store "
               "(only Latin-1 letters and signs)")
        .arg(id);
  }
  if (id.size() > kMaxPatientIdChars) {
    return QStringLiteral("the new patient ID is longer than %1 characters")
        .arg(kMaxPatientIdChars);
  }
  if (ScpRecordFindSection(record, kScpPatientSection) < 0) {
    return QString();
  }
  std::vector<Item> stored;
  if (!ReadItems(record, &stored) ||
      !WriteSection(record, AnonymousItems(record, stored, latin1))) {
    return QStringLiteral("the patient section cannot be rebuilt");
  }
  return QString();
}

std::vector<uint16_t> SectionsOfUnknownContent(const ScpRecord* record) {
  std::vector<uint16_t> unknown;
  for (uint16_t i = 0; i < ScpRecordSectionCount(record); ++i) {
    const int32_t id = ScpRecordIdAt(record, i);
    if (id < kScpFirstManufacturerSection) {
      continue;
    }
    const auto section = static_cast<uint16_t>(id);
    const bool rhythm =
        section == kScpFirstManufacturerSection &&
        ScpIsVersion3Section(static_cast<uint8_t>(ScpRecordSectionVersion(record, section)));
    if (!rhythm) {
      unknown.push_back(section);
    }
  }
  std::sort(unknown.begin(), unknown.end());
  return unknown;
}
