#include "framework/CProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace {

// The lines of the file, without line ends; empty when it does not exist yet.
QStringList ReadLines(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return {};
  }
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

bool WriteLines(const QString& fileName, QStringList lines) {
  while (!lines.isEmpty() && lines.last().isEmpty()) {
    lines.removeLast();
  }
  QDir().mkpath(QFileInfo(fileName).absolutePath());
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    return false;
  }
  file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
  return file.commit();
}

// The section a line opens ("[Name]"), or nothing for any other line.
std::optional<QString> SectionOf(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
  }
  return std::nullopt;
}

// The name of the entry a line holds ("Name=value"); empty for comments and other lines.
QString EntryOf(const QString& line) {
  if (line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) {
    return QString();
  }
  const int equals = line.indexOf(QLatin1Char('='));
  return equals > 0 ? line.left(equals).trimmed() : QString();
}

QString ValueOf(const QString& line) {
  QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
  if (value.endsWith(QLatin1Char('\r'))) {
    value.chop(1);
  }
  return value;
}

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where an entry stands in the lines: the line of its section header (−1 when the section is
// absent), the line of the entry (−1 when absent) and the line after the section's last entry.
struct EntryPlace {
  int sectionLine = -1;
  int entryLine = -1;
  int sectionEnd = -1;
};

EntryPlace FindEntry(const QStringList& lines, const QString& section, const QString& entry) {
  EntryPlace place;
  bool inSection = false;
  for (int index = 0; index < lines.size(); ++index) {
    const std::optional<QString> opened = SectionOf(lines[index]);
    if (opened.has_value()) {
      inSection = place.sectionLine < 0 && SameName(*opened, section);
      if (inSection) {
        place.sectionLine = index;
        place.sectionEnd = index + 1;
      }
      continue;
    }
    if (!inSection) {
      continue;
    }
    if (!lines[index].trimmed().isEmpty()) {
      place.sectionEnd = index + 1;
    }
    if (place.entryLine < 0 && SameName(EntryOf(lines[index]), entry)) {
      place.entryLine = index;
    }
  }
  return place;
}

bool BreaksLines(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

bool IsWritableName(const QString& name) {
  return !name.trimmed().isEmpty() && !BreaksLines(name) && !name.contains(QLatin1Char('=')) &&
         !name.contains(QLatin1Char(']'));
}

}  // namespace

CProfile::CProfile(const QString& fileName) : m_strFileName(fileName) {}

QString CProfile::DefaultFileName(const QString& appName) {
  const QSettings settings(QSettings::IniFormat, QSettings::UserScope, appName);
  return settings.fileName();
}

int CProfile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
  bool ok = false;
  const int value = GetProfileString(section, entry).trimmed().toInt(&ok);
  return ok ? value : defaultValue;
}

QString CProfile::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const {
  const QStringList lines = ReadLines(m_strFileName);
  const EntryPlace place = FindEntry(lines, section, entry);
  return place.entryLine >= 0 ? ValueOf(lines[place.entryLine]) : defaultValue;
}

bool CProfile::WriteProfileInt(const QString& section, const QString& entry, int value) {
  return WriteProfileString(section, entry, QString::number(value));
}

bool CProfile::WriteProfileString(const QString& section, const QString& entry,
                                  const QString& value) {
  if (!IsWritableName(section) || !IsWritableName(entry) || BreaksLines(value)) {
    return false;
  }
  QStringList lines = ReadLines(m_strFileName);
  const EntryPlace place = FindEntry(lines, section, entry);
  const QString line = entry + QLatin1Char('=') + value;
  if (place.entryLine >= 0) {
    lines[place.entryLine] = line;
  } else if (place.sectionLine >= 0) {
    lines.insert(place.sectionEnd, line);
  } else {
    while (!lines.isEmpty() && lines.last().isEmpty()) {
      lines.removeLast();
    }
    if (!lines.isEmpty()) {
      lines << QString();  // a blank line between sections
    }
    lines << QLatin1Char('[') + section + QLatin1Char(']') << line;
  }
  return WriteLines(m_strFileName, lines);
}

bool CProfile::RemoveProfileEntry(const QString& section, const QString& entry) {
  QStringList lines = ReadLines(m_strFileName);
  const EntryPlace place = FindEntry(lines, section, entry);
  if (place.entryLine < 0) {
    return true;
  }
  lines.removeAt(place.entryLine);
  return WriteLines(m_strFileName, lines);
}
