// The user-interface texts by numeric id, in English and in Italian.
//
// Ids in use:
//   4 to 68          lead names, id = lead code + 3 (the same texts in both languages)
//   69 to 97         row labels of the per-lead measurement table, id = 69 + row
//   98 to 109        measurement value markers and morphology codes, id = 101 + code
//   118 to 126       labels of the global measurements
//   128, 129         main window title; document string (seven '\n'-separated fields)
//   144 to 148       labels of the printed patient header and footer
//   149 to 152       captions of the four kinds of document window
//   501              placeholder of the status bar's patient pane
//   601 to 605       messages of a failed open or save, of unscaled leads (%1, %2: QString::arg)
//   611 to 614       the question about unsaved changes and the form's entry messages
//   32771, 32772     and every menu command id: the command's prompt, "status text\ntool tip"
//   57344            application title
//   59137 to 59139   texts of the status bar's keyboard indicators
#pragma once

#include <QLocale>
#include <QString>

enum class UiLanguage { kEnglish, kItalian };

// Lead names: the name of lead code c (1 to 65) is string kIdsLeadNameOffset + c.
constexpr int kIdsLeadNameOffset = 3;
constexpr int kIdsFirstLeadName = 4;
constexpr int kIdsLastLeadName = 68;

// Measurement table: row k (0 to 28) is labelled by string kIdsFirstMeasureRow + k.
constexpr int kIdsFirstMeasureRow = 69;
constexpr int kMeasureRowCount = 29;
constexpr int kIdsValueNotDone = 98;      // "N.D.", shown for the value 29999
constexpr int kIdsValueError = 99;        // "Error", shown for 29998
constexpr int kIdsValueNotTested = 100;   // "N.T.", shown for 19999
constexpr int kIdsFirstMorphology = 101;  // morphology code v (0 to 8) is string 101 + v
constexpr int kMorphologyCount = 9;

// Global measurements.
constexpr int kIdsHeartRate = 118;
constexpr int kIdsPOnset = 119;
constexpr int kIdsPOffset = 120;
constexpr int kIdsQrsOnset = 121;
constexpr int kIdsQrsOffset = 122;
constexpr int kIdsTOffset = 123;
constexpr int kIdsPAxis = 124;
constexpr int kIdsQrsAxis = 125;
constexpr int kIdsTAxis = 126;

// Application and document.
constexpr int kIdsMainTitle = 128;
constexpr int kIdsDocumentString = 129;  // title, base name, new-file type, filter, extension,
                                         // file type id, file type name
constexpr int kIdsAppTitle = 57344;

// Printed patient frame.
constexpr int kIdsPrintName = 144;
constexpr int kIdsPrintPatientId = 145;
constexpr int kIdsPrintBirthDate = 146;
constexpr int kIdsPrintSex = 147;
constexpr int kIdsPrintBrand = 148;

// Captions of the document windows.
constexpr int kIdsEcgCaption = 149;
constexpr int kIdsAvgCaption = 150;
constexpr int kIdsPatientCaption = 151;
constexpr int kIdsMeasureCaption = 152;

// Status bar: the patient pane and the three keyboard indicators (each pane id is its string id).
constexpr int kIdsPatientPane = 501;
constexpr int kIdsIndicatorCaps = 59137;
constexpr int kIdsIndicatorNum = 59138;
constexpr int kIdsIndicatorScroll = 59139;

// Messages the Document shows when a file cannot be opened or saved.
constexpr int kIdsNotAnScpRecord = 601;  // %1 the file: it could not be read as an SCP-ECG record
constexpr int kIdsSaveFailed = 602;      // %1 the file, %2 the reason (one of the two below)
constexpr int kIdsReasonCannotWrite = 603;  // the file could not be created, written or replaced
constexpr int kIdsReasonCannotBuild = 604;  // the record could not be assembled (memory ran out)
constexpr int kIdsUnscaledLeads = 605;      // %1 the file: its leads' unit is 0 nV, not drawn

// Question before closing a changed document, and the patient form's entry messages.
constexpr int kIdsAskToSave = 611;             // %1 the document's title
constexpr int kIdsEnterInteger = 612;          // a signed number field did not parse
constexpr int kIdsEnterPositiveInteger = 613;  // an unsigned number field did not parse
constexpr int kIdsEnterAtMostChars = 614;      // %1 the most characters the field takes

// Returns Italian when the locale's language is Italian (in any country), else English.
UiLanguage UiLanguageForLocale(const QLocale& locale);

// Returns the language of StringText(id): the one forced last, else that of the system locale.
UiLanguage CurrentUiLanguage();

// Makes StringText(id) use `language` whatever the system locale says.
void ForceUiLanguage(UiLanguage language);

// Goes back to following the system locale.
void FollowSystemUiLanguage();

// Returns the text of string `id` in `language`, or an empty string when the id has no text.
QString StringText(int id, UiLanguage language);

// Returns the text of string `id` in the current language, or an empty string.
QString StringText(int id);

// Returns field `index` (from 0) of a text whose fields are separated by '\n', as in a command
// prompt ("status text\ntool tip") or the document string; an empty string when there is no such
// field.
QString StringField(const QString& text, int index);
