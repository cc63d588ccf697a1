#include "views/CDocumentFrame.h"

#include "framework/CDocument.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"
#include "framework/ResourceTable.h"

DWORD DocFrameStyle(DocWindow kind) {
  const auto* styles = dynamic_cast<const IDocFrameStyles*>(AfxGetApp());
  return styles != nullptr ? styles->GetDocFrameStyle(kind) : WS_MAXIMIZE;
}

CDocumentFrame::CDocumentFrame(int captionId, DocWindow kind)
    : m_nCaptionId(captionId), m_kind(kind) {}

bool CDocumentFrame::Create(const QString& /*title*/, DWORD style, CMDIFrameWnd* parent) {
  return CMDIChildWnd::Create(LoadString(m_nCaptionId), style & ~FWS_ADDTOTITLE, parent);
}

void CDocumentFrame::OnUpdateFrameTitle() {
  const CDocument* document = GetActiveDocument();
  const QString caption = LoadString(m_nCaptionId);
  if (document == nullptr || document->GetTitle().isEmpty()) {
    SetCaption(caption);
    return;
  }
  SetCaption(caption + QStringLiteral(" - ") + document->GetCaption());
}

bool CDocumentFrame::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style |= DocFrameStyle(m_kind);
  return CMDIChildWnd::PreCreateWindow(cs);
}

void CDocumentFrame::OnClose() {}
