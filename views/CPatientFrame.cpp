#include "views/CPatientFrame.h"

#include "resources/ResourceIds.h"

CPatientFrame::CPatientFrame() : CDocumentFrame(kIdsPatientCaption, DocWindow::kPatient) {}
