// File > Export...: asks for a format, whether to anonymise and where to write, then writes the
// active record there.
#pragma once

class CQuillonDoc;
class QWidget;

// Runs the export of doc's record as the user chooses. The patient form's unsaved edits are
// exported: they are handed to the patient model first, as a save does, and a value the model
// refuses stops the export after the form's message. Reports a writer's failure in a message
// box. Returns true when a file was written, false when it was cancelled, refused or failed.
bool RunExportDialog(QWidget* parent, CQuillonDoc& doc);
