// scptool edit [--dry-run] FILE FIELD=VALUE...: changes patient data through the document's patient
// model, with the checks and messages of the patient form, and writes the record back.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <algorithm>
#include <climits>
#include <iostream>

#include "document/PatientModel.h"
#include "scp/ScpWriter.h"
#include "tools/scptool/Commands.h"

namespace scptool {
namespace {

constexpr int kStatementFields = 6;

enum class Kind { kText, kDate, kList, kNumber, kFlag };

// One field scptool can set: its name on the command line, the model field and how it is read.
struct EditField {
  const char* name;
  Kind kind;
  QString PatientFields::*text;
  unsigned int PatientFields::*unsignedNumber;
  int PatientFields::*number;
  QStringList (*entries)();
};

const EditField kEditFields[] = {
    {"last-name", Kind::kText, &PatientFields::m_strLastName, nullptr, nullptr, nullptr},
    {"first-name", Kind::kText, &PatientFields::m_strFirstName, nullptr, nullptr, nullptr},
    {"second-name", Kind::kText, &PatientFields::m_strSecondName, nullptr, nullptr, nullptr},
    {"patient-id", Kind::kText, &PatientFields::m_strPatientId, nullptr, nullptr, nullptr},
    {"birth-date", Kind::kDate, &PatientFields::m_strBirthDate, nullptr, nullptr, nullptr},
    {"sex", Kind::kList, nullptr, nullptr, &PatientFields::m_nSex, SexEntries},
    {"race", Kind::kList, nullptr, nullptr, &PatientFields::m_nRace, RaceEntries},
    {"weight", Kind::kNumber, nullptr, &PatientFields::m_nWeight, nullptr, nullptr},
    {"height", Kind::kNumber, nullptr, &PatientFields::m_nHeight, nullptr, nullptr},
    {"systolic", Kind::kNumber, nullptr, nullptr, &PatientFields::m_nSystolic, nullptr},
    {"diastolic", Kind::kNumber, nullptr, nullptr, &PatientFields::m_nDiastolic, nullptr},
    {"referring-physician", Kind::kText, &PatientFields::m_strReferringPhysician, nullptr, nullptr,
     nullptr},
    {"confirmed", Kind::kFlag, nullptr, nullptr, &PatientFields::m_bConfirmed, nullptr},
};

struct Assignment {
  std::string name;
  std::string value;
  const EditField* field;  // null for a statement
  int statement;           // 0 to 5 for statement1 to statement6
};

// Finds the field an assignment names; false for a name scptool does not know.
bool Resolve(Assignment* assignment) {
  for (const EditField& field : kEditFields) {
    if (assignment->name == field.name) {
      assignment->field = &field;
      return true;
    }
  }
  const std::string prefix = "statement";
  if (assignment->name.size() == prefix.size() + 1 &&
      assignment->name.compare(0, prefix.size(), prefix) == 0) {
    const int number = assignment->name.back() - '0';
    if (number >= 1 && number <= kStatementFields) {
      assignment->statement = number - 1;
      return true;
    }
  }
  return false;
}

// A number as scptool reads it: decimal digits only. Numbers too large for the field are handed
// on as the largest the field takes beyond any item's range, so the model refuses them.
bool ReadNumber(const std::string& text, long long* value) {
  if (text.empty() || text.size() > 18 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *value = std::stoll(text);
  return true;
}

// Puts one value into the fields; a value that cannot be read gives *problem.
bool Apply(const Assignment& a, PatientFields* fields, std::string* problem) {
  const QString value = QString::fromStdString(a.value);
  if (a.field == nullptr) {
    fields->m_strStatement[a.statement] = value;
    return true;
  }
  const EditField& f = *a.field;
  switch (f.kind) {
    case Kind::kText:
    case Kind::kDate:
      fields->*f.text = value;
      return true;
    case Kind::kList: {
      const QStringList entries = f.entries();
      const int position = static_cast<int>(entries.indexOf(value));
      if (value.isEmpty() || position < 0) {
        QStringList named;
        for (const QString& entry : entries) {
          if (!entry.isEmpty()) {
            named << entry;
          }
        }
        *problem = "\"" + a.value + "\" is not one of: " + named.join(", ").toStdString();
        return false;
      }
      fields->*f.number = position;
      return true;
    }
    case Kind::kNumber: {
      long long number = 0;
      if (!ReadNumber(a.value, &number)) {
        *problem = "\"" + a.value + "\" is not a whole number";
        return false;
      }
      if (f.unsignedNumber != nullptr) {
        fields->*f.unsignedNumber =
            static_cast<unsigned int>(std::min<long long>(number, UINT_MAX));
      } else {
        fields->*f.number = static_cast<int>(std::min<long long>(number, INT_MAX));
      }
      return true;
    }
    case Kind::kFlag:
      if (a.value != "yes" && a.value != "no") {
        *problem = "\"" + a.value + "\" is neither yes nor no";
        return false;
      }
      fields->*f.number = a.value == "yes" ? 1 : 0;
      return true;
  }
  return false;
}

// The field's value as scptool shows it in a dry run.
std::string Shown(const Assignment& a, const PatientFields& fields) {
  if (a.field == nullptr) {
    return "\"" + fields.m_strStatement[a.statement].toStdString() + "\"";
  }
  const EditField& f = *a.field;
  switch (f.kind) {
    case Kind::kText:
    case Kind::kDate:
      return "\"" + (fields.*f.text).toStdString() + "\"";
    case Kind::kList: {
      const QStringList entries = f.entries();
      const int position = fields.*f.number;
      return position >= 0 && position < entries.size() ? entries[position].toStdString()
                                                        : "code " + std::to_string(position);
    }
    case Kind::kNumber:
      return f.unsignedNumber != nullptr ? std::to_string(fields.*f.unsignedNumber)
                                         : std::to_string(fields.*f.number);
    case Kind::kFlag:
      return fields.*f.number != 0 ? "yes" : "no";
  }
  return std::string();
}

bool ParseArguments(const Arguments& arguments, std::string* file, bool* dryRun,
                    std::vector<Assignment>* assignments) {
  for (const std::string& argument : arguments) {
    const size_t equals = argument.find('=');
    if (argument == "--dry-run") {
      *dryRun = true;
    } else if (file->empty() && equals == std::string::npos) {
      *file = argument;
    } else if (!file->empty() && equals != std::string::npos && equals > 0) {
      Assignment a{argument.substr(0, equals), argument.substr(equals + 1), nullptr, -1};
      if (!Resolve(&a)) {
        FailUsage("edit: unknown field \"" + a.name + "\"");
        return false;
      }
      assignments->push_back(a);
    } else {
      FailUsage("edit takes [--dry-run] FILE FIELD=VALUE...; \"" + argument + "\" is neither");
      return false;
    }
  }
  if (file->empty() || assignments->empty()) {
    FailUsage("edit takes [--dry-run] FILE FIELD=VALUE...");
    return false;
  }
  return true;
}

// Writes "scptool: FILE: FIELD: REASON" to stderr and returns kExitCheckFailed.
int Refuse(const std::string& file, const std::string& field, const std::string& reason) {
  std::cerr << "scptool: " << file << ": " << field << ": " << reason << "\n";
  return kExitCheckFailed;
}

}  // namespace

int RunEdit(const Arguments& arguments) {
  std::string file;
  bool dryRun = false;
  std::vector<Assignment> assignments;
  if (!ParseArguments(arguments, &file, &dryRun, &assignments)) {
    return kExitUnusable;
  }
  ScpRecordPtr record = ReadOrReport(file);
  if (record == nullptr) {
    return kExitUnusable;
  }
  const QDate today = QDate::currentDate();
  PatientModel model;
  model.Read(record.get(), today);
  const PatientFields before = model.Fields();
  PatientFields fields = before;
  for (const Assignment& a : assignments) {
    std::string problem;
    if (!Apply(a, &fields, &problem)) {
      return Refuse(file, a.name, problem);
    }
  }
  const PatientRefusal refusal = model.SetFields(fields, today);
  if (refusal.Refused()) {
    // The model's message names the field as the form labels it, and the reason.
    std::cerr << "scptool: " << file << ": " << refusal.message.toStdString() << "\n";
    return kExitCheckFailed;
  }
  if (dryRun) {
    for (const Assignment& a : assignments) {
      const std::string was = Shown(a, before);
      const std::string now = Shown(a, model.Fields());
      std::cout << a.name << ": ";
      if (was == now) {
        std::cout << "unchanged " << was << "\n";
      } else {
        std::cout << was << " -> " << now << "\n";
      }
    }
    return kExitOk;
  }
  if (!model.HeaderChanged() && !model.StatementsChanged()) {
    return kExitOk;  // nothing to change: the file stays as it is
  }
  if (!model.Write(record.get(), QDateTime::currentDateTime())) {
    return FailOnFile(file, "the patient data cannot be stored in the record");
  }
  const ScpStatus status = ScpWriteRecordAsRead(record.get(), file.c_str());
  if (status != kScpOk) {
    return FailOnFile(file, "cannot be written (status " + std::to_string(status) +
                                "); the file is left as it was");
  }
  return kExitOk;
}

}  // namespace scptool
