#include "core/Texts.h"

using namespace Qt::StringLiterals;

namespace qsjuv::texts {

QString requisiteCaption(Requisite requisite)
{
    static constexpr const char16_t *kCaptions[] = {u"Название фирмы", u"Телефонный номер",
                                                    u"Адрес электронной почты", u"Номер и дата выставленного счета"};
    return QString::fromUtf16(kCaptions[int(requisite)]);
}

QString modelCaption()
{
    return u"Модель изделий"_s;
}

QString quantityCaption()
{
    return u"Количество изделий"_s;
}

QString channelTitle(int channel)
{
    return u"%1 канал"_s.arg(channel + 1);
}

QString channelCaption(ChannelField field)
{
    static constexpr const char16_t *kCaptions[] = {u"Тип датчика", u"НСХ", u"Схема подключения",
                                                    u"Номинальное сопротивление, Ом", u"Выход", u"Вход включен"};
    return QString::fromUtf16(kCaptions[int(field)]);
}

QString saveRefusal(const SaveRefusal &refusal)
{
    const QString missingField = u"В разделе реквизитов не заполнено обязательное поле \"%1\". "
                                 "Для сохранения данных в файле это поле необходимо заполнить."_s;
    switch (refusal.kind) {
    case SaveRefusal::MissingFirm:
        return missingField.arg(requisiteCaption(Requisite::Firm));
    case SaveRefusal::MissingMail:
        return missingField.arg(requisiteCaption(Requisite::Mail));
    case SaveRefusal::MailFormat:
        return u"В разделе реквизитов указан адрес электронной почты в некорректном формате. "
               "Для сохранения данных в файле необходимо указать актуальный адрес."_s;
    case SaveRefusal::RequisiteRefused:
        return u"В разделе реквизитов поле \"%1\" содержит символы, которые невозможно сохранить "
               "в файле. Для сохранения данных в файле эти символы необходимо удалить."_s.arg(
                requisiteCaption(refusal.requisite));
    case SaveRefusal::NoInput:
        return u"Опросный лист заполнен некорректно. Для сохранения данных в файле необходимо "
               "включить хотя бы один вход изделия."_s;
    case SaveRefusal::RangeNotNumber:
    case SaveRefusal::RangeTooNarrow:
        break;
    }
    return u"Некорректно задан диапазон измерения. Для сохранения данных в файле диапазон "
           "следует увеличить. Корректные значения диапазонов см. в подсказках к полям границ "
           "диапазона."_s;
}

RangeHints rangeHints(const RangeLimits &row, const QString &unit)
{
    const auto line = [&unit](const char *caption, float number) {
        return QString::asprintf("%s: %.0f ", caption, double(number)) + unit;
    };
    RangeHints hints;
    hints.leastWidth = line("Минимальная ширина диапазона", row.minSpan);
    hints.max = line("Максимальное значение", row.upperLimit) + u'\n' + hints.leastWidth;
    hints.min = line("Минимальное значение", row.lowerLimit) + u'\n' + hints.leastWidth;
    return hints;
}

QString fileUnreadable()
{
    return u"Указанный файл не удалось прочитать!"_s;
}

QString notQuestionnaire()
{
    return u"файл не является опросным листом: в нём нет ни модели, ни настроек каналов"_s;
}

QString fileNameNotUtf8()
{
    return fileUnreadable() + u"\nИмя файла записано не в кодировке UTF-8."_s;
}

QString fileSaved(bool inPlace)
{
    return inPlace ? u"Файл успешно сохранен, но перезаписан на месте, а не заменен целиком."_s
                   : u"Файл успешно сохранен."_s;
}

QString dataVersion(const QString &version)
{
    return u"Версия данных: %1"_s.arg(version);
}

} // namespace qsjuv::texts
