// Writes a set of questionnaire files for timing qs_juv_check: mostly files as the form saves
// them, the rest damaged the ways received files are. Same seed, same files.
//   qs_juv_check_gen DIR COUNT [SEED]
#include "Questionnaires.h"
#include "core/Sensor.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <random>

using namespace qsjuv;
using namespace qsjuv::testing;
using namespace Qt::StringLiterals;

namespace {

constexpr int kFilesPerFolder = 500;

int between(std::mt19937 &rng, int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

Questionnaire randomQuestionnaire(std::mt19937 &rng, int n)
{
    const int position = between(rng, 0, kModelCount - 1);
    const DeviceModel &model = modelList()[std::size_t(position)];
    const bool series610 = isSeries610(position);
    std::vector<QuestionnaireChannel> channels;
    for (int c = 0; c < (showsChannel2(model) ? 2 : 1); ++c) {
        const auto sensors = sensorsOfType(sensorTypeOfIndex(between(rng, 0, offeredSensorTypeCount(position) - 1)));
        const SensorDescriptor *sensor = sensors[std::size_t(between(rng, 0, int(sensors.size()) - 1))];
        const RangeLimits *row = rangeRow(series610, sensor->id);
        const int lo = truncatedLimit(row->lowerLimit);
        const int up = truncatedLimit(row->upperLimit);
        const int span = int(row->minSpan);
        const int min = between(rng, lo, up - span);
        const int max = between(rng, min + span, up);
        const NominalRList list = nominalResistanceList(*row);
        const int nomR = list.entries.empty() ? -1 : between(rng, 0, int(list.entries.size()) - 1);
        const int conn = between(rng, 0, 1);
        const int output = showsOutputs(model) ? between(rng, 0, series610 ? 1 : 6) : -1;
        channels.push_back(channel(sensor->id, nominalRValue(*row, nomR), connectionValue(conn),
                                   outputValue(series610, output), QByteArray::number(max), QByteArray::number(min),
                                   !(c == 1 && model.inputs == 1)));
    }
    Questionnaire s = questionnaire(position, std::move(channels));
    s.firm = u"ООО «Метрология-%1»"_s.arg(n);
    s.phone = u"+7 495 123-45-67"_s;
    s.mail = u"lab%1@example.ru"_s.arg(n);
    if (n % 3 == 0)
        s.bill = u"Счет № %1 от 01.02.2024"_s.arg(n);
    s.quantity = QString::number(between(rng, 1, 999));
    return s;
}

// About one file in three is damaged, in one of several ways.
QByteArray benchFile(std::mt19937 &rng, int n)
{
    Questionnaire s = randomQuestionnaire(rng, n);
    const int kind = between(rng, 0, 20);
    switch (kind) {
    case 0: // a summed value edited by hand
        return withValue(writeQuestionnaire(s).bytes, "Channel 1", "Cold junction temp", "1");
    case 1:
        return withValue(writeQuestionnaire(s).bytes, "Reqs", "CheckCode", QByteArray());
    case 2:
        return withValue(writeQuestionnaire(s).bytes, "Device", "id", QByteArray());
    case 3: // saved by something that does not check the range
        s.channels[0].maxText = u"99999"_s;
        return writeQuestionnaire(s).bytes;
    case 4:
        s.mail = u"lab@example"_s;
        return writeQuestionnaire(s).bytes;
    case 5:
        s.quantity = u"0"_s;
        return writeQuestionnaire(s).bytes;
    case 6: { // cut off in transfer
        const QByteArray bytes = writeQuestionnaire(s).bytes;
        return bytes.left(between(rng, 0, int(bytes.size())));
    }
    default:
        return writeQuestionnaire(s).bytes;
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: qs_juv_check_gen DIR COUNT [SEED]\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    const int count = QByteArray(argv[2]).toInt();
    std::mt19937 rng(argc > 3 ? unsigned(QByteArray(argv[3]).toUInt()) : 610720u);
    for (int n = 0; n < count; ++n) {
        const QString folder = root + u"/%1"_s.arg(n / kFilesPerFolder, 3, 10, QLatin1Char('0'));
        if (n % kFilesPerFolder == 0 && !QDir().mkpath(folder)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
            return 1;
        }
        QFile file(folder + u"/q%1.cfg"_s.arg(n, 5, 10, QLatin1Char('0')));
        const QByteArray bytes = benchFile(rng, n);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
