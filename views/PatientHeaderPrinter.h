// The frame of every printed page: a header box with the patient's identity on the left and the
// six statements on the right, and a footer box with the brand, the acquisition date and time,
// the recording scales and the filter labels. The page's traces go between the two boxes.
#pragma once

#include <QString>

#include "framework/GdiObjects.h"
#include "framework/GdiTypes.h"

class CDC;
class PatientModel;
struct PatientFields;

// How a page's traces are drawn, as its footer says it: the paper speed and gain ("25 mm/s",
// "10 mm/mV") and a note on anything else a reader must know (the display filters on, which
// seconds the page shows), empty when there is nothing.
struct PageScales {
  QString speed = QStringLiteral("25 mm/s");
  QString gain = QStringLiteral("10 mm/mV");
  QString note;
};

// Draws the header and footer boxes of a page from the document's patient model on dc (in
// MM_LOMETRIC) with Arial at 3 mm, the footer with the page's scales, and returns the rectangle
// between them, in logical units.
CRect PrintPatientHeader(CDC* dc, const PatientModel& patient, const PageScales& scales = {});

// The rectangle PrintPatientFrame leaves between its boxes on dc, without drawing anything.
CRect PatientFrameInterior(CDC* dc);

// Draws the frame of a page from fields on dc, whose mapping is MM_LOMETRIC with the printable
// area's top-left corner at the origin. sexText is the sex line's entry, empty for no sex line.
// The font is made from logFont, whose height is set to the printed 3 mm and stays so. Each line
// blanks the rest of its column below it and is clipped to it. Returns the rectangle between the
// boxes: left 78, top -253, right W - 48, bottom 52 - H for a printable area of W x H units.
CRect PrintPatientFrame(CDC* dc, const PatientFields& fields, const QString& sexText,
                        LOGFONT* logFont, const PageScales& scales = {});

// The footer's text: brand, acquisition date and time, the page's speed and gain, the record's
// filter labels, then the page's note two blanks on.
QString PatientFooterText(const PatientFields& fields, const PageScales& scales = {});
