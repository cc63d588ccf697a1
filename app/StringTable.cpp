#include "app/StringTable.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "scp/ScpLeadNames.h"
#include "views/CommandIds.h"

namespace {

struct StringEntry {
  int id;
  const char* english;  // UTF-8
  const char* italian;  // UTF-8
};

// Every text but the lead names, in ascending id order (checked at compile time below).
constexpr StringEntry kStrings[] = {
    // Row labels of the per-lead measurement table; the double blanks belong to the texts.
    {69, "P Duration (ms)", "Durata P (ms)"},
    {70, "PR-Interval (ms)", "Intervallo PR (ms)"},
    {71, "QRS Duration (ms)", "Durata QRS (ms)"},
    {72, "QT Interval (ms)", "Intervallo QT (ms)"},
    {73, "Q Duration (ms)", "Durata Q (ms)"},
    {74, "R Duration(ms)", "Durata R (ms)"},
    {75, "S Duration(ms)", "Durata S (ms)"},
    {76, "R' Duration(ms)", "Durata R' (ms)"},
    {77, "S' Duration (ms)", "Durata S' (ms)"},
    {78, "Q Amplitude (uV)", "Ampiezza Q (uV)"},
    {79, "R Amplitude (uV)", "Ampiezza R (uV)"},
    {80, "S Amplitude (uV)", "Ampiezza S (uV)"},
    {81, "R' Amplitude (uV)", "Ampiezza R' (uV)"},
    {82, "S' Amplitude (uV)", "Ampiezza  S' (uV)"},
    {83, "J Amplitude (uV)", "Ampiezza J (uV)"},
    {84, "P+ Amplitude (uV)", "Ampiezza P+ (uV)"},
    {85, "P- Amplitude (uV)", "Ampiezza P- (uV)"},
    {86, "T+ Amplitude  (uV)", "Ampiezza T+ (uV)"},
    {87, "T- Amplitude (uV)", "Ampiezza  T- (uV)"},
    {88, "ST Slope (uV/s)", "Pendenza ST (uV/s)"},
    {89, "P Morphology", "Morfologia P"},
    {90, "T Morphology", "Morfologia T"},
    {91, "I Segment (ms)", "Segmento I (ms)"},
    {92, "K Segment (ms)", "Segmento K (ms)"},
    {93, "Int.Deflection (ms)", "Deflessione int. (ms)"},
    {94, "Signal Quality", "Qualita' segnale"},
    {95, "ST-Amplitude at  J+20 (uV)", "Ampiezza ST a J+20 (uV)"},
    {96, "ST-Amplitude at  J+60 (uV)", "Ampiezza ST a J+60 (uV)"},
    {97, "ST-Amplitude at  J+80 (uV)", "Ampiezza ST a J+80 (uV)"},

    // Value markers, then the morphology codes 0 to 8.
    {kIdsValueNotDone, "N.D.", "N.D."},
    {kIdsValueError, "Error", "Errore"},
    {kIdsValueNotTested, "N.T.", "N.T."},
    {101, "??", "??"},
    {102, "P", "P"},
    {103, "N", "N"},
    {104, "PN", "PN"},
    {105, "NP", "NP"},
    {106, "PNP", "PNP"},
    {107, "NPN", "NPN"},
    {108, "M", "M"},
    {109, "W", "W"},

    // Global measurements.
    {kIdsHeartRate, "HR:", "FC:"},
    {kIdsPOnset, "P Onset:", "Inizio P:"},
    {kIdsPOffset, "P Offset:", "Fine P:"},
    {kIdsQrsOnset, "QRS Onset:", "Inizio QRS:"},
    {kIdsQrsOffset, "QRS Offset:", "Fine QRS:"},
    {kIdsTOffset, "T Offset:", "Fine T:"},
    {kIdsPAxis, "P Axis:", "Asse P:"},
    {kIdsQrsAxis, "QRS Axis:", "Asse QRS:"},
    {kIdsTAxis, "T Axis:", "Asse T:"},

    {kIdsMainTitle, "Quillon", "Quillon"},
    // The file type id "Quillon.Document" and the extension are names, not words: never translated.
    {kIdsDocumentString,
     "\nQuillon\nQuillon\nQuillon Files (*.scp)\n.SCP\nQuillon.Document\nQuillon Document",
     "\nQuillon\nQuillon\nFile Quillon (*.scp)\n.SCP\nQuillon.Document\nDocumento Quillon"},

    // Printed patient frame.
    {kIdsPrintName, "Name", "Nome"},
    {kIdsPrintPatientId, "ID", "ID"},
    {kIdsPrintBirthDate, "Birth Date", "Data di nascita"},
    {kIdsPrintSex, "Sex", "Sesso"},
    {kIdsPrintBrand, "VELMORA", "VELMORA"},

    // Captions of the document windows.
    {kIdsEcgCaption, "ECG", "ECG"},
    {kIdsAvgCaption, "AVG", "AVG"},
    {kIdsPatientCaption, "EXAM DATA", "REFERTO ESAME"},
    {kIdsMeasureCaption, "MEASUREMENT", "MISURE"},

    {kIdsPatientPane, "Patient Name", "Patient Name"},

    // A file that cannot be opened or saved.
    {kIdsNotAnScpRecord, "\"%1\" could not be read as an SCP-ECG record.",
     "Il file \"%1\" non può essere letto come registrazione SCP-ECG."},
    {kIdsSaveFailed, "\"%1\" could not be saved: %2", "Impossibile salvare \"%1\": %2"},
    {kIdsReasonCannotWrite, "the file could not be created, written or replaced.",
     "non è stato possibile creare, scrivere o sostituire il file."},
    {kIdsReasonCannotBuild, "there was not enough memory to assemble the record.",
     "memoria insufficiente per comporre la registrazione."},
    {kIdsUnscaledLeads,
     "\"%1\" gives its leads an amplitude unit of 0 nV: they cannot be drawn to scale, so their "
     "traces are not shown.",
     "Il file \"%1\" indica per le derivazioni un'unità di ampiezza di 0 nV: non possono essere "
     "disegnate in scala, quindi i tracciati non sono mostrati."},

    // The question about unsaved changes and the patient form's entry messages.
    {kIdsAskToSave, "Save changes to %1?", "Salvare le modifiche a %1?"},
    {kIdsEnterInteger, "Enter an integer.", "Digitare un numero intero."},
    {kIdsEnterPositiveInteger, "Enter a positive integer.", "Digitare un numero intero positivo."},
    {kIdsEnterAtMostChars, "Enter no more than %1 characters.",
     "Non digitare più di %1 caratteri."},

    // Prompts of the commands, "status text\ntool tip".
    {kCmdZoomIn, "ZOOM IN", "Ingrandisce"},
    {kCmdZoomOut, "ZOOM OUT", "Rimpicciolisce"},
    {kIdsAppTitle, "Quillon", "Quillon"},
    {kCmdFileNew, "Creates a new document", "Crea un nuovo documento\nNuovo"},
    {kCmdFileOpen, "Open a new document\nOpen", "Apre un documento esistente\nApri"},
    {kCmdFileClose, "Close the active document\nClose", "Chiude il documento attivo\nChiudi"},
    {kCmdFileSave, "Save the active document\nSave", "Salva il documento attivo\nSalva"},
    {kCmdFileSaveAs, "Save the active document with a new name\nSave as ...",
     "Salva il documento attivo con un nuovo nome\nSalva con nome"},
    {kCmdFilePrintSetup, "Configures printer",
     "Modifica le impostazioni relative alla stampante e alla stampa\nImposta stampante"},
    {kCmdFilePrint, "Print the active document\nPrint", "Stampa il documento attivo\nStampa"},
    {kCmdFilePrintPreview, "View print preview\nPrint preview",
     "Visualizza le pagine per intero\nAnteprima di stampa"},
    {kCmdFileMruFirst, "Last File used", "Apre questo documento"},
    {kCmdWindowCascade, "Dispone le finestre sovrapponendole\nSovrapponi finestre",
     "Dispone le finestre sovrapponendole\nSovrapponi finestre"},
    {kCmdWindowTileHorizontally, "Dispone le finestre senza sovrapporle\nAffianca finestre",
     "Dispone le finestre senza sovrapporle\nAffianca finestre"},
    {kCmdAppAbout, "General Information ", "Informazioni generali"},
    {kCmdAppExit, "Exits from application",
     "Esce dall'applicazione e chiede di salvare i documenti\nEsci"},

    // Keyboard indicators of the status bar.
    {kIdsIndicatorCaps, "CAP", "MA"},
    {kIdsIndicatorNum, "NUM", "NUM"},
    {kIdsIndicatorScroll, "SCRL", "BS"},
};

constexpr bool IdsAscend(const StringEntry* entries, int count) {
  for (int i = 1; i < count; ++i) {
    if (entries[i - 1].id >= entries[i].id) {
      return false;
    }
  }
  return entries[0].id > kIdsLastLeadName;
}
static_assert(IdsAscend(kStrings, static_cast<int>(std::size(kStrings))),
              "string ids must ascend, appear once and stay clear of the lead names");

std::optional<UiLanguage>& ForcedLanguage() {
  static std::optional<UiLanguage> forced;
  return forced;
}

}  // namespace

