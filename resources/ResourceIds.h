// Every id of Quillon's user interface in one place: commands, strings, menus, toolbars, icons,
// cursors and messages. The framework's own ids live with the framework (FrameworkIds.h) and are
// included here, so the application sees them all; each number is written once and nowhere else.
//
// The framework's standard ids keep the spellings of the desktop API it mirrors (ID_FILE_PRINT,
// AFX_IDP_ASK_TO_SAVE); Quillon's own ids follow the house style (kCmdZoomIn, kIdsAvgCaption).
// A command's status-bar prompt is the string with the command's id ("status text\ntool tip"),
// and a status-bar pane shows the string with the pane's id.
#pragma once

#include "framework/FrameworkIds.h"

// ---- Resource ids shared by several kinds of resource ----

// The main window: menu 128 (no document open), toolbar 128, icon 128 and title string 128.
constexpr int kIdrMainFrame = 128;
// The document windows: menu 129 (a document window active), icon 129, the window templates and
// the document string 129 (seven '\n'-separated fields: title, base name, new-file type, filter,
// extension, file type id, file type name).
constexpr int kIdrDocument = 129;

// ---- Quillon's commands ----

// Zooming the signal views; issued by mouse clicks only, by no menu item or button.
constexpr int kCmdZoomIn = 32771;
constexpr int kCmdZoomOut = 32772;
// File > Export...: the active record as DICOM, HL7 annotated ECG, EDF+ or CSV.
constexpr int kCmdFileExport = 32773;

// The rhythm window's reading settings, from the View menu and the toolbar. Each range follows
// the order of its choices: layouts as RhythmLayout (12x1, 6x2, 3x4, 3x4+1, 3x4+3), speeds as
// kSpeeds (12.5, 25, 50 mm/s), gains as kGains (2.5, 5, 10, 20 mm/mV), filters by bit (baseline,
// 50 Hz, 60 Hz, 40 Hz).
constexpr int kCmdLayoutFirst = 32780;
constexpr int kCmdLayoutLast = 32784;
constexpr int kCmdSpeedFirst = 32785;
constexpr int kCmdSpeedLast = 32787;
constexpr int kCmdGainFirst = 32788;
constexpr int kCmdGainLast = 32791;
constexpr int kCmdFilterFirst = 32792;
constexpr int kCmdFilterLast = 32795;
// Turns the calipers tool on and off: while it is on, a plain drag over a signal view measures.
constexpr int kCmdCaliperTool = 32800;

// ---- Quillon's dialogs ----

constexpr int kIddAbout = 100;  // the About box: icon, "Quillon 2.0" and OK

// ---- Quillon's cursor ----

constexpr int kCursorMagnifier = 149;  // the signal views' pointer

// ---- Quillon's strings (texts marked %1, %2 take QString::arg) ----

// Lead names: the name of lead code c (1 to 65) is string kIdsLeadNameOffset + c.
constexpr int kIdsLeadNameOffset = 3;
constexpr int kIdsFirstLeadName = 4;
constexpr int kIdsLastLeadName = 68;

// Measurement table: row k (0 to 28, one per value of a lead block) is labelled by string
// kIdsFirstMeasureRow + k.
constexpr int kIdsFirstMeasureRow = 69;
constexpr int kMeasureRowCount = 29;

// Measurement values that are markers, and the morphology codes: code v (0 to 8) is named by
// string kIdsFirstMorphology + v.
constexpr int kIdsValueNotDone = 98;     // "N.D.", shown for the value 29999
constexpr int kIdsValueError = 99;       // "Error", shown for 29998
constexpr int kIdsValueNotTested = 100;  // "N.T.", shown for 19999
constexpr int kIdsFirstMorphology = 101;
constexpr int kMorphologyCount = 9;

// Labels of the global measurements.
constexpr int kIdsHeartRate = 118;
constexpr int kIdsPOnset = 119;
constexpr int kIdsPOffset = 120;
constexpr int kIdsQrsOnset = 121;
constexpr int kIdsQrsOffset = 122;
constexpr int kIdsTOffset = 123;
constexpr int kIdsPAxis = 124;
constexpr int kIdsQrsAxis = 125;
constexpr int kIdsTAxis = 126;

// The application's title.
constexpr int kIdsAppTitle = 57344;

// Labels of the printed patient header and footer.
constexpr int kIdsPrintName = 144;
constexpr int kIdsPrintPatientId = 145;
constexpr int kIdsPrintBirthDate = 146;
constexpr int kIdsPrintSex = 147;
constexpr int kIdsPrintBrand = 148;
// Status bar text while the patient form holds a value the record cannot take: the page printed
// shows what the record holds.
constexpr int kIdsPrintRefusedEdits = 153;

