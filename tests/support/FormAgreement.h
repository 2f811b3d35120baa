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

// The widgets of channel c against the words the checker reports for it.
inline void compareShown(const QuestionnaireWindow &form, const Questionnaire &value, int c, Differences &diff)
{
    const QByteArray p = "Ch" + QByteArray::number(c + 1);
    const auto box = [&](const char *role) { return combo(form, (p + role).constData()); };
    const auto named = [&](const char *what) { return QString::fromLatin1(p) + u' ' + QLatin1StringView(what); };
    const ChannelShown shown = channelShown(value, c);
    diff.compare(named("sensor type"), shownEntry(form, box("SensorCombo")), shown.sensorType);
    diff.compare(named("characteristic"), shownEntry(form, box("CharCombo")), shown.characteristic);
    diff.compare(named("max caption"), label(form, (p + "MaxLabel").constData())->text(), shown.maxCaption);
    diff.compare(named("connection"), shownEntry(form, box("ConnCombo")), shown.connection);
    diff.compare(named("nominal resistance"), shownEntry(form, box("NomRCombo")), shown.nominalR);
    diff.compare(named("output"), shownEntry(form, box("OutputCombo")), shown.output);
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
