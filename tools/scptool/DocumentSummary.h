// What the document's models make of a record, as the windows show it: the derived measurements,
// the patient's items and every statement, for `scptool info`.
#pragma once

#include <QDate>
#include <optional>
#include <ostream>

#include "document/MeasurementModel.h"
#include "document/PatientModel.h"
#include "scp/ScpRecord.h"
#include "tools/scptool/JsonWriter.h"

namespace scptool {

struct DocumentSummary {
  MeasurementModel measurements;
  PatientModel patient;
};

// Reads the models of the record; a missing acquisition date is reckoned against `today`.
DocumentSummary ReadDocumentSummary(const ScpRecord* record, const QDate& today);

// "Heart rate: 75 bpm" (or the marker that wins), the patient's items and the statements.
void PrintDocumentSummary(std::ostream& out, const DocumentSummary& summary);

// The keys "patient" (an object of the items the form shows) and "statements" (a list of
// {number, text}).
void WriteDocumentSummary(JsonWriter& json, const DocumentSummary& summary);

// The heart rate in beats per minute, or none when it is not determined.
std::optional<int> HeartRateOf(const DocumentSummary& summary);

}  // namespace scptool
