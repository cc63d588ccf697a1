// The per-application profile: an INI file of sections and entries, by default named after the
// program in the user's configuration directory. Section and entry names are written exactly as
// given ("[Recent File List]", "File1=..."), so the file reads as any other INI file does.
#pragma once

#include <QString>

class CProfile {
 public:
  // The profile kept in fileName (created when first written).
  explicit CProfile(const QString& fileName);

  // "<user configuration directory>/<appName>.ini".
  static QString DefaultFileName(const QString& appName);
  const QString& FileName() const { return m_strFileName; }

  // An entry of a section as a number (defaultValue when absent or not a number) or as text.
  // Names are matched without regard to case. The file is read on every call, so changes made
  // by another running copy of the program are seen.
  int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
  QString GetProfileString(const QString& section, const QString& entry,
                           const QString& defaultValue = QString()) const;
  // Writes an entry and replaces the file at once; false when the file cannot be written, or
  // when a name or the value would break the file's lines (a line break, or '=' or ']' in a
  // name).
  bool WriteProfileInt(const QString& section, const QString& entry, int value);
  bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
  // Removes an entry; true when it is absent afterwards.
  bool RemoveProfileEntry(const QString& section, const QString& entry);

 private:
  QString m_strFileName;
};
