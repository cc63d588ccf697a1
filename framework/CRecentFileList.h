// The recent-file list: the last files opened, newest first, kept in the profile and shown in
// the File menu under shortened names.
#pragma once

#include <QString>
#include <QStringList>

class CProfile;

class CRecentFileList {
 public:
  // A list of at most size files, stored in section as entries named by entryFormat ("%d" is
  // the number from 1), shown with names of at most maxDisplayLength characters.
  explicit CRecentFileList(int size = 4,
                           const QString& section = QStringLiteral("Recent File List"),
                           const QString& entryFormat = QStringLiteral("File%d"),
                           int maxDisplayLength = 30);

  int GetSize() const { return m_nSize; }
  int GetCount() const { return static_cast<int>(m_paths.size()); }
  // The path of an entry, or an empty string.
  QString GetPath(int index) const;

  // Puts the file at the top (as an absolute path); an entry for the same path moves up, and
  // the oldest entry drops out when the list is full.
  void Add(const QString& path);
  void Remove(int index);

  // Reads the list from the profile (entries 1 to size, skipping empty ones) / writes it.
  void ReadList(const CProfile& profile);
  void WriteList(CProfile& profile) const;

  // The menu name of an entry: its path shortened to the maximum display length.
  QString GetDisplayName(int index) const;
  // A path shortened to maxLength characters: as it is when short enough, else "/..." followed
  // by as many of its last directories as fit and the file name; only the file name (never cut)
  // when even that is too long.
  static QString AbbreviatePath(const QString& path, int maxLength);

 private:
  QString EntryName(int number) const;

  int m_nSize;
  QString m_strSection;
  QString m_strEntryFormat;
  int m_nMaxDisplayLength;
  QStringList m_paths;
};
