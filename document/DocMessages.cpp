#include "document/DocMessages.h"

#include <QDir>
#include <cstdio>
#include <utility>

#include "framework/ResourceTable.h"
#include "resources/ResourceIds.h"

namespace {

DocMessageSink& InstalledSink() {
  static DocMessageSink sink;
  return sink;
}

QString ShownPath(const QString& path) {
  return QDir::toNativeSeparators(path);
}

}  // namespace

QString NotAnScpRecordMessage(const QString& path) {
  return DocText(kIdsNotAnScpRecord, "\"%1\" could not be read as an SCP-ECG record.")
      .arg(ShownPath(path));
}

QString SaveFailedMessage(const QString& path, SaveFailure reason) {
  const QString because =
      reason == SaveFailure::kCannotBuild
          ? DocText(kIdsReasonCannotBuild, "there was not enough memory to assemble the record.")
          : DocText(kIdsReasonCannotWrite, "the file could not be created, written or replaced.");
  return DocText(kIdsSaveFailed, "\"%1\" could not be saved: %2").arg(ShownPath(path), because);
}

QString UnscaledLeadsMessage(const QString& path) {
  return DocText(kIdsUnscaledLeads,
                 "\"%1\" gives its leads an amplitude unit of 0 nV: they cannot be drawn to scale, "
                 "so their traces are not shown.")
      .arg(ShownPath(path));
}

QString DamagedRecordMessage(const QString& path, const QString& parts) {
  return DocText(kIdsDamagedRecord,
                 "\"%1\" is damaged: the stored checksums or lengths disagree with the bytes of "
                 "%2. It is shown as read, and what it shows may be wrong.")
      .arg(ShownPath(path), parts);
}

QString DamagedSaveQuestion(const QString& path) {
  return DocText(kIdsDamagedSaveQuestion,
                 "\"%1\" was damaged when it was opened. Saving it writes fresh checksums, so the "
                 "damage would no longer show. Save it all the same?")
      .arg(ShownPath(path));
}

QString UnreadLeadSectionMessage(const QString& path) {
  return DocText(kIdsUnreadLeadSection,
                 "\"%1\" keeps its rhythm in section 12, which could not be read: no rhythm "
                 "traces are shown.")
      .arg(ShownPath(path));
}

QString DamagedMark() {
  return DocText(kIdsDamagedMark, "damaged");
}

QString ReadOnlyMark() {
  return DocText(kIdsReadOnlyMark, "read-only");
}

QString DocText(int id, const char* english) {
  const QString text = LoadString(id);
  return text.isEmpty() ? QString::fromUtf8(english) : text;
}

DocMessageSink SetDocMessageSink(DocMessageSink sink) {
  return std::exchange(InstalledSink(), std::move(sink));
}

void ShowDocMessage(const QString& message) {
  const DocMessageSink& sink = InstalledSink();
  if (sink) {
    sink(message);
  } else {
    WriteDocMessageToStderr(message);
  }
}

void WriteDocMessageToStderr(const QString& message) {
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  std::fflush(stderr);
}
