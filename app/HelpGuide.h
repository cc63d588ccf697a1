// The short guide F1 and the help commands show: opening records, the windows, the command-line
// switches, zooming with the mouse, printing and the keyboard shortcuts.
#pragma once

#include <QString>

class QWidget;

// The guide as rich text, in the current language.
QString HelpGuideText();

// Shows the guide in a window of its own over parent; it stays open until closed.
void ShowHelpGuide(QWidget* parent);