// Captions of the four kinds of document window.
constexpr int kIdsEcgCaption = 149;
constexpr int kIdsAvgCaption = 150;
constexpr int kIdsPatientCaption = 151;
constexpr int kIdsMeasureCaption = 152;

// The status bar's patient pane (the pane's id is its string's id).
constexpr int kIdsPatientPane = 501;
// The status bar's pane with the rhythm window's speed, gain, layout and filters.
constexpr int kIdsReadingPane = 502;

// Messages of a file that cannot be opened or saved.
constexpr int kIdsNotAnScpRecord = 601;     // %1 the file: it could not be read as a record
constexpr int kIdsSaveFailed = 602;         // %1 the file, %2 the reason (one of the two below)
constexpr int kIdsReasonCannotWrite = 603;  // the file could not be created, written or replaced
constexpr int kIdsReasonCannotBuild = 604;  // the record could not be assembled (memory ran out)
constexpr int kIdsUnscaledLeads = 605;      // %1 the file: its leads' unit is 0 nV, not drawn
// File > Export...: its dialog, progress and failure (%1 the file, %2 the reason).
constexpr int kIdsExportTitle = 641;
constexpr int kIdsExportFormat = 642;
constexpr int kIdsExportAnonymize = 643;
constexpr int kIdsExportNewId = 644;
constexpr int kIdsExportProgress = 645;
constexpr int kIdsExportFailed = 646;
// The formats' names in the dialog's list: DICOM, HL7 annotated ECG, EDF+, CSV.
constexpr int kIdsExportFormatFirst = 647;

// A record whose checksums or lengths disagree with its bytes, and one that cannot be written.
constexpr int kIdsDamagedRecord = 620;        // %1 the file, %2 the damaged parts
constexpr int kIdsDamagedPartSection = 621;   // %1 a section number
constexpr int kIdsDamagedPartRecord = 622;    // the record's own length or checksum
constexpr int kIdsDamagedSaveQuestion = 623;  // %1 the file: write fresh checksums over damage?
constexpr int kIdsDamagedMark = 624;          // added to the window titles
constexpr int kIdsReadOnlyMark = 625;         // added to the window titles
constexpr int kIdsReadOnlySavePrompt = 626;   // prompt of a grey Save: "status text\ntool tip"
constexpr int kIdsUnreadLeadSection = 627;    // %1 the file: its section-12 rhythm cannot be read

// Menu texts, '&' before the mnemonic (the menus are app/Menus.cpp).
constexpr int kIdsMenuFile = 700;
constexpr int kIdsMenuWindow = 701;
constexpr int kIdsMenuHelp = 702;
constexpr int kIdsMenuNew = 703;
constexpr int kIdsMenuOpen = 704;
constexpr int kIdsMenuSave = 705;
constexpr int kIdsMenuSaveAs = 706;
constexpr int kIdsMenuClose = 707;
constexpr int kIdsMenuPrint = 708;
constexpr int kIdsMenuPrintPreview = 709;
constexpr int kIdsMenuPrintSetup = 710;
constexpr int kIdsMenuRecentFile = 711;
constexpr int kIdsMenuExit = 712;
constexpr int kIdsMenuCascade = 713;
constexpr int kIdsMenuTileHorz = 714;
constexpr int kIdsMenuAbout = 715;
constexpr int kIdsMenuExport = 716;
constexpr int kIdsMenuView = 717;
// The View menu's items: layouts, paper speeds, gains and display filters.
constexpr int kIdsMenuLayoutFirst = 790;  // 12x1, 6x2, 3x4, 3x4+1, 3x4+3
constexpr int kIdsMenuSpeedFirst = 795;   // 12.5, 25, 50 mm/s
constexpr int kIdsMenuGainFirst = 798;    // 2.5, 5, 10, 20 mm/mV
constexpr int kIdsMenuFilterFirst = 802;  // baseline, 50 Hz, 60 Hz, 40 Hz
constexpr int kIdsMenuCaliperTool = 832;

// A printed rhythm page's footer: the display filters on (%1 their names) and, when the page
// cannot hold the whole recording, the seconds it shows (%1 to %2 of %3).
constexpr int kIdsPageFilters = 830;
constexpr int kIdsPageSecondsShown = 831;
// The decimal sign of numbers the views write: "." in English, "," in Italian.
constexpr int kIdsDecimalSign = 833;

