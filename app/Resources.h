// Quillon's icons and cursor, and the resource table the application installs at start-up.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPoint>

#include "framework/ResourceTable.h"

// Returns icon `id` drawn at size x size pixels on a transparent background, or a null image for
// an id that is not an icon or a size below 1.
QImage IconImage(int id, int size);

// Returns icon `id` at 16, 32 and 48 pixels, or a null icon. Needs a running QGuiApplication.
QIcon ResourceIcon(int id);

// The magnifier as a 32 x 32 image: black and white pixels on transparency.
QImage MagnifierImage();

// The point of the magnifier that clicks act at: the centre of its lens.
QPoint MagnifierHotSpot();

// Returns cursor `id` as a monochrome cursor, or the arrow cursor for an id that is not a cursor.
// Needs a running QGuiApplication.
QCursor ResourceCursor(int id);

// Returns the table that makes the framework's LoadString, LoadCursor and LoadIcon answer from
// Quillon's string table (in the current language), cursor and icons.
ResourceTable QuillonResourceTable();
