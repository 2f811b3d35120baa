<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>Application</name>
    <message>
        <source>Опросный лист ЖУВ</source>
        <translation>ZhUV questionnaire</translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>%1. Файл записан не полностью; его прежнее содержимое сохранено в файле %2</source>
        <translation>%1. The file was not written completely; its former content is kept in the file %2</translation>
    </message>
    <message>
        <source>Предыдущее сохранение файла было прервано: в нём может быть смесь старых и новых данных. Прежнее содержимое файла сохранено в файле %1.</source>
        <translation>The previous save of the file was interrupted: it may hold a mix of old and new data. The former content of the file is kept in the file %1.</translation>
    </message>
</context>
<context>
    <name>Catalogue</name>
    <message>
        <source>4..20 мА</source>
        <translation>4..20 mA</translation>
    </message>
    <message>
        <source>20..4 мА</source>
        <translation>20..4 mA</translation>
    </message>
    <message>
        <source>Отключен</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>0..20 мА</source>
        <translation>0..20 mA</translation>
    </message>
    <message>
        <source>0..5 В</source>
        <translation>0..5 V</translation>
    </message>
    <message>
        <source>1..5 В</source>
        <translation>1..5 V</translation>
    </message>
    <message>
        <source>0..10 В</source>
        <translation>0..10 V</translation>
    </message>
    <message>
        <source>2..10 В</source>
        <translation>2..10 V</translation>
    </message>
    <message>
        <source>3-проводная</source>
        <translation>3-wire</translation>
    </message>
    <message>
        <source>4-проводная</source>
        <translation>4-wire</translation>
    </message>
    <message>
        <source>Термосопротивление</source>
        <translation>RTD</translation>
    </message>
    <message>
        <source>Сопротивление</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>Термопара</source>
        <translation>Thermocouple</translation>
    </message>
    <message>
        <source>Напряжение</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>°С</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>T макс, °С</source>
        <translation>T max, °C</translation>
    </message>
    <message>
        <source>T мин, °С</source>
        <translation>T min, °C</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>U макс, мВ</source>
        <translation>U max, mV</translation>
    </message>
    <message>
        <source>U мин, мВ</source>
        <translation>U min, mV</translation>
    </message>
    <message>
        <source>Ом</source>
        <translation>Ω</translation>
    </message>
    <message>
        <source>R макс, Ом</source>
        <translation>R max, Ω</translation>
    </message>
    <message>
        <source>R мин, Ом</source>
        <translation>R min, Ω</translation>
    </message>
    <message>
        <source>мА</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
</context>
<context>
    <name>ChannelEditor</name>
    <message>
        <source>Некорректно задан диапазон измерения. </source>
        <translation>The measuring range is not valid. </translation>
    </message>
    <message>
        <source>Граница диапазона не является целым числом. </source>
        <translation>A bound of the range is not a whole number. </translation>
    </message>
    <message>
        <source>Ширина диапазона: %1 %2. </source>
        <translation>Range width: %1 %2. </translation>
    </message>
</context>
<context>
    <name>CheckCommand</name>
    <message>
        <source>Использование: qs_juv_check [--json | --csv] [--quiet] ПУТЬ...
       qs_juv_check --diff [--json] ФАЙЛ1 ФАЙЛ2
       qs_juv_check --points [--json | --csv] ПУТЬ...
Проверяет файлы опросных листов ЖУВ так, как их читает форма. ПУТЬ — файл или каталог
(в каталоге проверяются все файлы *.cfg, включая подкаталоги).
</source>
        <translation>Usage: qs_juv_check [--json | --csv] [--quiet] PATH...
       qs_juv_check --diff [--json] FILE1 FILE2
       qs_juv_check --points [--json | --csv] PATH...
