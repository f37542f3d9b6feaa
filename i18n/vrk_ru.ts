<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>AboutWindow</name>
    <message>
        <source>About VRK</source>
        <translation>О программе VRK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>VRK service tool %1</source>
        <translation>Сервисная программа VRK %1</translation>
    </message>
    <message>
        <source>(version unknown)</source>
        <translation>(версия неизвестна)</translation>
    </message>
    <message>
        <source>Built on %1 with Qt %2 (running on Qt %3).</source>
        <translation>Собрана %1 с Qt %2 (работает на Qt %3).</translation>
    </message>
    <message>
        <source>Licence: all rights reserved. This software may be used, copied and passed on only as agreed with its copyright holders. Qt is used under the GNU LGPL version 3.</source>
        <translation>Лицензия: все права защищены. Программу можно использовать, копировать и передавать только по соглашению с правообладателями. Qt используется по лицензии GNU LGPL версии 3.</translation>
    </message>
    <message>
        <source>Settings (vrk.ini) and language files: %1</source>
        <translation>Настройки (vrk.ini) и языковые файлы: %1</translation>
    </message>
    <message>
        <source>View size: %1</source>
        <translation>Масштаб окон: %1</translation>
    </message>
    <message>
        <source>Manual: %1</source>
        <translation>Руководство: %1</translation>
    </message>
    <message>
        <source>not found (looked for README.md beside the program and in the documentation folder)</source>
        <translation>не найдено (README.md искали рядом с программой и в папке документации)</translation>
    </message>
</context>
<context>
    <name>FaultLog</name>
    <message>
        <source>Records %1 of the relay's memory were not read now: their rows (grey) are from an earlier read.</source>
        <translation>Записи %1 памяти реле сейчас не прочитаны: их строки (серые) взяты из прежнего чтения.</translation>
    </message>
    <message>
        <source>Records %1 of the relay's memory could not be read: their trips are missing from the list.</source>
        <translation>Не удалось прочитать записи %1 памяти реле: их срабатываний нет в списке.</translation>
    </message>
    <message>
        <source>(no cause recorded)</source>
        <translation>(причина не записана)</translation>
    </message>
    <message>
        <source>As stored: month %1, day %2, hour %3, minute %4</source>
        <translation>Сохранённые байты: месяц %1, день %2, час %3, минута %4</translation>
    </message>
    <message>
        <source>corrupt record</source>
        <translation>повреждённая запись</translation>
    </message>
    <message>
        <source>dated in the future</source>
        <translation>дата в будущем</translation>
    </message>
    <message>
        <source>from an earlier read</source>
        <translation>из прежнего чтения</translation>
    </message>
    <message>
        <source>The fault log has not been read from the relay.</source>
        <translation>Журнал срабатываний не был считан из реле.</translation>
    </message>
    <message>
        <source>Records %1 of the relay's memory were not read now: their rows are from an earlier read and may no longer be in the relay.</source>
        <translation>Записи %1 памяти реле сейчас не считаны: их строки из прежнего чтения и, возможно, уже отсутствуют в реле.</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Файл %1 уже существует.
Заменить его?</translation>
    </message>
</context>
<context>
    <name>JournalWindow</name>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Источник</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Действие</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Variant</source>
        <translation>Вариант</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Параметр</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>До</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Отправлено</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Регистр</translation>
    </message>
    <message>
        <source>Read back</source>
        <translation>Контрольное чтение</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>setpoint write</source>
        <translation>запись уставок</translation>
    </message>
    <message>
        <source>clock setting</source>
        <translation>установка часов</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>сброс аварии</translation>
    </message>
    <message>
        <source>confirmed</source>
        <translation>подтверждено</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>не подтверждено</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>не отправлено</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>отказано</translation>
    </message>
    <message>
        <source>Service journal - %1</source>
        <translation>Сервисный журнал - %1</translation>
    </message>
    <message>
        <source>Read again</source>
        <translation>Прочитать снова</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Экспорт...</translation>
    </message>
    <message>
        <source>Saves the rows shown as a CSV file</source>
        <translation>Сохраняет показанные строки в файл CSV</translation>
    </message>
    <message>
        <source>Shows the rows of one bus address</source>
        <translation>Показывает строки одного адреса</translation>
    </message>
    <message>
        <source>All addresses</source>
        <translation>Все адреса</translation>
    </message>
    <message>
        <source>Address %1</source>
        <translation>Адрес %1</translation>
    </message>
    <message>
        <source>Rows: %1</source>
        <translation>Строк: %1</translation>
    </message>
    <message>
        <source>lines not understood: %1 (the first is line %2)</source>
        <translation>непонятные строки: %1 (первая - строка %2)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv|All files (*.*)|*.*</source>
        <translation>Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation>Экспорт журнала</translation>
    </message>
</context>
<context>
    <name>LineMonitor</name>
    <message>
        <source>good</source>
        <translation>успешно</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>нет ответа</translation>
    </message>
    <message>
        <source>short reply</source>
        <translation>неполный ответ</translation>
    </message>
    <message>
        <source>bad CRC</source>
        <translation>ошибка CRC</translation>
    </message>
    <message>
        <source>port lost</source>
        <translation>порт недоступен</translation>
    </message>
    <message>
        <source>bad request</source>
        <translation>неверный запрос</translation>
    </message>
    <message>
        <source>other failure</source>
        <translation>другая ошибка</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Request</source>
        <translation>Запрос</translation>
    </message>
    <message>
        <source>Reply</source>
        <translation>Ответ</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Результат</translation>
    </message>
    <message>
        <source>Round trip (ms)</source>
        <translation>Время ответа (мс)</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Communication monitor: the exchanges on the line, and finding the relay</source>
        <translation>Монитор связи: обмен данными на линии и поиск реле</translation>
    </message>
    <message>
        <source>Communication monitor</source>
        <translation>Монитор связи</translation>
    </message>
    <message>
        <source>Requests</source>
        <translation>Запросы</translation>
    </message>
    <message>
        <source>Good replies</source>
        <translation>Успешные ответы</translation>
    </message>
    <message>
        <source>No reply</source>
        <translation>Нет ответа</translation>
    </message>
    <message>
        <source>Short reply</source>
        <translation>Неполный ответ</translation>
    </message>
    <message>
        <source>Bad CRC</source>
        <translation>Ошибка CRC</translation>
    </message>
    <message>
        <source>Other failures</source>
        <translation>Прочие ошибки</translation>
    </message>
    <message>
        <source>Failure rate</source>
        <translation>Доля ошибок</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Пауза</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Save as text...</source>
        <translation>Сохранить как текст...</translation>
    </message>
    <message>
        <source>Finding the relay (only while disconnected)</source>
        <translation>Поиск реле (только без подключения)</translation>
    </message>
    <message>
        <source>Find the relay</source>
        <translation>Найти реле</translation>
    </message>
    <message>
        <source>Asks bus addresses 1-247 for the relay's variant at the settings' line</source>
        <translation>Опрашивает адреса 1-247 о варианте реле с параметрами линии из настроек</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Every speed and parity</source>
        <translation>Все скорости и чётности</translation>
    </message>
    <message>
        <source>Put into the settings</source>
        <translation>Перенести в настройки</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>Save the exchanges as text</source>
        <translation>Сохранить обмен данными как текст</translation>
    </message>
    <message>
        <source>Address %1, %2: variant %3 (%4)</source>
        <translation>Адрес %1, %2: вариант %3 (%4)</translation>
    </message>
    <message>
        <source>Asking address %1 at %2...</source>
        <translation>Опрос адреса %1 на %2...</translation>
    </message>
    <message>
        <source>Finished: no relay answered.</source>
        <translation>Завершено: ни одно реле не ответило.</translation>
    </message>
    <message>
        <source>Finished: %1 found.</source>
        <translation>Завершено: найдено %1.</translation>
    </message>
    <message>
        <source>Stopped: %1 found.</source>
        <translation>Остановлено: найдено %1.</translation>
    </message>
    <message>
        <source>The port could not be used: %1</source>
        <translation>Не удалось использовать порт: %1</translation>
    </message>
    <message>
        <source>reply from another device</source>
        <translation>ответ другого устройства</translation>
    </message>
    <message>
        <source>early reply (an old one)</source>
        <translation>ранний ответ (старый)</translation>
    </message>
    <message>
        <source>refused by the relay (exception)</source>
        <translation>отказ реле (исключение)</translation>
    </message>
    <message>
        <source>reply of another function (%1)</source>
        <translation>ответ другой функции (%1)</translation>
    </message>
    <message>
        <source>reply from another device (address %1)</source>
        <translation>ответ другого устройства (адрес %1)</translation>
    </message>
    <message>
        <source>refused: %1 (exception %2)</source>
        <translation>отказ: %1 (исключение %2)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Requests: %1, good: %2, no reply: %3, short reply: %4, bad CRC: %5, another device: %6, early reply: %7, exception: %8, other failures: %9, failure rate: %10</source>
        <translation>Запросы: %1, удачные: %2, нет ответа: %3, короткий ответ: %4, неверная CRC: %5, другое устройство: %6, ранний ответ: %7, исключение: %8, другие ошибки: %9, доля ошибок: %10</translation>
    </message>
    <message>
        <source>Listed: the last %1 of the %2 exchanges counted.</source>
        <translation>В списке: последние %1 из %2 учтённых обменов.</translation>
    </message>
    <message>
        <source>Another device</source>
        <translation>Другое устройство</translation>
    </message>
    <message>
        <source>Early reply</source>
        <translation>Ранний ответ</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Исключение</translation>
    </message>
    <message>
        <source>Stops the list so it can be read; the counters go on counting and the rows are kept</source>
        <translation>Останавливает список для чтения; счётчики продолжают счёт, строки сохраняются</translation>
    </message>
    <message>
        <source>Failed questions: %1.</source>
        <translation>Неудачные запросы: %1.</translation>
    </message>
    <message>
        <source>Communication monitor - %1</source>
        <translation>Монитор связи - %1</translation>
    </message>
