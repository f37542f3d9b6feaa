<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl" sourcelanguage="en">
<context>
    <name>FaultLog</name>
    <message>
        <source>Records %1 of the relay's memory were not read now: their rows (grey) are from an earlier read.</source>
        <translation>Rekordy %1 pamięci przekaźnika nie zostały teraz odczytane: ich wiersze (szare) pochodzą z wcześniejszego odczytu.</translation>
    </message>
    <message>
        <source>Records %1 of the relay's memory could not be read: their trips are missing from the list.</source>
        <translation>Nie udało się odczytać rekordów %1 pamięci przekaźnika: ich zadziałań brak na liście.</translation>
    </message>
</context>
</TS>