Checks ZhUV questionnaire files the way the form reads them. PATH is a file or a folder
(in a folder every *.cfg file is checked, subfolders included).
</translation>
    </message>
    <message>
        <source>неизвестный ключ «%1»</source>
        <translation>unknown option “%1”</translation>
    </message>
    <message>
        <source>ключи --json и --csv несовместимы</source>
        <translation>the options --json and --csv exclude each other</translation>
    </message>
    <message>
        <source>ключ --diff совместим только с --json</source>
        <translation>the option --diff goes with --json only</translation>
    </message>
    <message>
        <source>ключ --points несовместим с --diff и --quiet</source>
        <translation>the option --points goes with neither --diff nor --quiet</translation>
    </message>
    <message>
        <source>не удалось разобрать аргументы</source>
        <translation>the arguments could not be parsed</translation>
    </message>
    <message>
        <source>не указан ни один путь</source>
        <translation>no path given</translation>
    </message>
    <message>
        <source>ключу --diff нужны ровно два файла</source>
        <translation>the option --diff needs exactly two files</translation>
    </message>
    <message>
        <source>один документ JSON: массив, по объекту на файл</source>
        <translation>one JSON document: an array, one object per file</translation>
    </message>
    <message>
        <source>таблица CSV (UTF-8), по строке на файл</source>
        <translation>a CSV table (UTF-8), one row per file</translation>
    </message>
    <message>
        <source>выводить только файлы с замечаниями или не &quot;ok&quot;</source>
        <translation>show only the files with problems or not &quot;ok&quot;</translation>
    </message>
    <message>
        <source>сравнить два файла так, как их покажет форма</source>
        <translation>compare two files as the form would show them</translation>
    </message>
    <message>
        <source>точки поверки каналов: сигнал на входе и ожидаемый выход</source>
        <translation>the channels&apos; verification points: the input signal and the expected output</translation>
    </message>
    <message>
        <source>показать эту справку</source>
        <translation>show this help</translation>
    </message>
    <message>
        <source>показать версию программы</source>
        <translation>show the program&apos;s version</translation>
    </message>
    <message>
        <source>: файлов *.cfg нет
</source>
        <translation>: no *.cfg files
</translation>
    </message>
    <message>
        <source>Код завершения: 0 — все файлы в порядке, 1 — есть файлы с замечаниями,
2 — ошибка в аргументах или путь не удалось прочитать.
С --diff: 0 — форма покажет файлы одинаково, 1 — есть различия или сохранение
файла было прервано, 2 — ошибка.
С --points: 0 — точки выведены для всех файлов, 2 — ошибка.
</source>
        <translation>Exit status: 0 — every file is fine, 1 — some files have problems,
2 — wrong arguments or a path could not be read.
With --diff: 0 — the form shows both files alike, 1 — they differ or a save of
a file was interrupted, 2 — an error.
With --points: 0 — the points of every file were printed, 2 — an error.
</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Использование: qs_juv [ФАЙЛ]
</source>
        <translation>Usage: qs_juv [FILE]
</translation>
    </message>
    <message>
        <source>qs_juv: неверные параметры
</source>
        <translation>qs_juv: wrong arguments
</translation>
    </message>
    <message>
        <source>qs_juv: неизвестный параметр: %1
</source>
        <translation>qs_juv: unknown option: %1
</translation>
    </message>
    <message>
        <source>Подробнее: qs_juv --help
</source>
        <translation>More: qs_juv --help
</translation>
    </message>
    <message>
        <source>Опросный лист для поверки изделий ЖУВ-610 и ЖУВ-720.

  ФАЙЛ           опросный лист (*.cfg), который открывается при запуске
  -h, --help     показать эту справку и выйти
  -v, --version  показать версию программы и выйти
</source>
        <translation>Questionnaire for the verification of ZhUV-610 and ZhUV-720 transducers.

  FILE           a questionnaire (*.cfg) to open at start
  -h, --help     show this help and exit
  -v, --version  show the program&apos;s version and exit
</translation>
    </message>
    <message>
        <source>qs_juv: можно указать только один файл
</source>
        <translation>qs_juv: only one file can be given
</translation>
    </message>
