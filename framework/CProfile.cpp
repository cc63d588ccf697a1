#include "framework/CProfile.h"

#include <QSettings>

namespace {

QString Key(const QString& section, const QString& entry) {
  return section + '/' + entry;
}

}  // namespace

CProfile::CProfile(const QString& fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

CProfile::~CProfile() = default;

QString CProfile::DefaultFileName(const QString& appName) {
  const QSettings settings(QSettings::IniFormat, QSettings::UserScope, appName);
  return settings.fileName();
}

QString CProfile::FileName() const {
  return m_settings->fileName();
}

int CProfile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
  bool ok = false;
  const int value = m_settings->value(Key(section, entry)).toInt(&ok);
  return ok ? value : defaultValue;
}

QString CProfile::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const {
  return m_settings->value(Key(section, entry), defaultValue).toString();
}

bool CProfile::WriteProfileInt(const QString& section, const QString& entry, int value) {
  m_settings->setValue(Key(section, entry), value);
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

bool CProfile::WriteProfileString(const QString& section, const QString& entry,
                                  const QString& value) {
  m_settings->setValue(Key(section, entry), value);
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

bool CProfile::RemoveProfileEntry(const QString& section, const QString& entry) {
  m_settings->remove(Key(section, entry));
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}
