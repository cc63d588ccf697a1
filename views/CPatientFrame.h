// The child frame of the patient form, captioned "EXAM DATA".
#pragma once

#include "views/CDocumentFrame.h"

class CPatientFrame : public CDocumentFrame {
  Q_OBJECT

 public:
  CPatientFrame();
};
