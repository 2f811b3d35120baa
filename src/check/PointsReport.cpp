#include "check/PointsReport.h"

#include "core/Texts.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace qsjuv::check {
namespace {

// What a row says of its channel, whichever point it holds.
QString nominalRText(const ChannelPoints &channel)
{
    return channel.nominalR ? QString::number(*channel.nominalR) : QString();
}

class TextPoints : public PointsWriter
{
public:
    explicit TextPoints(QTextStream &out) : m_out(out) { }

    void write(const QString &path, const std::vector<ChannelPoints> &channels) override
    {
        m_out << printable(path) << '\n';
        for (const ChannelPoints &channel : channels) {
            m_out << "  " << texts::channelTitle(channel.channel) << ": " << channel.characteristic;
            if (channel.nominalR)
                m_out << QCoreApplication::translate("PointsReport", ", R0 %1 Ом").arg(nominalRText(channel));
            if (!channel.outputMode.isEmpty())
                m_out << QCoreApplication::translate("PointsReport", ", выход %1").arg(channel.outputMode);
            if (channel.points.empty()) {
                m_out << QCoreApplication::translate("PointsReport", " — точек нет: ") << missingPointsText(channel.missing) << '\n';
                continue;
            }
            m_out << '\n'
                  << u"    %1 %2 %3 %4\n"_s.arg(u"%"_s, 4)
                             .arg(QCoreApplication::translate("PointsReport", "Значение, ") + channel.valueUnit, -18)
                             .arg(QCoreApplication::translate("PointsReport", "Сигнал, ") + channel.signalUnit, -14)
                             .arg(QCoreApplication::translate("PointsReport", "Выход, ") + channel.outputUnit);
            for (const VerificationPoint &point : channel.points)
                m_out << u"    %1 %2 %3 %4\n"_s.arg(point.percent, 4)
                                 .arg(pointValueText(point.value), -18)
                                 .arg(signalText(point.signal), -14)
                                 .arg(outputText(channel, point));
        }
    }

private:
    QTextStream &m_out;
};

class JsonPoints : public PointsWriter
{
public:
    explicit JsonPoints(QTextStream &out) : m_out(out) { }

    void begin() override { m_out << '['; }

    void write(const QString &path, const std::vector<ChannelPoints> &channels) override
    {
        for (const QJsonValue &point : pointsToJson(path, channels)) {
            QByteArray object = QJsonDocument(point.toObject()).toJson(QJsonDocument::Indented);
            object.chop(1);
            m_out << (m_first ? "\n" : ",\n") << QString::fromUtf8(object);
            m_first = false;
        }
    }

    void end() override { m_out << (m_first ? "]\n" : "\n]\n"); }

private:
    QTextStream &m_out;
    bool m_first = true;
};

class CsvPoints : public PointsWriter
{
public:
    explicit CsvPoints(QTextStream &out) : m_out(out) { }

    void begin() override
    {
        m_out << QChar(0xFEFF);
        writeRow(pointsCsvHeader(), false);
    }

    void write(const QString &path, const std::vector<ChannelPoints> &channels) override
    {
        for (const QStringList &row : pointsCsvRows(path, channels))
            writeRow(row, true);
    }

private:
    // Only the path is free text; the rest are the catalogue's words and numbers.
    void writeRow(const QStringList &fields, bool guard)
    {
        for (qsizetype i = 0; i < fields.size(); ++i)
            m_out << (i ? "," : "") << csvCell(fields[i], guard && i == 0);
        m_out << "\r\n";
    }

    QTextStream &m_out;
};

} // namespace

QJsonArray pointsToJson(const QString &path, const std::vector<ChannelPoints> &channels)
{
    QJsonArray result;
    for (const ChannelPoints &channel : channels) {
        for (const VerificationPoint &point : channel.points) {
            result.append(QJsonObject{
                    {u"file"_s, path},
                    {u"channel"_s, channel.channel + 1},
                    {u"characteristic"_s, channel.characteristic},
                    {u"nominalR"_s, channel.nominalR ? QJsonValue(*channel.nominalR) : QJsonValue(QJsonValue::Null)},
                    {u"outputMode"_s, channel.outputMode.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(channel.outputMode)},
                    {u"percent"_s, point.percent},
                    {u"value"_s, pointValueText(point.value).toDouble()},
                    {u"valueUnit"_s, channel.valueUnit},
                    {u"signal"_s, signalText(point.signal).toDouble()},
                    {u"signalUnit"_s, channel.signalUnit},
                    {u"output"_s, outputText(channel, point).toDouble()},
                    {u"outputUnit"_s, channel.outputUnit}});
        }
    }
    return result;
}

QStringList pointsCsvHeader()
{
    return {u"file"_s,    u"channel"_s, u"characteristic"_s, u"nominal_r"_s, u"output_mode"_s,
            u"percent"_s, u"value"_s,   u"value_unit"_s,     u"signal"_s,    u"signal_unit"_s,
            u"output"_s,  u"output_unit"_s};
}

std::vector<QStringList> pointsCsvRows(const QString &path, const std::vector<ChannelPoints> &channels)
{
    std::vector<QStringList> rows;
    for (const ChannelPoints &channel : channels) {
        for (const VerificationPoint &point : channel.points)
            rows.push_back({path, QString::number(channel.channel + 1), channel.characteristic, nominalRText(channel),
                            channel.outputMode, QString::number(point.percent), pointValueText(point.value),
                            channel.valueUnit, signalText(point.signal), channel.signalUnit,
                            outputText(channel, point), channel.outputUnit});
    }
    return rows;
}

std::unique_ptr<PointsWriter> makePointsWriter(Format format, QTextStream &out)
{
    switch (format) {
    case Format::Json:
        return std::make_unique<JsonPoints>(out);
    case Format::Csv:
        return std::make_unique<CsvPoints>(out);
    case Format::Text:
        break;
    }
    return std::make_unique<TextPoints>(out);
}

} // namespace qsjuv::check