</context>
<context>
    <name>ManualWindow</name>
    <message>
        <source>VRK manual</source>
        <translation>Руководство VRK</translation>
    </message>
    <message>
        <source>The manual (README.md) was not found beside the program or in the documentation folder:
%1</source>
        <translation>Руководство (README.md) не найдено ни рядом с программой, ни в папке документации:
%1</translation>
    </message>
    <message>
        <source>The manual %1 could not be read: %2</source>
        <translation>Не удалось прочитать руководство %1: %2</translation>
    </message>
</context>
<context>
    <name>NetworkLink</name>
    <message>
        <source>The host name %1 was not found.</source>
        <translation>Имя хоста %1 не найдено.</translation>
    </message>
    <message>
        <source>%1 refused the connection (nothing listens at that port?).</source>
        <translation>%1 отклонил соединение (на этом порту никто не слушает?).</translation>
    </message>
    <message>
        <source>%1 cannot be reached (no route to that network or host).</source>
        <translation>%1 недоступен (нет маршрута к этой сети или хосту).</translation>
    </message>
    <message>
        <source>%1 did not answer within %2 s (connection time-out).</source>
        <translation>%1 не ответил за %2 с (тайм-аут соединения).</translation>
    </message>
    <message>
        <source>%1 closed the connection.</source>
        <translation>%1 закрыл соединение.</translation>
    </message>
    <message>
        <source>The connection to %1 was lost: %2</source>
        <translation>Соединение с %1 потеряно: %2</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2</source>
        <translation>Не удаётся подключиться к %1: %2</translation>
    </message>
    <message>
        <source>This build cannot open network addresses: %1</source>
        <translation>Эта сборка не может открывать сетевые адреса: %1</translation>
    </message>
    <message>
        <source>%1 is not a network address: %2</source>
        <translation>%1 не является сетевым адресом: %2</translation>
    </message>
    <message>
        <source>write tcp://HOST:PORT or rtu+tcp://HOST:PORT.</source>
        <translation>укажите tcp://HOST:PORT или rtu+tcp://HOST:PORT.</translation>
    </message>
    <message>
        <source>the host is missing.</source>
        <translation>не указан хост.</translation>
    </message>
    <message>
        <source>only a host, a port and ?timeout=MS may be given.</source>
        <translation>можно указать только хост, порт и ?timeout=MS.</translation>
    </message>
    <message>
        <source>the port must be 1..65535.</source>
        <translation>порт должен быть от 1 до 65535.</translation>
    </message>
    <message>
        <source>the port is missing.</source>
        <translation>не указан порт.</translation>
    </message>
    <message>
        <source>unknown setting "%1".</source>
        <translation>неизвестный параметр «%1».</translation>
    </message>
    <message>
        <source>the reply time-out must be 1..%1 ms.</source>
        <translation>тайм-аут ответа должен быть от 1 до %1 мс.</translation>
    </message>
    <message>
        <source>Modbus TCP</source>
        <translation>Modbus TCP</translation>
    </message>
    <message>
        <source>RTU over TCP</source>
        <translation>RTU через TCP</translation>
    </message>
</context>
<context>
    <name>PollLogWindow</name>
    <message>
        <source>Red:</source>
        <translation>Красный:</translation>
    </message>
    <message>
        <source>Blue:</source>
        <translation>Синий:</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 не является файлом.</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2</source>
        <translation>Не удалось открыть %1: %2</translation>
    </message>
    <message>
        <source>%1 holds no measurements of a poll log.</source>
        <translation>%1 не содержит измерений журнала опроса.</translation>
    </message>
    <message>
        <source>Column %1</source>
        <translation>Столбец %1</translation>
    </message>
    <message>
        <source>Measurements: %1</source>
        <translation>Измерения: %1</translation>
    </message>
    <message>
        <source>events: %1</source>
        <translation>события: %1</translation>
    </message>
    <message>
        <source>unreadable rows: %1 (the first in line %2)</source>
        <translation>нечитаемые строки: %1 (первая в строке %2)</translation>
    </message>
</context>
<context>
    <name>PortsWindow</name>
    <message>
        <source>Which port is this?</source>
        <translation>Какой это порт?</translation>
    </message>
    <message>
        <source>The serial ports of this computer. Choose the adapter the relay is on and write it as a port of the settings: the program and vrk-cli started in this folder open it from then on.</source>
        <translation>Последовательные порты этого компьютера. Выберите адаптер, к которому подключено реле, и запишите его как порт из настроек: с этого момента программа и vrk-cli, запущенные в этой папке, будут открывать его.</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Адаптер</translation>
    </message>
    <message>
        <source>Settings port:</source>
        <translation>Порт в настройках:</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>No serial port found.</source>
        <translation>Последовательный порт не найден.</translation>
    </message>
    <message>
        <source>The ports file cannot be read: %1</source>
        <translation>Не удаётся прочитать файл портов: %1</translation>
    </message>
    <message>
        <source>Now: %1 (VRK_COM%2, which wins over the ports file)</source>
        <translation>Сейчас: %1 (VRK_COM%2, важнее файла портов)</translation>
    </message>
    <message>
        <source>Now: %1 (ports file)</source>
        <translation>Сейчас: %1 (файл портов)</translation>
    </message>
    <message>
        <source>Now: the system's own COM%1</source>
        <translation>Сейчас: системный COM%1</translation>
    </message>
    <message>
        <source>Written to %1: COM%2=%3. It counts from the next connect.</source>
        <translation>Записано в %1: COM%2=%3. Действует со следующего подключения.</translation>
    </message>
    <message>
        <source>Not written: %1</source>
        <translation>Не записано: %1</translation>
    </message>
