// The per-application profile and the recent-file list kept in it.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "FrameworkTestDoubles.h"
#include "framework/CProfile.h"
#include "framework/CRecentFileList.h"
#include "resources/ResourceIds.h"

class ProfileTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_dir;

  QString IniPath() const { return m_dir.filePath(QStringLiteral("Quillon.ini")); }

 private slots:
  void cleanup() { QFile::remove(IniPath()); }

  void DefaultProfileIsAnIniFileNamedAfterTheProgram() {
    QCOMPARE(QFileInfo(CProfile::DefaultFileName(QStringLiteral("Quillon"))).fileName(),
             QStringLiteral("Quillon.ini"));
  }

  void EntriesRoundTripAndMissingOnesGiveTheDefault() {
    CProfile profile(IniPath());
    QVERIFY(profile.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 2));
    QCOMPARE(profile.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 1),
             2);
    QCOMPARE(profile.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Missing"), 7), 7);
    profile.WriteProfileString(QStringLiteral("Settings"), QStringLiteral("Word"),
                               QStringLiteral("text"));
    QCOMPARE(profile.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("Word"), 5), 5);
  }

  void RecentFileListKeepsTheFourNewestFilesNewestFirst() {
    CRecentFileList list(4);
    for (const char* name : {"/r/1.scp", "/r/2.scp", "/r/3.scp", "/r/4.scp", "/r/5.scp"}) {
      list.Add(QString::fromLatin1(name));
    }
    QCOMPARE(list.GetCount(), 4);
    QCOMPARE(list.GetPath(0), QStringLiteral("/r/5.scp"));
    QCOMPARE(list.GetPath(3), QStringLiteral("/r/2.scp"));

    list.Add(QStringLiteral("/r/3.scp"));  // reopening moves it up, without a duplicate
    QCOMPARE(list.GetCount(), 4);
    QCOMPARE(list.GetPath(0), QStringLiteral("/r/3.scp"));
    QCOMPARE(list.GetPath(1), QStringLiteral("/r/5.scp"));
  }

  void RecentFileListIsStoredAsFileEntriesOfItsSection() {
    CProfile profile(IniPath());
    CRecentFileList written(4);
    written.Add(QStringLiteral("/r/old.scp"));
    written.Add(QStringLiteral("/r/new.scp"));
    written.WriteList(profile);

    const QSettings ini(IniPath(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Recent File List/File1")).toString(),
             QStringLiteral("/r/new.scp"));
    QCOMPARE(ini.value(QStringLiteral("Recent File List/File2")).toString(),
             QStringLiteral("/r/old.scp"));
    QVERIFY(!ini.contains(QStringLiteral("Recent File List/File3")));
    QFile text(IniPath());
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(text.readAll()),
             QStringLiteral("[Recent File List]\nFile1=/r/new.scp\nFile2=/r/old.scp\n"));

    CRecentFileList read(4);
    read.ReadList(profile);
    QCOMPARE(read.GetCount(), 2);
    QCOMPARE(read.GetPath(0), QStringLiteral("/r/new.scp"));

    written.Remove(0);  // a shorter list leaves no stale entries behind
    written.WriteList(profile);
    read.ReadList(profile);
    QCOMPARE(read.GetCount(), 1);
  }

  void EntriesKeepTheirSectionWithOtherSectionsAndCommentsUntouched() {
    QFile seed(IniPath());
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write(
        "; written by hand\n[Settings]\nPreviewPages=2\n\n[Recent File List]\n"
        "File1=/r/a b.scp\n");
    seed.close();
    CProfile profile(IniPath());
    QCOMPARE(profile.GetProfileString(QStringLiteral("recent file list"), QStringLiteral("file1")),
             QStringLiteral("/r/a b.scp"));
    QVERIFY(profile.WriteProfileString(QStringLiteral("Recent File List"), QStringLiteral("File2"),
                                       QStringLiteral("/r/c.scp")));
    QVERIFY(profile.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 1));
    QVERIFY(!profile.WriteProfileString(QStringLiteral("Settings"), QStringLiteral("Two"),
                                        QStringLiteral("line\nbreak")));
    QVERIFY(seed.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(seed.readAll()),
             QStringLiteral("; written by hand\n[Settings]\nPreviewPages=1\n\n"
                            "[Recent File List]\nFile1=/r/a b.scp\nFile2=/r/c.scp\n"));
  }

  void AnEntryHeldTwiceIsReadAndReplacedAtItsFirstPlace() {
    QFile seed(IniPath());
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write("[Settings]\nPreviewPages=2\nZoom=1\npreviewpages=3\n");
    seed.close();
    CProfile profile(IniPath());
    QCOMPARE(profile.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 0),
             2);
    QVERIFY(profile.WriteProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 4));
    QCOMPARE(profile.GetProfileInt(QStringLiteral("Settings"), QStringLiteral("PreviewPages"), 0),
             4);
    QVERIFY(seed.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(seed.readAll()),
             QStringLiteral("[Settings]\nPreviewPages=4\nZoom=1\npreviewpages=3\n"));
  }

  void MenuNamesAreShortenedToThirtyCharactersKeepingTheFileName() {
    QCOMPARE(CRecentFileList::AbbreviatePath(QStringLiteral("/r/short.scp"), 30),
             QStringLiteral("/r/short.scp"));
    const QString shortened = CRecentFileList::AbbreviatePath(
        QStringLiteral("/home/cardiology/records/2024/march/patient.scp"), 30);
    QCOMPARE(shortened, QStringLiteral("/.../2024/march/patient.scp"));
    QVERIFY(shortened.size() <= 30);
    QCOMPARE(CRecentFileList::AbbreviatePath(
                 QStringLiteral("/r/a-file-name-longer-than-thirty-characters.scp"), 30),
             QStringLiteral("a-file-name-longer-than-thirty-characters.scp"));
  }

  void ARecentFileThatNoLongerOpensLeavesTheList() {
    TestWorld world;
    TestApp app;
    app.SetProfileName(IniPath());
    app.LoadStdProfileSettings(4);
    auto docTemplate = MakeTestTemplate(&world, QStringLiteral("rhythm"));
    app.AddDocTemplate(docTemplate.get());
    const QString gone = m_dir.filePath(QStringLiteral("gone.scp"));
    app.AddToRecentFileList(gone);
    QCOMPARE(app.GetRecentFileList()->GetCount(), 1);
    QVERIFY(app.OnCmdMsg(ID_FILE_MRU_FILE1));
    QCOMPARE(app.GetRecentFileList()->GetCount(), 0);
    CRecentFileList stored(4);
    stored.ReadList(*app.GetProfile());
    QCOMPARE(stored.GetCount(), 0);
  }
};

QTEST_MAIN(ProfileTest)
#include "ProfileTest.moc"
