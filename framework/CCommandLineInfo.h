// What the framework reads from the command line: the file to open and whether to print it.
#pragma once

#include <QString>
#include <QStringList>

class CCommandLineInfo {
 public:
  enum ShellCommand { FileNew, FileOpen, FilePrint, FileNothing };

  virtual ~CCommandLineInfo() = default;

  // Reads every argument after the program name. A flag (IsFlag) is passed on without its first
  // character: "p" or "P" asks to print the file; other flags are left to the application. The
  // first other argument is the file: FileNew becomes FileOpen.
  void ParseArguments(const QStringList& arguments);
  // True for an argument that starts with '-', or with '/' but is not a path: an absolute path
  // has a second '/' or names an existing file ("/N" is a flag, "/home/rec.scp" a file).
  static bool IsFlag(const QString& argument);
  // One argument: param without the flag character, flag when it had one, last for the last.
  virtual void ParseParam(const QString& param, bool flag, bool last);

  ShellCommand m_nShellCommand = FileNew;
  QString m_strFileName;
};
