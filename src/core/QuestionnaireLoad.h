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
    // What the window shows: the file applied over what it showed before (base), requisites and
    // quantity included, whether or not its check code matches. A model the catalogue lacks keeps
    // the base's model. A file with nothing of a questionnaire leaves base as it was.
    Questionnaire value;
    bool questionnaire = false; // a model id or a channel value; else the window refuses the file
    bool modelKnown = false;
    bool accepted = false; // the check code matches, or the file needs none
    bool complete = true; // holds what a saved file always holds, or has a check code
    // The window warns that the file holds wrong data: its check code fails, it is incomplete,
    // a requisite could not be read as written, or a value the window locks had to be mended.
    bool warning = false;
    QString version; // "Reqs"/"Version"; shown only for a file loaded without a warning
    std::vector<Problem> changes; // what loading corrected or replaced, in channel order
};

LoadedQuestionnaire loadedQuestionnaire(const QuestionnaireRead &read,
                                        const Questionnaire &base = defaultQuestionnaire());

} // namespace qsjuv
