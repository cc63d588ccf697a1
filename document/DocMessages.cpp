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

// The string with the id, or the English fallback when the table has none.
QString TextOr(int id, const char* english) {
  const QString text = LoadString(id);
  return text.isEmpty() ? QString::fromUtf8(english) : text;
}

QString ShownPath(const QString& path) {
  return QDir::toNativeSeparators(path);
}

}  // namespace

QString NotAnScpRecordMessage(const QString& path) {
  return TextOr(kIdsNotAnScpRecord, "\"%1\" could not be read as an SCP-ECG record.")
      .arg(ShownPath(path));
}

QString SaveFailedMessage(const QString& path, SaveFailure reason) {
  const QString because =
      reason == SaveFailure::kCannotBuild
          ? TextOr(kIdsReasonCannotBuild, "there was not enough memory to assemble the record.")
          : TextOr(kIdsReasonCannotWrite, "the file could not be created, written or replaced.");
  return TextOr(kIdsSaveFailed, "\"%1\" could not be saved: %2").arg(ShownPath(path), because);
}

QString UnscaledLeadsMessage(const QString& path) {
  return TextOr(kIdsUnscaledLeads,
                "\"%1\" gives its leads an amplitude unit of 0 nV: they cannot be drawn to scale, "
                "so their traces are not shown.")
      .arg(ShownPath(path));
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
