// The document of one open SCP-ECG record: the record, its twelve reference-beat and rhythm leads
// in display order, the fiducial times and the colours the signal views draw with; opening,
// saving and closing a record.
#pragma once

#include <QString>
#include <cstdint>

#include "document/RecordDamage.h"
#include "framework/CDocument.h"
#include "framework/GdiTypes.h"
#include "leads/LeadTables.h"
#include "scp/ScpDecode.h"
#include "scp/ScpRecord.h"

class CAvgView;
class CEcgView;
class CMeasureView;
class CPatientView;
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
  // Saving a damaged record over its own file first asks whether to write fresh checksums over
  // the damage (No is the default and saves nothing). Then lets the patient form, when one is
  // registered, write its contents into the record, then writes the record to path. Returns true
  // when it was written; otherwise shows a message naming the file and the reason and returns false
  // (the framework then keeps the modified flag).
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

  // Registers the patient form: its view, read by the printing views, and the store the save asks
  // to write the form into the record. The form calls this at its initial update.
  void SetPatientForm(CPatientView* view, IRecordStore* store);

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
  CPatientView* m_pPatientView = nullptr;

 private:
  void ReleaseLeads();
  void OpenFurtherWindows();
  void ReportWhatCannotBeShown(const QString& path);
  bool MayWriteFreshChecksums(const QString& path);

  uint16_t m_fiducials[kFiducialCount] = {};
  IRecordStore* m_pPatientStore = nullptr;
  RecordDamage m_damage;
};
