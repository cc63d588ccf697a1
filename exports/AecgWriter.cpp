// Writes a record as an HL7 annotated ECG (XML) with Qt's stream writer.
//
// Layout: the document's identifier, code and time; the subject with its demographics; one
// rhythm series whose sequence set holds the time sequence and one sequence per lead; the
// reference beats as the series' derived series; the statements as the series' annotations.
#include <QFile>
#include <QString>
#include <QXmlStreamWriter>

#include <cstdio>

#include "exports/ExportWriters.h"

namespace {

constexpr const char* kHl7Namespace = "urn:hl7-org:v3";
constexpr const char* kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kActCode = "2.16.840.1.113883.5.4";
constexpr const char* kMdc = "2.16.840.1.113883.6.24";
constexpr const char* kCpt4 = "2.16.840.1.113883.6.12";
constexpr const char* kGender = "2.16.840.1.113883.5.1";

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

QString DateTimeText(const ExportRecord& record) {
  const ExportDate& d = record.acquisitionDate;
  const ExportTime& t = record.acquisitionTime;
  const QString minute =
      QString::asprintf("%04d%02d%02d%02d%02d", d.year, d.month, d.day, t.hour, t.minute);
  return t.secondKnown ? minute + QString::asprintf("%02d", t.second) : minute;
}

QString MdcLeadCode(const ExportLead& lead) {
  return "MDC_ECG_LEAD_" + Text(lead.name).toUpper();
}

class AecgWriter {
 public:
  AecgWriter(const ExportRecord& record, QIODevice* device) : record_(record), xml_(device) {
    xml_.setAutoFormatting(true);
  }

  void Write() {
    xml_.writeStartDocument();
    xml_.writeDefaultNamespace(kHl7Namespace);
    xml_.writeNamespace(kXsiNamespace, "xsi");
    xml_.writeStartElement(kHl7Namespace, "AnnotatedECG");
    Id(DerivedUid(record_.uidSeed, "instance"));
    Code("93000", kCpt4);
    EffectiveTime(record_.rhythm);
    Subject();
    xml_.writeStartElement("component");
    Series(record_.rhythm, "series", "RHYTHM");
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndDocument();
  }

 private:
  void Id(const std::string& root) {
    xml_.writeEmptyElement("id");
    xml_.writeAttribute("root", Text(root));
  }

  void Code(const QString& code, const char* system) {
    xml_.writeEmptyElement("code");
    xml_.writeAttribute("code", code);
    xml_.writeAttribute("codeSystem", system);
  }

  bool Dated() const { return record_.acquisitionDate.IsSet(); }

  void EffectiveTime(const std::vector<ExportLead>& leads) {
    if (!Dated() || leads.empty()) {
      return;
    }
    xml_.writeStartElement("effectiveTime");
    xml_.writeEmptyElement("low");
    xml_.writeAttribute("value", DateTimeText(record_));
    xml_.writeEndElement();
  }

  void Subject() {
    xml_.writeStartElement("componentOf");
    xml_.writeStartElement("timepointEvent");
    xml_.writeStartElement("componentOf");
    xml_.writeStartElement("subjectAssignment");
    xml_.writeStartElement("subject");
    xml_.writeStartElement("trialSubject");
    xml_.writeEmptyElement("id");
    xml_.writeAttribute("extension", Text(record_.patientId));
    Demographics();
    xml_.writeEndElement();  // trialSubject
    xml_.writeEndElement();  // subject
    xml_.writeStartElement("componentOf");
    xml_.writeStartElement("clinicalTrial");
    Id(DerivedUid(record_.uidSeed, "study"));
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();  // subjectAssignment
    xml_.writeEndElement();
    xml_.writeEndElement();  // timepointEvent
    xml_.writeEndElement();
  }

  void Demographics() {
    xml_.writeStartElement("subjectDemographicPerson");
    const std::string name = JoinedPersonName(record_);
    if (!name.empty()) {
      xml_.writeStartElement("name");
      if (!record_.firstName.empty()) {
        xml_.writeTextElement("given", Text(record_.firstName));
      }
      if (!record_.lastName.empty()) {
        xml_.writeTextElement("family", Text(record_.lastName));
      }
      if (!record_.secondLastName.empty()) {
        xml_.writeTextElement("family", Text(record_.secondLastName));
      }
      xml_.writeEndElement();
    }
    xml_.writeEmptyElement("administrativeGenderCode");
    xml_.writeAttribute("code", record_.sex == ExportSex::kMale     ? "M"
                                : record_.sex == ExportSex::kFemale ? "F"
                                                                    : "UN");
    xml_.writeAttribute("codeSystem", kGender);
    if (record_.birthDate.IsSet()) {
      xml_.writeEmptyElement("birthTime");
      xml_.writeAttribute("value",
                          QString::asprintf("%04d%02d%02d", record_.birthDate.year,
                                            record_.birthDate.month, record_.birthDate.day));
    }
    xml_.writeEndElement();
  }