</context>
<context>
    <name>QIODevice</name>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
</context>
<context>
    <name>RecorderChart</name>
    <message>
        <source>The file could not be read: %1</source>
        <translation>Не удалось прочитать файл: %1</translation>
    </message>
    <message>
        <source>Reading was stopped.</source>
        <translation>Чтение прервано.</translation>
    </message>
    <message>
        <source>Poll logs (*.csv);;All files (*)</source>
        <translation>Журналы опроса (*.csv);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Open a poll log</source>
        <translation>Открыть журнал опроса</translation>
    </message>
    <message>
        <source>Wheel: zoom, drag: move, Home or Esc: the whole view</source>
        <translation>Колесо: масштаб, перетаскивание: сдвиг, Home или Esc: весь график</translation>
    </message>
    <message>
        <source>Whole view</source>
        <translation>Весь график</translation>
    </message>
    <message>
        <source>Time axis</source>
        <translation>Ось времени</translation>
    </message>
    <message>
        <source>Open a poll log...</source>
        <translation>Открыть журнал опроса...</translation>
    </message>
</context>
<context>
    <name>RegisterBus</name>
    <message>
        <source>No error.</source>
        <translation>Ошибок нет.</translation>
    </message>
    <message>
        <source>The port is closed.</source>
        <translation>Порт закрыт.</translation>
    </message>
    <message>
        <source>The relay did not answer.</source>
        <translation>Реле не ответило.</translation>
    </message>
    <message>
        <source>The relay's answer was cut short.</source>
        <translation>Ответ реле пришёл не полностью.</translation>
    </message>
    <message>
        <source>The relay's answer had a wrong checksum (CRC).</source>
        <translation>В ответе реле неверная контрольная сумма (CRC).</translation>
    </message>
    <message>
        <source>The serial device stopped working (adapter unplugged?).</source>
        <translation>Последовательный порт перестал работать (адаптер отключён?).</translation>
    </message>
    <message>
        <source>The request is outside the registers and values the relay takes.</source>
        <translation>Запрос выходит за пределы регистров и значений, которые принимает реле.</translation>
    </message>
    <message>
        <source>The answer came sooner than the relay could have sent it (an old, late answer).</source>
        <translation>Ответ пришёл раньше, чем реле могло его отправить (старый, запоздавший ответ).</translation>
    </message>
    <message>
        <source>The reply came from another device.</source>
        <translation>Ответ пришёл от другого устройства.</translation>
    </message>
    <message>
        <source>The relay refused the request.</source>
        <translation>Реле отклонило запрос.</translation>
    </message>
    <message>
        <source>The request could not be sent on the line.</source>
        <translation>Не удалось отправить запрос в линию.</translation>
    </message>
    <message>
        <source>Reply from another device (address %1).</source>
        <translation>Ответ от другого устройства (адрес %1).</translation>
    </message>
    <message>
        <source>The relay refused the request: %1 (exception %2).</source>
        <translation>Реле отклонило запрос: %1 (исключение %2).</translation>
    </message>
    <message>
        <source>illegal function</source>
        <translation>недопустимая функция</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>недопустимый адрес данных</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>недопустимое значение данных</translation>
    </message>
    <message>
        <source>device failure</source>
        <translation>отказ устройства</translation>
    </message>
    <message>
        <source>acknowledged, still working</source>
        <translation>принято, выполняется</translation>
    </message>
    <message>
        <source>device busy</source>
        <translation>устройство занято</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>ошибка чётности памяти</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>путь шлюза недоступен</translation>
    </message>
    <message>
        <source>gateway target did not respond</source>
        <translation>устройство за шлюзом не ответило</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>код %1</translation>
    </message>
</context>
<context>
    <name>SetpointCompareWindow</name>
    <message>
        <source>Relay and file compared</source>
        <translation>Сравнение реле и файла</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Файл: %1</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Параметр</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Differs</source>
        <translation>Отличие</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>отличается</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестно</translation>
    </message>
    <message>
        <source>Relay values: %1</source>
        <translation>Значения реле: %1</translation>
    </message>
</context>
<context>
    <name>TSerialDriver</name>
    <message>
        <source>No error.</source>
        <translation>Ошибок нет.</translation>
    </message>
    <message>
        <source>No such device: %1</source>
        <translation>Устройство не найдено: %1</translation>
    </message>
    <message>
        <source>No permission to open %1: the user is not in the %2 group.</source>
        <translation>Нет прав на открытие %1: пользователь не входит в группу %2.</translation>
    </message>
    <message>
        <source>No permission to open %1.</source>
        <translation>Нет прав на открытие %1.</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 занят другой программой.</translation>
    </message>
    <message>
        <source>%1 refused the line settings.</source>
        <translation>%1 не принял параметры порта.</translation>
    </message>
    <message>
        <source>%1 stopped working (adapter unplugged?).</source>
        <translation>%1 перестал работать (адаптер отключён?).</translation>
    </message>
    <message>
        <source>%1 cannot be opened.</source>
        <translation>Не удаётся открыть %1.</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>Не удаётся открыть %1: %2.</translation>
    </message>
    <message>
        <source>No permission to open %1: the user is in the %2 group, but this session began before joining it; log out and in again.</source>
        <translation>Нет прав на открытие %1: пользователь состоит в группе %2, но этот сеанс начался до вступления в неё; выйдите из системы и войдите снова.</translation>
    </message>
    <message>
        <source>No permission to open %1: only its owner %2 may open it (mode %3), so joining its group would not help; ask the administrator for access.</source>
        <translation>Нет прав на открытие %1: открыть его может только владелец %2 (режим %3), поэтому вступление в его группу не поможет; обратитесь к администратору за доступом.</translation>
    </message>
    <message>
        <source>No permission to open %1: its permissions (mode %2) do not let this user read and write it.</source>
        <translation>Нет прав на открытие %1: его права доступа (режим %2) не позволяют этому пользователю чтение и запись.</translation>
    </message>
    <message>
        <source>No permission to open %1: %2.</source>
        <translation>Нет прав на открытие %1: %2.</translation>
    </message>
</context>
<context>
    <name>about</name>
    <message>
        <source>About VRK...</source>
        <translation>О программе VRK...</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Руководство</translation>
    </message>
    <message>
        <source>View size</source>
        <translation>Масштаб окон</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>The view size could not be stored in %1: %2</source>
        <translation>Не удалось сохранить масштаб окон в %1: %2</translation>
    </message>
    <message>
        <source>The windows are drawn at %1 % from the next start of the program.</source>
        <translation>Окна будут отображаться в масштабе %1 % со следующего запуска программы.</translation>
    </message>
    <message>
        <source>Right-click: About, manual (F1), view size</source>
        <translation>Правая кнопка мыши: о программе, руководство (F1), масштаб окон</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>not read</source>
        <translation>не считано</translation>
    </message>
    <message>
        <source>%1, %2, address %3, variant %4</source>
        <translation>%1, %2, адрес %3, исполнение %4</translation>
    </message>
    <message>
        <source>The write stopped part way; the relay now holds:</source>
        <translation>Запись прервана на полпути; теперь в реле:</translation>
    </message>
    <message>
        <source>written, but the relay holds another value</source>
        <translation>записано, но в реле другое значение</translation>
    </message>
    <message>
        <source>written and confirmed</source>
        <translation>записано и подтверждено</translation>
    </message>
    <message>
        <source>not confirmed (may or may not be in the relay)</source>
        <translation>не подтверждено (может быть или не быть в реле)</translation>
    </message>
    <message>
        <source>not sent (the relay keeps its old value)</source>
        <translation>не отправлено (в реле прежнее значение)</translation>
    </message>
    <message>
        <source>The table is for variant %1, but the relay reports variant %2: nothing was written.
