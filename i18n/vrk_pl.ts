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
    <message>
        <source>(no cause recorded)</source>
        <translation>(brak zapisanej przyczyny)</translation>
    </message>
</context>
<context>
    <name>FileDialog</name>
    <message>
        <source>Save As</source>
        <translation>Zapisz jako</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>Plik %1 już istnieje.
Czy chcesz go zastąpić?</translation>
    </message>
</context>
<context>
    <name>RegisterBus</name>
    <message>
        <source>No error.</source>
        <translation>Brak błędu.</translation>
    </message>
    <message>
        <source>The port is closed.</source>
        <translation>Port jest zamknięty.</translation>
    </message>
    <message>
        <source>The relay did not answer.</source>
        <translation>Przekaźnik nie odpowiedział.</translation>
    </message>
    <message>
        <source>The relay's answer was cut short.</source>
        <translation>Odpowiedź przekaźnika była niepełna.</translation>
    </message>
    <message>
        <source>The relay's answer had a wrong checksum (CRC).</source>
        <translation>Odpowiedź przekaźnika miała błędną sumę kontrolną (CRC).</translation>
    </message>
    <message>
        <source>The serial device stopped working (adapter unplugged?).</source>
        <translation>Port szeregowy przestał działać (odłączony adapter?).</translation>
    </message>
    <message>
        <source>The request is outside the registers and values the relay takes.</source>
        <translation>Zapytanie wykracza poza rejestry i wartości obsługiwane przez przekaźnik.</translation>
    </message>
</context>
<context>
    <name>SetpointCompareWindow</name>
    <message>
        <source>Relay and file compared</source>
        <translation>Porównanie przekaźnika z plikiem</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Plik: %1</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parametr</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Przekaźnik</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>Differs</source>
        <translation>Różnica</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>różni się</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>nieznana</translation>
    </message>
</context>
<context>
    <name>TSerialDriver</name>
    <message>
        <source>No error.</source>
        <translation>Brak błędu.</translation>
    </message>
    <message>
        <source>No such device: %1</source>
        <translation>Nie ma takiego urządzenia: %1</translation>
    </message>
    <message>
        <source>No permission to open %1: the user is not in the %2 group.</source>
        <translation>Brak uprawnień do otwarcia %1: użytkownik nie należy do grupy %2.</translation>
    </message>
    <message>
        <source>No permission to open %1.</source>
        <translation>Brak uprawnień do otwarcia %1.</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 jest zajęty przez inny program.</translation>
    </message>
    <message>
        <source>%1 refused the line settings.</source>
        <translation>%1 nie przyjął ustawień transmisji.</translation>
    </message>
    <message>
        <source>%1 stopped working (adapter unplugged?).</source>
        <translation>%1 przestał działać (odłączony adapter?).</translation>
    </message>
    <message>
        <source>%1 cannot be opened.</source>
        <translation>Nie można otworzyć %1.</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>Cannot open file "%1": %2</source>
        <translation>Nie można otworzyć pliku „%1”: %2</translation>
    </message>
    <message>
        <source>Cannot read file "%1": %2</source>
        <translation>Nie można odczytać pliku „%1”: %2</translation>
    </message>
    <message>
        <source>Cannot create file "%1": %2</source>
        <translation>Nie można utworzyć pliku „%1”: %2</translation>
    </message>
    <message>
        <source>No new file can be made in the folder of "%1" (%2), so it was written in place, and that failed: %3
The file may now be incomplete.</source>
        <translation>W folderze pliku „%1” nie można utworzyć nowego pliku (%2), więc zapisywano go bezpośrednio w miejscu starego i to się nie udało: %3
Plik może być teraz niekompletny.</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>to nie jest zwykły plik</translation>
    </message>
    <message>
        <source>the file is not open</source>
        <translation>plik nie jest otwarty</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>błąd wejścia/wyjścia</translation>
    </message>
    <message>
        <source>the link leads to no file</source>
        <translation>dowiązanie nie prowadzi do żadnego pliku</translation>
    </message>
    <message>
        <source>no new file can be made in its folder</source>
        <translation>w jego folderze nie można utworzyć nowego pliku</translation>
    </message>
    <message>
        <source>Cannot write file "%1": %2</source>
        <translation>Nie można zapisać pliku „%1”: %2</translation>
    </message>
</context>
<context>
    <name>setpoints</name>
    <message>
        <source>Compare with a file...</source>
        <translation>Porównaj z plikiem...</translation>
    </message>
    <message>
        <source>The relay's value is not known: read the setpoints first.</source>
        <translation>Wartość w przekaźniku nieznana: najpierw odczytaj nastawy.</translation>
    </message>
    <message>
        <source>In the relay: %1</source>
        <translation>W przekaźniku: %1</translation>
    </message>
    <message>
        <source>The relay did not confirm these setpoints:</source>
        <translation>Przekaźnik nie potwierdził zapisu nastaw:</translation>
    </message>
    <message>
        <source>The other setpoints were written.</source>
        <translation>Pozostałe nastawy zostały zapisane.</translation>
    </message>
    <message>
        <source>Reading the setpoints back failed: the values in the relay are not confirmed.</source>
        <translation>Odczyt kontrolny nastaw nie powiódł się: wartości w przekaźniku nie są potwierdzone.</translation>
    </message>
    <message>
        <source>The relay holds other values than those sent:</source>
        <translation>Przekaźnik ma inne wartości niż wysłane:</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>nie odczytano</translation>
    </message>
    <message>
        <source>Reading back shows that the relay holds every value sent.</source>
        <translation>Odczyt kontrolny pokazuje, że przekaźnik ma wszystkie wysłane wartości.</translation>
    </message>
    <message>
        <source>Setpoints confirmed %1</source>
        <translation>Nastawy potwierdzone %1</translation>
    </message>
    <message>
        <source>The setpoints were written and read back equal at %1.</source>
        <translation>Nastawy zostały zapisane, a odczyt kontrolny o %1 dał te same wartości.</translation>
    </message>
</context>
</TS>