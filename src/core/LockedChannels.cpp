#include "core/LockedChannels.h"

#include "core/QuestionnaireRules.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qsjuv {
namespace {
constexpr char kReplaced[] = "range-locked-replaced";
} // namespace

void replaceLockedRanges(LoadedQuestionnaire &loaded)
{
    Questionnaire &q = loaded.value;
    if (!q.validModel())
        return;
    const auto checks = inputChecks(q.model());
    for (const SaveRefusal &refusal : saveRefusals(q)) {
        const bool range = refusal.kind == SaveRefusal::RangeNotNumber || refusal.kind == SaveRefusal::RangeTooNarrow;
        if (!range || refusal.channel < 0 || refusal.channel >= int(q.channels.size()))
            continue;
        const std::size_t c = std::size_t(refusal.channel);
        QuestionnaireChannel &ch = q.channels[c];
        if (ch.inputOn || checks[c].enabled)
            continue;
        const QuestionnaireChannel full = withSensor(q.modelPosition, int(c), ch, ch.sensorId);
        const QString text = QCoreApplication::translate("LockedChannels", "Канал выключен у этой модели, и его диапазон («%1»…«%2») нельзя ни исправить, ни "
                             "сохранить: форма заменит его на %3…%4.").arg(ch.minText, ch.maxText, full.minText,
                                                                         full.maxText);
        ch.maxText = full.maxText;
        ch.minText = full.minText;
        const int number = refusal.channel + 1;
        const auto after = std::find_if(loaded.changes.begin(), loaded.changes.end(),
                                        [number](const Problem &p) { return p.channel > number; });
        loaded.changes.insert(after, Problem{kReplaced, number, text});
    }
}

const Problem *lockedRangeReplacement(const std::vector<Problem> &changes)
{
    const auto found = std::find_if(changes.begin(), changes.end(),
                                    [](const Problem &p) { return qstrcmp(p.code, kReplaced) == 0; });
    return found == changes.end() ? nullptr : &*found;
}

} // namespace qsjuv
