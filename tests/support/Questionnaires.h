#pragma once

// Questionnaire files for tests and benchmarks: built as the form saves them, and edited as a
// person or a broken program would edit them.
#include "core/Cp1251.h"
#include "core/DeviceModel.h"
#include "core/ProfileFile.h"
#include "core/QuestionnaireFormat.h"
#include "core/RangeLimits.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <vector>

namespace qsjuv::testing {

// A whole file; one that cannot be read gives a text that no file of a test holds.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable: " + file.errorString().toUtf8() + '>';
}

#ifdef QS_JUV_REFERENCE_DIR
// A file of the reference set the profile format was checked against; out1.cfg is the worked
// example as the save writes it.
inline QString referenceFile(const char *name)
{
    return QStringLiteral(QS_JUV_REFERENCE_DIR "/") + QLatin1StringView(name);
}

inline QByteArray referenceBytes()
{
    return readAll(referenceFile("out1.cfg"));
}
#endif

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// One channel as the window holds it: the list entries as the file writes them (nullopt for
// none) and the bound texts.
inline QuestionnaireChannel channel(int sensorId, std::optional<int> nominalR, std::optional<int> connection,
                                    std::optional<int> output, const QByteArray &max, const QByteArray &min,
                                    bool on = true)
{
    QuestionnaireChannel ch;
    ch.inputOn = on;
    ch.sensorId = std::uint8_t(sensorId);
    ch.nominalR = nominalR;
    ch.connection = connection;
    ch.output = output;
    ch.maxText = QString::fromLatin1(max);
    ch.minText = QString::fromLatin1(min);
    return ch;
}

// The model at position with these channels and a firm's requisites that pass the save's checks.
inline Questionnaire questionnaire(int position, std::vector<QuestionnaireChannel> channels)
{
    Questionnaire s;
    s.modelPosition = position;
    s.channels = std::move(channels);
    s.firm = QStringLiteral("ACME");
    s.mail = QStringLiteral("lab@example.ru");
    s.quantity = QStringLiteral("1");
    return s;
}

// As the form saves a model right after choosing it, with these sensors: every channel it shows.
inline Questionnaire defaultQuestionnaire(int position, std::vector<int> sensorIds = {1, 1})
{
    std::vector<QuestionnaireChannel> channels;
    for (int c = 0; c < (showsChannel2(modelList()[std::size_t(position)]) ? 2 : 1); ++c)
        channels.push_back(qsjuv::defaultChannel(position, c, std::uint8_t(sensorIds[std::size_t(c)])));
    return questionnaire(position, std::move(channels));
}

// The file with the first value of key in section replaced, or its line dropped when value is
// null. Every other byte stays.
inline QByteArray withValue(const QByteArray &file, const QByteArray &section, const QByteArray &key,
                            const QByteArray &value)
{
    QList<QByteArray> lines = file.split('\n');
    QByteArray current;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('[')) {
            current = line.mid(1, line.indexOf(']') - 1);
        } else if (current == section && line.startsWith(key + '=')) {
            if (value.isNull())
                lines.removeAt(i);
            else
                lines[i] = key + '=' + value + (lines[i].endsWith('\r') ? "\r" : "");
            return lines.join('\n');
        }
    }
    return file;
}

// The check code made to match again, as if the file had been saved that way.
inline QByteArray resealed(const QByteArray &file)
{
    return withValue(file, "Reqs", "CheckCode", QByteArray::number(readQuestionnaire(ProfileReader(file)).sum));
}

} // namespace qsjuv::testing
