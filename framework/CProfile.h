// The per-application profile: an INI file of sections and entries, by default named after the
// program in the user's configuration directory.
#pragma once

#include <QString>
#include <memory>

class QSettings;

class CProfile {
 public:
  // The profile kept in fileName (created when first written).
  explicit CProfile(const QString& fileName);
  ~CProfile();
  CProfile(const CProfile&) = delete;
  CProfile& operator=(const CProfile&) = delete;

  // "<user configuration directory>/<appName>.ini".
  static QString DefaultFileName(const QString& appName);
  QString FileName() const;

  // An entry of a section as a number (defaultValue when absent or not a number) or as text.
  int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
  QString GetProfileString(const QString& section, const QString& entry,
                           const QString& defaultValue = QString()) const;
  // Writes an entry and flushes the file; false when the file cannot be written.
  bool WriteProfileInt(const QString& section, const QString& entry, int value);
  bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
  // Removes an entry.
  bool RemoveProfileEntry(const QString& section, const QString& entry);

 private:
  std::unique_ptr<QSettings> m_settings;
};
