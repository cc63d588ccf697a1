#include "app/StringTable.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "resources/ResourceIds.h"
#include "scp/ScpLeadNames.h"

namespace {

struct StringEntry {
  int id;
  const char* english;  // UTF-8
  const char* italian;  // UTF-8
};

// Every text but the lead names, in ascending id order (checked at compile time below).
constexpr StringEntry kStrings[] = {
    // Row labels of the per-lead measurement table; the double blanks belong to the texts.
    {kIdsFirstMeasureRow + 0, "P Duration (ms)", "Durata P (ms)"},
    {kIdsFirstMeasureRow + 1, "PR-Interval (ms)", "Intervallo PR (ms)"},
    {kIdsFirstMeasureRow + 2, "QRS Duration (ms)", "Durata QRS (ms)"},
    {kIdsFirstMeasureRow + 3, "QT Interval (ms)", "Intervallo QT (ms)"},
    {kIdsFirstMeasureRow + 4, "Q Duration (ms)", "Durata Q (ms)"},
    {kIdsFirstMeasureRow + 5, "R Duration(ms)", "Durata R (ms)"},
    {kIdsFirstMeasureRow + 6, "S Duration(ms)", "Durata S (ms)"},
    {kIdsFirstMeasureRow + 7, "R' Duration(ms)", "Durata R' (ms)"},
    {kIdsFirstMeasureRow + 8, "S' Duration (ms)", "Durata S' (ms)"},
    {kIdsFirstMeasureRow + 9, "Q Amplitude (uV)", "Ampiezza Q (uV)"},
    {kIdsFirstMeasureRow + 10, "R Amplitude (uV)", "Ampiezza R (uV)"},
    {kIdsFirstMeasureRow + 11, "S Amplitude (uV)", "Ampiezza S (uV)"},
    {kIdsFirstMeasureRow + 12, "R' Amplitude (uV)", "Ampiezza R' (uV)"},
    {kIdsFirstMeasureRow + 13, "S' Amplitude (uV)", "Ampiezza  S' (uV)"},
    {kIdsFirstMeasureRow + 14, "J Amplitude (uV)", "Ampiezza J (uV)"},
    {kIdsFirstMeasureRow + 15, "P+ Amplitude (uV)", "Ampiezza P+ (uV)"},
    {kIdsFirstMeasureRow + 16, "P- Amplitude (uV)", "Ampiezza P- (uV)"},
    {kIdsFirstMeasureRow + 17, "T+ Amplitude  (uV)", "Ampiezza T+ (uV)"},
    {kIdsFirstMeasureRow + 18, "T- Amplitude (uV)", "Ampiezza  T- (uV)"},
    {kIdsFirstMeasureRow + 19, "ST Slope (uV/s)", "Pendenza ST (uV/s)"},
    {kIdsFirstMeasureRow + 20, "P Morphology", "Morfologia P"},
    {kIdsFirstMeasureRow + 21, "T Morphology", "Morfologia T"},
    {kIdsFirstMeasureRow + 22, "I Segment (ms)", "Segmento I (ms)"},
    {kIdsFirstMeasureRow + 23, "K Segment (ms)", "Segmento K (ms)"},
    {kIdsFirstMeasureRow + 24, "Int.Deflection (ms)", "Deflessione int. (ms)"},
    {kIdsFirstMeasureRow + 25, "Signal Quality", "Qualita' segnale"},
    {kIdsFirstMeasureRow + 26, "ST-Amplitude at  J+20 (uV)", "Ampiezza ST a J+20 (uV)"},
    {kIdsFirstMeasureRow + 27, "ST-Amplitude at  J+60 (uV)", "Ampiezza ST a J+60 (uV)"},
    {kIdsFirstMeasureRow + 28, "ST-Amplitude at  J+80 (uV)", "Ampiezza ST a J+80 (uV)"},

    // Value markers, then the morphology codes 0 to 8.
    {kIdsValueNotDone, "N.D.", "N.D."},
    {kIdsValueError, "Error", "Errore"},
    {kIdsValueNotTested, "N.T.", "N.T."},
    {kIdsFirstMorphology + 0, "??", "??"},
    {kIdsFirstMorphology + 1, "P", "P"},
    {kIdsFirstMorphology + 2, "N", "N"},
    {kIdsFirstMorphology + 3, "PN", "PN"},
    {kIdsFirstMorphology + 4, "NP", "NP"},
    {kIdsFirstMorphology + 5, "PNP", "PNP"},
    {kIdsFirstMorphology + 6, "NPN", "NPN"},
    {kIdsFirstMorphology + 7, "M", "M"},
    {kIdsFirstMorphology + 8, "W", "W"},

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

    {kIdrMainFrame, "Quillon", "Quillon"},
    // The file type id "Quillon.Document" and the extension are names, not words: never translated.
    {kIdrDocument,
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
    {kIdsPrintRefusedEdits,
     "The exam data hold a value that cannot be stored: the page shows the data as saved.",
     "I dati dell'esame contengono un valore non memorizzabile: la pagina mostra i dati salvati."},

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
    {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?", "Salvare le modifiche a %1?"},
    {AFX_IDP_PARSE_INT, "Enter an integer.", "Digitare un numero intero."},
    {AFX_IDP_PARSE_UINT, "Enter a positive integer.", "Digitare un numero intero positivo."},
    {AFX_IDP_PARSE_STRING_SIZE, "Enter no more than %1 characters.",
     "Non digitare più di %1 caratteri."},

    // Prompts of the commands, "status text\ntool tip".
    {kCmdZoomIn, "ZOOM IN", "Ingrandisce"},
    {kCmdZoomOut, "ZOOM OUT", "Rimpicciolisce"},
    {kIdsAppTitle, "Quillon", "Quillon"},
    {ID_FILE_NEW, "Creates a new document", "Crea un nuovo documento\nNuovo"},
    {ID_FILE_OPEN, "Open a new document\nOpen", "Apre un documento esistente\nApri"},
    {ID_FILE_CLOSE, "Close the active document\nClose", "Chiude il documento attivo\nChiudi"},
    {ID_FILE_SAVE, "Save the active document\nSave", "Salva il documento attivo\nSalva"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave as ...",
     "Salva il documento attivo con un nuovo nome\nSalva con nome"},
    {ID_FILE_PRINT_SETUP, "Configures printer",
     "Modifica le impostazioni relative alla stampante e alla stampa\nImposta stampante"},
    {ID_FILE_PRINT, "Print the active document\nPrint", "Stampa il documento attivo\nStampa"},
    {ID_FILE_PRINT_PREVIEW, "View print preview\nPrint preview",
     "Visualizza le pagine per intero\nAnteprima di stampa"},
    {ID_FILE_MRU_FILE1, "Last File used", "Apre questo documento"},
    {ID_WINDOW_CASCADE, "Dispone le finestre sovrapponendole\nSovrapponi finestre",
     "Dispone le finestre sovrapponendole\nSovrapponi finestre"},
    {ID_WINDOW_TILE_HORZ, "Dispone le finestre senza sovrapporle\nAffianca finestre",
     "Dispone le finestre senza sovrapporle\nAffianca finestre"},
    {ID_APP_ABOUT, "General Information ", "Informazioni generali"},
    {ID_APP_EXIT, "Exits from application",
     "Esce dall'applicazione e chiede di salvare i documenti\nEsci"},

    // Keyboard indicators of the status bar.
    {ID_INDICATOR_CAPS, "CAP", "MA"},
    {ID_INDICATOR_NUM, "NUM", "NUM"},
    {ID_INDICATOR_SCRL, "SCRL", "BS"},
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
