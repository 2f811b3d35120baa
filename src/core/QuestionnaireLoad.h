#pragma once

#include "core/Questionnaire.h"
#include "core/QuestionnaireFormat.h"

#include <QString>

#include <vector>

// What a window shows once it has read a file, and what it had to change to show it: the window
// shows the value, the checker reports the value and the changes.
namespace qsjuv {

struct Problem
{
    const char *code; // stable machine code, such as "range-too-narrow"
    int channel = 0; // 1 or 2; 0 for the file as a whole
    QString text; // Russian, for people
};

struct LoadedQuestionnaire
{
    // What the window shows: the file applied over what it showed before (base). A model the
    // catalogue lacks keeps the base's model; a file whose check code fails keeps the base's
    // requisites and quantity.
    Questionnaire value;
    bool modelKnown = false;
    bool accepted = false; // the check code matches, or the file needs none
    QString version; // "Reqs"/"Version"; shown only for an accepted file
    std::vector<Problem> changes; // what loading corrected or replaced, in channel order
};

LoadedQuestionnaire loadedQuestionnaire(const QuestionnaireRead &read,
                                        const Questionnaire &base = defaultQuestionnaire());

} // namespace qsjuv
