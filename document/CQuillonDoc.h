// The document of one open SCP-ECG record: the record, its twelve reference-beat and rhythm leads
// in display order, the fiducial times and the colours the signal views draw with; opening,
// saving and closing a record.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "document/MeasurementModel.h"
#include "document/PatientModel.h"
#include "document/RecordDamage.h"
#include "framework/CDocument.h"
#include "framework/GdiTypes.h"
#include "leads/LeadTables.h"
#include "scp/ScpDecode.h"
#include "scp/ScpRecord.h"

class CAvgView;
class CEcgView;
class CMeasureView;
class IRecordStore;

class CQuillonDoc : public CDocument {
 public:
  CQuillonDoc() = default;
  // Frees the record and the sample arrays.
  ~CQuillonDoc() override;

  // Refuses to make an empty document: always false, so the New command creates nothing.
  bool OnNewDocument() override;
  // Reads the record at path, decodes its leads, clears the modified flag and asks the installed
  // window opener for the further windows (DocWindows.h): the average-beat window when the
  // rhythm window is primary and there are reference beats, else the rhythm window when there is
  // rhythm; the measurement window when there are measurements; always the patient form.
  // Returns true. When the file cannot be read as a record, shows a message naming it
  // (DocMessages.h) and returns false with the document as it was. When decoded leads have an
  // amplitude unit of 0 nV, shows one message naming the record (the views draw no trace for
  // them) and goes on. A record whose checksums or lengths disagree with its bytes opens all the
  // same, with one message naming the damaged parts, and is marked damaged in its titles; a
  // record whose leads lie only in the long-term rhythm section opens with a message saying they
  // are not read.
  bool OnOpenDocument(const QString& path) override;
  // Saving a damaged record over its own file, when it would write fresh checksums, first asks
  // whether to (No is the default and saves nothing). Then lets the patient form, when one is
  // registered, hand its contents to the patient model (a refused value stops the save: the form
  // has said why, nothing is written), writes what the model changed into the record, then writes
  // the record to path. Returns true when it was written; otherwise shows a message naming the
  // file and the reason and returns false (the framework then keeps the modified flag).
  bool OnSaveDocument(const QString& path) override;
  // The file name, followed by "(damaged)", "(read-only)" or both when they apply.
  QString GetCaption() const override;
  // True when the record's checksums or lengths disagreed with its bytes when it was opened.
  bool IsDamaged() const { return m_damage.Any(); }
  // True when the record's file exists and cannot be written, or carries no write permission at
  // all: Save does not replace it.
  bool IsReadOnly() const;

  // Frees the sample arrays and the record and returns to the empty state: no record, empty lead
  // tables, all flags and fiducials cleared. The views' references stay.
  void DeleteContents() override;

  // Takes ownership of the record (any earlier contents are freed) and fills both lead tables,
  // the flags and the fiducials (0 when section 7 holds no block). Always returns true.
  bool DecodeLeads(ScpRecord* record);
  // Returns the first of the m_nRefLeads reference entries with the lead code, or null.
  ScpReferenceBeat* FindRefLead(int leadCode);
  const ScpReferenceBeat* FindRefLead(int leadCode) const;
  // Returns fiducial time index (0 P onset, 1 P offset, 2 QRS onset, 3 QRS offset, 4 T offset) in
  // milliseconds; 0 for an index outside 0 to 4.
  uint16_t GetFiducial(int index) const;

  // Registers the store the save asks to hand the patient form's contents to the patient model.
  // The form calls this at its initial update.
  void SetPatientStore(IRecordStore* store);
  // Asks the registered patient form to hand its unsaved edits to the patient model as a save
  // does (for an export). False when the form holds a value the model refuses: the form has shown
  // why and given the field the focus, and the model keeps what it held. True without a form.
  bool StorePatientEdits();
  // Asks the registered patient form to hand its unsaved edits to the patient model without a
  // message (for printing). False when the form holds a value the model refuses; the model then
  // keeps what it held.
  bool TakePatientEdits();

  // The models of what the record means, read when the record is opened.
  const PatientModel& Patient() const { return m_patient; }
  PatientModel& Patient() { return m_patient; }
  const MeasurementModel& Measurements() const { return m_measurements; }
  // Tells every view that the patient model changed (UpdateAllViews with kHintPatientChanged).
  void PatientChanged(CView* sender = nullptr);
  static constexpr long kHintPatientChanged = 1;
  // The date a missing acquisition date shows and two-digit years are read against; today
  // unless a test sets it.
  void SetToday(const QDate& today) { m_today = today; }
  QDate Today() const { return m_today.isValid() ? m_today : QDate::currentDate(); }

  // Colours of the signal views: paper, grid lines, lead labels, traces, fiducial markers.
  COLORREF m_clrBackground = RGB(192, 192, 192);
  COLORREF m_clrGrid = RGB(128, 128, 128);
  COLORREF m_clrText = RGB(64, 64, 64);
  COLORREF m_clrTrace = RGB(0, 0, 128);
  COLORREF m_clrMarker = RGB(255, 0, 0);

  // The record of the open file, owned; null while the document is empty.
  ScpRecord* m_pRecord = nullptr;

  // The lead tables in display order (I, II, III, aVR, aVL, aVF, V1 to V6): 12 entries in use once
  // lead I decoded, else 0. The document owns every sample array; views borrow them.
  int32_t m_nRhythmLeads = 0;
  int32_t m_nRefLeads = 0;
  ScpRhythmSignal m_rhythmLeads[kLeadTableCapacity] = {};
  ScpReferenceBeat m_refLeads[kLeadTableCapacity] = {};

  bool m_bHasRefBeats = false;  // lead I's reference beat was decoded
  bool m_bHasRhythm = false;    // lead I's rhythm was decoded
  bool m_bShowPatient = true;   // a patient form is opened with every record
  bool m_bHasMeasures = false;  // block 0 of the global measurements was read

  // The views showing this document, each set by the view at its initial update; not owned.
  CEcgView* m_pEcgView = nullptr;
  CAvgView* m_pAvgView = nullptr;
  CMeasureView* m_pMeasureView = nullptr;

 private:
  void ReleaseLeads();
  void OpenFurtherWindows();
  void ReportWhatCannotBeShown(const QString& path);
  bool MayWriteFreshChecksums(const QString& path);

  uint16_t m_fiducials[kFiducialCount] = {};
  IRecordStore* m_pPatientStore = nullptr;
  RecordDamage m_damage;
  QByteArray m_fileBytes;  // the file as read, while the record still matches it
  PatientModel m_patient;
  MeasurementModel m_measurements;
  QDate m_today;
};
