// The messages a document shows when a file cannot be opened or saved, and where they go: a
// message box in the application, standard error at start-up and in tools, a list in tests.
#pragma once

#include <QString>
#include <functional>

// Why a save failed.
enum class SaveFailure { kCannotWrite, kCannotBuild };

// The two messages below take their texts from the installed string table; an id without a text
// there falls back to the English text, so a message is never empty.

// Returns the message for a file that could not be read as an SCP-ECG record, naming it.
QString NotAnScpRecordMessage(const QString& path);

// Returns the message for a failed save, naming the file and the reason.
QString SaveFailedMessage(const QString& path, SaveFailure reason);

// Returns the message for a record whose leads have an amplitude unit of 0 nV, naming it: their
// traces cannot be drawn to scale and are left out.
QString UnscaledLeadsMessage(const QString& path);

// Returns the message for a record whose checksums or lengths disagree with its bytes, naming it
// and the damaged parts (DamagedPartsText): it is shown as read, and its values may be wrong.
QString DamagedRecordMessage(const QString& path, const QString& parts);

// Returns the question Save asks before it writes fresh checksums over a damaged record.
QString DamagedSaveQuestion(const QString& path);

// Returns the message for a record whose rhythm lies only in a section 12 that cannot be read.
QString UnreadLeadSectionMessage(const QString& path);

// The marks the window titles add to the file name of a damaged or a read-only record.
QString DamagedMark();
QString ReadOnlyMark();

// Returns string id of the installed string table, or the English text when the table has none.
QString DocText(int id, const char* english);

using DocMessageSink = std::function<void(const QString& message)>;

// Sends every later message to sink and returns the sink installed before. An empty sink (the
// start) writes messages to standard error.
DocMessageSink SetDocMessageSink(DocMessageSink sink);

// Shows one message through the installed sink.
void ShowDocMessage(const QString& message);

// Writes the message and a line break to standard error.
void WriteDocMessageToStderr(const QString& message);
