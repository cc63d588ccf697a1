// Test doubles for the framework's tests: an application that answers the user's questions as
// told, and a document, view and frame that write what happens to them into a shared log.
#pragma once

#include <QFileInfo>
#include <QPrinter>
#include <QStringList>
#include <memory>

#include "framework/CDC.h"
#include "framework/CDocument.h"
#include "framework/CMDIChildWnd.h"
#include "framework/CMultiDocTemplate.h"
#include "framework/CScrollView.h"
#include "framework/CWinApp.h"
#include "framework/FrameworkConstants.h"

// What the doubles share with a test: the log, and how the document's file operations end.
struct TestWorld {
  QStringList log;
  bool saveSucceeds = true;
  // When set, a successful open asks this template for a further window of the document, as a
  // document that opens its own windows does.
  CMultiDocTemplate* extraTemplate = nullptr;
  // Opening a path that contains this text fails after the further window was made.
  QString failAfterWindowsFor = QStringLiteral("late-failure");
};

class TestApp : public CWinApp {
 public:
  TestApp() : CWinApp(QStringLiteral("QuillonFrameworkTest")) {}

  int DoMessageBox(const QString& prompt, UINT /*type*/) override {
    prompts << prompt;
    return answer;
  }
  bool DoPrintDialog(QPrinter* /*printer*/, CPrintInfo* /*info*/) override {
    ++printDialogs;
    return printDialogAnswer;
  }
  bool DoPromptFileName(QString* fileName, const QString& /*title*/, bool /*open*/,
                        CMultiDocTemplate* /*docTemplate*/) override {
    ++fileDialogs;
    if (fileAnswer.isEmpty()) {
      return false;
    }
    *fileName = fileAnswer;
    return true;
  }

  int answer = IDNO;
  QStringList prompts;
  int printDialogs = 0;
  bool printDialogAnswer = true;
  int fileDialogs = 0;
  QString fileAnswer;  // empty: the file dialog is cancelled
};

class TestDocument : public CDocument {
 public:
  explicit TestDocument(TestWorld* world) : m_world(world) {}

  bool OnOpenDocument(const QString& path) override {
    m_world->log << QStringLiteral("open %1").arg(QFileInfo(path).fileName());
    if (!QFileInfo::exists(path)) {
      return false;
    }
    if (m_world->extraTemplate != nullptr) {
      CMDIChildWnd* frame = m_world->extraTemplate->CreateNewFrame(this);
      m_world->extraTemplate->InitialUpdateFrame(frame, this);
    }
    return !path.contains(m_world->failAfterWindowsFor);
  }
  bool OnSaveDocument(const QString& path) override {
    m_world->log << QStringLiteral("save %1").arg(QFileInfo(path).fileName());
    return m_world->saveSucceeds;
  }
  void DeleteContents() override { m_world->log << QStringLiteral("delete contents"); }

 private:
  TestWorld* m_world;
};

class TestView : public CScrollView {
 public:
  TestView(TestWorld* world, const QString& name) : m_world(world), m_strName(name) {
    EnablePrintCommands();
  }

  void OnInitialUpdate() override {
    m_world->log << QStringLiteral("initial update %1").arg(m_strName);
    CScrollView::OnInitialUpdate();
  }
  void OnDraw(CDC* dc) override {
    m_world->log << QStringLiteral("draw %1").arg(dc->IsPrinting() ? "printing" : "screen");
    dc->SetMapMode(MM_LOMETRIC);
    dc->MoveTo(0, 0);
    dc->LineTo(1000, -1000);
  }
  bool OnPreparePrinting(CPrintInfo* info) override {
    m_world->log << QStringLiteral("prepare%1").arg(info->m_bPreview ? " preview" : "");
    if (m_nMaxPage != 0) {
      info->SetMaxPage(m_nMaxPage);
    }
    return DoPreparePrinting(info);
  }
  void OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) override {
    m_world->log << QStringLiteral("begin");
  }
  void OnPrint(CDC* dc, CPrintInfo* info) override {
    m_world->log << QStringLiteral("print page %1").arg(info->m_nCurPage);
    m_lastPageArea = info->m_rectDraw;
    CScrollView::OnPrint(dc, info);
  }
  void OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) override {
    m_world->log << QStringLiteral("end");
  }

  UINT m_nMaxPage = 0;  // 0: the view sets no page count
  CRect m_lastPageArea;

 private:
  TestWorld* m_world;
  QString m_strName;
};

// A document window with a fixed caption, extra style bits, and optionally a close request that
// does nothing.
class TestFrame : public CMDIChildWnd {
 public:
  TestFrame(TestWorld* world, const QString& caption, DWORD extraStyle, bool ignoreClose)
      : m_world(world),
        m_strCaption(caption),
        m_dwExtraStyle(extraStyle),
        m_bIgnoreClose(ignoreClose) {}

  bool Create(const QString& title, DWORD style, CMDIFrameWnd* parent) override {
    if (m_strCaption.isEmpty()) {
      return CMDIChildWnd::Create(title, style, parent);
    }
    return CMDIChildWnd::Create(m_strCaption, style & ~FWS_ADDTOTITLE, parent);
  }
  bool PreCreateWindow(CREATESTRUCT& cs) override {
    cs.style |= m_dwExtraStyle;
    return CMDIChildWnd::PreCreateWindow(cs);
  }
  void OnClose() override {
    if (m_bIgnoreClose) {
      m_world->log << QStringLiteral("close ignored");
      return;
    }
    CMDIChildWnd::OnClose();
  }

 private:
  TestWorld* m_world;
  QString m_strCaption;
  DWORD m_dwExtraStyle;
  bool m_bIgnoreClose;
};

// A template of TestDocument, TestFrame and TestView.
inline std::unique_ptr<CMultiDocTemplate> MakeTestTemplate(TestWorld* world,
                                                           const QString& viewName,
                                                           const QString& caption = QString(),
                                                           DWORD extraStyle = 0,
                                                           bool ignoreClose = false) {
  auto docTemplate = std::make_unique<CMultiDocTemplate>(
      129, [world] { return std::make_unique<TestDocument>(world); },
      [world, caption, extraStyle, ignoreClose] {
        return new TestFrame(world, caption, extraStyle, ignoreClose);
      },
      [world, viewName] { return new TestView(world, viewName); });
  docTemplate->SetDocString(
      QStringLiteral("\nQuillon\nQuillon\nQuillon Files (*.scp)\n.SCP\nQuillon.Document\n"
                     "Quillon Document"));
  return docTemplate;
}