  void Series(const std::vector<ExportLead>& leads, const char* element, const char* code) {
    xml_.writeStartElement(element);
    Id(DerivedUid(record_.uidSeed, code));
    Code(code, kActCode);
    EffectiveTime(leads);
    xml_.writeStartElement("component");
    xml_.writeStartElement("sequenceSet");
    TimeSequence(leads.front());
    for (const ExportLead& lead : leads) {
      LeadSequence(lead);
    }
    xml_.writeEndElement();
    xml_.writeEndElement();
    if (&leads == &record_.rhythm && !record_.beats.empty()) {
      xml_.writeStartElement("derivation");
      Series(record_.beats, "derivedSeries", "REPRESENTATIVE_BEAT");
      xml_.writeEndElement();
    }
    if (&leads == &record_.rhythm) {
      Statements();
    }
    xml_.writeEndElement();
  }

  // Absolute times from the acquisition when the record is dated; else times from its start.
  void TimeSequence(const ExportLead& lead) {
    xml_.writeStartElement("component");
    xml_.writeStartElement("sequence");
    Code(Dated() ? "TIME_ABSOLUTE" : "TIME_RELATIVE", kActCode);
    xml_.writeStartElement("value");
    xml_.writeAttribute(kXsiNamespace, "type", Dated() ? "GLIST_TS" : "GLIST_PQ");
    xml_.writeEmptyElement("head");
    if (Dated()) {
      xml_.writeAttribute("value", DateTimeText(record_));
    } else {
      xml_.writeAttribute("value", "0");
      xml_.writeAttribute("unit", "s");
    }
    xml_.writeEmptyElement("increment");
    xml_.writeAttribute("value", QString::number(lead.sampleIntervalUs / 1e6, 'g', 9));
    xml_.writeAttribute("unit", "s");
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

  void LeadSequence(const ExportLead& lead) {
    xml_.writeStartElement("component");
    xml_.writeStartElement("sequence");
    Code(MdcLeadCode(lead), kMdc);
    xml_.writeStartElement("value");
    xml_.writeAttribute(kXsiNamespace, "type", "SLIST_PQ");
    xml_.writeEmptyElement("origin");
    xml_.writeAttribute("value", "0");
    xml_.writeAttribute("unit", "uV");
    xml_.writeEmptyElement("scale");
    xml_.writeAttribute("value", QString::number(lead.MicrovoltsPerUnit(), 'g', 9));
    xml_.writeAttribute("unit", "uV");
    QString digits;
    digits.reserve(static_cast<qsizetype>(lead.samples.size()) * 5);
    for (size_t i = 0; i < lead.samples.size(); ++i) {
      if (i != 0) {
        digits += ' ';
      }
      digits += QString::number(lead.samples[i]);
    }
    xml_.writeTextElement("digits", digits);
    xml_.writeEndElement();
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

  void Statements() {
    if (record_.statements.empty()) {
      return;
    }
    xml_.writeStartElement("subjectOf");
    xml_.writeStartElement("annotationSet");
    for (const std::string& statement : record_.statements) {
      xml_.writeStartElement("component");
      xml_.writeStartElement("annotation");
      Code("MDC_ECG_INTERPRETATION_STATEMENT", kMdc);
      xml_.writeStartElement("value");
      xml_.writeAttribute(kXsiNamespace, "type", "ST");
      xml_.writeCharacters(Text(statement));
      xml_.writeEndElement();
      xml_.writeEndElement();
      xml_.writeEndElement();
    }
    xml_.writeEndElement();
    xml_.writeEndElement();
  }

  const ExportRecord& record_;
  QXmlStreamWriter xml_;
};

}  // namespace

bool WriteAnnotatedEcg(const ExportRecord& record, const std::string& path, std::string* error) {
  if (record.rhythm.empty()) {
    *error = "holds no rhythm to export";
    return false;
  }
  QFile file(Text(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    *error = "cannot be created: " + file.errorString().toStdString();
    return false;
  }
  AecgWriter(record, &file).Write();
  file.close();
  if (file.error() != QFileDevice::NoError) {
    *error = "cannot be written: " + file.errorString().toStdString();
    file.remove();
    return false;
  }
  return true;
}
