#include "scp/ScpMeasurements.h"

namespace {

constexpr uint32_t kMeasurementHeaderSize = 6;
constexpr uint32_t kBeatMeasurementsSize = 16;
constexpr uint32_t kLeadMeasurementHeaderSize = 4;

ScpStatus AtAccessorLayer(ScpStatus fieldStatus) {
  return fieldStatus == kScpOk ? kScpOk : static_cast<ScpStatus>(fieldStatus - kScpLayerAccessor);
}

}  // namespace

ScpStatus ScpGetMeasurementHeader(const ScpRecord* record, ScpMeasurementHeader* out) {
  return AtAccessorLayer(
      ScpGetFields(record, kScpMeasurementSection, kScpLayoutMeasurementHeader, out, 0, 0));
}

ScpStatus ScpGetBeatMeasurements(const ScpRecord* record, uint16_t block,
                                 ScpBeatMeasurements* out) {
  const uint32_t offset = kMeasurementHeaderSize + kBeatMeasurementsSize * block;
  return AtAccessorLayer(
      ScpGetFields(record, kScpMeasurementSection, kScpLayoutBeatMeasurements, out, offset, 0));
}

ScpStatus ScpGetLeadMeasurementHeader(const ScpRecord* record, ScpLeadMeasurementHeader* out) {
  return AtAccessorLayer(
      ScpGetFields(record, kScpLeadMeasurementSection, kScpLayoutLeadMeasurementHeader, out, 0, 0));
}

ScpStatus ScpGetLeadMeasurements(const ScpRecord* record, uint16_t leadIndex,
                                 ScpLeadMeasurements* out) {
  ScpLeadMeasurementHeader header;
  const ScpStatus headerStatus = ScpGetLeadMeasurementHeader(record, &header);
  if (headerStatus != kScpOk) {
    return static_cast<ScpStatus>(headerStatus - kScpLayerItem);
  }
  if (leadIndex >= header.leadCount) {
    return kScpErrNoSuchEntry - kScpLayerItem;
  }
  if (header.blockLength < kScpLeadMeasurementsSize) {
    return kScpErrMalformed - kScpLayerItem;
  }
  // At most 4 + 65534 * 65535 bytes, which still fits the codec's 32-bit offset.
  const uint32_t offset =
      kLeadMeasurementHeaderSize + static_cast<uint32_t>(leadIndex) * header.blockLength;
  const ScpStatus status =
      ScpGetFields(record, kScpLeadMeasurementSection, kScpLayoutLeadMeasurements, out, offset, 0);
  return status == kScpOk ? kScpOk : static_cast<ScpStatus>(status - kScpLayerItem);
}
