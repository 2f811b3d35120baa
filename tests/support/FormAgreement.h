#pragma once

// What the checker says a window shows, against what the window shows: the differential test
// and the monkey's saved files share it.
#include "FormDriver.h"
#include "check/FileCheck.h"
#include "core/Questionnaire.h"
#include "core/QuestionnaireRules.h"

namespace qsjuv::testing {

using namespace Qt::StringLiterals;
using qsjuv::Problem;
using qsjuv::check::FileReport;

inline QString describe(const QuestionnaireChannel &ch)
{
    const auto opt = [](const std::optional<int> &v) { return v ? QString::number(*v) : u"-"_s; };
    return u"on %1, sensor %2, %3..%4, R %5, connection %6, output %7"_s.arg(
            QString::number(ch.inputOn), QString::number(ch.sensorId), ch.minText, ch.maxText, opt(ch.nominalR),
            opt(ch.connection), opt(ch.output));
}

class Differences
{
public:
    void compare(const QString &what, const QString &form, const QString &checker)
    {
        if (form != checker)
            m_list << u"%1: form shows '%2', checker says '%3'"_s.arg(what, form.left(90), checker.left(90));
    }
    QString text() const { return m_list.join(u'\n'); }

private:
    QStringList m_list;
};

// The entry a list shows, empty when it is hidden or shows none.
inline QString shownEntry(const QWidget &form, const QComboBox *box)
{
    return box->isVisibleTo(&form) && box->currentIndex() >= 0 ? box->currentText() : QString();
}

// The entry the value says a list shows, by the list's name; empty for none or a hidden row.
inline QString entryShown(const Questionnaire &value, const QString &list)
{
    if (list == u"DeviceCombo"_s)
        return QString::fromStdString(modelListText(value.model()));
    const int c = list.mid(2, 1).toInt() - 1;
    if (c < 0 || c >= int(value.channels.size()))
        return {};
    const ChannelShown shown = channelShown(value, c);
    const QString role = list.mid(3);
    return role == u"SensorCombo"_s ? shown.sensorType
            : role == u"CharCombo"_s ? shown.characteristic
            : role == u"ConnCombo"_s ? shown.connection
            : role == u"NomRCombo"_s ? shown.nominalR
            : role == u"OutputCombo"_s ? shown.output
                                      : QString();
}

// Where two values differ, field by field; empty when they are equal.
inline QString valueChanges(const Questionnaire &from, const Questionnaire &to)
{
    QStringList changes;
    const auto compare = [&](const QString &what, const QString &was, const QString &is) {
        if (was != is)
            changes << u"%1 «%2» → «%3»"_s.arg(what, was, is);
    };
    compare(u"model"_s, QString::number(from.modelPosition), QString::number(to.modelPosition));
    compare(u"quantity"_s, from.quantity, to.quantity);
    for (const Requisite r : kRequisites)
        compare(u"requisite"_s, requisiteText(from, r), requisiteText(to, r));
    for (std::size_t c = 0; c < std::max(from.channels.size(), to.channels.size()); ++c)
        compare(u"Ch%1"_s.arg(c + 1), c < from.channels.size() ? describe(from.channels[c]) : QString(),
                c < to.channels.size() ? describe(to.channels[c]) : QString());
    return changes.join(u"; "_s);
}

// The widgets of channel c against the words the checker reports for it. The list being typed
// into shows its typed text; the range's colour is left out while bounds may still be typed.
inline void compareShown(const QuestionnaireWindow &form, const Questionnaire &value, int c, Differences &diff,
                         const QWidget *typing = nullptr, bool rangeColour = true)
{
    const QByteArray p = "Ch" + QByteArray::number(c + 1);
    const auto box = [&](const char *role) { return combo(form, (p + role).constData()); };
    const auto named = [&](const char *what) { return QString::fromLatin1(p) + u' ' + QLatin1StringView(what); };
    const auto entry = [&](const char *what, const char *role, const QString &claimed) {
        if (box(role) != typing)
            diff.compare(named(what), shownEntry(form, box(role)), claimed);
    };
    const ChannelShown shown = channelShown(value, c);
    entry("sensor type", "SensorCombo", shown.sensorType);
    entry("characteristic", "CharCombo", shown.characteristic);
    diff.compare(named("max caption"), label(form, (p + "MaxLabel").constData())->text(), shown.maxCaption);
    entry("connection", "ConnCombo", shown.connection);
    entry("nominal resistance", "NomRCombo", shown.nominalR);
    entry("output", "OutputCombo", shown.output);
    if (!rangeColour)
        return;
    const std::vector<SaveRefusal> refusals = saveRefusals(value);
    const bool refused = std::any_of(refusals.begin(), refusals.end(), [c](const SaveRefusal &r) { return r.channel == c; });
    const bool red = textColour(edit(form, (p + "MaxEdit").constData())) == kRed;
    diff.compare(named("range refused"), red ? u"red"_s : u"normal"_s, refused ? u"red"_s : u"normal"_s);
}

// Everything the window shows against what the checker says a new window shows after loading
// the file: the value itself, then each channel in the window's words.
inline QString disagreement(const QuestionnaireWindow &form, const FileReport &report)
{
    Differences diff;
    const Questionnaire shown = form.questionnaire();
    const Questionnaire &claimed = report.loaded.value;
    diff.compare(u"model"_s, combo(form, "DeviceCombo")->currentText(),
                 QString::fromStdString(modelListText(claimed.model())));
    for (const Requisite r : kRequisites)
        diff.compare(u"requisite"_s, requisiteText(shown, r), requisiteText(claimed, r));
    diff.compare(u"quantity"_s, shown.quantity, claimed.quantity);
    diff.compare(u"channels"_s, QString::number(shown.channels.size()), QString::number(claimed.channels.size()));
    for (std::size_t c = 0; c < std::min(shown.channels.size(), claimed.channels.size()); ++c) {
        diff.compare(u"Ch%1 value"_s.arg(c + 1), describe(shown.channels[c]), describe(claimed.channels[c]));
        diff.compare(u"Ch%1 input box"_s.arg(c + 1),
                     ::check(form, ("Ch" + QByteArray::number(int(c) + 1) + "InputCheck").constData())->isChecked()
                             ? u"on"_s
                             : u"off"_s,
                     claimed.channels[c].inputOn ? u"on"_s : u"off"_s);
        compareShown(form, claimed, int(c), diff);
    }
    return diff.text();
}

} // namespace qsjuv::testing
