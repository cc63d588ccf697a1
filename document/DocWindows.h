// The further windows a document asks for when it has read a record, and the application-wide
// opener that makes them from the application's window templates.
#pragma once

class CQuillonDoc;

// The four kinds of document window.
enum class DocWindow { kRhythm, kAverage, kMeasurements, kPatient };

// Makes document windows. The application implements it over its four window templates; the
// document needs nothing else of the application, so it can be tested with a fake.
class IDocWindowOpener {
 public:
  virtual ~IDocWindowOpener() = default;

  // True when the rhythm window is the one the framework makes for every opened document (the
  // default); false when the average-beat window is.
  virtual bool IsEcgPrimary() const = 0;
  // Makes a frame of the kind with its view for doc and gives the view its initial update.
  virtual void OpenWindow(CQuillonDoc* doc, DocWindow kind) = 0;
};

// Installs the opener every document uses from then on; null (the start) opens no further windows.
// The opener must outlive the documents that use it.
void SetDocWindowOpener(IDocWindowOpener* opener);

// Returns the installed opener, or null.
IDocWindowOpener* GetDocWindowOpener();