Read the relay's setpoints, or correct the variant in the table.</source>
        <translation>Таблица для исполнения %1, а реле сообщает исполнение %2: ничего не записано.
Считайте уставки реле или исправьте исполнение в таблице.</translation>
    </message>
</context>
<context>
    <name>display</name>
    <message>
        <source>%1 x %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>%1 reads in a row failed: %2</source>
        <translation>%1 чтений подряд не удались: %2</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>Cannot open file "%1": %2</source>
        <translation>Не удаётся открыть файл «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot read file "%1": %2</source>
        <translation>Не удаётся прочитать файл «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot create file "%1": %2</source>
        <translation>Не удаётся создать файл «%1»: %2</translation>
    </message>
    <message>
        <source>No new file can be made in the folder of "%1" (%2), so it was written in place, and that failed: %3
The file may now be incomplete.</source>
        <translation>В папке файла «%1» нельзя создать новый файл (%2), поэтому он записывался прямо поверх старого, и это не удалось: %3
Теперь файл может быть неполным.</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation>файл не открыт</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>the link leads to no file</source>
        <translation>ссылка не ведёт ни к какому файлу</translation>
    </message>
    <message>
        <source>no new file can be made in its folder</source>
        <translation>в его папке нельзя создать новый файл</translation>
    </message>
    <message>
        <source>Cannot write file "%1": %2</source>
        <translation>Не удаётся записать файл «%1»: %2</translation>
    </message>
    <message>
        <source>the disk is full or the file has reached its size limit</source>
        <translation>диск заполнен или файл достиг ограничения размера</translation>
    </message>
    <message>
        <source>no space left on the disk</source>
        <translation>на диске нет свободного места</translation>
    </message>
    <message>
        <source>the disk is read-only</source>
        <translation>диск доступен только для чтения</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>нет прав доступа</translation>
    </message>
    <message>
        <source>the file would exceed the size limit set for this program</source>
        <translation>файл превысил бы ограничение размера файлов, заданное для этой программы</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>исчерпана дисковая квота</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>нет такого файла или папки</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>слишком длинное имя</translation>
    </message>
    <message>
        <source>it is a symbolic link to "%1", outside its folder; it is not written through</source>
        <translation>это символическая ссылка на "%1" за пределами её папки; запись через неё не выполняется</translation>
    </message>
    <message>
        <source>line %1 is longer than %2 characters; it is not cut to fit</source>
        <translation>строка %1 длиннее %2 символов; она не обрезается</translation>
    </message>
</context>
<context>
    <name>journal</name>
    <message>
        <source>The change was made but is missing from the service journal.</source>
        <translation>Изменение выполнено, но в сервисный журнал не записано.</translation>
    </message>
    <message>
        <source>confirmed: %1 of %2</source>
        <translation>подтверждено: %1 из %2</translation>
    </message>
    <message>
        <source>the link was lost</source>
        <translation>связь потеряна</translation>
    </message>
    <message>
        <source>the relay holds another value</source>
        <translation>в реле другое значение</translation>
    </message>
    <message>
        <source>not in the read-back</source>
        <translation>нет в контрольном чтении</translation>
    </message>
    <message>
        <source>clock, month.day</source>
        <translation>часы, месяц.день</translation>
    </message>
    <message>
        <source>clock, hour:minute</source>
        <translation>часы, час:минута</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>сброс аварии</translation>
    </message>
    <message>
        <source>an overload is not cleared by a reset</source>
        <translation>перегрузка сбросом не снимается</translation>
    </message>
    <message>
        <source>the write stopped before it</source>
        <translation>запись прервана до него</translation>
    </message>
    <message>
        <source>the relay did not confirm it</source>
        <translation>реле не подтвердило</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Usage: vrk [--help] [--version]
The service tool of the VRK motor protection relay (window program).

It keeps vrk.ini and its language files (pol.lng, ang.lng, rus.lng) in the
folder it is started in. The settings' COM1 and COM2 open the device that
VRK_COM1 or VRK_COM2 names, else the one a line COM1=DEVICE in the file
"ports" of that folder names (COM1=/dev/ttyUSB0, COM1=COM7).

  --user-folder  run in the user's own folder (created when missing):
                 ~/.local/share/vrk, on Windows %LOCALAPPDATA%\vrk
  --help         print this text and exit
  --version      print the version and exit
</source>
        <translation>Использование: vrk [--help] [--version]
Сервисная программа реле защиты двигателя VRK (оконная программа).

Файл vrk.ini и файлы языков (pol.lng, ang.lng, rus.lng) хранятся в папке,
в которой она запущена. Порты COM1 и COM2 из настроек открывают устройство,
указанное в VRK_COM1 или VRK_COM2, иначе устройство из строки COM1=УСТРОЙСТВО
в файле "ports" этой папки (COM1=/dev/ttyUSB0, COM1=COM7).

  --user-folder  работа в собственной папке пользователя (создаётся при отсутствии):
                 ~/.local/share/vrk, в Windows %LOCALAPPDATA%\vrk
  --help         вывести этот текст и выйти
  --version      вывести версию и выйти
</translation>
    </message>
    <message>
        <source>The system names no folder for the user's data.</source>
        <translation>Система не указывает папку для данных пользователя.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Не удаётся создать папку %1.</translation>
    </message>
    <message>
        <source>Cannot work in the folder %1.</source>
        <translation>Не удаётся работать в папке %1.</translation>
    </message>
</context>
<context>
    <name>portmap</name>
    <message>
        <source>%1 is too large to be a ports file.</source>
        <translation>%1 слишком велик для файла портов.</translation>
    </message>