</context>
<context>
    <name>FileCheck</name>
    <message>
        <source>%1 диапазона %2 не является числом: форма не сохранит такой опросный лист.</source>
        <translation>The range %1 %2 is not a number: the form will not save such a questionnaire.</translation>
    </message>
    <message>
        <source>Максимум</source>
        <translation>maximum</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>minimum</translation>
    </message>
    <message>
        <source>Диапазон %1…%2 %3 уже наименьшей ширины %4 %3: форма не сохранит такой опросный лист.</source>
        <translation>The range %1…%2 %3 is narrower than the least width %4 %3: the form will not save such a questionnaire.</translation>
    </message>
    <message>
        <source>«%1»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Поле «%1» содержит управляющие символы: форма сохранит вместо них пробелы.</source>
        <translation>The field “%1” holds control characters: the form saves blanks in their place.</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>Папка</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Файл %1</source>
        <translation>%1 file</translation>
    </message>
    <message>
        <source>Имена этих файлов записаны не в UTF-8, и открыть их отсюда нельзя (переименуйте их): %1</source>
        <translation>The names of these files are not UTF-8 and they cannot be opened from here (rename them): %1</translation>
    </message>
</context>
<context>
    <name>FolderWalk</name>
    <message>
        <source>не удалось прочитать каталог</source>
        <translation>the folder could not be read</translation>
    </message>
    <message>
        <source>: имён слишком много, чтобы упорядочить их; записи взяты в порядке каталога
</source>
        <translation>: too many names to sort; the entries are taken in the folder&apos;s order
</translation>
    </message>
    <message>
        <source>не удалось узнать тип записи</source>
        <translation>the entry&apos;s type could not be found out</translation>
    </message>
    <message>
        <source>: каталог уже обходится выше по пути (смонтирован сам в себя), повторно не обходится
</source>
        <translation>: the folder is already being walked higher up the path (mounted inside itself); not walked again
</translation>
    </message>
    <message>
        <source>каталог перемещён во время обхода</source>
        <translation>the folder was moved during the walk</translation>
    </message>
    <message>
        <source>: каталоги вложены слишком глубоко, глубже не обходятся
</source>
        <translation>: folders nested too deep; not walked any deeper
</translation>
    </message>
</context>
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
    <name>LockedChannels</name>
    <message>
        <source>Канал выключен у этой модели, и его диапазон («%1»…«%2») нельзя ни исправить, ни сохранить: форма заменит его на %3…%4.</source>
        <translation>The channel is switched off in this model, and its range (“%1”…“%2”) can be neither corrected nor saved: the form replaces it with %3…%4.</translation>
    </message>
</context>
<context>
    <name>PointsReport</name>
    <message>
        <source>, R0 %1 Ом</source>
        <translation>, R0 %1 Ω</translation>
    </message>
    <message>
        <source>, выход %1</source>
        <translation>, output %1</translation>
    </message>
    <message>
        <source> — точек нет: </source>
        <translation> — no points: </translation>
    </message>
    <message>
        <source>Значение, </source>
        <translation>Value, </translation>
    </message>
    <message>
        <source>Сигнал, </source>
        <translation>Signal, </translation>
    </message>
    <message>
        <source>Выход, </source>
        <translation>Output, </translation>
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
<context>
    <name>QuestionnaireDiff</name>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Контрольный код</source>
        <translation>Check code</translation>
    </message>
