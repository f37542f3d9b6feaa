<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
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
</context>
</TS>