// The user-interface texts by numeric id, in English and in Italian.
//
// The ids are those of resources/ResourceIds.h; the lead names (kIdsFirstLeadName to
// kIdsLastLeadName) are the codec's own, the same in both languages.
#pragma once

#include <QLocale>
#include <QString>
#include <vector>

#include "resources/ResourceIds.h"

enum class UiLanguage { kEnglish, kItalian };

// Returns Italian when the locale's language is Italian (in any country), else English.
UiLanguage UiLanguageForLocale(const QLocale& locale);

// Returns the language of StringText(id): the one forced last, else that of the system locale.
UiLanguage CurrentUiLanguage();

// Makes StringText(id) use `language` whatever the system locale says.
void ForceUiLanguage(UiLanguage language);

// Goes back to following the system locale.
void FollowSystemUiLanguage();

// Makes Qt's own texts (standard buttons, file and print dialogs) speak `language`: installs Qt's
// Italian translations for Italian, removes them for English. False when Italian was asked for
// and Qt's translations are not installed; the program then runs with English buttons.
bool FollowQtTranslations(UiLanguage language);

// Returns the text of string `id` in `language`, or an empty string when the id has no text.
QString StringText(int id, UiLanguage language);

// Returns every id the table holds a text for (the lead names aside), ascending.
std::vector<int> StringIds();

// Returns the text of string `id` in the current language, or an empty string.
QString StringText(int id);

// Returns field `index` (from 0) of a text whose fields are separated by '\n', as in a command
// prompt ("status text\ntool tip") or the document string; an empty string when there is no such
// field.
QString StringField(const QString& text, int index);
