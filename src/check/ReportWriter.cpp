#include "check/ReportWriter.h"

#include "core/Cp1251.h"
#include "core/Texts.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace qsjuv::check {

namespace {

constexpr int kChannelColumns = 2;
constexpr const char *kChannelFields[] = {"input", "sensor_id", "sensor", "sensor_type", "max", "min", "unit",
                                          "nominal_r", "connection", "output"};

QString modelName(const FileReport &report)
{
    return report.model() ? QString::fromStdString(modelListText(*report.model())) : QString();
}

// The channels a window shows once it has loaded the file.
int shownChannels(const FileReport &report)
{
    return report.loaded.questionnaire ? int(report.loaded.value.channels.size()) : 0;
}

const QuestionnaireChannel &channelOf(const FileReport &report, int c)
{
    return report.loaded.value.channels[std::size_t(c)];
}

QJsonValue optionalInt(const std::optional<int> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue optionalText(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue optionalOhms(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text.toInt());
}

QString optionalNumber(const std::optional<int> &value)
{
    return value ? QString::number(*value) : QString();
}

// --- Text --------------------------------------------------------------------------------

QString orDash(const QString &text)
{
    return text.isEmpty() ? u"—"_s : printable(text);
}

QString verdictExplanation(const FileReport &report)
{
    switch (report.verdict) {
    case Verdict::Unreadable:
        return QCoreApplication::translate("ReportWriter", "файл не удалось прочитать: %1").arg(report.reason);
    case Verdict::InterruptedSave:
        return QCoreApplication::translate("ReportWriter", "сохранение файла было прервано, в нём может быть смесь старых и новых данных (%1)").arg(report.reason);
    case Verdict::NotQuestionnaire:
        return QCoreApplication::translate("ReportWriter", "не опросный лист: в файле нет ни модели (Device/id), ни настроек каналов; форма его не откроет");
    case Verdict::RequisiteUnreadable:
        return QCoreApplication::translate("ReportWriter", "реквизиты записаны не так, как форма их читает: форма покажет предупреждение");
    case Verdict::NoModelId:
        return QCoreApplication::translate("ReportWriter", "в файле не указана модель (Device/id): форма покажет предупреждение и применит каналы к "
               "модели, которую показывала");
    case Verdict::CheckCodeMismatch:
        return QCoreApplication::translate("ReportWriter", "контрольный код не совпадает (в файле %1, по данным %2): форма покажет предупреждение")
                .arg(report.storedCode ? QString::number(*report.storedCode) : u"—"_s)
                .arg(report.computedCode);
    case Verdict::Incomplete:
        return QCoreApplication::translate("ReportWriter", "контрольного кода нет, а ключей, которые есть в каждом сохранённом файле, недостаёт: "
               "форма покажет предупреждение");
    case Verdict::NoCheckCode:
        return QCoreApplication::translate("ReportWriter", "контрольного кода нет: форма загрузит файл без предупреждения, но данные ничем не защищены");
    case Verdict::Ok:
        break;
    }
    return QCoreApplication::translate("ReportWriter", "контрольный код верен");
}

class TextWriter : public ReportWriter
{
public:
    explicit TextWriter(QTextStream &out) : m_out(out) { }

    void write(const FileReport &r) override
    {
        m_out << QCoreApplication::translate("ReportWriter", "Файл: ") << printable(r.path) << '\n';
        m_out << QCoreApplication::translate("ReportWriter", "Результат: ") << verdictName(r.verdict) << u" — "_s << verdictExplanation(r) << '\n';
        if (r.verdict != Verdict::Unreadable && r.verdict != Verdict::NotQuestionnaire)
            writeContents(r);
        if (!r.problems.empty()) {
            m_out << QCoreApplication::translate("ReportWriter", "Замечания:\n");
            for (const Problem &p : r.problems) {
                m_out << u"  ["_s << p.code << u"] "_s;
                if (p.channel)
                    m_out << QCoreApplication::translate("ReportWriter", "%1 канал: ").arg(p.channel);
                m_out << printable(p.text) << '\n';
            }
        }
        m_out << '\n';
    }

    // A quiet run over good files stays silent.
    void end(const RunTotals &s) override
    {
        if (s.quiet && s.reported == 0)
            return;
        m_out << QCoreApplication::translate("ReportWriter", "Итого файлов: %1, без замечаний: %2, с замечаниями: %3, не прочитано: %4\n").arg(s.files)
                         .arg(s.clean)
                         .arg(s.files - s.clean - s.unreadable)
                         .arg(s.unreadable);
    }

private:
    void writeContents(const FileReport &r)
    {
        m_out << texts::modelCaption() << u": "_s;
        if (r.model())
            m_out << modelName(r) << u" (id "_s << *r.modelId << ')';
        else if (r.modelId)
            m_out << QCoreApplication::translate("ReportWriter", "нет в каталоге (id ") << *r.modelId << ')';
        else
            m_out << u"—"_s;
        m_out << '\n';
        m_out << texts::quantityCaption() << u": "_s << r.quantity() << '\n';
        m_out << texts::requisiteCaption(Requisite::Firm) << u": "_s << orDash(r.firm) << '\n';
        m_out << texts::requisiteCaption(Requisite::Phone) << u": "_s << orDash(r.phone) << '\n';
        m_out << texts::requisiteCaption(Requisite::Mail) << u": "_s << orDash(r.mail) << '\n';
        m_out << texts::requisiteCaption(Requisite::Bill) << u": "_s << orDash(r.bill) << '\n';
        m_out << texts::dataVersion(orDash(r.version)) << '\n';
        for (int c = 0; c < shownChannels(r); ++c)
            writeChannel(r, c);
    }

    void writeChannel(const FileReport &r, int c)
    {
        using texts::ChannelField;
        const QuestionnaireChannel &ch = channelOf(r, c);
        const ChannelShown shown = channelShown(r.loaded.value, c);
        const auto line = [this](const QString &caption, const QString &value) {
            m_out << u"  "_s << caption << u": "_s << value << '\n';
        };
        m_out << texts::channelTitle(c) << '\n';
        line(texts::channelCaption(ChannelField::Input), ch.inputOn ? QCoreApplication::translate("ReportWriter", "да") : QCoreApplication::translate("ReportWriter", "нет"));
        line(texts::channelCaption(ChannelField::SensorType), orDash(shown.sensorType));
        line(texts::channelCaption(ChannelField::Characteristic),
             shown.characteristic.isEmpty() ? u"—"_s : u"%1 (id %2)"_s.arg(shown.characteristic).arg(ch.sensorId));
        line(shown.maxCaption.isEmpty() ? QCoreApplication::translate("ReportWriter", "Максимум") : shown.maxCaption, orDash(optionalNumber(ch.max())));
        line(shown.minCaption.isEmpty() ? QCoreApplication::translate("ReportWriter", "Минимум") : shown.minCaption, orDash(optionalNumber(ch.min())));
        if (!shown.nominalR.isEmpty())
            line(texts::channelCaption(ChannelField::NominalR), shown.nominalR);
        if (!shown.connection.isEmpty())
            line(texts::channelCaption(ChannelField::Connection), shown.connection);
        if (!shown.output.isEmpty())
            line(texts::channelCaption(ChannelField::Output), shown.output);
    }

    QTextStream &m_out;
};

// --- JSON --------------------------------------------------------------------------------

class JsonWriter : public ReportWriter
{
public:
    explicit JsonWriter(QTextStream &out) : m_out(out) { }

    void begin() override { m_out << '['; }

    void write(const FileReport &report) override
    {
        QByteArray object = QJsonDocument(reportToJson(report)).toJson(QJsonDocument::Indented);
        object.chop(1); // its final line end; the separator follows
        m_out << (m_first ? "\n" : ",\n") << QString::fromUtf8(object);
        m_first = false;
    }

    void end(const RunTotals &) override { m_out << (m_first ? "]\n" : "\n]\n"); }

private:
    QTextStream &m_out;
    bool m_first = true;
};

// --- CSV ---------------------------------------------------------------------------------

// RFC 4180 quoting, for every separator a spreadsheet's import may be set to: a comma, a
// semicolon or a tab in a field quotes it. A spreadsheet runs a cell that starts with = + - @ as
// a formula, and these texts come from customers: such text cells start with a word joiner
// (U+2060), which shows as nothing where an apostrophe would show. A text that starts with one
// already gets another, so two texts never share a cell. Control characters show as U+FFFD, as
// in the text report: an escape sequence must not reach a terminal that shows the file.
QString csvField(const QString &value, bool text)
{
    constexpr QChar kGuard(0x2060);
    QString field = text ? printable(value) : value;
    if (text && !field.isEmpty()
        && (field.front() == u'=' || field.front() == u'+' || field.front() == u'-' || field.front() == u'@'
            || field.front() == kGuard))
        field.prepend(kGuard);
    static const QString needsQuotes = u",;\t\"\n\r"_s;
    const bool quote = std::any_of(field.begin(), field.end(), [](QChar c) { return needsQuotes.contains(c); })
            || (!field.isEmpty() && (field.front() == u' ' || field.back() == u' '));
    if (!quote)
        return field;
    field.replace(u"\""_s, u"\"\""_s);
    return u'"' + field + u'"';
}

// Which columns hold free text (guarded against formulas) rather than numbers and fixed words.
bool isTextColumn(const QString &name)
{
    static const QStringList textColumns = {u"path"_s, u"reason"_s, u"firm"_s, u"phone"_s,
                                            u"mail"_s, u"bill"_s, u"version"_s, u"problems"_s};
    return textColumns.contains(name);
}

class CsvWriter : public ReportWriter
{
public:
    explicit CsvWriter(QTextStream &out) : m_out(out) { }

    // The byte-order mark lets spreadsheet programs recognise UTF-8 on their own.
    void begin() override
    {
        m_header = csvHeader();
        m_out << QChar(0xFEFF);
        writeRow(m_header, false);
    }

    void write(const FileReport &report) override { writeRow(csvRow(report), true); }

private:
    void writeRow(const QStringList &fields, bool guard)
    {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i)
                m_out << ',';
            m_out << csvField(fields[i], guard && isTextColumn(m_header.value(i)));
        }
        m_out << "\r\n";
    }

