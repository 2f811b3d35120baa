#pragma once

// Sessions of random steps: drawn from a seed by the actions' weights, read back from the lines
// a failure prints, and cut down to a shortest sequence that still fails.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

namespace qsjuv::testing {

struct Step
{
    int action; // index into the session's actions
    quint32 a, b; // what the action chooses, taken modulo what the form offers then
};

// Action is anything with a name and a weight.
template <typename Action>
std::vector<Step> randomSteps(std::span<const Action> actions, quint32 seed, int count)
{
    std::mt19937 random(seed);
    int total = 0;
    for (const Action &action : actions)
        total += action.weight;
    std::vector<Step> steps;
    for (int i = 0; i < count; ++i) {
        int pick = int(random() % quint32(total)), action = 0;
        while (pick >= actions[std::size_t(action)].weight)
            pick -= actions[std::size_t(action++)].weight;
        const quint32 a = random(), b = random();
        steps.push_back({action, a, b});
    }
    return steps;
}

// Lines "name a b", as listing() writes them; '#' starts a comment.
template <typename Action>
std::vector<Step> parsedSteps(std::span<const Action> actions, const QByteArray &text)
{
    std::vector<Step> steps;
    for (QByteArray line : text.split('\n')) {
        if (line.contains('#'))
            line.truncate(line.indexOf('#'));
        const QList<QByteArray> words = line.simplified().split(' ');
        for (std::size_t i = 0; words.size() == 3 && i < actions.size(); ++i)
            if (words[0] == actions[i].name)
                steps.push_back({int(i), words[1].toUInt(), words[2].toUInt()});
    }
    return steps;
}

template <typename Action>
QString listing(std::span<const Action> actions, const std::vector<Step> &steps, const QStringList &descriptions)
{
    QString out;
    for (std::size_t i = 0; i < steps.size(); ++i)
        out += QStringLiteral("%1 %2 %3  # %4\n")
                       .arg(QLatin1StringView(actions[std::size_t(steps[i].action)].name))
                       .arg(steps[i].a)
                       .arg(steps[i].b)
                       .arg(descriptions.value(int(i)));
    return out;
}

// Delta debugging: drops ever smaller chunks of steps while the rest still fails.
template <typename Fails>
std::vector<Step> shrunk(std::vector<Step> steps, Fails fails)
{
    std::size_t parts = 2;
    while (steps.size() >= 2) {
        const std::size_t chunk = (steps.size() + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t start = 0; start < steps.size() && !reduced; start += chunk) {
            std::vector<Step> complement(steps.begin(), steps.begin() + std::ptrdiff_t(start));
            complement.insert(complement.end(), steps.begin() + std::ptrdiff_t(std::min(steps.size(), start + chunk)),
                              steps.end());
            if (fails(complement)) {
                steps = std::move(complement);
                parts = std::max<std::size_t>(parts - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (parts >= steps.size())
                break;
            parts = std::min(steps.size(), parts * 2);
        }
    }
    return steps;
}

} // namespace qsjuv::testing