</context>
<context>
    <name>records</name>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Causes</source>
        <translation>Причины</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>День</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Месяц</translation>
    </message>
    <message>
        <source>Hour</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>Минута</translation>
    </message>
    <message>
        <source>Cause byte</source>
        <translation>Байт причины</translation>
    </message>
    <message>
        <source>No trips are listed.</source>
        <translation>Срабатываний нет.</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Отсчёт</translation>
    </message>
    <message>
        <source>Heat Q [%]</source>
        <translation>Тепло Q [%]</translation>
    </message>
    <message>
        <source>cos phi [0.01]</source>
        <translation>cos фи [0,01]</translation>
    </message>
    <message>
        <source>P [W]</source>
        <translation>P [Вт]</translation>
    </message>
    <message>
        <source>%1%2 min</source>
        <translation>%1%2 мин</translation>
    </message>
    <message>
        <source>%1%2 h %3 min</source>
        <translation>%1%2 ч %3 мин</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>Протокол пусконаладки</translation>
    </message>
    <message>
        <source>%1 (%2 A relay)</source>
        <translation>%1 (реле на %2 А)</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>неизвестно</translation>
    </message>
    <message>
        <source>Relay clock</source>
        <translation>Часы реле</translation>
    </message>
    <message>
        <source>Relay: %1.%2 %3:%4   PC: %5   difference: %6</source>
        <translation>Реле: %1.%2 %3:%4   ПК: %5   разница: %6</translation>
    </message>
    <message>
        <source>The relay's clock could not be read.</source>
        <translation>Не удалось считать часы реле.</translation>
    </message>
    <message>
        <source>Setpoints as read from the relay</source>
        <translation>Уставки, считанные из реле</translation>
    </message>
    <message>
        <source>The setpoints have not been read from the relay.</source>
        <translation>Уставки не считаны из реле.</translation>
    </message>
    <message>
        <source>Setpoint</source>
        <translation>Уставка</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Range and unit</source>
        <translation>Диапазон и единица</translation>
    </message>
    <message>
        <source>Differences to a setpoint file</source>
        <translation>Отличия от файла уставок</translation>
    </message>
    <message>
        <source>No setpoint file was chosen.</source>
        <translation>Файл уставок не выбран.</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Файл: %1</translation>
    </message>
    <message>
        <source>The relay holds every value of the file.</source>
        <translation>Реле содержит все значения из файла.</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Fault log</source>
        <translation>Журнал аварий</translation>
    </message>
    <message>
        <source>The fault log has not been read from the relay.</source>
        <translation>Журнал аварий не считан из реле.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv|All files (*.*)|*.*</source>
        <translation>Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Текстовые файлы (*.txt)|*.txt|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>PNG images (*.png)|*.png|All files (*.*)|*.*</source>
        <translation>Изображения PNG (*.png)|*.png|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*</source>
        <translation>Документы PDF (*.pdf)|*.pdf|Все файлы (*.*)|*.*</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Log to file</source>
        <translation>Запись в файл</translation>
    </message>
    <message>
        <source>Logging stopped</source>
        <translation>Запись прервана</translation>
    </message>
    <message>
        <source>Logging has stopped; the poll goes on.</source>
        <translation>Запись в файл прервана; опрос измерений продолжается.</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Идёт запись</translation>
    </message>
    <message>
        <source>Writes every good measurement read to a CSV file until clicked again</source>
        <translation>Записывает каждый успешный опрос измерений в файл CSV до повторного нажатия</translation>
    </message>
    <message>
        <source>Export the fault log as CSV...</source>
        <translation>Экспорт журнала аварий в CSV...</translation>
    </message>
    <message>
        <source>Export the fault log as text...</source>
        <translation>Экспорт журнала аварий в текст...</translation>
    </message>
    <message>
        <source>Save the chart as a picture (PNG)...</source>
        <translation>Сохранить график как изображение (PNG)...</translation>
    </message>
    <message>
        <source>Export the shown history as CSV...</source>
        <translation>Экспорт показанной записи в CSV...</translation>
    </message>
    <message>
        <source>Commissioning report (PDF)...</source>
        <translation>Протокол пусконаладки (PDF)...</translation>
    </message>
    <message>
        <source>Log the poll to</source>
        <translation>Записывать измерения в</translation>
    </message>
    <message>
        <source>Export the fault log</source>
        <translation>Экспорт журнала аварий</translation>
    </message>
    <message>
        <source>Fault log, %1</source>
        <translation>Журнал аварий, %1</translation>
    </message>
    <message>
        <source>Save the chart</source>
        <translation>Сохранение графика</translation>
    </message>
    <message>
        <source>The chart could not be made into a picture.</source>
        <translation>Не удалось создать изображение графика.</translation>
    </message>
    <message>
        <source>Export the shown history</source>
        <translation>Экспорт показанной записи</translation>
    </message>
    <message>
        <source>Setpoint file to compare with (Cancel: none)</source>
        <translation>Файл уставок для сравнения (Отмена: без сравнения)</translation>
    </message>
    <message>
        <source>Save the commissioning report</source>
        <translation>Сохранение протокола пусконаладки</translation>
    </message>
    <message>
        <source>Iavg [%]</source>
        <translation>Iср [%]</translation>
    </message>
    <message>
        <source>Iavg [A]</source>
        <translation>Iср [А]</translation>
    </message>
    <message>
        <source>Uavg [V]</source>
        <translation>Uср [В]</translation>
    </message>
    <message>
        <source>P [kW]</source>
        <translation>P [кВт]</translation>
    </message>
    <message>
        <source>Fault word</source>
        <translation>Слово аварий</translation>
    </message>
    <message>
        <source>Faults</source>
        <translation>Аварии</translation>
    </message>
    <message>
        <source>Lost reads</source>
        <translation>Потерянные опросы</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>not read from the relay</source>
        <translation>не считано из реле</translation>
    </message>
    <message>
        <source>Log paused</source>
        <translation>Пауза записи</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>нет связи</translation>
    </message>
    <message>
        <source>Writes every good measurement read to a CSV file until clicked again; right-click for the file's choices</source>
        <translation>Записывает каждый успешный опрос измерений в файл CSV до повторного нажатия; правая кнопка мыши: параметры файла</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>остановлена</translation>
    </message>
    <message>
        <source>Decimal comma in the next file</source>
        <translation>Десятичная запятая в следующем файле</translation>
    </message>
    <message>
        <source>Decimal point in the next file</source>
        <translation>Десятичная точка в следующем файле</translation>
    </message>
    <message>
        <source>A new file each day</source>
        <translation>Новый файл каждый день</translation>
    </message>
    <message>
        <source>No new file by size</source>
        <translation>Без нового файла по размеру</translation>
    </message>
    <message>
        <source>A new file every %1 MB</source>
        <translation>Новый файл каждые %1 МБ</translation>
    </message>
    <message>
        <source>%1, address %2</source>
        <translation>%1, адрес %2</translation>
    </message>
    <message>
        <source>disconnected by the user</source>
        <translation>отключено пользователем</translation>
    </message>
    <message>
        <source>lost reads: %1</source>
        <translation>потерянные опросы: %1</translation>
    </message>
    <message>
        <source>Ir [%]</source>
        <translation>Ir [%]</translation>
    </message>
    <message>
        <source>Is [%]</source>
        <translation>Is [%]</translation>
    </message>
    <message>
        <source>It [%]</source>
        <translation>It [%]</translation>
    </message>
    <message>
        <source>Ir [A]</source>
        <translation>Ir [А]</translation>
    </message>
    <message>
        <source>Is [A]</source>
        <translation>Is [А]</translation>
    </message>
    <message>
        <source>It [A]</source>
        <translation>It [А]</translation>
    </message>
    <message>
        <source>In [A]</source>
        <translation>In [А]</translation>
    </message>
    <message>
        <source>Ur [V]</source>
        <translation>Ur [В]</translation>
    </message>
    <message>
        <source>Us [V]</source>
        <translation>Us [В]</translation>
    </message>
    <message>
        <source>Ut [V]</source>
        <translation>Ut [В]</translation>
    </message>
    <message>
        <source>cos phi</source>
        <translation>cos φ</translation>
    </message>
    <message>
        <source>K1</source>
        <translation>K1</translation>
    </message>
    <message>
        <source>K2</source>
        <translation>K2</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Отключено</translation>
    </message>
    <message>
        <source>Trip</source>
        <translation>Срабатывание</translation>
    </message>
    <message>
        <source>Fault reset</source>
        <translation>Сброс аварии</translation>
    </message>
    <message>
        <source>Setpoints written</source>
        <translation>Уставки записаны</translation>
    </message>
    <message>
        <source>Clock set</source>
        <translation>Часы установлены</translation>
    </message>
    <message>
        <source>Language changed</source>
        <translation>Смена языка</translation>
    </message>
    <message>
        <source>Continued</source>
        <translation>Продолжение</translation>
    </message>
    <message>
        <source>Service journal...</source>
        <translation>Сервисный журнал...</translation>
    </message>
    <message>
        <source>address %1 on %2</source>
        <translation>адрес %1 на %2</translation>
    </message>
    <message>
        <source>Relay %1, %2, %3 to %4</source>
        <translation>Реле: %1, %2, с %3 по %4</translation>
    </message>
    <message>
        <source>No samples have been taken yet.</source>
        <translation>Отсчёты ещё не собраны.</translation>
    </message>
    <message>
        <source>(a recording keeps no times)</source>
        <translation>(запись из файла не содержит времени)</translation>
    </message>
    <message>
        <source>Read from the relay at %1.</source>
        <translation>Считано с реле: %1.</translation>
    </message>
    <message>
        <source>Read from the relay earlier in this session; the time of the read is not known.</source>
        <translation>Считано с реле ранее в этом сеансе; время считывания неизвестно.</translation>
    </message>
    <message>
        <source>setpoint written</source>
        <translation>запись уставки</translation>
    </message>
    <message>
        <source>clock set</source>
        <translation>установка часов</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>сброс аварии</translation>
    </message>
    <message>
        <source>confirmed by read-back</source>
        <translation>подтверждено считыванием</translation>
    </message>
    <message>
        <source>NOT confirmed</source>
        <translation>НЕ подтверждено</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>не отправлено</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>отклонено</translation>
    </message>
    <message>
        <source>The measured values were not read: the relay was not connected.</source>
        <translation>Измеренные значения не считаны: реле не было подключено.</translation>
    </message>
    <message>
        <source>Phase currents Ir, Is, It</source>
        <translation>Фазные токи Ir, Is, It</translation>
    </message>
    <message>
        <source>Phase voltages Ur, Us, Ut</source>
        <translation>Фазные напряжения Ur, Us, Ut</translation>
    </message>
    <message>
        <source>Motor heat Q</source>
        <translation>Нагрев двигателя Q</translation>
    </message>
    <message>
        <source>Active power P</source>
        <translation>Активная мощность P</translation>
    </message>
    <message>
        <source>Output relays</source>
        <translation>Выходные реле</translation>
    </message>
    <message>
        <source>K1 %1,   K2 %2</source>
        <translation>K1 %1,   K2 %2</translation>
    </message>
    <message>
        <source>on</source>
        <translation>включено</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выключено</translation>
    </message>
    <message>
        <source>%1 (no fault)</source>
        <translation>%1 (нет аварии)</translation>
    </message>
    <message>
        <source>Relay at address %1</source>
        <translation>Реле с адресом %1</translation>
    </message>
    <message>
        <source> on %1</source>
        <translation> на %1</translation>
    </message>
    <message>
        <source>, variant %1</source>
        <translation>, исполнение %1</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Техник</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Заказчик</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Объект</translation>
    </message>
    <message>
        <source>Motor tag</source>
        <translation>Обозначение двигателя</translation>
    </message>
    <message>
        <source>Nameplate In</source>
        <translation>In с таблички</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>Примечание</translation>
    </message>
    <message>
        <source>Relay and connection</source>
        <translation>Реле и подключение</translation>
    </message>
    <message>
        <source>Relay variant</source>
        <translation>Исполнение реле</translation>
    </message>
    <message>
        <source>Bus address</source>
        <translation>Адрес на шине</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>Line settings</source>
        <translation>Параметры линии</translation>
    </message>
    <message>
        <source>Program version</source>
        <translation>Версия программы</translation>
    </message>
    <message>
        <source>Measured values</source>
        <translation>Измеренные значения</translation>
    </message>
    <message>
        <source>Values outside their ranges: parameter %1.</source>
        <translation>Значения вне диапазона: параметр %1.</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Проверка</translation>
    </message>
    <message>
        <source>OUT OF RANGE</source>
        <translation>ВНЕ ДИАПАЗОНА</translation>
    </message>
    <message>
        <source>Changes made on the relay during this session</source>
        <translation>Изменения в реле за этот сеанс</translation>
    </message>
    <message>
        <source>The changes made on the relay could not be read from the service journal: %1</source>
        <translation>Не удалось прочитать изменения в реле из сервисного журнала: %1</translation>
    </message>
    <message>
        <source>No setpoint was written, the clock was not set and no fault reset was sent since the program started.</source>
        <translation>С момента запуска программы уставки не записывались, часы не устанавливались, сброс аварии не отправлялся.</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Изменение</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>До</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Отправлено</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Результат</translation>
    </message>
    <message>
        <source>Signatures</source>
        <translation>Подписи</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Подпись</translation>
    </message>
    <message>
        <source>The measured values could not be read from the relay.</source>
        <translation>Не удалось считать измеренные значения с реле.</translation>
    </message>