    QTextStream &m_out;
    QStringList m_header;
};

} // namespace

QString printable(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            c = QChar::ReplacementCharacter;
    }
    return out;
}

QJsonObject reportToJson(const FileReport &r)
{
    QJsonObject o;
    o.insert(u"path"_s, r.path);
    o.insert(u"verdict"_s, QString::fromLatin1(verdictName(r.verdict)));
    const bool read = r.verdict != Verdict::Unreadable && r.verdict != Verdict::NotQuestionnaire;
    o.insert(u"reason"_s, r.reason.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(r.reason));
    o.insert(u"storedCode"_s, r.storedCode ? QJsonValue(*r.storedCode) : QJsonValue(QJsonValue::Null));
    o.insert(u"computedCode"_s, read ? QJsonValue(r.computedCode) : QJsonValue(QJsonValue::Null));

    QJsonValue model(QJsonValue::Null);
    if (r.modelId)
        model = QJsonObject{{u"id"_s, *r.modelId},
                            {u"name"_s, r.model() ? QJsonValue(modelName(r)) : QJsonValue(QJsonValue::Null)}};
    o.insert(u"model"_s, model);
    o.insert(u"quantity"_s, read ? QJsonValue(r.quantity()) : QJsonValue(QJsonValue::Null));
    QJsonValue requisites(QJsonValue::Null);
    if (read)
        requisites = QJsonObject{{u"firm"_s, r.firm}, {u"phone"_s, r.phone}, {u"mail"_s, r.mail},
                                 {u"bill"_s, r.bill}, {u"version"_s, r.version}};
    o.insert(u"requisites"_s, requisites);

    QJsonArray channels;
    for (int c = 0; c < shownChannels(r); ++c) {
        const QuestionnaireChannel &ch = channelOf(r, c);
        const ChannelShown shown = channelShown(r.loaded.value, c);
        QJsonValue sensor(QJsonValue::Null);
        if (const SensorDescriptor *descriptor = ch.sensor())
            sensor = QJsonObject{{u"id"_s, ch.sensorId},
                                 {u"name"_s, shown.characteristic},
                                 {u"type"_s, descriptor->type},
                                 {u"typeName"_s, shown.sensorType}};
        channels.append(QJsonObject{
                {u"channel"_s, c + 1},
                {u"input"_s, ch.inputOn},
                {u"sensor"_s, sensor},
                {u"range"_s, QJsonObject{{u"max"_s, optionalInt(ch.max())},
                                         {u"min"_s, optionalInt(ch.min())},
                                         {u"unit"_s, optionalText(shown.unit)}}},
                {u"nominalR"_s, optionalOhms(shown.nominalR)},
                {u"connection"_s, optionalText(shown.connection)},
                {u"output"_s, optionalText(shown.output)},
        });
    }
    o.insert(u"channels"_s, channels);

    QJsonArray problems;
    for (const Problem &p : r.problems)
        problems.append(QJsonObject{{u"code"_s, QString::fromLatin1(p.code)},
                                    {u"channel"_s, p.channel ? QJsonValue(p.channel) : QJsonValue(QJsonValue::Null)},
                                    {u"text"_s, p.text}});
    o.insert(u"problems"_s, problems);
    return o;
}

