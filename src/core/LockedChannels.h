#pragma once

#include "core/QuestionnaireLoad.h"

namespace qsjuv {

// A channel its model keeps switched off shows its controls disabled: a range there that a save
// would refuse could never be put right. Loading replaces it with the sensor's full range and
// notes the change in its channel's place among loaded.changes.
void replaceLockedRanges(LoadedQuestionnaire &loaded);

// The first such replacement among changes, or null. A signed file warns of nothing else, so
// the window says this one on its own.
const Problem *lockedRangeReplacement(const std::vector<Problem> &changes);

} // namespace qsjuv
