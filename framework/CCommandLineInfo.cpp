#include "framework/CCommandLineInfo.h"

#include <QFileInfo>

void CCommandLineInfo::ParseArguments(const QStringList& arguments) {
  for (int index = 1; index < arguments.size(); ++index) {
    const QString& argument = arguments[index];
    const bool flag = IsFlag(argument);
    ParseParam(flag ? argument.mid(1) : argument, flag, index == arguments.size() - 1);
  }
}

bool CCommandLineInfo::IsFlag(const QString& argument) {
  if (QFileInfo::exists(argument)) {
    return false;  // an existing file is opened, whatever its name starts with
  }
  if (argument.startsWith(QLatin1Char('-'))) {
    return true;
  }
  if (!argument.startsWith(QLatin1Char('/'))) {
    return false;
  }
  return argument.indexOf(QLatin1Char('/'), 1) < 0;
}

void CCommandLineInfo::ParseParam(const QString& param, bool flag, bool /*last*/) {
  if (flag) {
    if (param.compare(QStringLiteral("p"), Qt::CaseInsensitive) == 0) {
      m_nShellCommand = FilePrint;
    } else if (param.compare(QStringLiteral("pt"), Qt::CaseInsensitive) == 0) {
      m_nShellCommand = FilePrintTo;
    }
    return;
  }
  if (m_strFileName.isEmpty()) {
    m_strFileName = param;
    if (m_nShellCommand == FileNew) {
      m_nShellCommand = FileOpen;
    }
  } else if (m_strPrinterName.isEmpty()) {
    m_strPrinterName = param;
  }
}
