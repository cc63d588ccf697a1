#include "framework/CWaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

CWaitCursor::CWaitCursor() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_bShown = true;
  }
}

CWaitCursor::~CWaitCursor() {
  Restore();
}

void CWaitCursor::Restore() {
  if (m_bShown) {
    QGuiApplication::restoreOverrideCursor();
    m_bShown = false;
  }
}
