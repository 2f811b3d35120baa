#pragma once

#include "core/Questionnaire.h"
#include "core/QuestionnaireFormat.h"

#include <QString>

#include <optional>
#include <vector>

// What the form shows once it has read a file, and what it had to change to show it: the
// checker reports those changes, the form shows the value.
namespace qsjuv {

struct Problem
{
    const char *code; // stable machine code, such as "range-too-narrow"
    int channel = 0; // 1 or 2; 0 for the file as a whole
    QString text; // Russian, for people
};

// One channel section as the form shows it once the file is loaded and the range check has run.
// The bounds, their unit and the output are filled only when the model is known, the nominal
// resistance and the connection only when it also offers the sensor: otherwise the form would
// show leftovers of whatever it showed before.
struct LoadedChannel
{
    int number = 1;
    QuestionnaireChannel value; // as the form then holds it
    std::optional<int> sensorId; // the id "Sensor id" names, as the loader takes it
    const SensorDescriptor *sensor = nullptr; // that id in the catalogue
    std::optional<int> max, min; // range bounds; nullopt when not a number
    SensorType unitType = 0; // decides the unit and the captions of the bounds
    std::optional<int> nominalROhms;
    const char *connection = nullptr; // UTF-8; only where the form shows the connection list
    const char *output = nullptr; // UTF-8; nullptr for models without outputs
    // The save tests this range: the model is known, and the sensor is the file's own or none (a
    // sensor the model does not offer is replaced before a save, and its range with it).
    bool rangeSaved = false;
};

struct LoadedQuestionnaire
{
    Questionnaire value; // the channels the file's sections give, two when the model is unknown
    std::optional<int> modelPosition; // the file's model, if the catalogue has it
    int quantity = 1; // after the quantity check
    std::vector<LoadedChannel> channels;
    std::vector<Problem> changes; // what the form corrects or replaces, in channel order
};

LoadedQuestionnaire loadedQuestionnaire(const QuestionnaireRead &read);

} // namespace qsjuv
