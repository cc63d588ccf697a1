// The texts of the framework's own messages.
#pragma once

#include <QString>

// Returns the text of a framework message (AFX_IDP_...): the installed string table's text when
// it has one, else the framework's own: "Salvare le modifiche a %1?", "Digitare un numero
// intero.", "Digitare un numero intero positivo.", "Non digitare più di %1 caratteri.". An
// unknown id gives an empty string.
QString FrameworkMessage(int id);
