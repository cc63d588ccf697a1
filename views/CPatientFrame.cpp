#include "views/CPatientFrame.h"

#include "app/StringTable.h"

CPatientFrame::CPatientFrame() : CDocumentFrame(kIdsPatientCaption, DocWindow::kPatient) {}
