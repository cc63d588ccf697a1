#include "framework/FrameworkMessages.h"

#include "framework/ResourceTable.h"
#include "framework/FrameworkIds.h"

QString FrameworkMessage(int id) {
  QString installed = LoadString(id);
  if (!installed.isEmpty()) {
    return installed;
  }
  switch (id) {
    case AFX_IDP_ASK_TO_SAVE:
      return QStringLiteral("Salvare le modifiche a %1?");
    case AFX_IDP_PARSE_INT:
      return QStringLiteral("Digitare un numero intero.");
    case AFX_IDP_PARSE_UINT:
      return QStringLiteral("Digitare un numero intero positivo.");
    case AFX_IDP_PARSE_STRING_SIZE:
      return QStringLiteral("Non digitare più di %1 caratteri.");
    default:
      return QString();
  }
}
