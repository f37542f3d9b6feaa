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
</context>
</TS>