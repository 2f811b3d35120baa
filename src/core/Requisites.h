#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// What a requisite (firm, phone, e-mail, invoice) may hold, shared by the save and the checker:
// what the save writes must read back as the form showed it, and the checker must accept it.
namespace qsjuv {

// Control characters (line breaks, tabs, NUL, DEL, C1) never belong to a requisite, nor the
// replacement character a byte without a Windows-1251 meaning decodes to.
bool isRequisiteCharacter(QChar c);
bool isRequisiteText(QStringView text);

// The text the save writes and the edit then shows: each control character becomes a blank,
// and blanks at either end go, as every reader of the file drops them.
QString normalizedRequisite(QStringView text);

// A required requisite of blanks (or control characters) only counts as not filled in.
bool requisiteBlank(QStringView text);

// The file value of a requisite: readers strip one pair of outer quotes, so a text that starts
// and ends with the same quote gets one more pair and reads back as it was typed.
QByteArray requisiteFileValue(QByteArrayView text);

} // namespace qsjuv
