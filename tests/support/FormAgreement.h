#pragma once

// What the checker says a form shows, compared with what the form shows: the differential test and
// the monkey's saved files share it.
#include "FormDriver.h"
#include "check/FileCheck.h"
#include "core/Questionnaire.h"
#include "core/QuestionnaireRules.h"
#include "core/RangeRules.h"

namespace qsjuv::testing {

using namespace Qt::StringLiterals;
using qsjuv::LoadedChannel;
using qsjuv::Problem;
using qsjuv::check::FileReport;

inline QString utf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// The entry a combo shows, empty when it is hidden or shows none.
inline QString shown(const QuestionnaireWindow &form, const QComboBox *box)
{
    return box->isVisibleTo(&form) && box->currentIndex() >= 0 ? box->currentText() : QString();
}

inline QString number(const std::optional<int> &value)
{
    return value ? QString::number(*value) : u"(no number)"_s;
}

inline bool hasProblem(const FileReport &report, int channel, std::initializer_list<const char *> codes)
{
    return std::any_of(report.problems.begin(), report.problems.end(), [&](const Problem &p) {
        return p.channel == channel
                && std::any_of(codes.begin(), codes.end(), [&](const char *code) { return qstrcmp(code, p.code) == 0; });
    });
}

inline QString describe(const QuestionnaireChannel &ch)
{
    return u"on %1, sensor %2, %3..%4, R %5, connection %6, output %7"_s.arg(
            QString::number(ch.inputOn), QString::number(ch.sensorId), ch.minText, ch.maxText,
            QString::number(ch.nomRPosition), QString::number(ch.connPosition), QString::number(ch.outputPosition));
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

// True when the checker claimed every value of the channel.
inline bool compareChannel(const QuestionnaireWindow &form, const FileReport &report, const LoadedChannel &ch, Differences &diff)
{
    const QByteArray p = "Ch" + QByteArray::number(ch.number);
    const auto box = [&](const char *role) { return combo(form, (p + role).constData()); };
    const auto named = [&](const char *what) { return QString::fromLatin1(p) + u' ' + QLatin1StringView(what); };

    // Without a known model the form keeps the one it showed, and its locked inputs: the checker
    // claims nothing more.
    if (!report.model)
        return false;
    diff.compare(named("input"), ::check(form, (p + "InputCheck").constData())->isChecked() ? u"on"_s : u"off"_s,
                 ch.value.inputOn ? u"on"_s : u"off"_s);
    const int position = combo(form, "DeviceCombo")->currentIndex();
    const bool offered = ch.sensor && offersSensorType(position, ch.sensor->type);
    if (offered) {
        diff.compare(named("sensor type"), box("SensorCombo")->currentText(),
                     utf8(sensorTypeEntryText(indexOfSensorType(ch.sensor->type))));
        diff.compare(named("characteristic"), box("CharCombo")->currentText(),
                     QString::fromStdString(displayName(ch.sensor->name)));
        diff.compare(named("nominal resistance"), shown(form, box("NomRCombo")),
                     ch.nominalROhms ? QString::number(*ch.nominalROhms) : QString());
        diff.compare(named("connection"), shown(form, box("ConnCombo")), utf8(ch.connection));
    }
    diff.compare(named("max"), number(strictToInt(edit(form, (p + "MaxEdit").constData())->text())), number(ch.max));
    diff.compare(named("min"), number(strictToInt(edit(form, (p + "MinEdit").constData())->text())), number(ch.min));
    diff.compare(named("max caption"), label(form, (p + "MaxLabel").constData())->text(), utf8(maxCaption(ch.unitType)));
    diff.compare(named("output"), shown(form, box("OutputCombo")), utf8(ch.output));
    // A named sensor the model does not offer is replaced before a save: the checker leaves its
    // range alone.
    if (ch.rangeSaved) {
        // What the core says the form holds, the form holds.
        const QuestionnaireChannel value = form.questionnaire().channels.at(std::size_t(ch.number - 1));
        diff.compare(named("value"), describe(value), describe(ch.value));
        const bool red = textColour(edit(form, (p + "MaxEdit").constData())) == kRed;
        diff.compare(named("range refused"), red ? u"red"_s : u"normal"_s,
                     hasProblem(report, ch.number, {"range-too-narrow", "range-not-number"}) ? u"red"_s : u"normal"_s);
    }
    return offered;
}


// The requisites and the quantity, which a load takes only without a warning.
inline void compareRequisites(const QuestionnaireWindow &form, const FileReport &report, Differences &diff)
{
    diff.compare(u"firm"_s, edit(form, "FirmNameEdit")->text(), report.firm);
    diff.compare(u"phone"_s, edit(form, "PhoneEdit")->text(), report.phone);
    diff.compare(u"mail"_s, edit(form, "MailEdit")->text(), report.mail);
    diff.compare(u"bill"_s, edit(form, "BillEdit")->text(), report.bill);
    diff.compare(u"quantity"_s, number(strictToInt(edit(form, "QntyEdit")->text())), number(report.quantity));
}

} // namespace qsjuv::testing
