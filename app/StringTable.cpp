#include "app/StringTable.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <iterator>
#include <memory>
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

    {kIdsPatientPane, "Patient Name", "Nome paziente"},
    {kIdsReadingPane, "25 mm/s  10 mm/mV  3x4+1", "25 mm/s  10 mm/mV  3x4+1"},

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

    // A damaged record, a read-only one and one whose leads are not read.
    {kIdsDamagedRecord,
     "\"%1\" is damaged: the stored checksums or lengths disagree with the bytes of %2. It is "
     "shown as read, and what it shows may be wrong.",
     "Il file \"%1\" è danneggiato: i checksum o le lunghezze registrati non corrispondono ai "
     "byte di %2. Viene mostrato così come è stato letto e ciò che mostra può essere errato."},
    {kIdsDamagedPartSection, "section %1", "sezione %1"},
    {kIdsDamagedPartRecord, "the record as a whole", "la registrazione nel suo insieme"},
    {kIdsDamagedSaveQuestion,
     "\"%1\" was damaged when it was opened. Saving it writes fresh checksums, so the damage "
     "would no longer show. Save it all the same?",
     "Il file \"%1\" era danneggiato quando è stato aperto. Salvandolo si scrivono checksum "
     "nuovi e il danno non sarebbe più visibile. Salvare comunque?"},
    {kIdsDamagedMark, "damaged", "danneggiato"},
    {kIdsReadOnlyMark, "read-only", "sola lettura"},
    {kIdsReadOnlySavePrompt,
     "The file is read-only: use Save As to save a copy\nRead-only: use Save As",
     "Il file è di sola lettura: usare Salva con nome per salvarne una copia\nSola lettura: "
     "usare Salva con nome"},
    {kIdsUnreadLeadSection,
     "\"%1\" keeps its rhythm in section 12, which could not be read: no rhythm traces are "
     "shown.",
     "Il file \"%1\" registra il ritmo nella sezione 12, che non è stato possibile leggere: i "
     "tracciati del ritmo non sono mostrati."},

    // File > Export...
    {kIdsExportTitle, "Export", "Esporta"},
    {kIdsExportFormat, "Format", "Formato"},
    {kIdsExportAnonymize, "Remove the patient's identity", "Rimuovi l'identità del paziente"},
    {kIdsExportNewId, "New patient ID", "Nuovo codice paziente"},
    {kIdsExportProgress, "Exporting...", "Esportazione in corso..."},
    {kIdsExportFailed, "\"%1\" could not be exported: %2", "Impossibile esportare \"%1\": %2"},
    {kIdsExportFormatFirst + 0, "DICOM 12-lead ECG", "ECG DICOM a 12 derivazioni"},
    {kIdsExportFormatFirst + 1, "HL7 annotated ECG", "ECG annotato HL7"},
    {kIdsExportFormatFirst + 2, "EDF+", "EDF+"},
    {kIdsExportFormatFirst + 3, "CSV samples", "Campioni CSV"},

    // Menu texts.
    {kIdsMenuFile, "&File", "&File"},
    {kIdsMenuWindow, "&Window", "Fi&nestra"},
    {kIdsMenuHelp, "&?", "&?"},
    {kIdsMenuNew, "&New", "&Nuovo"},
    {kIdsMenuOpen, "&Open", "&Apri"},
    {kIdsMenuSave, "&Save", "&Salva"},
    {kIdsMenuSaveAs, "Save &As", "Salva &con nome"},
    {kIdsMenuClose, "&Close", "C&hiudi"},
    {kIdsMenuPrint, "&Print", "S&tampa"},
    {kIdsMenuPrintPreview, "Print P&review", "&Anteprima di stampa"},
    {kIdsMenuPrintSetup, "Print Set&up", "&Imposta stampante"},
    {kIdsMenuRecentFile, "&Last File Used", "&Ultimo file usato"},
    {kIdsMenuExit, "&Exit", "&Esci"},
    {kIdsMenuCascade, "&Cascade", "&Sovrapponi"},
    {kIdsMenuTileHorz, "Tile &Horizontally", "&Affianca"},
    {kIdsMenuAbout, "Information on Quillon...", "Informazioni su Quillon..."},
    {kIdsMenuExport, "Expor&t...", "Es&porta..."},
    {kIdsMenuView, "&View", "&Visualizza"},

    // Labels of the patient form and the entries of its lists.
    {kIdsFormPatientData, "Patient Data", "Dati paziente"},
    {kIdsFormFirstName, "First Name", "Nome"},
    {kIdsFormLastName, "Last Name", "Cognome"},
    {kIdsFormSecondName, "Second Name", "Secondo nome"},
    {kIdsFormPatientId, "ID", "ID"},
    {kIdsFormBirthDate, "Birth Date", "Data di nascita"},
    {kIdsFormSex, "Sex", "Sesso"},
    {kIdsFormRace, "Race", "Etnia"},
    {kIdsFormWeight, "Weight", "Peso"},
    {kIdsFormHeight, "Height", "Altezza"},
    {kIdsFormBloodPressure, "Blood Pressure", "Pressione"},
    {kIdsFormDiagnosis, "Diagnosis", "Diagnosi"},
    {kIdsFormAnaInstitution, "Analyzing Institution", "Istituto refertante"},
    {kIdsFormDepartment, "Department", "Reparto"},
    {kIdsFormReferringPhysician, "Referr. Physician", "Medico inviante"},
    {kIdsFormDateTime, "Date/Time", "Data/Ora"},
    {kIdsFormConfirmed, "Confirmed", "Confermato"},
    {kIdsFormInterpretation, "Interpretation", "Interpretazione"},
    {kIdsFormExamData, "Exam Data", "Dati esame"},
    {kIdsFormAcqInstitution, "Acquiring Institution", "Istituto di acquisizione"},
    {kIdsFormAge, "Age", "Età"},
    {kIdsSexNotKnown, "not known", "non noto"},
    {kIdsSexMale, "male", "maschio"},
    {kIdsSexFemale, "female", "femmina"},
    {kIdsSexUnspecified, "unspecified", "non specificato"},
    {kIdsUnitUnspecified, "Unspec.", "Non specif."},
    {kIdsRaceCaucasian, "caucasian", "caucasica"},
    {kIdsRaceBlack, "black", "nera"},
    {kIdsRaceOriental, "oriental", "orientale"},
    {kIdsWeightKg, "Kg", "Kg"},
    {kIdsWeightGram, "g", "g"},
    {kIdsWeightPound, "Pound", "Libbre"},
    {kIdsWeightOunce, "Ounce", "Once"},
    {kIdsHeightCm, "cm", "cm"},
    {kIdsHeightInch, "inch", "pollici"},
    {kIdsHeightMm, "mm", "mm"},
    {kIdsAgeYears, "Years", "Anni"},
    {kIdsAgeMonths, "Months", "Mesi"},
    {kIdsAgeWeeks, "Weeks", "Settimane"},
    {kIdsAgeDays, "Days", "Giorni"},
    {kIdsAgeHours, "Hours", "Ore"},
    {kIdsStatementNormal, "ECG NORMAL", "ECG NORMALE"},
    {kIdsStatementAbnormal, "ECG ABNORMAL", "ECG ANORMALE"},

    // The guide F1 shows.
    {kIdsHelpGuide,
     "<h3>Quillon</h3><p>Quillon shows resting 12-lead ECG records stored as SCP-ECG "
     "files (<tt>.scp</tt>).</p><p><b>Opening a record.</b> Use File &gt; Open, drop a "
     "file on the main window, pick one of the four last files in the File menu, or "
     "name it on the command line: <tt>quillon FILE</tt>. Each record opens in up to "
     "four windows: the rhythm ECG (ECG), the average beats (AVG), the measurements "
     "(MEASUREMENT) and the patient form (EXAM DATA), each titled with the record's "
     "file name. They are tiled side by side after every open. A record's windows "
     "close together, with File &gt; Close; their close boxes do nothing. A record "
     "whose checksums disagree with its bytes opens marked (damaged); a file that "
     "cannot be written opens marked (read-only), and only Save As saves "
     "it.</p><p><b>Switches.</b> <tt>/N</tt> opens records read-only (no Open, no "
     "Save, the form cannot be edited; Save As still works). <tt>/A</tt> makes the "
     "average-beat window the first one and shows it large; <tt>/B</tt>, <tt>/C</tt> "
     "and <tt>/D</tt> show the rhythm, measurement or patient window large. With "
     "<tt>/A</tt> to <tt>/D</tt> the other windows start as icons. <tt>/P FILE</tt> "
     "prints the file on the default printer and ends; <tt>/PT FILE PRINTER</tt> "
     "prints it on the named printer.</p><p><b>Zooming.</b> In the ECG and AVG "
     "windows, click with the left mouse button to zoom in and with the right button "
     "to zoom out; Ctrl++ (or Ctrl+=), Ctrl+- and Ctrl with the wheel do the same. "
     "Shift and drag spans calipers: the time in ms, the rate in bpm and the amplitude "
     "in µV; Esc clears them.</p><p><b>Reading.</b> The View menu and the toolbar "
     "choose the rhythm window's layout, paper speed and gain, and display filters "
     "that change what is drawn and printed, never the record.</p><p><b>Printing.</b> "
     "File &gt; Print prints the active ECG or AVG window on one page framed by the "
     "patient data; the AVG page also carries the measurements. Print Preview shows "
     "the page first, Print Setup chooses the printer and the paper. File &gt; Export "
     "writes the active record as DICOM, HL7 aECG, EDF+ or CSV, without the patient's "
     "identity when asked.</p><p><b>Shortcuts.</b> Ctrl+O open, Ctrl+S save, Ctrl+P print, Ctrl+W "
     "close the record, Ctrl+Q quit, F1 this guide. Menus open with Alt and their "
     "underlined letter.</p>",
     "<h3>Quillon</h3><p>Quillon mostra gli ECG a riposo a 12 derivazioni registrati "
     "come file SCP-ECG (<tt>.scp</tt>).</p><p><b>Aprire una registrazione.</b> Usare "
     "File &gt; Apri, trascinare un file sulla finestra principale, scegliere uno "
     "degli ultimi quattro file nel menu File, oppure indicarlo sulla riga di comando: "
     "<tt>quillon FILE</tt>. Ogni registrazione si apre in un massimo di quattro "
     "finestre: il ritmo (ECG), i battiti medi (AVG), le misure (MISURE) e la scheda "
     "del paziente (REFERTO ESAME), ciascuna intitolata con il nome del file. Dopo "
     "ogni apertura le finestre sono affiancate. Le finestre di una registrazione si "
     "chiudono insieme, con File &gt; Chiudi; i loro pulsanti di chiusura non fanno "
     "nulla. Una registrazione i cui checksum non corrispondono ai byte si apre "
     "segnata (danneggiato); un file che non può essere scritto si apre segnato (sola "
     "lettura) e si salva solo con Salva con nome.</p><p><b>Opzioni.</b> <tt>/N</tt> "
     "apre le registrazioni in sola lettura (niente Apri, niente Salva, la scheda non "
     "si può modificare; Salva con nome funziona). <tt>/A</tt> rende prima la finestra "
     "dei battiti medi e la mostra grande; <tt>/B</tt>, <tt>/C</tt> e <tt>/D</tt> "
     "mostrano grande la finestra del ritmo, delle misure o del paziente. Con "
     "<tt>/A</tt> a <tt>/D</tt> le altre finestre partono come icone. <tt>/P FILE</tt> "
     "stampa il file sulla stampante predefinita ed esce; <tt>/PT FILE STAMPANTE</tt> "
     "lo stampa sulla stampante indicata.</p><p><b>Ingrandimento.</b> Nelle finestre "
     "ECG e AVG, un clic con il tasto sinistro del mouse ingrandisce e uno con il "
     "tasto destro rimpicciolisce; Ctrl++ (o Ctrl+=), Ctrl+- e Ctrl con la rotellina "
     "fanno lo stesso. Trascinando con Maiusc si tende un calibro: il tempo in ms, la "
     "frequenza in bpm e l'ampiezza in µV; Esc lo cancella.</p><p><b>Lettura.</b> Il "
     "menu Visualizza e la barra degli strumenti scelgono la disposizione, la velocità "
     "della carta e il guadagno della finestra del ritmo, e i filtri di visualizzazione, "
     "che cambiano ciò che è disegnato e stampato, mai la registrazione.</p><p><b>Stampa."
     "</b> File &gt; Stampa stampa la finestra ECG o AVG "
     "attiva su una pagina incorniciata dai dati del paziente; la pagina AVG riporta "
     "anche le misure. Anteprima di stampa mostra prima la pagina, Imposta stampante "
     "sceglie la stampante e la carta. File &gt; Esporta scrive la registrazione "
     "attiva come DICOM, HL7 aECG, EDF+ o CSV, senza l'identità del paziente se "
     "richiesto.</p><p><b>Scorciatoie.</b> Ctrl+O apri, Ctrl+S "
     "salva, Ctrl+P stampa, Ctrl+W chiude la registrazione, Ctrl+Q esce, F1 questa "
     "guida. I menu si aprono con Alt e la lettera sottolineata.</p>"},
    {kIdsAllStatements, "All %1 statements...", "Tutte le %1 diagnosi..."},

    // The View menu's items.
    {kIdsMenuLayoutFirst + 0, "&12x1", "&12x1"},
    {kIdsMenuLayoutFirst + 1, "&6x2", "&6x2"},
    {kIdsMenuLayoutFirst + 2, "&3x4", "&3x4"},
    {kIdsMenuLayoutFirst + 3, "3x4+&1", "3x4+&1"},
    {kIdsMenuLayoutFirst + 4, "3x4+3", "3x4+3"},
    {kIdsMenuSpeedFirst + 0, "12.5 mm/s", "12,5 mm/s"},
    {kIdsMenuSpeedFirst + 1, "25 mm/s", "25 mm/s"},
    {kIdsMenuSpeedFirst + 2, "50 mm/s", "50 mm/s"},
    {kIdsMenuGainFirst + 0, "2.5 mm/mV", "2,5 mm/mV"},
    {kIdsMenuGainFirst + 1, "5 mm/mV", "5 mm/mV"},
    {kIdsMenuGainFirst + 2, "10 mm/mV", "10 mm/mV"},
    {kIdsMenuGainFirst + 3, "20 mm/mV", "20 mm/mV"},
    {kIdsMenuFilterFirst + 0, "&Baseline filter", "Filtro linea di &base"},
    {kIdsMenuFilterFirst + 1, "50 Hz filter", "Filtro 50 Hz"},
    {kIdsMenuFilterFirst + 2, "60 Hz filter", "Filtro 60 Hz"},
    {kIdsMenuFilterFirst + 3, "40 Hz low-pass", "Passa-basso 40 Hz"},

    // Why a value of the patient form is refused.
    {kIdsFieldAcqDepartment, "Acquiring Department", "Reparto di acquisizione"},
    {kIdsFieldAnaDepartment, "Analyzing Department", "Reparto refertante"},
    {kIdsFieldSystolic, "Systolic Pressure", "Pressione sistolica"},
    {kIdsFieldDiastolic, "Diastolic Pressure", "Pressione diastolica"},
    {kIdsFieldWeightUnit, "Weight Unit", "Unità di peso"},
    {kIdsFieldHeightUnit, "Height Unit", "Unità di altezza"},
    {kIdsFieldStatement, "Statement %1", "Diagnosi %1"},
    {kIdsRefusedNotLatin1,
     "%1 holds characters the record cannot store (only Latin-1 letters and signs).",
     "%1 contiene caratteri che la registrazione non può memorizzare (solo lettere e segni "
     "Latin-1)."},
    {kIdsRefusedTooLong, "at most %1 characters.", "al massimo %1 caratteri."},
    {kIdsRefusedOutOfRange, "%1 is outside 0 to %2.", "%1 non è compreso tra 0 e %2."},
    {kIdsRefusedNoListEntry, "no list entry %1.", "la voce %1 non è nell'elenco."},
    {kIdsRefusedNotADate, "%1 is not a date; enter DD/MM/YYYY.",
     "%1 non è una data; digitare GG/MM/AAAA."},
    {kIdsRefusedFutureDate, "%1 lies in the future.", "%1 è una data futura."},

    // The printed page's reading notes and the calipers tool.
    {kIdsPageFilters, "Filters: %1", "Filtri: %1"},
    {kIdsPageSecondsShown, "Shows %1-%2 s of %3 s", "Mostra %1-%2 s di %3 s"},
    {kIdsMenuCaliperTool, "&Calipers", "&Compasso"},
    {kIdsDecimalSign, ".", ","},

    // Prompts of the commands, "status text\ntool tip".
    {kCmdZoomIn, "ZOOM IN", "Ingrandisce"},
    {kCmdZoomOut, "ZOOM OUT", "Rimpicciolisce"},
    {kCmdFileExport, "Export the active record for another system\nExport",
     "Esporta il documento attivo per un altro sistema\nEsporta"},
    {kCmdLayoutFirst + 0, "One lead a row\n12x1", "Una derivazione per riga\n12x1"},
    {kCmdLayoutFirst + 1, "Six rows of two columns\n6x2", "Sei righe di due colonne\n6x2"},
    {kCmdLayoutFirst + 2, "Three rows of four columns\n3x4", "Tre righe di quattro colonne\n3x4"},
    {kCmdLayoutFirst + 3, "Three rows of four columns and a rhythm strip\n3x4+1",
     "Tre righe di quattro colonne e una striscia del ritmo\n3x4+1"},
    {kCmdLayoutFirst + 4, "Three rows of four columns and strips of II, V1 and V5\n3x4+3",
     "Tre righe di quattro colonne e strisce di II, V1 e V5\n3x4+3"},
    {kCmdSpeedFirst + 0, "Paper speed 12.5 mm/s\n12.5 mm/s", "Velocità carta 12,5 mm/s\n12,5 mm/s"},
    {kCmdSpeedFirst + 1, "Paper speed 25 mm/s\n25 mm/s", "Velocità carta 25 mm/s\n25 mm/s"},
    {kCmdSpeedFirst + 2, "Paper speed 50 mm/s\n50 mm/s", "Velocità carta 50 mm/s\n50 mm/s"},
    {kCmdGainFirst + 0, "Gain 2.5 mm/mV\n2.5 mm/mV", "Guadagno 2,5 mm/mV\n2,5 mm/mV"},
    {kCmdGainFirst + 1, "Gain 5 mm/mV\n5 mm/mV", "Guadagno 5 mm/mV\n5 mm/mV"},
    {kCmdGainFirst + 2, "Gain 10 mm/mV\n10 mm/mV", "Guadagno 10 mm/mV\n10 mm/mV"},
    {kCmdGainFirst + 3, "Gain 20 mm/mV\n20 mm/mV", "Guadagno 20 mm/mV\n20 mm/mV"},
    {kCmdFilterFirst + 0, "Removes baseline wander (display only)\nBaseline",
     "Rimuove la deriva della linea di base (solo visualizzazione)\nLinea di base"},
    {kCmdFilterFirst + 1, "Removes 50 Hz mains hum (display only)\n50 Hz",
     "Rimuove il disturbo di rete a 50 Hz (solo visualizzazione)\n50 Hz"},
    {kCmdFilterFirst + 2, "Removes 60 Hz mains hum (display only)\n60 Hz",
     "Rimuove il disturbo di rete a 60 Hz (solo visualizzazione)\n60 Hz"},
    {kCmdFilterFirst + 3, "Removes frequencies above 40 Hz (display only)\n40 Hz",
     "Rimuove le frequenze sopra 40 Hz (solo visualizzazione)\n40 Hz"},
    {kCmdCaliperTool,
     "Measures time and voltage by dragging across the traces (Esc clears)\nCalipers",
     "Misura tempo e tensione trascinando sui tracciati (Esc cancella)\nCompasso"},
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
    {ID_WINDOW_CASCADE, "Arranges the windows overlapping each other\nCascade windows",
     "Dispone le finestre sovrapponendole\nSovrapponi finestre"},
    {ID_WINDOW_TILE_HORZ, "Arranges the windows without overlapping them\nTile windows",
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

bool FollowQtTranslations(UiLanguage language) {
  static QTranslator* installed = nullptr;
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  if (language == UiLanguage::kEnglish) {
    return true;
  }
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_it"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  installed = translator.release();
  QCoreApplication::installTranslator(installed);
  return true;
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

std::vector<int> StringIds() {
  std::vector<int> ids;
  for (const StringEntry& entry : kStrings) {
    ids.push_back(entry.id);
  }
  return ids;
}

QString StringText(int id) {
  return StringText(id, CurrentUiLanguage());
}

QString StringField(const QString& text, int index) {
  const QStringList fields = text.split(u'\n');
  return index >= 0 && index < fields.size() ? fields[index] : QString();
}