// Labels of the patient form and the entries of its lists.
constexpr int kIdsFormPatientData = 720;
constexpr int kIdsFormFirstName = 721;
constexpr int kIdsFormLastName = 722;
constexpr int kIdsFormSecondName = 723;
constexpr int kIdsFormPatientId = 724;
constexpr int kIdsFormBirthDate = 725;
constexpr int kIdsFormSex = 726;
constexpr int kIdsFormRace = 727;
constexpr int kIdsFormWeight = 728;
constexpr int kIdsFormHeight = 729;
constexpr int kIdsFormBloodPressure = 730;
constexpr int kIdsFormDiagnosis = 731;
constexpr int kIdsFormAnaInstitution = 732;
constexpr int kIdsFormDepartment = 733;
constexpr int kIdsFormReferringPhysician = 734;
constexpr int kIdsFormDateTime = 735;
constexpr int kIdsFormConfirmed = 736;
constexpr int kIdsFormInterpretation = 737;
constexpr int kIdsFormExamData = 738;
constexpr int kIdsFormAcqInstitution = 739;
constexpr int kIdsFormAge = 740;
constexpr int kIdsSexNotKnown = 750;
constexpr int kIdsSexMale = 751;
constexpr int kIdsSexFemale = 752;
constexpr int kIdsSexUnspecified = 753;
constexpr int kIdsUnitUnspecified = 754;
constexpr int kIdsRaceCaucasian = 755;
constexpr int kIdsRaceBlack = 756;
constexpr int kIdsRaceOriental = 757;
constexpr int kIdsWeightKg = 758;
constexpr int kIdsWeightGram = 759;
constexpr int kIdsWeightPound = 760;
constexpr int kIdsWeightOunce = 761;
constexpr int kIdsHeightCm = 762;
constexpr int kIdsHeightInch = 763;
constexpr int kIdsHeightMm = 764;
constexpr int kIdsAgeYears = 765;
constexpr int kIdsAgeMonths = 766;
constexpr int kIdsAgeWeeks = 767;
constexpr int kIdsAgeDays = 768;
constexpr int kIdsAgeHours = 769;
constexpr int kIdsStatementNormal = 770;
constexpr int kIdsStatementAbnormal = 771;

// The guide F1 shows, in rich text.
constexpr int kIdsHelpGuide = 780;

// The patient form's line that opens every statement: %1 how many there are.
constexpr int kIdsAllStatements = 781;

// Why the patient form or `scptool edit` refuses a value: the field's name (those the form's labels
// do not name), then the reason. %1 is the value, %2 the largest number.
constexpr int kIdsFieldAcqDepartment = 810;
constexpr int kIdsFieldAnaDepartment = 811;
constexpr int kIdsFieldSystolic = 812;
constexpr int kIdsFieldDiastolic = 813;
constexpr int kIdsFieldWeightUnit = 814;
constexpr int kIdsFieldHeightUnit = 815;
constexpr int kIdsFieldStatement = 816;  // %1 the statement's number from 1
constexpr int kIdsRefusedNotLatin1 = 817;
constexpr int kIdsRefusedTooLong = 818;
constexpr int kIdsRefusedOutOfRange = 819;
constexpr int kIdsRefusedNoListEntry = 820;
constexpr int kIdsRefusedNotADate = 821;
constexpr int kIdsRefusedFutureDate = 822;

// ---- The patient form: its layout (dialog 101) and its controls ----

constexpr int kIddPatientForm = 101;

constexpr int kIdcAge = 107;
constexpr int kIdcFirstName = 1001;
constexpr int kIdcLastName = 1002;
constexpr int kIdcSecondName = 1003;
constexpr int kIdcPatientId = 1004;
constexpr int kIdcBirthDate = 1005;
constexpr int kIdcSex = 1006;
constexpr int kIdcRace = 1007;
constexpr int kIdcWeight = 1008;
constexpr int kIdcHeight = 1009;
constexpr int kIdcSystolic = 1010;
constexpr int kIdcDiastolic = 1011;
constexpr int kIdcAcqInstitution = 1020;
constexpr int kIdcAcqDepartment = 1021;
constexpr int kIdcAnaInstitution = 1022;
constexpr int kIdcAnaDepartment = 1023;
constexpr int kIdcAcqDate = 1024;
constexpr int kIdcAcqTime = 1025;
constexpr int kIdcReferringPhysician = 1026;
constexpr int kIdcConfirmDate = 1027;
constexpr int kIdcConfirmDateLabel = 1028;
constexpr int kIdcConfirmTime = 1029;
constexpr int kIdcConfirmed = 1030;
constexpr int kIdcWeightUnit = 1031;
constexpr int kIdcHeightUnit = 1032;
constexpr int kIdcAgeUnit = 1038;
constexpr int kIdcStatementFirst = 1041;  // statements 0 to 5 are 1041 to 1046
