<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>HelpWindow</name>
    <message>
        <source>Как заполнить опросный лист</source>
        <translation>How to fill in the questionnaire</translation>
    </message>
    <message>
        <source>:/help/guide.ru.html</source>
        <translation>:/help/guide.en.html</translation>
    </message>
</context>
<context>
    <name>QS_JUVForm</name>
    <message>
        <source>Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720</source>
        <translation>Questionnaire for the verification of ZhUV-610 and ZhUV-720 transducers</translation>
    </message>
    <message>
        <source> Реквизиты </source>
        <translation> Requisites </translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Вход включен</source>
        <translation>Input on</translation>
    </message>
    <message>
        <source>Ch1MaxLabel</source>
        <translation>Ch1MaxLabel</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Ch1MinLabel</source>
        <translation>Ch1MinLabel</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>Ch2MaxLabel</source>
        <translation>Ch2MaxLabel</translation>
    </message>
    <message>
        <source>Ch2MinLabel</source>
        <translation>Ch2MinLabel</translation>
    </message>
    <message>
        <source>Прочитать данные из файла</source>
        <translation>Read data from a file</translation>
    </message>
    <message>
        <source>Записать данные в файл</source>
        <translation>Write data to a file</translation>
    </message>
</context>
</TS>
