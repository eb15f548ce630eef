// The module-level language state: the one language object and the current language name.
#pragma once

#include "localisation/clsLanguages.h"

#include <QString>

extern clsLanguages *objLanguages;
extern QString strLanguage;

// Registers the seven default English messages on objLanguages.
void LoadDefaultMessages();

// Shorthands for objLanguages->ChangeLanguage / ChangeLanguageMDI; they do nothing
// while objLanguages does not exist.
void ChangeLanguage(ui::Form *myForm, const QString &strLang);
void ChangeLanguageMDI(ui::Form *myForm, const QString &strLang);

// The language file that is read: the user's own (downloaded or generated) when there is
// one, else the one shipped in the program folder.
QString LocalizationFilePath();
// Where a downloaded or generated language file goes: the user folder, never the program's.
QString LocalizationFileForWriting();

// Reading Localization.txt, shared by the language loader and the chooser's list.
// Throws platform::RuntimeError when the file cannot be read.
QString readLanguageFile(const QString &path);
// The next group ("<LANGUAGE_GROUP" up to its "</LANGUAGE_GROUP>") at or after pos; moves
// pos past its closing tag. False when there is none; throws when its closing tag is missing.
bool nextLanguageGroup(const QString &text, qsizetype &pos, QString &group);
// The text between the first openTag and the first closeTag of a group (tags in any letter
// case); throws when the pair is missing.
QString groupTagText(const QString &group, const QString &openTag, const QString &closeTag);