QStringList csvHeader()
{
    QStringList header = {u"path"_s,  u"verdict"_s, u"reason"_s, u"stored_code"_s, u"computed_code"_s,
                          u"model_id"_s, u"model"_s, u"quantity"_s, u"firm"_s, u"phone"_s,
                          u"mail"_s, u"bill"_s, u"version"_s};
    for (int c = 1; c <= kChannelColumns; ++c) {
        for (const char *column : kChannelFields)
            header << u"ch%1_%2"_s.arg(c).arg(QLatin1StringView(column));
    }
    header << u"problem_codes"_s << u"problems"_s;
    return header;
}

QStringList csvRow(const FileReport &r)
{
    const bool read = r.verdict != Verdict::Unreadable && r.verdict != Verdict::NotQuestionnaire;
    QStringList row = {r.path,
                       QString::fromLatin1(verdictName(r.verdict)),
                       r.reason,
                       r.storedCode ? QString::number(*r.storedCode) : QString(),
                       read ? QString::number(r.computedCode) : QString(),
                       optionalNumber(r.modelId),
                       modelName(r),
                       read ? QString::number(r.quantity()) : QString(),
                       r.firm,
                       r.phone,
                       r.mail,
                       r.bill,
                       r.version};
    for (int c = 0; c < kChannelColumns; ++c) {
        if (c >= shownChannels(r)) {
            for (std::size_t i = 0; i < std::size(kChannelFields); ++i)
                row << QString();
            continue;
        }
        const QuestionnaireChannel &ch = channelOf(r, c);
        const ChannelShown shown = channelShown(r.loaded.value, c);
        row << (ch.inputOn ? u"1"_s : u"0"_s) << (ch.sensor() ? QString::number(ch.sensorId) : QString())
            << shown.characteristic << shown.sensorType << optionalNumber(ch.max()) << optionalNumber(ch.min())
            << shown.unit << shown.nominalR << shown.connection << shown.output;
    }
    QStringList codes, texts;
    for (const Problem &p : r.problems) {
        codes << QString::fromLatin1(p.code);
        texts << (p.channel ? QCoreApplication::translate("ReportWriter", "%1 канал: ").arg(p.channel) : QString()) + p.text;
    }
    row << codes.join(u' ') << texts.join(u"; "_s);
    return row;
}

std::unique_ptr<ReportWriter> makeReportWriter(Format format, QTextStream &out)
{
    switch (format) {
    case Format::Json:
        return std::make_unique<JsonWriter>(out);
    case Format::Csv:
        return std::make_unique<CsvWriter>(out);
    case Format::Text:
        break;
    }
    return std::make_unique<TextWriter>(out);
}

} // namespace qsjuv::check

namespace qsjuv::check {

QString csvCell(const QString &value, bool text)
{
    return csvField(value, text);
}

} // namespace qsjuv::check
