// Fills the description of an export from an open document: the one place that knows where the
// document keeps each value an export writes.
#pragma once

#include "exports/ExportRecord.h"

class CQuillonDoc;

// The patient, examination and display leads of the document's record. Leads without samples
// are left out; a document without a record gives an empty description.
ExportRecord MakeExportRecord(const CQuillonDoc& doc);

// Hex digest of bytes: the seed of the identifiers generated for a record read from them.
std::string ExportSeedOf(const std::string& bytes);