</context>
<context>
    <name>records::ReportDialog</name>
    <message>
        <source>Commissioning report</source>
        <translation>Протокол ввода в эксплуатацию</translation>
    </message>
    <message>
        <source>e.g. 42 A</source>
        <translation>напр. 42 A</translation>
    </message>
    <message>
        <source>&amp;Technician:</source>
        <translation>&amp;Техник:</translation>
    </message>
    <message>
        <source>&amp;Customer:</source>
        <translation>&amp;Заказчик:</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Объект:</translation>
    </message>
    <message>
        <source>&amp;Motor tag:</source>
        <translation>&amp;Обозначение двигателя:</translation>
    </message>
    <message>
        <source>&amp;Nameplate In:</source>
        <translation>In с &amp;таблички:</translation>
    </message>
    <message>
        <source>&amp;Remark:</source>
        <translation>&amp;Примечание:</translation>
    </message>
</context>
<context>
    <name>relaydata</name>
    <message>
        <source>In the relay, %1: %2</source>
        <translation>В реле, %1: %2</translation>
    </message>
    <message>
        <source>Every trip listed is %1.</source>
        <translation>Список аварий — данные %1.</translation>
    </message>
    <message>
        <source>time unknown</source>
        <translation>время неизвестно</translation>
    </message>
    <message>
        <source>earlier, from the relay at address %1 on %2, read %3</source>
        <translation>прежние, от реле с адресом %1 на %2, чтение %3</translation>
    </message>
</context>
<context>
    <name>setpoints</name>
    <message>
        <source>Compare with a file...</source>
        <translation>Сравнить с файлом...</translation>
    </message>
    <message>
        <source>The relay's value is not known: read the setpoints first.</source>
        <translation>Значение в реле неизвестно: сначала считайте уставки.</translation>
    </message>
    <message>
        <source>In the relay: %1</source>
        <translation>В реле: %1</translation>
    </message>
    <message>
        <source>The relay did not confirm these setpoints:</source>
        <translation>Реле не подтвердило запись уставок:</translation>
    </message>
    <message>
        <source>The other setpoints were written.</source>
        <translation>Остальные уставки записаны.</translation>
    </message>
    <message>
        <source>Reading the setpoints back failed: the values in the relay are not confirmed.</source>
        <translation>Контрольное чтение уставок не удалось: значения в реле не подтверждены.</translation>
    </message>
    <message>
        <source>The relay holds other values than those sent:</source>
        <translation>В реле другие значения, чем отправленные:</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>не считано</translation>
    </message>
    <message>
        <source>Reading back shows that the relay holds every value sent.</source>
        <translation>Контрольное чтение показывает, что в реле все отправленные значения.</translation>
    </message>
    <message>
        <source>Setpoints confirmed %1</source>
        <translation>Уставки подтверждены %1</translation>
    </message>
    <message>
        <source>The setpoints were written and read back equal at %1.</source>
        <translation>Уставки записаны, контрольное чтение в %1 дало те же значения.</translation>
    </message>
    <message>
        <source>The relay reports variant %1, which this program does not know (1: 20 A, 2: 100 A, 3: 250 A). Its In cannot be shown, and no setpoint can be written to it. Check the relay's type plate; a relay that keeps reporting this variant needs servicing.</source>
        <translation>Реле сообщает вариант %1, неизвестный этой программе (1: 20 A, 2: 100 A, 3: 250 A). Его In не может быть показан, и уставки в него записать нельзя. Проверьте заводскую табличку реле; реле, которое продолжает сообщать этот вариант, требует обслуживания.</translation>
    </message>
    <message>
        <source>The relay reports variant %1, which this program does not know: its In cannot be shown.</source>
        <translation>Реле сообщает вариант %1, неизвестный этой программе: его In не может быть показан.</translation>
    </message>
