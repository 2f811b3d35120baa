#include "core/Texts.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace qsjuv::texts {

QString requisiteCaption(Requisite requisite)
{
    static constexpr const char *kCaptions[] = {
        QT_TRANSLATE_NOOP("Texts", "Название фирмы"), QT_TRANSLATE_NOOP("Texts", "Телефонный номер"),
        QT_TRANSLATE_NOOP("Texts", "Адрес электронной почты"), QT_TRANSLATE_NOOP("Texts", "Номер и дата выставленного счета")};
    return QCoreApplication::translate("Texts", kCaptions[int(requisite)]);
}

QString modelCaption()
{
    return QCoreApplication::translate("Texts", "Модель изделий");
}

QString quantityCaption()
{
    return QCoreApplication::translate("Texts", "Количество изделий");
}

QString channelTitle(int channel)
{
    return QCoreApplication::translate("Texts", "%1 канал").arg(channel + 1);
}

QString channelCaption(ChannelField field)
{
    static constexpr const char *kCaptions[] = {
        QT_TRANSLATE_NOOP("Texts", "Тип датчика"), QT_TRANSLATE_NOOP("Texts", "НСХ"),
        QT_TRANSLATE_NOOP("Texts", "Схема подключения"), QT_TRANSLATE_NOOP("Texts", "Номинальное сопротивление, Ом"),
        QT_TRANSLATE_NOOP("Texts", "Выход"), QT_TRANSLATE_NOOP("Texts", "Вход включен")};
    return QCoreApplication::translate("Texts", kCaptions[int(field)]);
}

QString saveRefusal(const SaveRefusal &refusal)
{
    const QString missingField = QCoreApplication::translate("Texts", "В разделе реквизитов не заполнено обязательное поле \"%1\". "
                                 "Для сохранения данных в файле это поле необходимо заполнить.");
    switch (refusal.kind) {
    case SaveRefusal::MissingFirm:
        return missingField.arg(requisiteCaption(Requisite::Firm));
    case SaveRefusal::MissingMail:
        return missingField.arg(requisiteCaption(Requisite::Mail));
    case SaveRefusal::MailFormat:
        return QCoreApplication::translate("Texts", "В разделе реквизитов указан адрес электронной почты в некорректном формате. "
               "Для сохранения данных в файле необходимо указать актуальный адрес.");
    case SaveRefusal::RequisiteRefused:
        return QCoreApplication::translate("Texts", "В разделе реквизитов поле \"%1\" содержит символы, которые невозможно сохранить "
               "в файле. Для сохранения данных в файле эти символы необходимо удалить.").arg(
                requisiteCaption(refusal.requisite));
    case SaveRefusal::NoInput:
        return QCoreApplication::translate("Texts", "Опросный лист заполнен некорректно. Для сохранения данных в файле необходимо "
               "включить хотя бы один вход изделия.");
    case SaveRefusal::RangeNotNumber:
    case SaveRefusal::RangeTooNarrow:
        break;
    }
    return QCoreApplication::translate("Texts", "Некорректно задан диапазон измерения. Для сохранения данных в файле диапазон "
           "следует увеличить. Корректные значения диапазонов см. в подсказках к полям границ "
           "диапазона.");
}

RangeHints rangeHints(const RangeLimits &row, const QString &unit)
{
    const auto line = [&unit](const char *caption, float number) {
        return QCoreApplication::translate("Texts", caption) + QString::asprintf(": %.0f ", double(number)) + unit;
    };
    RangeHints hints;
    hints.leastWidth = line(QT_TRANSLATE_NOOP("Texts", "Минимальная ширина диапазона"), row.minSpan);
    hints.max = line(QT_TRANSLATE_NOOP("Texts", "Максимальное значение"), row.upperLimit) + u'\n' + hints.leastWidth;
    hints.min = line(QT_TRANSLATE_NOOP("Texts", "Минимальное значение"), row.lowerLimit) + u'\n' + hints.leastWidth;
    return hints;
}

QString fileUnreadable()
{
    return QCoreApplication::translate("Texts", "Указанный файл не удалось прочитать!");
}

QString notQuestionnaire()
{
    return QCoreApplication::translate("Texts", "файл не является опросным листом: в нём нет ни модели, ни настроек каналов");
}

QString fileNameNotUtf8()
{
    return fileUnreadable() + QCoreApplication::translate("Texts", "\nИмя файла записано не в кодировке UTF-8.");
}

QString fileSaved(bool inPlace)
{
    return inPlace ? QCoreApplication::translate("Texts", "Файл успешно сохранен, но перезаписан на месте, а не заменен целиком.")
                   : QCoreApplication::translate("Texts", "Файл успешно сохранен.");
}

QString dataVersion(const QString &version)
{
    return QCoreApplication::translate("Texts", "Версия данных: %1").arg(version);
}

} // namespace qsjuv::texts
