// Something that hands its contents to the document's patient model before a save or a print:
// the patient form, whose controls hold the user's unsaved edits.
#pragma once

class IRecordStore {
 public:
  virtual ~IRecordStore() = default;

  // Hands the contents to the patient model for a save. Returns false when a value is refused:
  // the store has shown the message naming the field and given it the focus; the save then
  // writes nothing.
  virtual bool StoreToRecord() = 0;
  // Hands the contents to the patient model without a message. False when a value is refused;
  // the model keeps what it held.
  virtual bool TakeEdits() = 0;
};
