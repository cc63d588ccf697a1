// The resources the user interface draws from: strings, cursors and icons by numeric id.
//
// The application installs its tables once at start-up; the framework, the document and the views
// look resources up here, so the lower layers never depend on the application's resource files.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QString>

#include <functional>

struct ResourceTable {
  std::function<QString(int)> loadString;  // empty string when the id has no text
  std::function<QCursor(int)> loadCursor;  // the arrow cursor when the id has no cursor
  std::function<QIcon(int)> loadIcon;      // a null icon when the id has no icon
};

// Installs the tables every lookup below uses. Members left empty fall back to "nothing".
void SetResourceTable(ResourceTable table);

// Returns the string with the id in the current language, or an empty string.
QString LoadString(int id);

// Returns the cursor with the id, or the arrow cursor.
QCursor LoadCursor(int id);

// Returns the icon with the id, or a null icon.
QIcon LoadIcon(int id);