</context>
<context>
    <name>viewsize</name>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation>Не удалось создать папку %1.</translation>
    </message>
</context>
<context>
    <name>vrk-cli</name>
    <message>
        <source>Find the relays on the line.</source>
        <translation>Найти реле на линии.</translation>
    </message>
    <message>
        <source>Read the measurements once, as the data page shows them.</source>
        <translation>Однократно считать измерения так, как их показывает страница данных.</translation>
    </message>
    <message>
        <source>Read the measurements continuously, as CSV.</source>
        <translation>Непрерывно считывать измерения в формате CSV.</translation>
    </message>
    <message>
        <source>Read the setpoints: show the table or save a setpoint file.</source>
        <translation>Считать уставки: показать таблицу или сохранить файл уставок.</translation>
    </message>
    <message>
        <source>Check a setpoint file and write it to the relay.</source>
        <translation>Проверить файл уставок и записать его в реле.</translation>
    </message>
    <message>
        <source>Read the relay's fault log, newest first.</source>
        <translation>Считать журнал аварий реле, начиная с последней.</translation>
    </message>
    <message>
        <source>Set the relay's clock.</source>
        <translation>Установить часы реле.</translation>
    </message>
    <message>
        <source>Clear the relay's faults, as the Reset button does.</source>
        <translation>Сбросить аварии реле, как кнопка «Сброс».</translation>
    </message>
    <message>
        <source>The serial port: COM1, COM2 or a device path.</source>
        <translation>Последовательный порт: COM1, COM2 или путь к устройству.</translation>
    </message>
    <message>
        <source>Line speed: 19200, 9600, 4800 or 2400.</source>
        <translation>Скорость линии: 19200, 9600, 4800 или 2400.</translation>
    </message>
    <message>
        <source>Parity: none, odd or even.</source>
        <translation>Чётность: none (нет), odd (нечёт) или even (чёт).</translation>
    </message>
    <message>
        <source>Data bits: 8 or 7.</source>
        <translation>Биты данных: 8 или 7.</translation>
    </message>
    <message>
        <source>Stop bits: 1 or 2.</source>
        <translation>Стоповые биты: 1 или 2.</translation>
    </message>
    <message>
        <source>The relay's bus address, 1-247.</source>
        <translation>Адрес реле на шине, 1-247.</translation>
    </message>
    <message>
        <source>How long to wait for an answer, in milliseconds.</source>
        <translation>Время ожидания ответа в миллисекундах.</translation>
    </message>
    <message>
        <source>--%1 must be a number from %2 to %3.</source>
        <translation>--%1 должен быть числом от %2 до %3.</translation>
    </message>
    <message>
        <source>--port needs a device.</source>
        <translation>Для --port нужно указать устройство.</translation>
    </message>
    <message>
        <source>--baud %1 is not a standard line speed.</source>
        <translation>--baud %1 не является стандартной скоростью линии.</translation>
    </message>
    <message>
        <source>--parity must be none, odd or even.</source>
        <translation>--parity должен быть none, odd или even.</translation>
    </message>
    <message>
        <source>Usage: vrk-cli COMMAND [options]</source>
        <translation>Использование: vrk-cli КОМАНДА [параметры]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Команды:</translation>
    </message>
    <message>
        <source>--lang must be pl, en or ru.</source>
        <translation>--lang должен быть pl, en или ru.</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>Неизвестная команда: %1</translation>
    </message>
    <message>
        <source>The language of the texts: pl, en or ru (default en).</source>
        <translation>Язык текстов: pl, en или ru (по умолчанию en).</translation>
    </message>
    <message>
        <source>Try every speed and parity the settings offer.</source>
        <translation>Перебрать все скорости и чётности из настроек.</translation>
    </message>
    <message>
        <source>The first address to try (default 1).</source>
        <translation>Первый проверяемый адрес (по умолчанию 1).</translation>
    </message>
    <message>
        <source>The last address to try (default 247).</source>
        <translation>Последний проверяемый адрес (по умолчанию 247).</translation>
    </message>
    <message>
        <source>Time between reads, in milliseconds (default 200).</source>
        <translation>Интервал между опросами в миллисекундах (по умолчанию 200).</translation>
    </message>
    <message>
        <source>Stop after S seconds (default: at Ctrl+C).</source>
        <translation>Остановиться через S секунд (по умолчанию: по Ctrl+C).</translation>
    </message>
    <message>
        <source>Do not read the setpoints back after writing.</source>
        <translation>Не считывать уставки обратно после записи.</translation>
    </message>
    <message>
        <source>Print the log as CSV.</source>
        <translation>Вывести журнал в формате CSV.</translation>
    </message>
    <message>
        <source>The time to set, ISO 8601 (default: this computer's clock).</source>
        <translation>Устанавливаемое время, ISO 8601 (по умолчанию: часы этого компьютера).</translation>
    </message>
    <message>
        <source>Wrong arguments; see vrk-cli %1 --help.</source>
        <translation>Неверные аргументы; см. vrk-cli %1 --help.</translation>
    </message>
    <message>
        <source>--time must be a date and time such as 2026-12-08T09:30.</source>
        <translation>--time должен быть датой и временем, например 2026-12-08T09:30.</translation>
    </message>
    <message>
        <source>Show this help and do nothing else.</source>
        <translation>Показать эту справку и больше ничего не делать.</translation>
    </message>
    <message>
        <source>Print the version and do nothing else.</source>
        <translation>Вывести версию и больше ничего не делать.</translation>
    </message>
    <message>
        <source>Print only the data, warnings and errors.</source>
        <translation>Выводить только данные, предупреждения и ошибки.</translation>
    </message>
    <message>
        <source>Trace every frame on standard error.</source>
        <translation>Трассировать каждый кадр в стандартный поток ошибок.</translation>
    </message>
    <message>
        <source>The decimal separator of text and CSV: point or comma (default: the locale's). CSV with a comma separates its fields with semicolons.</source>
        <translation>Десятичный разделитель текста и CSV: point (точка) или comma (запятая) (по умолчанию: из региональных настроек). CSV с запятой разделяет поля точкой с запятой.</translation>
    </message>
    <message>
        <source>The relays' bus addresses, 1-247: one, a list or ranges such as 3,5,7 or 1-10.</source>
        <translation>Адреса реле на шине, 1-247: один, список или диапазоны, например 3,5,7 или 1-10.</translation>
    </message>
    <message>
        <source>Ask again up to N times when a read gets no good answer (default 0).</source>
        <translation>Повторять чтение до N раз, если нет правильного ответа (по умолчанию 0).</translation>
    </message>
    <message>
        <source>Print the data as JSON.</source>
        <translation>Вывести данные в формате JSON.</translation>
    </message>
    <message>
        <source>Write the rows to FILE (a regular file; - for the standard output) instead of the standard output.</source>
        <translation>Записывать строки в ФАЙЛ (обычный файл; - означает стандартный вывод) вместо стандартного вывода.</translation>
    </message>
    <message>
        <source>Add the rows to the end of the --csv file.</source>
        <translation>Дописывать строки в конец файла --csv.</translation>
    </message>
    <message>
        <source>Check the file, read the relay and show what would change (parameter, relay value, file value); write nothing.</source>
        <translation>Проверить файл, прочитать реле и показать, что изменится (параметр, значение в реле, значение из файла); ничего не записывать.</translation>
    </message>
    <message>
        <source>Really write the register: nothing is written without it.</source>
        <translation>Действительно записать регистр: без этого ничего не записывается.</translation>
    </message>
    <message>
        <source>Record what is changed in the relay in this journal (default journal.csv).</source>
        <translation>Записывать изменения в реле в этот журнал (по умолчанию journal.csv).</translation>
    </message>
    <message>
        <source>Record nothing in the journal.</source>
        <translation>Ничего не записывать в журнал.</translation>
    </message>
    <message>
        <source>Read the relay's clock.</source>
        <translation>Прочитать часы реле.</translation>
    </message>
    <message>
        <source>Service: read registers (decimal or 0x hex numbers).</source>
        <translation>Сервис: прочитать регистры (десятичные или шестнадцатеричные числа 0x).</translation>
    </message>
    <message>
        <source>Service: write one register; only with --yes.</source>
        <translation>Сервис: записать один регистр; только с --yes.</translation>
    </message>
    <message>
        <source>Cannot write the standard output: %1</source>
        <translation>Невозможно записать в стандартный вывод: %1</translation>
    </message>
    <message>
        <source>The change was not recorded in the journal: %1</source>
        <translation>Изменение не записано в журнал: %1</translation>
    </message>
    <message>
        <source>--address %1: give addresses from 1 to 247, such as 3,5,7 or 1-10.</source>
        <translation>--address %1: укажите адреса от 1 до 247, например 3,5,7 или 1-10.</translation>
    </message>
    <message>
        <source>Each command takes --help (also: vrk-cli help COMMAND). -V, --version prints the version. The options may stand before or after the command.</source>
        <translation>Каждая команда принимает --help (также: vrk-cli help КОМАНДА). -V, --version выводит версию. Параметры можно указывать до или после команды.</translation>
    </message>
    <message>
        <source>Usage: vrk-cli %1 SUBCOMMAND [options]</source>
        <translation>Использование: vrk-cli %1 ПОДКОМАНДА [параметры]</translation>
    </message>
    <message>
        <source>See vrk-cli --help.</source>
        <translation>См. vrk-cli --help.</translation>
    </message>
    <message>
        <source>See vrk-cli %1 --help.</source>
        <translation>См. vrk-cli %1 --help.</translation>
    </message>
    <message>
        <source>vrk-cli %1 needs a subcommand.</source>
        <translation>vrk-cli %1 требует подкоманду.</translation>
    </message>
    <message>
        <source>--decimal must be point or comma.</source>
        <translation>--decimal должен быть point или comma.</translation>
    </message>
    <message>
        <source>--append needs --csv FILE.</source>
        <translation>--append требует --csv ФАЙЛ.</translation>
    </message>
    <message>
        <source>--duration must be a positive number of seconds, at most a year.</source>
        <translation>--duration должен быть положительным числом секунд, не более года.</translation>
    </message>
    <message>
        <source>%1 is not a number from 0 to 65535 (decimal or 0x hex).</source>
        <translation>%1 не является числом от 0 до 65535 (десятичным или шестнадцатеричным 0x).</translation>
    </message>
    <message>
        <source>Stopped before the end: the command is incomplete.</source>
        <translation>Остановлено до конца: команда выполнена не полностью.</translation>
    </message>
    <message>
        <source>The scan was stopped before address %1 at %2: it is incomplete.</source>
        <translation>Поиск остановлен перед адресом %1 при %2: он неполный.</translation>
    </message>
    <message>
        <source>No relay answered.</source>
        <translation>Ни одно реле не ответило.</translation>
    </message>
    <message>
        <source>the variant could not be read</source>
        <translation>не удалось прочитать вариант</translation>
    </message>
    <message>
        <source>the nominal current setting is 0</source>
        <translation>уставка номинального тока равна 0</translation>
    </message>
    <message>
        <source>variant %1 has no current range</source>
        <translation>у варианта %1 нет диапазона тока</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>не прочитано</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл.</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл.</translation>
    </message>
    <message>
        <source>Warning: address %1: the variant could not be read (%2); the currents in A are unknown.</source>
        <translation>Внимание: адрес %1: не удалось прочитать вариант (%2); токи в А неизвестны.</translation>
    </message>
    <message>
        <source>%1 reads, %2 lost.</source>
        <translation>Чтений: %1, потеряно: %2.</translation>
    </message>
    <message>
        <source>remove the space before or after the number</source>
        <translation>удалите пробел до или после числа</translation>
    </message>
    <message>
        <source>write the decimal with a comma: %1</source>
        <translation>дробную часть отделяйте запятой: %1</translation>
    </message>
    <message>
        <source>the value is missing</source>
        <translation>значение отсутствует</translation>
    </message>
    <message>
        <source>Parameter %1 (%2): the relay's value "%3" is outside its range %4</source>
        <translation>Параметр %1 (%2): значение в реле "%3" вне диапазона %4</translation>
    </message>
    <message>
        <source>Parameter %1 (%2): the file's value "%3" is not valid; allowed: %4</source>
        <translation>Параметр %1 (%2): значение из файла "%3" недопустимо; допустимо: %4</translation>
    </message>
    <message>
        <source>Warning: the relay holds values outside their ranges:</source>
        <translation>Внимание: в реле есть значения вне диапазонов:</translation>
    </message>
    <message>
        <source>Cannot read the standard input: %1</source>
        <translation>Невозможно прочитать стандартный ввод: %1</translation>
    </message>
    <message>
        <source>Nothing would be written.</source>
        <translation>Ничего не было бы записано.</translation>
    </message>
    <message>
        <source>same</source>
        <translation>без изменений</translation>
    </message>
    <message>
        <source>changes</source>
        <translation>изменится</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Ничего не записано.</translation>
    </message>
    <message>
        <source>Every setpoint write was confirmed (no read-back).</source>
        <translation>Каждая запись уставки подтверждена (без контрольного чтения).</translation>
    </message>
    <message>
        <source>The relay does not clear an overload: the reset was not sent.</source>
        <translation>Реле не сбрасывает перегрузку: сброс не отправлен.</translation>
    </message>
    <message>
        <source>Reset sent.</source>
        <translation>Сброс отправлен.</translation>
    </message>
    <message>
        <source>COUNT must be a number from 1 to %1, within registers 0-65535.</source>
        <translation>КОЛИЧЕСТВО должно быть числом от 1 до %1 в пределах регистров 0-65535.</translation>
    </message>
    <message>
        <source>Writing a register can change how the relay protects the motor: nothing was written. Add --yes to write it.</source>
        <translation>Запись регистра может изменить защиту двигателя реле: ничего не записано. Добавьте --yes, чтобы записать.</translation>
    </message>
    <message>
        <source>Register %1 = %2 written and confirmed.</source>
        <translation>Регистр %1 = %2 записан и подтверждён.</translation>
    </message>
</context>
</TS>