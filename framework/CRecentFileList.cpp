#include "framework/CRecentFileList.h"

#include <QDir>
#include <QFileInfo>

#include "framework/CProfile.h"

namespace {

const QString kEllipsis = QStringLiteral("...");

}  // namespace

CRecentFileList::CRecentFileList(int size, const QString& section, const QString& entryFormat,
                                 int maxDisplayLength)
    : m_nSize(size),
      m_strSection(section),
      m_strEntryFormat(entryFormat),
      m_nMaxDisplayLength(maxDisplayLength) {}

QString CRecentFileList::GetPath(int index) const {
  return index >= 0 && index < GetCount() ? m_paths[index] : QString();
}

void CRecentFileList::Add(const QString& path) {
  if (path.isEmpty() || m_nSize <= 0) {
    return;
  }
  const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  m_paths.removeAll(absolute);
  m_paths.prepend(absolute);
  while (m_paths.size() > m_nSize) {
    m_paths.removeLast();
  }
}

void CRecentFileList::Remove(int index) {
  if (index >= 0 && index < GetCount()) {
    m_paths.removeAt(index);
  }
}

QString CRecentFileList::EntryName(int number) const {
  QString name = m_strEntryFormat;
  return name.replace(QStringLiteral("%d"), QString::number(number));
}

void CRecentFileList::ReadList(const CProfile& profile) {
  m_paths.clear();
  for (int number = 1; number <= m_nSize; ++number) {
    const QString path = profile.GetProfileString(m_strSection, EntryName(number));
    if (!path.isEmpty() && !m_paths.contains(path)) {
      m_paths.append(path);
    }
  }
}

void CRecentFileList::WriteList(CProfile& profile) const {
  for (int number = 1; number <= m_nSize; ++number) {
    if (number <= GetCount()) {
      profile.WriteProfileString(m_strSection, EntryName(number), m_paths[number - 1]);
    } else {
      profile.RemoveProfileEntry(m_strSection, EntryName(number));
    }
  }
}

QString CRecentFileList::GetDisplayName(int index) const {
  return AbbreviatePath(GetPath(index), m_nMaxDisplayLength);
}

QString CRecentFileList::AbbreviatePath(const QString& path, int maxLength) {
  if (path.size() <= maxLength) {
    return path;
  }
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  if (parts.isEmpty()) {
    return path;
  }
  const QString prefix = QLatin1Char('/') + kEllipsis;
  QString tail = QLatin1Char('/') + parts.last();
  if (prefix.size() + tail.size() > maxLength) {
    return parts.last();
  }
  for (int part = static_cast<int>(parts.size()) - 2; part >= 0; --part) {
    const QString longer = QLatin1Char('/') + parts[part] + tail;
    if (prefix.size() + longer.size() > maxLength) {
      break;
    }
    tail = longer;
  }
  return prefix + tail;
}
