#include "framework/CRecordingDC.h"

#include <cmath>

CRecordingDC::CRecordingDC(int widthPixels, int heightPixels, int dpi, bool printing) {
  DeviceInfo device;
  device.dpiX = dpi;
  device.dpiY = dpi;
  device.widthPixels = widthPixels;
  device.heightPixels = heightPixels;
  device.widthMM = static_cast<int>(std::lround(widthPixels * 25.4 / dpi));
  device.heightMM = static_cast<int>(std::lround(heightPixels * 25.4 / dpi));
  device.printing = printing;
  SetDeviceInfo(device);
}

std::vector<CRecordedCall> CRecordingDC::Calls(CRecordedCall::Kind kind) const {
  std::vector<CRecordedCall> selected;
  for (const CRecordedCall& call : m_calls) {
    if (call.kind == kind) {
      selected.push_back(call);
    }
  }
  return selected;
}

std::vector<CRecordedCall> CRecordingDC::TextCalls(const QString& text) const {
  std::vector<CRecordedCall> selected;
  for (const CRecordedCall& call : m_calls) {
    if (call.kind == CRecordedCall::Kind::Text && call.text == text) {
      selected.push_back(call);
    }
  }
  return selected;
}

CRecordedCall& CRecordingDC::Record(CRecordedCall::Kind kind) {
  CRecordedCall call;
  call.kind = kind;
  call.pen = GetCurrentPen();
  call.brush = GetCurrentBrush();
  call.font = GetCurrentFont().LogFont();
  call.textColor = GetTextColor();
  call.bkColor = GetBkColor();
  call.bkMode = GetBkMode();
  call.textAlign = GetTextAlign();
  call.rop2 = GetROP2();
  call.mapMode = GetMapMode();
  call.clipped = HasClip();
  GetClipBox(&call.clipBox);
  m_calls.push_back(call);
  return m_calls.back();
}

void CRecordingDC::DoLine(CPoint from, CPoint to) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Line);
  call.from = from;
  call.to = to;
}

void CRecordingDC::DoRectangle(const CRect& rect) {
  Record(CRecordedCall::Kind::Rectangle).rect = rect;
}

void CRecordingDC::DoFill(const CRect& rect, COLORREF color) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Fill);
  call.rect = rect;
  call.color = color;
}

void CRecordingDC::DoText(int x, int y, UINT options, const CRect* rect, const QString& text) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Text);
  call.from = CPoint(x, y);
  call.options = options;
  if (rect != nullptr) {
    call.rect = *rect;
  }
  call.text = text;
}

void CRecordingDC::DoPattern(const CRect& rect, DWORD rop) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Pattern);
  call.rect = rect;
  call.rop = rop;
}

COLORREF CRecordingDC::DoPixel(int x, int y, COLORREF color) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Pixel);
  call.from = CPoint(x, y);
  call.color = color;
  return color;
}

void CRecordingDC::DoBlock(const CRect& rect, const QImage& source, DWORD rop) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Block);
  call.rect = rect;
  call.rop = rop;
  call.block = source;
}

void CRecordingDC::DoDotLattice(const CRect& rect, CSize step, COLORREF color) {
  CRecordedCall& call = Record(CRecordedCall::Kind::Dots);
  call.rect = rect;
  call.step = step;
  call.color = color;
}