</context>
<context>
    <name>QuestionnaireLoad</name>
    <message>
        <source>Модель с id %1 отсутствует в каталоге: форма оставит прежнюю модель.</source>
        <translation>The catalogue has no model with id %1: the form keeps the model it showed.</translation>
    </message>
    <message>
        <source>Не указана НСХ (ключ «Sensor id»): форма оставит НСХ по умолчанию.</source>
        <translation>No curve is given (key “Sensor id”): the form keeps the default curve.</translation>
    </message>
    <message>
        <source>НСХ с id %1 отсутствует в каталоге.</source>
        <translation>The catalogue has no curve with id %1.</translation>
    </message>
    <message>
        <source>Модель %1 не принимает датчики типа %2 (НСХ %3).</source>
        <translation>The model %1 does not take sensors of the type %2 (curve %3).</translation>
    </message>
    <message>
        <source>«Sensor type» %1 не соответствует НСХ %2 (тип %3)%4.</source>
        <translation>“Sensor type” %1 does not match the curve %2 (type %3)%4.</translation>
    </message>
    <message>
        <source>не указан</source>
        <translation>not given</translation>
    </message>
    <message>
        <source>: границы диапазона форма прочитает не из тех ключей</source>
        <translation>: the form will read the range bounds from the wrong keys</translation>
    </message>
    <message>
        <source>«Input connection» %1 не входит в список схем подключения (1, 2).</source>
        <translation>“Input connection” %1 is not in the list of connections (1, 2).</translation>
    </message>
    <message>
        <source>«Sensor R» %1: у НСХ %2 нет списка номинальных сопротивлений.</source>
        <translation>“Sensor R” %1: the curve %2 has no list of nominal resistances.</translation>
    </message>
    <message>
        <source>«Sensor R» %1 не входит в список номинальных сопротивлений НСХ %2.</source>
        <translation>“Sensor R” %1 is not in the list of nominal resistances of the curve %2.</translation>
    </message>
    <message>
        <source>«%1» %2: у модели нет выходов.</source>
        <translation>“%1” %2: the model has no outputs.</translation>
    </message>
    <message>
        <source>«%1» %2 не входит в список режимов выхода.</source>
        <translation>“%1” %2 is not in the list of output modes.</translation>
    </message>
    <message>
        <source>Максимум</source>
        <translation>maximum</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>minimum</translation>
    </message>
    <message>
        <source>%1 диапазона %2 %3 предела %4 %5: форма заменит его на %6.</source>
        <translation>The range %1 %2 is %3 limit %4 %5: the form replaces it with %6.</translation>
    </message>
    <message>
        <source>выше верхнего</source>
        <translation>above the upper</translation>
    </message>
    <message>
        <source>ниже нижнего</source>
        <translation>below the lower</translation>
    </message>
    <message>
        <source>%1 диапазона %2 содержит посторонние символы: форма покажет %3.</source>
        <translation>The range %1 %2 holds stray characters: the form shows %3.</translation>
    </message>
    <message>
        <source>Количество изделий %1 не является числом: форма заменит его на %2.</source>
        <translation>The number of devices %1 is not a number: the form replaces it with %2.</translation>
    </message>
    <message>
        <source>Количество изделий не указано: форма заменит его на %1.</source>
        <translation>The number of devices is not given: the form replaces it with %1.</translation>
    </message>
    <message>
        <source>Количество изделий %1 вне пределов %2–%3: форма заменит его на %4.</source>
        <translation>The number of devices %1 is outside %2–%3: the form replaces it with %4.</translation>
    </message>
    <message>
        <source>«%1»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Нет контрольного кода и нет ключей, которые есть в каждом сохранённом файле (%1): файл, вероятно, обрезан.</source>
        <translation>No check code, and keys every saved file holds are missing (%1): the file is probably cut short.</translation>
    </message>
    <message>
        <source>Поле «%1» содержит байты, которые не являются текстом: форма покажет вместо них «%2» и не сохранит поле, пока их не удалят.</source>
        <translation>The field “%1” holds bytes that are no text: the form shows “%2” in their place and does not save the field until they are removed.</translation>
    </message>
    <message>
        <source>Поле «%1» записано в UTF-8, а остальной файл — в Windows-1251: форма покажет его как UTF-8, %2.</source>
        <translation>The field “%1” is written in UTF-8 and the rest of the file in Windows-1251: the form shows it as UTF-8, %2.</translation>
    </message>
</context>
<context>
    <name>QuestionnaireSummary</name>
    <message>
        <source>от %1 до %2 %3</source>
        <translation>from %1 to %2 %3</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>включен</source>
        <translation>on</translation>
    </message>
    <message>
        <source>отключен</source>
        <translation>off</translation>
    </message>
    <message>
        <source>Диапазон измерения</source>
        <translation>Measuring range</translation>
    </message>