UiLanguage UiLanguageForLocale(const QLocale& locale) {
  return locale.language() == QLocale::Italian ? UiLanguage::kItalian : UiLanguage::kEnglish;
}

UiLanguage CurrentUiLanguage() {
  const std::optional<UiLanguage>& forced = ForcedLanguage();
  return forced ? *forced : UiLanguageForLocale(QLocale::system());
}

void ForceUiLanguage(UiLanguage language) {
  ForcedLanguage() = language;
}

void FollowSystemUiLanguage() {
  ForcedLanguage().reset();
}

QString StringText(int id, UiLanguage language) {
  if (id >= kIdsFirstLeadName && id <= kIdsLastLeadName) {
    return QString::fromLatin1(ScpLeadName(id - kIdsLeadNameOffset));
  }
  const auto entry = std::lower_bound(
      std::begin(kStrings), std::end(kStrings), id,
      [](const StringEntry& candidate, int wanted) { return candidate.id < wanted; });
  if (entry == std::end(kStrings) || entry->id != id) {
    return QString();
  }
  return QString::fromUtf8(language == UiLanguage::kItalian ? entry->italian : entry->english);
}

QString StringText(int id) {
  return StringText(id, CurrentUiLanguage());
}

QString StringField(const QString& text, int index) {
  const QStringList fields = text.split(u'\n');
  return index >= 0 && index < fields.size() ? fields[index] : QString();
}
