// What the framework reads from the command line: the file to open and whether to print it, on
// the default printer or on a named one.
#pragma once

#include <QString>
#include <QStringList>

class CCommandLineInfo {
 public:
  enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileNothing };

  virtual ~CCommandLineInfo() = default;

  // Reads every argument after the program name. A flag (IsFlag) is passed on without its first
  // character: "p" asks to print the file on the default printer, "pt" on the printer named by
  // the argument after the file (either case); other flags are left to the application. The
  // first other argument is the file: FileNew becomes FileOpen.
  void ParseArguments(const QStringList& arguments);
  // False for an argument that names an existing file, whatever it starts with; otherwise true
  // for one that starts with '-', or with '/' but is not a path: an absolute path has a second
  // '/' ("/N" is a flag, "/home/rec.scp" and an existing "/D" a file).
  static bool IsFlag(const QString& argument);
  // One argument: param without the flag character, flag when it had one, last for the last.
  virtual void ParseParam(const QString& param, bool flag, bool last);

  ShellCommand m_nShellCommand = FileNew;
  QString m_strFileName;
  QString m_strPrinterName;  // the printer of FilePrintTo
};