</context>
<context>
    <name>QuestionnaireWindow</name>
    <message>
        <source>Обязательно для заполнения</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>Укажите здесь название вашей фирмы</source>
        <translation>Enter your firm&apos;s name here</translation>
    </message>
    <message>
        <source>Заполнять не обязательно</source>
        <translation>Optional</translation>
    </message>
    <message>
        <source>Здесь можно указать телефонный номер для связи с вами</source>
        <translation>You may give a phone number to reach you here</translation>
    </message>
    <message>
        <source>Укажите здесь адрес электронной почты для связи с вами</source>
        <translation>Enter an e-mail address to reach you here</translation>
    </message>
    <message>
        <source>Если счет еще не был выставлен нашей фирмой, оставьте это поле пустым</source>
        <translation>If our firm has not yet issued an invoice, leave this field empty</translation>
    </message>
    <message>
        <source>Режимы работы выхода с релейным модулем ЖУВ-930 поверке не подлежат</source>
        <translation>Output modes with the ZhUV-930 relay module are not subject to verification</translation>
    </message>
    <message>
        <source>Строка состояния</source>
        <translation>Status bar</translation>
    </message>
    <message>
        <source>Версия: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>новый опросный лист, не записанный в файл</source>
        <translation>a new questionnaire, not written to a file</translation>
    </message>
    <message>
        <source>файл %1</source>
        <translation>the file %1</translation>
    </message>
    <message>
        <source>Найден несохраненный опросный лист: работа программы была прервана, и изменения в нем не были сохранены в файле.
Откуда: %1
Когда: %2
Восстановить его?</source>
        <translation>An unsaved questionnaire was found: the program was interrupted and its changes were not saved to a file.
From: %1
When: %2
Restore it?</translation>
    </message>
    <message>
        <source>Внесенные вами изменения не сохранены в файле.
Вы действительно хотите завершить программу?</source>
        <translation>Your changes have not been saved to a file.
Do you really want to quit the program?</translation>
    </message>
    <message>
        <source>Файл: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>Причина: %1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <source>Внесенные вами изменения не сохранены в файле. При считывании данных из файла эти изменения будут утеряны.
Вы действительно хотите считать данные из файла?</source>
        <translation>Your changes have not been saved to a file. Reading data from a file will lose them.
Do you really want to read data from a file?</translation>
    </message>
    <message>
        <source>Внесенные вами изменения не сохранены в файле. При создании нового опросного листа эти изменения будут утеряны.
Вы действительно хотите начать новый опросный лист?</source>
        <translation>Your changes have not been saved to a file. Starting a new questionnaire will lose them.
Do you really want to start a new questionnaire?</translation>
    </message>
    <message>
        <source>Этот опросный лист уже открыт в другом окне программы</source>
        <translation>This questionnaire is already open in another window of the program</translation>
    </message>
    <message>
        <source>Файл содержит некорректные данные!
Конфигурация из файла считана, при этом некорректные данные, по возможности, исправлены.
Рекомендуется проверить, что опросный лист содержит данные, соответствующие вашему заказу, и сохранить файл заново.</source>
        <translation>The file holds invalid data!
The configuration was read from the file, and the invalid data were corrected where possible.
Please check that the questionnaire holds the data of your order, and save the file again.</translation>
    </message>
    <message>
        <source>%1 канал. </source>
        <translation>Channel %1. </translation>
    </message>
    <message>
        <source>Не удалось сохранить данные в файле. Возможно, диск защищен от записи.</source>
        <translation>The data could not be saved to the file. The disk may be write-protected.</translation>
    </message>
    <message>
        <source>Файл изменен на диске после того, как был открыт или записан в этом окне (другой программой или другим окном).
Вы действительно хотите заменить его содержимое данными этого окна?</source>
        <translation>The file has changed on disk since it was opened or written in this window (by another program or another window).
Do you really want to replace its content with the data of this window?</translation>
    </message>
    <message>
        <source>Указанный файл уже существует.
Вы действительно хотите заменить его содержимое новыми данными?</source>
        <translation>The file already exists.
