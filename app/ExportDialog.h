// File > Export...: asks for a format, whether to anonymise and where to write, then writes the
// active record there.
#pragma once

class CQuillonDoc;
class QWidget;

// Runs the export of doc's record as the user chooses; reports a failure in a message box.
// Returns true when a file was written, false when it was cancelled or failed.
bool RunExportDialog(QWidget* parent, const CQuillonDoc& doc);
