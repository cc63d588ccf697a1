#include "tools/scptool/DocumentSummary.h"

#include <QString>
#include <string>
#include <vector>

#include "views/MeasureText.h"

namespace scptool {

namespace {

// The patient's items by the keys scptool prints, in the form's order.
struct PatientItem {
  const char* key;
  QString value;
};

std::vector<PatientItem> PatientItems(const PatientModel& patient) {
  const PatientFields& f = patient.Fields();
  return {
      {"lastName", f.m_strLastName},
      {"firstName", f.m_strFirstName},
      {"secondName", f.m_strSecondName},
      {"patientId", f.m_strPatientId},
      {"birthDate", f.m_strBirthDate},
      {"sex", patient.SexText()},
      {"acquisitionDate", f.m_strAcqDate},
      {"acquisitionTime", f.m_strAcqTime},
      {"acquiringInstitution", f.m_strAcqInstitution},
      {"analyzingInstitution", f.m_strAnaInstitution},
      {"referringPhysician", f.m_strReferringPhysician},
  };
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

}  // namespace

DocumentSummary ReadDocumentSummary(const ScpRecord* record, const QDate& today) {
  DocumentSummary summary;
  summary.measurements.ReadMeasurements(record);
  summary.patient.Read(record, today);
  return summary;
}

void PrintDocumentSummary(std::ostream& out, const DocumentSummary& summary) {
  out << "Heart rate: " << Utf8(HeartRateText(summary.measurements.HeartRate())) << "\n";
  out << "Patient:\n";
  for (const PatientItem& item : PatientItems(summary.patient)) {
    out << "  " << item.key << ": " << Utf8(item.value) << "\n";
  }
  const std::vector<StoredStatement>& statements = summary.patient.Keep().statements;
  out << "Statements (" << statements.size() << "):\n";
  for (const StoredStatement& statement : statements) {
    out << "  " << int{statement.tag} << ": " << Utf8(statement.text) << "\n";
  }
}

void WriteDocumentSummary(JsonWriter& json, const DocumentSummary& summary) {
  json.Key("patient");
  json.BeginObject();
  for (const PatientItem& item : PatientItems(summary.patient)) {
    json.Key(item.key);
    json.String(Utf8(item.value));
  }
  json.EndObject();
  json.Key("statements");
  json.BeginArray();
  for (const StoredStatement& statement : summary.patient.Keep().statements) {
    json.BeginObject();
    json.Field("number", statement.tag);
    json.Key("text");
    json.String(Utf8(statement.text));
    json.EndObject();
  }
  json.EndArray();
}

std::optional<int> HeartRateOf(const DocumentSummary& summary) {
  const DerivedValue heartRate = summary.measurements.HeartRate();
  return heartRate.IsDetermined() ? std::optional<int>(heartRate.value) : std::nullopt;
}

}  // namespace scptool