Do you really want to replace its content with the new data?</translation>
    </message>
    <message>
        <source>Не записано</source>
        <translation>Not written</translation>
    </message>
    <message>
        <source>Указанный файл — открытый в этом окне опросный лист, и документ для печати его не заменит. Укажите другое имя файла.</source>
        <translation>The file is the questionnaire open in this window, and a printable document will not replace it. Choose another file name.</translation>
    </message>
    <message>
        <source>Печать опросного листа</source>
        <translation>Print the questionnaire</translation>
    </message>
    <message>
        <source>Не удалось напечатать опросный лист: принтер не принял задание.</source>
        <translation>The questionnaire could not be printed: the printer did not accept the job.</translation>
    </message>
    <message>
        <source>Открыть опросный лист</source>
        <translation>Open a questionnaire</translation>
    </message>
    <message>
        <source>Опросные листы (*.cfg)</source>
        <translation>Questionnaires (*.cfg)</translation>
    </message>
    <message>
        <source>Все файлы (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Сохранить опросный лист</source>
        <translation>Save the questionnaire</translation>
    </message>
    <message>
        <source>Сохранить опросный лист в PDF</source>
        <translation>Save the questionnaire as PDF</translation>
    </message>
    <message>
        <source>Документы PDF (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>Печать…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>Сохранить в PDF…</source>
        <translation>Save as PDF…</translation>
    </message>
    <message>
        <source>Как заполнить опросный лист</source>
        <translation>How to fill in the questionnaire</translation>
    </message>
    <message>
        <source>О программе…</source>
        <translation>About…</translation>
    </message>
    <message>
        <source>Новый опросный лист</source>
        <translation>New questionnaire</translation>
    </message>
    <message>
        <source>Сохранить как…</source>
        <translation>Save as…</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Недавние файлы</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>%1

Программа qs_juv, версия %2
Версия данных: %2
Qt %3</source>
        <translation>%1

The program qs_juv, version %2
Data version: %2
Qt %3</translation>
    </message>
    <message>
        <source>Печать недоступна: не загружен модуль печати (%1).</source>
        <translation>Printing is not available: the print module was not loaded (%1).</translation>
    </message>
    <message>
        <source>Диапазон измерения выключенного канала, который нельзя изменить в форме, был некорректен и заменен.
Рекомендуется проверить опросный лист и сохранить файл заново.</source>
        <translation>The measuring range of a switched-off channel, which cannot be changed in the form, was not valid and has been replaced.
Check the questionnaire and save the file again.</translation>
    </message>
    <message>
        <source>%1 канал. %2</source>
        <translation>Channel %1. %2</translation>
    </message>
    <message>
        <source>Опросный лист считан, но имя файла записано не в кодировке UTF-8, и сохранить его под этим именем нельзя: при сохранении укажите другое имя.</source>
        <translation>The questionnaire was read, but the file name is not in UTF-8 and the file cannot be saved under it: give another name when saving.</translation>
    </message>
    <message>
        <source>Файл содержит некорректные данные, они по возможности исправлены.</source>
        <translation>The file holds invalid data; it was corrected where possible.</translation>
    </message>
</context>
<context>
    <name>ReportWriter</name>
    <message>
        <source>файл не удалось прочитать: %1</source>
        <translation>the file could not be read: %1</translation>
    </message>
    <message>
        <source>сохранение файла было прервано, в нём может быть смесь старых и новых данных (%1)</source>
        <translation>a save of the file was interrupted; it may hold a mix of old and new data (%1)</translation>
    </message>
    <message>
        <source>контрольного кода нет: форма загрузит файл без предупреждения, но данные ничем не защищены</source>
        <translation>no check code: the form loads the file without a warning, but nothing protects the data</translation>
    </message>
    <message>
        <source>контрольный код верен</source>
        <translation>the check code is right</translation>
    </message>
    <message>
        <source>Файл: </source>
        <translation>File: </translation>
    </message>
    <message>
        <source>Результат: </source>
        <translation>Result: </translation>
    </message>
    <message>
        <source>Замечания:
</source>
        <translation>Problems:
</translation>
    </message>
    <message>
        <source>Итого файлов: %1, без замечаний: %2, с замечаниями: %3, не прочитано: %4
</source>
        <translation>Files in all: %1, without problems: %2, with problems: %3, not read: %4
</translation>
    </message>
    <message>
        <source>нет в каталоге (id </source>
        <translation>not in the catalogue (id </translation>
    </message>
    <message>
        <source>да</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Максимум</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>Минимум</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>%1 канал: </source>
        <translation>Channel %1: </translation>
    </message>
    <message>
        <source>не опросный лист: в файле нет ни модели (Device/id), ни настроек каналов; форма его не откроет</source>
        <translation>not a questionnaire: the file has neither a model (Device/id) nor channel settings; the form will not open it</translation>
    </message>
    <message>
        <source>реквизиты записаны не так, как форма их читает: форма покажет предупреждение</source>
        <translation>the requisites are not written the way the form reads them: the form shows a warning</translation>
    </message>
    <message>
        <source>в файле не указана модель (Device/id): форма покажет предупреждение и применит каналы к модели, которую показывала</source>
        <translation>the file names no model (Device/id): the form shows a warning and applies the channels to the model it showed</translation>
    </message>
    <message>
        <source>контрольный код не совпадает (в файле %1, по данным %2): форма покажет предупреждение</source>
        <translation>the check code does not match (%1 in the file, %2 from the data): the form shows a warning</translation>
    </message>
    <message>
        <source>контрольного кода нет, а ключей, которые есть в каждом сохранённом файле, недостаёт: форма покажет предупреждение</source>
        <translation>no check code, and keys every saved file holds are missing: the form shows a warning</translation>
    </message>
</context>
<context>
    <name>SafeRead</name>
    <message>
        <source>не обычный файл</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>файл больше 1 МиБ</source>
        <translation>the file is larger than 1 MiB</translation>
    </message>
    <message>
        <source>ссылка никуда не ведёт</source>
        <translation>the link leads nowhere</translation>
    </message>
</context>
<context>
    <name>SummaryDocument</name>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;h2 align=&quot;center&quot;&gt;%1&lt;/h2&gt;&lt;p align=&quot;right&quot;&gt;Дата: %2&lt;/p&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;h2 align=&quot;center&quot;&gt;%1&lt;/h2&gt;&lt;p align=&quot;right&quot;&gt;Date: %2&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Изделия</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>Реквизиты</source>
        <translation>Requisites</translation>
    </message>
    <message>
        <source>&lt;p&gt;Версия данных: %1&lt;br&gt;Контрольный код: %2&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;p&gt;Data version: %1&lt;br&gt;Check code: %2&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;h2 align=&quot;center&quot;&gt;Точки поверки&lt;/h2&gt;&lt;p align=&quot;center&quot;&gt;%1&lt;/p&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;h2 align=&quot;center&quot;&gt;Verification points&lt;/h2&gt;&lt;p align=&quot;center&quot;&gt;%1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>, R0 = %1 Ом</source>
        <translation>, R0 = %1 Ω</translation>
    </message>
    <message>
        <source>, выход %1</source>
        <translation>, output %1</translation>
    </message>
    <message>
        <source>&lt;p&gt;Точек нет: %1.&lt;/p&gt;</source>
        <translation>&lt;p&gt;No points: %1.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;table width=&quot;100%&quot; cellspacing=&quot;0&quot; cellpadding=&quot;4&quot; border=&quot;1&quot; style=&quot;border-collapse: collapse;&quot;&gt;&lt;tr&gt;&lt;th&gt;%&lt;/th&gt;&lt;th&gt;Значение, %1&lt;/th&gt;&lt;th&gt;Сигнал на входе, %2&lt;/th&gt;&lt;th&gt;Ожидаемый выход, %3&lt;/th&gt;&lt;th width=&quot;25%&quot;&gt;Измеренное значение, %3&lt;/th&gt;&lt;/tr&gt;</source>
        <translation>&lt;table width=&quot;100%&quot; cellspacing=&quot;0&quot; cellpadding=&quot;4&quot; border=&quot;1&quot; style=&quot;border-collapse: collapse;&quot;&gt;&lt;tr&gt;&lt;th&gt;%&lt;/th&gt;&lt;th&gt;Value, %1&lt;/th&gt;&lt;th&gt;Input signal, %2&lt;/th&gt;&lt;th&gt;Expected output, %3&lt;/th&gt;&lt;th width=&quot;25%&quot;&gt;Measured value, %3&lt;/th&gt;&lt;/tr&gt;</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Название фирмы</source>
        <translation>Firm name</translation>
    </message>
    <message>
        <source>Телефонный номер</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>Адрес электронной почты</source>
        <translation>E-mail address</translation>
    </message>
    <message>
        <source>Номер и дата выставленного счета</source>
        <translation>Invoice number and date</translation>
    </message>
    <message>
        <source>Модель изделий</source>
        <translation>Device model</translation>
    </message>
    <message>
        <source>Количество изделий</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>%1 канал</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>Тип датчика</source>
        <translation>Sensor type</translation>
    </message>
    <message>
        <source>НСХ</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>Схема подключения</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Номинальное сопротивление, Ом</source>
        <translation>Nominal resistance, Ω</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Вход включен</source>
        <translation>Input on</translation>
    </message>
    <message>
        <source>В разделе реквизитов не заполнено обязательное поле &quot;%1&quot;. Для сохранения данных в файле это поле необходимо заполнить.</source>
        <translation>The required field &quot;%1&quot; of the requisites is empty. Fill it in to save the data to a file.</translation>
    </message>
    <message>
        <source>В разделе реквизитов указан адрес электронной почты в некорректном формате. Для сохранения данных в файле необходимо указать актуальный адрес.</source>
        <translation>The e-mail address in the requisites is not in a valid form. Give a real address to save the data to a file.</translation>
    </message>
    <message>
        <source>В разделе реквизитов поле &quot;%1&quot; содержит символы, которые невозможно сохранить в файле. Для сохранения данных в файле эти символы необходимо удалить.</source>
        <translation>The field &quot;%1&quot; of the requisites holds characters that cannot be saved in the file. Remove them to save the data to a file.</translation>
    </message>
    <message>
        <source>Опросный лист заполнен некорректно. Для сохранения данных в файле необходимо включить хотя бы один вход изделия.</source>
        <translation>The questionnaire is not filled in correctly. Switch on at least one input of the device to save the data to a file.</translation>
    </message>
    <message>
        <source>Некорректно задан диапазон измерения. Для сохранения данных в файле диапазон следует увеличить. Корректные значения диапазонов см. в подсказках к полям границ диапазона.</source>
        <translation>The measuring range is not valid. Widen the range to save the data to a file. The valid values are in the hints of the range&apos;s bound fields.</translation>
    </message>
    <message>
        <source>Минимальная ширина диапазона</source>
        <translation>Least range width</translation>
    </message>
    <message>
        <source>Максимальное значение</source>
        <translation>Maximum value</translation>
    </message>
    <message>
        <source>Минимальное значение</source>
        <translation>Minimum value</translation>
    </message>
    <message>
        <source>Указанный файл не удалось прочитать!</source>
        <translation>The file could not be read!</translation>
    </message>
    <message>
        <source>
Имя файла записано не в кодировке UTF-8.</source>
        <translation>
The file&apos;s name is not in UTF-8.</translation>
    </message>
    <message>
        <source>Файл успешно сохранен, но перезаписан на месте, а не заменен целиком.</source>
        <translation>The file was saved, but rewritten in place rather than replaced as a whole.</translation>
    </message>
    <message>
        <source>Файл успешно сохранен.</source>
        <translation>The file was saved.</translation>
    </message>
    <message>
        <source>Версия данных: %1</source>
        <translation>Data version: %1</translation>
    </message>
    <message>
        <source>файл не является опросным листом: в нём нет ни модели, ни настроек каналов</source>
        <translation>the file is not a questionnaire: it has neither a model nor channel settings</translation>
    </message>
</context>
<context>
    <name>VerificationPoints</name>
    <message>
        <source>Ом</source>
        <translation>Ω</translation>
    </message>
    <message>
        <source>мВ</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>вход отключен</source>
        <translation>the input is off</translation>
    </message>
    <message>
        <source>диапазон измерения задан некорректно</source>
        <translation>the measuring range is not valid</translation>
    </message>
    <message>
        <source>диапазон выходит за пределы НСХ</source>
        <translation>the range goes beyond the curve&apos;s limits</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>qs_juv: не удалось вывести текст: %1
</source>
        <translation>qs_juv: the text could not be written: %1
</translation>
    </message>
</context>
</TS>
