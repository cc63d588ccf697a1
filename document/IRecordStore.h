// Something that writes its contents into the document's record before a save: the patient
// form, which rebuilds the patient data and the statements.
#pragma once

class IRecordStore {
 public:
  virtual ~IRecordStore() = default;

  // Writes the contents into the document's record. Returns false when the record could not be
  // rebuilt (memory ran out); the document then does not write the file.
  virtual bool StoreToRecord() = 0;
};
