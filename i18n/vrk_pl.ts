<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl" sourcelanguage="en">
<context>
    <name>AboutWindow</name>
    <message>
        <source>About VRK</source>
        <translation>O programie VRK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>VRK service tool %1</source>
        <translation>Program serwisowy VRK %1</translation>
    </message>
    <message>
        <source>(version unknown)</source>
        <translation>(wersja nieznana)</translation>
    </message>
    <message>
        <source>Built on %1 with Qt %2 (running on Qt %3).</source>
        <translation>Zbudowany %1 z Qt %2 (działa na Qt %3).</translation>
    </message>
    <message>
        <source>Licence: all rights reserved. This software may be used, copied and passed on only as agreed with its copyright holders. Qt is used under the GNU LGPL version 3.</source>
        <translation>Licencja: wszelkie prawa zastrzeżone. Program może być używany, kopiowany i przekazywany wyłącznie w sposób uzgodniony z właścicielami praw autorskich. Qt jest używane na licencji GNU LGPL w wersji 3.</translation>
    </message>
    <message>
        <source>Settings (vrk.ini) and language files: %1</source>
        <translation>Ustawienia (vrk.ini) i pliki językowe: %1</translation>
    </message>
    <message>
        <source>View size: %1</source>
        <translation>Rozmiar widoku: %1</translation>
    </message>
    <message>
        <source>Manual: %1</source>
        <translation>Instrukcja: %1</translation>
    </message>
    <message>
        <source>not found (looked for README.md beside the program and in the documentation folder)</source>
        <translation>nie znaleziono (szukano README.md obok programu i w folderze dokumentacji)</translation>
    </message>
</context>
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
    <message>
        <source>As stored: month %1, day %2, hour %3, minute %4</source>
        <translation>Zapisane bajty: miesiąc %1, dzień %2, godzina %3, minuta %4</translation>
    </message>
    <message>
        <source>corrupt record</source>
        <translation>uszkodzony zapis</translation>
    </message>
    <message>
        <source>dated in the future</source>
        <translation>data z przyszłości</translation>
    </message>
    <message>
        <source>from an earlier read</source>
        <translation>z wcześniejszego odczytu</translation>
    </message>
    <message>
        <source>The fault log has not been read from the relay.</source>
        <translation>Rejestr zadziałań nie został odczytany z przekaźnika.</translation>
    </message>
    <message>
        <source>Records %1 of the relay's memory were not read now: their rows are from an earlier read and may no longer be in the relay.</source>
        <translation>Zapisy %1 pamięci przekaźnika nie zostały teraz odczytane: ich wiersze pochodzą z wcześniejszego odczytu i mogą już nie być w przekaźniku.</translation>
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
    <name>JournalWindow</name>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Źródło</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Czynność</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adres</translation>
    </message>
    <message>
        <source>Variant</source>
        <translation>Wariant</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parametr</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Przed</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Wysłano</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Rejestr</translation>
    </message>
    <message>
        <source>Read back</source>
        <translation>Odczyt kontrolny</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Uwagi</translation>
    </message>
    <message>
        <source>setpoint write</source>
        <translation>zapis nastaw</translation>
    </message>
    <message>
        <source>clock setting</source>
        <translation>ustawienie zegara</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>kasowanie awarii</translation>
    </message>
    <message>
        <source>confirmed</source>
        <translation>potwierdzony</translation>
    </message>
    <message>
        <source>not confirmed</source>
        <translation>niepotwierdzony</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>niewysłany</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>odmowa</translation>
    </message>
    <message>
        <source>Service journal - %1</source>
        <translation>Dziennik serwisowy - %1</translation>
    </message>
    <message>
        <source>Read again</source>
        <translation>Odczytaj ponownie</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Eksportuj...</translation>
    </message>
    <message>
        <source>Saves the rows shown as a CSV file</source>
        <translation>Zapisuje pokazane wiersze do pliku CSV</translation>
    </message>
    <message>
        <source>Shows the rows of one bus address</source>
        <translation>Pokazuje wiersze jednego adresu</translation>
    </message>
    <message>
        <source>All addresses</source>
        <translation>Wszystkie adresy</translation>
    </message>
    <message>
        <source>Address %1</source>
        <translation>Adres %1</translation>
    </message>
    <message>
        <source>Rows: %1</source>
        <translation>Wiersze: %1</translation>
    </message>
    <message>
        <source>lines not understood: %1 (the first is line %2)</source>
        <translation>niezrozumiałe wiersze: %1 (pierwszy to wiersz %2)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv|All files (*.*)|*.*</source>
        <translation>Pliki CSV (*.csv)|*.csv|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>Export the journal</source>
        <translation>Eksport dziennika</translation>
    </message>
</context>
<context>
    <name>LineMonitor</name>
    <message>
        <source>good</source>
        <translation>poprawna</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>brak odpowiedzi</translation>
    </message>
    <message>
        <source>short reply</source>
        <translation>niepełna odpowiedź</translation>
    </message>
    <message>
        <source>bad CRC</source>
        <translation>błędne CRC</translation>
    </message>
    <message>
        <source>port lost</source>
        <translation>port niedostępny</translation>
    </message>
    <message>
        <source>bad request</source>
        <translation>błędne zapytanie</translation>
    </message>
    <message>
        <source>other failure</source>
        <translation>inny błąd</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>Request</source>
        <translation>Zapytanie</translation>
    </message>
    <message>
        <source>Reply</source>
        <translation>Odpowiedź</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Wynik</translation>
    </message>
    <message>
        <source>Round trip (ms)</source>
        <translation>Czas odpowiedzi (ms)</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Communication monitor: the exchanges on the line, and finding the relay</source>
        <translation>Monitor komunikacji: wymiana danych na linii i wyszukiwanie przekaźnika</translation>
    </message>
    <message>
        <source>Communication monitor</source>
        <translation>Monitor komunikacji</translation>
    </message>
    <message>
        <source>Requests</source>
        <translation>Zapytania</translation>
    </message>
    <message>
        <source>Good replies</source>
        <translation>Poprawne odpowiedzi</translation>
    </message>
    <message>
        <source>No reply</source>
        <translation>Brak odpowiedzi</translation>
    </message>
    <message>
        <source>Short reply</source>
        <translation>Niepełna odpowiedź</translation>
    </message>
    <message>
        <source>Bad CRC</source>
        <translation>Błędne CRC</translation>
    </message>
    <message>
        <source>Other failures</source>
        <translation>Inne błędy</translation>
    </message>
    <message>
        <source>Failure rate</source>
        <translation>Odsetek błędów</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Wstrzymaj</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Wyczyść</translation>
    </message>
    <message>
        <source>Save as text...</source>
        <translation>Zapisz jako tekst...</translation>
    </message>
    <message>
        <source>Finding the relay (only while disconnected)</source>
        <translation>Wyszukiwanie przekaźnika (tylko po rozłączeniu)</translation>
    </message>
    <message>
        <source>Find the relay</source>
        <translation>Szukaj przekaźnika</translation>
    </message>
    <message>
        <source>Asks bus addresses 1-247 for the relay's variant at the settings' line</source>
        <translation>Odpytuje adresy 1-247 o wariant przekaźnika przy parametrach łącza z ustawień</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Zatrzymaj</translation>
    </message>
    <message>
        <source>Every speed and parity</source>
        <translation>Wszystkie prędkości i parzystości</translation>
    </message>
    <message>
        <source>Put into the settings</source>
        <translation>Przenieś do ustawień</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Pliki tekstowe (*.txt)|*.txt|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>Save the exchanges as text</source>
        <translation>Zapisz wymianę danych jako tekst</translation>
    </message>
    <message>
        <source>Address %1, %2: variant %3 (%4)</source>
        <translation>Adres %1, %2: wariant %3 (%4)</translation>
    </message>
    <message>
        <source>Asking address %1 at %2...</source>
        <translation>Odpytywanie adresu %1 przy %2...</translation>
    </message>
    <message>
        <source>Finished: no relay answered.</source>
        <translation>Zakończono: żaden przekaźnik nie odpowiedział.</translation>
    </message>
    <message>
        <source>Finished: %1 found.</source>
        <translation>Zakończono: znaleziono %1.</translation>
    </message>
    <message>
        <source>Stopped: %1 found.</source>
        <translation>Zatrzymano: znaleziono %1.</translation>
    </message>
    <message>
        <source>The port could not be used: %1</source>
        <translation>Nie można użyć portu: %1</translation>
    </message>
    <message>
        <source>reply from another device</source>
        <translation>odpowiedź innego urządzenia</translation>
    </message>
    <message>
        <source>early reply (an old one)</source>
        <translation>odpowiedź za wcześnie (stara)</translation>
    </message>
    <message>
        <source>refused by the relay (exception)</source>
        <translation>odmowa przekaźnika (wyjątek)</translation>
    </message>
    <message>
        <source>reply of another function (%1)</source>
        <translation>odpowiedź innej funkcji (%1)</translation>
    </message>
    <message>
        <source>reply from another device (address %1)</source>
        <translation>odpowiedź innego urządzenia (adres %1)</translation>
    </message>
    <message>
        <source>refused: %1 (exception %2)</source>
        <translation>odmowa: %1 (wyjątek %2)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Requests: %1, good: %2, no reply: %3, short reply: %4, bad CRC: %5, another device: %6, early reply: %7, exception: %8, other failures: %9, failure rate: %10</source>
        <translation>Zapytania: %1, dobre: %2, brak odpowiedzi: %3, krótka odpowiedź: %4, zła suma CRC: %5, inne urządzenie: %6, odpowiedź za wcześnie: %7, wyjątek: %8, inne błędy: %9, odsetek błędów: %10</translation>
    </message>
    <message>
        <source>Listed: the last %1 of the %2 exchanges counted.</source>
        <translation>W spisie: ostatnie %1 z %2 policzonych wymian.</translation>
    </message>
    <message>
        <source>Another device</source>
        <translation>Inne urządzenie</translation>
    </message>
    <message>
        <source>Early reply</source>
        <translation>Odpowiedź za wcześnie</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Wyjątek</translation>
    </message>
    <message>
        <source>Stops the list so it can be read; the counters go on counting and the rows are kept</source>
        <translation>Zatrzymuje listę do czytania; liczniki liczą dalej, a wiersze są zachowywane</translation>
    </message>
    <message>
        <source>Failed questions: %1.</source>
        <translation>Nieudane zapytania: %1.</translation>
    </message>
    <message>
        <source>Communication monitor - %1</source>
        <translation>Monitor komunikacji - %1</translation>
    </message>
</context>
<context>
    <name>ManualWindow</name>
    <message>
        <source>VRK manual</source>
        <translation>Instrukcja VRK</translation>
    </message>
    <message>
        <source>The manual (README.md) was not found beside the program or in the documentation folder:
%1</source>
        <translation>Nie znaleziono instrukcji (README.md) obok programu ani w folderze dokumentacji:
%1</translation>
    </message>
    <message>
        <source>The manual %1 could not be read: %2</source>
        <translation>Nie można odczytać instrukcji %1: %2</translation>
    </message>
</context>
<context>
    <name>NetworkLink</name>
    <message>
        <source>The host name %1 was not found.</source>
        <translation>Nie znaleziono nazwy hosta %1.</translation>
    </message>
    <message>
        <source>%1 refused the connection (nothing listens at that port?).</source>
        <translation>%1 odrzucił połączenie (nic nie nasłuchuje na tym porcie?).</translation>
    </message>
    <message>
        <source>%1 cannot be reached (no route to that network or host).</source>
        <translation>%1 jest nieosiągalny (brak trasy do tej sieci lub hosta).</translation>
    </message>
    <message>
        <source>%1 did not answer within %2 s (connection time-out).</source>
        <translation>%1 nie odpowiedział w ciągu %2 s (przekroczony czas połączenia).</translation>
    </message>
    <message>
        <source>%1 closed the connection.</source>
        <translation>%1 zamknął połączenie.</translation>
    </message>
    <message>
        <source>The connection to %1 was lost: %2</source>
        <translation>Utracono połączenie z %1: %2</translation>
    </message>
    <message>
        <source>Cannot connect to %1: %2</source>
        <translation>Nie można połączyć się z %1: %2</translation>
    </message>
    <message>
        <source>This build cannot open network addresses: %1</source>
        <translation>Ta wersja programu nie obsługuje adresów sieciowych: %1</translation>
    </message>
    <message>
        <source>%1 is not a network address: %2</source>
        <translation>%1 nie jest adresem sieciowym: %2</translation>
    </message>
    <message>
        <source>write tcp://HOST:PORT or rtu+tcp://HOST:PORT.</source>
        <translation>wpisz tcp://HOST:PORT lub rtu+tcp://HOST:PORT.</translation>
    </message>
    <message>
        <source>the host is missing.</source>
        <translation>brak hosta.</translation>
    </message>
    <message>
        <source>only a host, a port and ?timeout=MS may be given.</source>
        <translation>można podać tylko host, port i ?timeout=MS.</translation>
    </message>
    <message>
        <source>the port must be 1..65535.</source>
        <translation>port musi być z zakresu 1..65535.</translation>
    </message>
    <message>
        <source>the port is missing.</source>
        <translation>brak portu.</translation>
    </message>
    <message>
        <source>unknown setting "%1".</source>
        <translation>nieznane ustawienie „%1”.</translation>
    </message>
    <message>
        <source>the reply time-out must be 1..%1 ms.</source>
        <translation>czas oczekiwania na odpowiedź musi wynosić 1..%1 ms.</translation>
    </message>
    <message>
        <source>Modbus TCP</source>
        <translation>Modbus TCP</translation>
    </message>
    <message>
        <source>RTU over TCP</source>
        <translation>RTU przez TCP</translation>
    </message>
</context>
<context>
    <name>PollLogWindow</name>
    <message>
        <source>Red:</source>
        <translation>Czerwony:</translation>
    </message>
    <message>
        <source>Blue:</source>
        <translation>Niebieski:</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 nie jest plikiem.</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2</source>
        <translation>Nie można otworzyć %1: %2</translation>
    </message>
    <message>
        <source>%1 holds no measurements of a poll log.</source>
        <translation>%1 nie zawiera pomiarów dziennika odczytów.</translation>
    </message>
    <message>
        <source>Column %1</source>
        <translation>Kolumna %1</translation>
    </message>
    <message>
        <source>Measurements: %1</source>
        <translation>Pomiary: %1</translation>
    </message>
    <message>
        <source>events: %1</source>
        <translation>zdarzenia: %1</translation>
    </message>
    <message>
        <source>unreadable rows: %1 (the first in line %2)</source>
        <translation>nieczytelne wiersze: %1 (pierwszy w linii %2)</translation>
    </message>
</context>
<context>
    <name>PortsWindow</name>
    <message>
        <source>Which port is this?</source>
        <translation>Który to port?</translation>
    </message>
    <message>
        <source>The serial ports of this computer. Choose the adapter the relay is on and write it as a port of the settings: the program and vrk-cli started in this folder open it from then on.</source>
        <translation>Porty szeregowe tego komputera. Wybierz adapter, do którego podłączony jest przekaźnik, i zapisz go jako port z ustawień: odtąd program i vrk-cli uruchomione w tym folderze będą go otwierać.</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Urządzenie</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adapter</translation>
    </message>
    <message>
        <source>Settings port:</source>
        <translation>Port w ustawieniach:</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>No serial port found.</source>
        <translation>Nie znaleziono portu szeregowego.</translation>
    </message>
    <message>
        <source>The ports file cannot be read: %1</source>
        <translation>Nie można odczytać pliku portów: %1</translation>
    </message>
    <message>
        <source>Now: %1 (VRK_COM%2, which wins over the ports file)</source>
        <translation>Teraz: %1 (VRK_COM%2, ważniejsze niż plik portów)</translation>
    </message>
    <message>
        <source>Now: %1 (ports file)</source>
        <translation>Teraz: %1 (plik portów)</translation>
    </message>
    <message>
        <source>Now: the system's own COM%1</source>
        <translation>Teraz: systemowy COM%1</translation>
    </message>
    <message>
        <source>Written to %1: COM%2=%3. It counts from the next connect.</source>
        <translation>Zapisano w %1: COM%2=%3. Obowiązuje od następnego połączenia.</translation>
    </message>
    <message>
        <source>Not written: %1</source>
        <translation>Nie zapisano: %1</translation>
    </message>
</context>
<context>
    <name>QIODevice</name>
    <message>
        <source>Unknown error</source>
        <translation>Nieznany błąd</translation>
    </message>
</context>
<context>
    <name>RecorderChart</name>
    <message>
        <source>The file could not be read: %1</source>
        <translation>Nie można odczytać pliku: %1</translation>
    </message>
    <message>
        <source>Reading was stopped.</source>
        <translation>Odczyt został przerwany.</translation>
    </message>
    <message>
        <source>Poll logs (*.csv);;All files (*)</source>
        <translation>Dzienniki odczytów (*.csv);;Wszystkie pliki (*)</translation>
    </message>
    <message>
        <source>Open a poll log</source>
        <translation>Otwórz dziennik odczytów</translation>
    </message>
    <message>
        <source>Wheel: zoom, drag: move, Home or Esc: the whole view</source>
        <translation>Kółko: powiększenie, przeciąganie: przesunięcie, Home lub Esc: cały widok</translation>
    </message>
    <message>
        <source>Whole view</source>
        <translation>Cały widok</translation>
    </message>
    <message>
        <source>Time axis</source>
        <translation>Oś czasu</translation>
    </message>
    <message>
        <source>Open a poll log...</source>
        <translation>Otwórz dziennik odczytów...</translation>
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
    <message>
        <source>The answer came sooner than the relay could have sent it (an old, late answer).</source>
        <translation>Odpowiedź przyszła wcześniej, niż przekaźnik mógł ją wysłać (stara, spóźniona odpowiedź).</translation>
    </message>
    <message>
        <source>The reply came from another device.</source>
        <translation>Odpowiedź przyszła z innego urządzenia.</translation>
    </message>
    <message>
        <source>The relay refused the request.</source>
        <translation>Przekaźnik odrzucił zapytanie.</translation>
    </message>
    <message>
        <source>The request could not be sent on the line.</source>
        <translation>Nie można wysłać zapytania na linię.</translation>
    </message>
    <message>
        <source>Reply from another device (address %1).</source>
        <translation>Odpowiedź z innego urządzenia (adres %1).</translation>
    </message>
    <message>
        <source>The relay refused the request: %1 (exception %2).</source>
        <translation>Przekaźnik odrzucił zapytanie: %1 (wyjątek %2).</translation>
    </message>
    <message>
        <source>illegal function</source>
        <translation>niedozwolona funkcja</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>niedozwolony adres danych</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>niedozwolona wartość danych</translation>
    </message>
    <message>
        <source>device failure</source>
        <translation>awaria urządzenia</translation>
    </message>
    <message>
        <source>acknowledged, still working</source>
        <translation>przyjęte, w trakcie wykonywania</translation>
    </message>
    <message>
        <source>device busy</source>
        <translation>urządzenie zajęte</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>błąd parzystości pamięci</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>ścieżka bramy niedostępna</translation>
    </message>
    <message>
        <source>gateway target did not respond</source>
        <translation>urządzenie za bramą nie odpowiedziało</translation>
    </message>
    <message>
        <source>code %1</source>
        <translation>kod %1</translation>
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
    <message>
        <source>Relay values: %1</source>
        <translation>Wartości przekaźnika: %1</translation>
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
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>Nie można otworzyć %1: %2.</translation>
    </message>
    <message>
        <source>No permission to open %1: the user is in the %2 group, but this session began before joining it; log out and in again.</source>
        <translation>Brak uprawnień do otwarcia %1: użytkownik należy do grupy %2, ale ta sesja zaczęła się przed dołączeniem do niej; wyloguj się i zaloguj ponownie.</translation>
    </message>
    <message>
        <source>No permission to open %1: only its owner %2 may open it (mode %3), so joining its group would not help; ask the administrator for access.</source>
        <translation>Brak uprawnień do otwarcia %1: może go otworzyć tylko właściciel %2 (tryb %3), więc dołączenie do jego grupy nie pomoże; poproś administratora o dostęp.</translation>
    </message>
    <message>
        <source>No permission to open %1: its permissions (mode %2) do not let this user read and write it.</source>
        <translation>Brak uprawnień do otwarcia %1: jego uprawnienia (tryb %2) nie pozwalają temu użytkownikowi na odczyt i zapis.</translation>
    </message>
    <message>
        <source>No permission to open %1: %2.</source>
        <translation>Brak uprawnień do otwarcia %1: %2.</translation>
    </message>
</context>
<context>
    <name>about</name>
    <message>
        <source>About VRK...</source>
        <translation>O programie VRK...</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Instrukcja</translation>
    </message>
    <message>
        <source>View size</source>
        <translation>Rozmiar widoku</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>The view size could not be stored in %1: %2</source>
        <translation>Nie można zapisać rozmiaru widoku w %1: %2</translation>
    </message>
    <message>
        <source>The windows are drawn at %1 % from the next start of the program.</source>
        <translation>Okna będą rysowane w rozmiarze %1 % od następnego uruchomienia programu.</translation>
    </message>
    <message>
        <source>Right-click: About, manual (F1), view size</source>
        <translation>Prawy przycisk myszy: o programie, instrukcja (F1), rozmiar widoku</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>not read</source>
        <translation>nie odczytano</translation>
    </message>
    <message>
        <source>%1, %2, address %3, variant %4</source>
        <translation>%1, %2, adres %3, wykonanie %4</translation>
    </message>
    <message>
        <source>The write stopped part way; the relay now holds:</source>
        <translation>Zapis przerwano w trakcie; przekaźnik ma teraz:</translation>
    </message>
    <message>
        <source>written, but the relay holds another value</source>
        <translation>zapisano, ale przekaźnik ma inną wartość</translation>
    </message>
    <message>
        <source>written and confirmed</source>
        <translation>zapisano i potwierdzono</translation>
    </message>
    <message>
        <source>not confirmed (may or may not be in the relay)</source>
        <translation>niepotwierdzone (może być w przekaźniku albo nie)</translation>
    </message>
    <message>
        <source>not sent (the relay keeps its old value)</source>
        <translation>nie wysłano (przekaźnik ma dawną wartość)</translation>
    </message>
    <message>
        <source>The table is for variant %1, but the relay reports variant %2: nothing was written.
Read the relay's setpoints, or correct the variant in the table.</source>
        <translation>Tabela jest dla wykonania %1, a przekaźnik podaje wykonanie %2: nic nie zapisano.
Odczytaj nastawy przekaźnika albo popraw wykonanie w tabeli.</translation>
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
        <translation>%1 kolejnych odczytów nieudanych: %2</translation>
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
    <message>
        <source>the disk is full or the file has reached its size limit</source>
        <translation>dysk jest pełny albo plik osiągnął limit rozmiaru</translation>
    </message>
    <message>
        <source>no space left on the disk</source>
        <translation>brak miejsca na dysku</translation>
    </message>
    <message>
        <source>the disk is read-only</source>
        <translation>dysk jest tylko do odczytu</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>brak uprawnień</translation>
    </message>
    <message>
        <source>the file would exceed the size limit set for this program</source>
        <translation>plik przekroczyłby limit rozmiaru plików ustawiony dla tego programu</translation>
    </message>
    <message>
        <source>the disk quota is used up</source>
        <translation>wyczerpany przydział miejsca na dysku</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>nie ma takiego pliku ani folderu</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>to jest folder</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>nazwa jest za długa</translation>
    </message>
    <message>
        <source>it is a symbolic link to "%1", outside its folder; it is not written through</source>
        <translation>to dowiązanie symboliczne do "%1", poza jego folderem; nie zapisuje się przez nie</translation>
    </message>
    <message>
        <source>line %1 is longer than %2 characters; it is not cut to fit</source>
        <translation>wiersz %1 jest dłuższy niż %2 znaków; nie jest obcinany</translation>
    </message>
</context>
<context>
    <name>journal</name>
    <message>
        <source>The change was made but is missing from the service journal.</source>
        <translation>Zmianę wykonano, ale brak jej w dzienniku serwisowym.</translation>
    </message>
    <message>
        <source>confirmed: %1 of %2</source>
        <translation>potwierdzone: %1 z %2</translation>
    </message>
    <message>
        <source>the link was lost</source>
        <translation>utracono połączenie</translation>
    </message>
    <message>
        <source>the relay holds another value</source>
        <translation>przekaźnik ma inną wartość</translation>
    </message>
    <message>
        <source>not in the read-back</source>
        <translation>brak w odczycie kontrolnym</translation>
    </message>
    <message>
        <source>clock, month.day</source>
        <translation>zegar, miesiąc.dzień</translation>
    </message>
    <message>
        <source>clock, hour:minute</source>
        <translation>zegar, godzina:minuta</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>kasowanie awarii</translation>
    </message>
    <message>
        <source>an overload is not cleared by a reset</source>
        <translation>przeciążenia nie kasuje się</translation>
    </message>
    <message>
        <source>the write stopped before it</source>
        <translation>zapis przerwano przed nim</translation>
    </message>
    <message>
        <source>the relay did not confirm it</source>
        <translation>przekaźnik nie potwierdził</translation>
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
        <translation>Użycie: vrk [--help] [--version]
Program serwisowy przekaźnika zabezpieczeniowego silnika VRK (program okienkowy).

Plik vrk.ini i pliki języków (pol.lng, ang.lng, rus.lng) trzyma w folderze,
w którym został uruchomiony. Porty COM1 i COM2 z ustawień otwierają urządzenie
wskazane przez VRK_COM1 lub VRK_COM2, a w przeciwnym razie urządzenie z wiersza
COM1=URZĄDZENIE w pliku "ports" tego folderu (COM1=/dev/ttyUSB0, COM1=COM7).

  --user-folder  praca we własnym folderze użytkownika (tworzonym, gdy go brak):
                 ~/.local/share/vrk, w Windows %LOCALAPPDATA%\vrk
  --help         wypisuje ten tekst i kończy pracę
  --version      wypisuje wersję i kończy pracę
</translation>
    </message>
    <message>
        <source>The system names no folder for the user's data.</source>
        <translation>System nie wskazuje folderu na dane użytkownika.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Nie można utworzyć folderu %1.</translation>
    </message>
    <message>
        <source>Cannot work in the folder %1.</source>
        <translation>Nie można pracować w folderze %1.</translation>
    </message>
</context>
<context>
    <name>portmap</name>
    <message>
        <source>%1 is too large to be a ports file.</source>
        <translation>%1 jest za duży jak na plik portów.</translation>
    </message>
</context>
<context>
    <name>records</name>
    <message>
        <source>No.</source>
        <translation>Nr</translation>
    </message>
    <message>
        <source>Causes</source>
        <translation>Przyczyny</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Dzień</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Miesiąc</translation>
    </message>
    <message>
        <source>Hour</source>
        <translation>Godzina</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>Minuta</translation>
    </message>
    <message>
        <source>Cause byte</source>
        <translation>Bajt przyczyny</translation>
    </message>
    <message>
        <source>No trips are listed.</source>
        <translation>Brak zapisanych zadziałań.</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Próbka</translation>
    </message>
    <message>
        <source>Heat Q [%]</source>
        <translation>Ciepło Q [%]</translation>
    </message>
    <message>
        <source>cos phi [0.01]</source>
        <translation>cos fi [0,01]</translation>
    </message>
    <message>
        <source>P [W]</source>
        <translation>P [W]</translation>
    </message>
    <message>
        <source>%1%2 min</source>
        <translation>%1%2 min</translation>
    </message>
    <message>
        <source>%1%2 h %3 min</source>
        <translation>%1%2 h %3 min</translation>
    </message>
    <message>
        <source>Commissioning report</source>
        <translation>Protokół uruchomienia</translation>
    </message>
    <message>
        <source>%1 (%2 A relay)</source>
        <translation>%1 (przekaźnik %2 A)</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>nieznane</translation>
    </message>
    <message>
        <source>Relay clock</source>
        <translation>Zegar przekaźnika</translation>
    </message>
    <message>
        <source>Relay: %1.%2 %3:%4   PC: %5   difference: %6</source>
        <translation>Przekaźnik: %1.%2 %3:%4   PC: %5   różnica: %6</translation>
    </message>
    <message>
        <source>The relay's clock could not be read.</source>
        <translation>Nie udało się odczytać zegara przekaźnika.</translation>
    </message>
    <message>
        <source>Setpoints as read from the relay</source>
        <translation>Nastawy odczytane z przekaźnika</translation>
    </message>
    <message>
        <source>The setpoints have not been read from the relay.</source>
        <translation>Nastawy nie zostały odczytane z przekaźnika.</translation>
    </message>
    <message>
        <source>Setpoint</source>
        <translation>Nastawa</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
    <message>
        <source>Range and unit</source>
        <translation>Zakres i jednostka</translation>
    </message>
    <message>
        <source>Differences to a setpoint file</source>
        <translation>Różnice względem pliku nastaw</translation>
    </message>
    <message>
        <source>No setpoint file was chosen.</source>
        <translation>Nie wybrano pliku nastaw.</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Plik: %1</translation>
    </message>
    <message>
        <source>The relay holds every value of the file.</source>
        <translation>Przekaźnik ma wszystkie wartości z pliku.</translation>
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
        <source>Fault log</source>
        <translation>Rejestr awarii</translation>
    </message>
    <message>
        <source>The fault log has not been read from the relay.</source>
        <translation>Rejestr awarii nie został odczytany z przekaźnika.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Czas</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv|All files (*.*)|*.*</source>
        <translation>Pliki CSV (*.csv)|*.csv|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Pliki tekstowe (*.txt)|*.txt|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>PNG images (*.png)|*.png|All files (*.*)|*.*</source>
        <translation>Obrazy PNG (*.png)|*.png|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*</source>
        <translation>Dokumenty PDF (*.pdf)|*.pdf|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Log to file</source>
        <translation>Zapis do pliku</translation>
    </message>
    <message>
        <source>Logging stopped</source>
        <translation>Zapis przerwany</translation>
    </message>
    <message>
        <source>Logging has stopped; the poll goes on.</source>
        <translation>Zapis do pliku został przerwany; odczyt pomiarów trwa dalej.</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Zapisywanie</translation>
    </message>
    <message>
        <source>Writes every good measurement read to a CSV file until clicked again</source>
        <translation>Zapisuje każdy poprawny odczyt pomiarów do pliku CSV aż do ponownego kliknięcia</translation>
    </message>
    <message>
        <source>Export the fault log as CSV...</source>
        <translation>Eksportuj rejestr awarii do CSV...</translation>
    </message>
    <message>
        <source>Export the fault log as text...</source>
        <translation>Eksportuj rejestr awarii jako tekst...</translation>
    </message>
    <message>
        <source>Save the chart as a picture (PNG)...</source>
        <translation>Zapisz wykres jako obraz (PNG)...</translation>
    </message>
    <message>
        <source>Export the shown history as CSV...</source>
        <translation>Eksportuj pokazany przebieg do CSV...</translation>
    </message>
    <message>
        <source>Commissioning report (PDF)...</source>
        <translation>Protokół uruchomienia (PDF)...</translation>
    </message>
    <message>
        <source>Log the poll to</source>
        <translation>Zapisuj pomiary do</translation>
    </message>
    <message>
        <source>Export the fault log</source>
        <translation>Eksport rejestru awarii</translation>
    </message>
    <message>
        <source>Fault log, %1</source>
        <translation>Rejestr awarii, %1</translation>
    </message>
    <message>
        <source>Save the chart</source>
        <translation>Zapis wykresu</translation>
    </message>
    <message>
        <source>The chart could not be made into a picture.</source>
        <translation>Nie udało się utworzyć obrazu wykresu.</translation>
    </message>
    <message>
        <source>Export the shown history</source>
        <translation>Eksport pokazanego przebiegu</translation>
    </message>
    <message>
        <source>Setpoint file to compare with (Cancel: none)</source>
        <translation>Plik nastaw do porównania (Anuluj: bez porównania)</translation>
    </message>
    <message>
        <source>Save the commissioning report</source>
        <translation>Zapis protokołu uruchomienia</translation>
    </message>
    <message>
        <source>Iavg [%]</source>
        <translation>Iśr [%]</translation>
    </message>
    <message>
        <source>Iavg [A]</source>
        <translation>Iśr [A]</translation>
    </message>
    <message>
        <source>Uavg [V]</source>
        <translation>Uśr [V]</translation>
    </message>
    <message>
        <source>P [kW]</source>
        <translation>P [kW]</translation>
    </message>
    <message>
        <source>Fault word</source>
        <translation>Słowo awarii</translation>
    </message>
    <message>
        <source>Faults</source>
        <translation>Awarie</translation>
    </message>
    <message>
        <source>Lost reads</source>
        <translation>Utracone odczyty</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Uwaga</translation>
    </message>
    <message>
        <source>not read from the relay</source>
        <translation>nieodczytane z przekaźnika</translation>
    </message>
    <message>
        <source>Log paused</source>
        <translation>Zapis: pauza</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>brak połączenia</translation>
    </message>
    <message>
        <source>Writes every good measurement read to a CSV file until clicked again; right-click for the file's choices</source>
        <translation>Zapisuje każdy poprawny odczyt pomiarów do pliku CSV aż do ponownego kliknięcia; prawy przycisk myszy: ustawienia pliku</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>zatrzymany</translation>
    </message>
    <message>
        <source>Decimal comma in the next file</source>
        <translation>Przecinek dziesiętny w następnym pliku</translation>
    </message>
    <message>
        <source>Decimal point in the next file</source>
        <translation>Kropka dziesiętna w następnym pliku</translation>
    </message>
    <message>
        <source>A new file each day</source>
        <translation>Nowy plik każdego dnia</translation>
    </message>
    <message>
        <source>No new file by size</source>
        <translation>Bez nowego pliku według rozmiaru</translation>
    </message>
    <message>
        <source>A new file every %1 MB</source>
        <translation>Nowy plik co %1 MB</translation>
    </message>
    <message>
        <source>%1, address %2</source>
        <translation>%1, adres %2</translation>
    </message>
    <message>
        <source>disconnected by the user</source>
        <translation>rozłączone przez użytkownika</translation>
    </message>
    <message>
        <source>lost reads: %1</source>
        <translation>utracone odczyty: %1</translation>
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
        <translation>Ir [A]</translation>
    </message>
    <message>
        <source>Is [A]</source>
        <translation>Is [A]</translation>
    </message>
    <message>
        <source>It [A]</source>
        <translation>It [A]</translation>
    </message>
    <message>
        <source>In [A]</source>
        <translation>In [A]</translation>
    </message>
    <message>
        <source>Ur [V]</source>
        <translation>Ur [V]</translation>
    </message>
    <message>
        <source>Us [V]</source>
        <translation>Us [V]</translation>
    </message>
    <message>
        <source>Ut [V]</source>
        <translation>Ut [V]</translation>
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
        <translation>Połączono</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Rozłączono</translation>
    </message>
    <message>
        <source>Trip</source>
        <translation>Zadziałanie</translation>
    </message>
    <message>
        <source>Fault reset</source>
        <translation>Kasowanie awarii</translation>
    </message>
    <message>
        <source>Setpoints written</source>
        <translation>Zapisano nastawy</translation>
    </message>
    <message>
        <source>Clock set</source>
        <translation>Ustawiono zegar</translation>
    </message>
    <message>
        <source>Language changed</source>
        <translation>Zmiana języka</translation>
    </message>
    <message>
        <source>Continued</source>
        <translation>Ciąg dalszy</translation>
    </message>
    <message>
        <source>Service journal...</source>
        <translation>Dziennik serwisowy...</translation>
    </message>
    <message>
        <source>address %1 on %2</source>
        <translation>adres %1 na %2</translation>
    </message>
    <message>
        <source>Relay %1, %2, %3 to %4</source>
        <translation>Przekaźnik: %1, %2, od %3 do %4</translation>
    </message>
    <message>
        <source>No samples have been taken yet.</source>
        <translation>Nie zebrano jeszcze żadnych próbek.</translation>
    </message>
    <message>
        <source>(a recording keeps no times)</source>
        <translation>(zapis z pliku nie zawiera czasów)</translation>
    </message>
    <message>
        <source>Read from the relay at %1.</source>
        <translation>Odczytano z przekaźnika: %1.</translation>
    </message>
    <message>
        <source>Read from the relay earlier in this session; the time of the read is not known.</source>
        <translation>Odczytano z przekaźnika wcześniej w tej sesji; czas odczytu nie jest znany.</translation>
    </message>
    <message>
        <source>setpoint written</source>
        <translation>zapis nastawy</translation>
    </message>
    <message>
        <source>clock set</source>
        <translation>ustawienie zegara</translation>
    </message>
    <message>
        <source>fault reset</source>
        <translation>kasowanie awarii</translation>
    </message>
    <message>
        <source>confirmed by read-back</source>
        <translation>potwierdzone odczytem</translation>
    </message>
    <message>
        <source>NOT confirmed</source>
        <translation>NIEPOTWIERDZONE</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>nie wysłano</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>odrzucone</translation>
    </message>
    <message>
        <source>The measured values were not read: the relay was not connected.</source>
        <translation>Nie odczytano pomiarów: przekaźnik nie był połączony.</translation>
    </message>
    <message>
        <source>Phase currents Ir, Is, It</source>
        <translation>Prądy fazowe Ir, Is, It</translation>
    </message>
    <message>
        <source>Phase voltages Ur, Us, Ut</source>
        <translation>Napięcia fazowe Ur, Us, Ut</translation>
    </message>
    <message>
        <source>Motor heat Q</source>
        <translation>Ciepło silnika Q</translation>
    </message>
    <message>
        <source>Active power P</source>
        <translation>Moc czynna P</translation>
    </message>
    <message>
        <source>Output relays</source>
        <translation>Przekaźniki wyjściowe</translation>
    </message>
    <message>
        <source>K1 %1,   K2 %2</source>
        <translation>K1 %1,   K2 %2</translation>
    </message>
    <message>
        <source>on</source>
        <translation>załączony</translation>
    </message>
    <message>
        <source>off</source>
        <translation>wyłączony</translation>
    </message>
    <message>
        <source>%1 (no fault)</source>
        <translation>%1 (brak awarii)</translation>
    </message>
    <message>
        <source>Relay at address %1</source>
        <translation>Przekaźnik o adresie %1</translation>
    </message>
    <message>
        <source> on %1</source>
        <translation> na %1</translation>
    </message>
    <message>
        <source>, variant %1</source>
        <translation>, wykonanie %1</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Technik</translation>
    </message>
    <message>
        <source>Customer</source>
        <translation>Klient</translation>
    </message>
    <message>
        <source>Site</source>
        <translation>Obiekt</translation>
    </message>
    <message>
        <source>Motor tag</source>
        <translation>Oznaczenie silnika</translation>
    </message>
    <message>
        <source>Nameplate In</source>
        <translation>In z tabliczki</translation>
    </message>
    <message>
        <source>Remark</source>
        <translation>Uwagi</translation>
    </message>
    <message>
        <source>Relay and connection</source>
        <translation>Przekaźnik i połączenie</translation>
    </message>
    <message>
        <source>Relay variant</source>
        <translation>Wykonanie przekaźnika</translation>
    </message>
    <message>
        <source>Bus address</source>
        <translation>Adres na magistrali</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Line settings</source>
        <translation>Parametry łącza</translation>
    </message>
    <message>
        <source>Program version</source>
        <translation>Wersja programu</translation>
    </message>
    <message>
        <source>Measured values</source>
        <translation>Wartości zmierzone</translation>
    </message>
    <message>
        <source>Values outside their ranges: parameter %1.</source>
        <translation>Wartości poza zakresem: parametr %1.</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Kontrola</translation>
    </message>
    <message>
        <source>OUT OF RANGE</source>
        <translation>POZA ZAKRESEM</translation>
    </message>
    <message>
        <source>Changes made on the relay during this session</source>
        <translation>Zmiany wprowadzone w przekaźniku w tej sesji</translation>
    </message>
    <message>
        <source>The changes made on the relay could not be read from the service journal: %1</source>
        <translation>Nie udało się odczytać zmian wprowadzonych w przekaźniku z dziennika serwisowego: %1</translation>
    </message>
    <message>
        <source>No setpoint was written, the clock was not set and no fault reset was sent since the program started.</source>
        <translation>Od uruchomienia programu nie zapisano nastaw, nie ustawiono zegara i nie kasowano awarii.</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Zmiana</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Przed</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>Wysłano</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Wynik</translation>
    </message>
    <message>
        <source>Signatures</source>
        <translation>Podpisy</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Strona %1 z %2</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Podpis</translation>
    </message>
    <message>
        <source>The measured values could not be read from the relay.</source>
        <translation>Nie udało się odczytać pomiarów z przekaźnika.</translation>
    </message>
</context>
<context>
    <name>records::ReportDialog</name>
    <message>
        <source>Commissioning report</source>
        <translation>Protokół uruchomienia</translation>
    </message>
    <message>
        <source>e.g. 42 A</source>
        <translation>np. 42 A</translation>
    </message>
    <message>
        <source>&amp;Technician:</source>
        <translation>&amp;Technik:</translation>
    </message>
    <message>
        <source>&amp;Customer:</source>
        <translation>&amp;Klient:</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Obiekt:</translation>
    </message>
    <message>
        <source>&amp;Motor tag:</source>
        <translation>Oznaczenie &amp;silnika:</translation>
    </message>
    <message>
        <source>&amp;Nameplate In:</source>
        <translation>In z &amp;tabliczki:</translation>
    </message>
    <message>
        <source>&amp;Remark:</source>
        <translation>&amp;Uwagi:</translation>
    </message>
</context>
<context>
    <name>relaydata</name>
    <message>
        <source>In the relay, %1: %2</source>
        <translation>W przekaźniku, %1: %2</translation>
    </message>
    <message>
        <source>Every trip listed is %1.</source>
        <translation>Lista awarii to dane %1.</translation>
    </message>
    <message>
        <source>time unknown</source>
        <translation>czas nieznany</translation>
    </message>
    <message>
        <source>earlier, from the relay at address %1 on %2, read %3</source>
        <translation>wcześniejsze, z przekaźnika o adresie %1 na %2, odczyt %3</translation>
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
    <message>
        <source>The relay reports variant %1, which this program does not know (1: 20 A, 2: 100 A, 3: 250 A). Its In cannot be shown, and no setpoint can be written to it. Check the relay's type plate; a relay that keeps reporting this variant needs servicing.</source>
        <translation>Przekaźnik zgłasza wariant %1, którego ten program nie zna (1: 20 A, 2: 100 A, 3: 250 A). Jego In nie może być pokazane i nie można do niego zapisać nastaw. Sprawdź tabliczkę znamionową przekaźnika; przekaźnik, który nadal zgłasza ten wariant, wymaga serwisu.</translation>
    </message>
    <message>
        <source>The relay reports variant %1, which this program does not know: its In cannot be shown.</source>
        <translation>Przekaźnik zgłasza wariant %1, którego ten program nie zna: jego In nie może być pokazane.</translation>
    </message>
</context>
<context>
    <name>viewsize</name>
    <message>
        <source>The folder %1 could not be created.</source>
        <translation>Nie można utworzyć folderu %1.</translation>
    </message>
</context>
<context>
    <name>vrk-cli</name>
    <message>
        <source>Find the relays on the line.</source>
        <translation>Wyszukaj przekaźniki na linii.</translation>
    </message>
    <message>
        <source>Read the measurements once, as the data page shows them.</source>
        <translation>Odczytaj pomiary jeden raz, tak jak pokazuje je strona danych.</translation>
    </message>
    <message>
        <source>Read the measurements continuously, as CSV.</source>
        <translation>Odczytuj pomiary bez przerwy, w formacie CSV.</translation>
    </message>
    <message>
        <source>Read the setpoints: show the table or save a setpoint file.</source>
        <translation>Odczytaj nastawy: pokaż tabelę albo zapisz plik nastaw.</translation>
    </message>
    <message>
        <source>Check a setpoint file and write it to the relay.</source>
        <translation>Sprawdź plik nastaw i zapisz go do przekaźnika.</translation>
    </message>
    <message>
        <source>Read the relay's fault log, newest first.</source>
        <translation>Odczytaj rejestr awarii przekaźnika, od najnowszej.</translation>
    </message>
    <message>
        <source>Set the relay's clock.</source>
        <translation>Ustaw zegar przekaźnika.</translation>
    </message>
    <message>
        <source>Clear the relay's faults, as the Reset button does.</source>
        <translation>Skasuj awarie przekaźnika, tak jak przycisk Reset.</translation>
    </message>
    <message>
        <source>The serial port: COM1, COM2 or a device path.</source>
        <translation>Port szeregowy: COM1, COM2 albo ścieżka urządzenia.</translation>
    </message>
    <message>
        <source>Line speed: 19200, 9600, 4800 or 2400.</source>
        <translation>Prędkość linii: 19200, 9600, 4800 albo 2400.</translation>
    </message>
    <message>
        <source>Parity: none, odd or even.</source>
        <translation>Parzystość: none (brak), odd (nieparzysta) albo even (parzysta).</translation>
    </message>
    <message>
        <source>Data bits: 8 or 7.</source>
        <translation>Bity danych: 8 albo 7.</translation>
    </message>
    <message>
        <source>Stop bits: 1 or 2.</source>
        <translation>Bity stopu: 1 albo 2.</translation>
    </message>
    <message>
        <source>The relay's bus address, 1-247.</source>
        <translation>Adres przekaźnika na magistrali, 1-247.</translation>
    </message>
    <message>
        <source>How long to wait for an answer, in milliseconds.</source>
        <translation>Czas oczekiwania na odpowiedź w milisekundach.</translation>
    </message>
    <message>
        <source>--%1 must be a number from %2 to %3.</source>
        <translation>--%1 musi być liczbą od %2 do %3.</translation>
    </message>
    <message>
        <source>--port needs a device.</source>
        <translation>--port wymaga podania urządzenia.</translation>
    </message>
    <message>
        <source>--baud %1 is not a standard line speed.</source>
        <translation>--baud %1 nie jest standardową prędkością linii.</translation>
    </message>
    <message>
        <source>--parity must be none, odd or even.</source>
        <translation>--parity musi mieć wartość none, odd albo even.</translation>
    </message>
    <message>
        <source>Usage: vrk-cli COMMAND [options]</source>
        <translation>Użycie: vrk-cli POLECENIE [opcje]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Polecenia:</translation>
    </message>
    <message>
        <source>--lang must be pl, en or ru.</source>
        <translation>--lang musi mieć wartość pl, en albo ru.</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>Nieznane polecenie: %1</translation>
    </message>
    <message>
        <source>The language of the texts: pl, en or ru (default en).</source>
        <translation>Język tekstów: pl, en albo ru (domyślnie en).</translation>
    </message>
    <message>
        <source>Try every speed and parity the settings offer.</source>
        <translation>Sprawdź każdą prędkość i parzystość dostępną w ustawieniach.</translation>
    </message>
    <message>
        <source>The first address to try (default 1).</source>
        <translation>Pierwszy sprawdzany adres (domyślnie 1).</translation>
    </message>
    <message>
        <source>The last address to try (default 247).</source>
        <translation>Ostatni sprawdzany adres (domyślnie 247).</translation>
    </message>
    <message>
        <source>Time between reads, in milliseconds (default 200).</source>
        <translation>Odstęp między odczytami w milisekundach (domyślnie 200).</translation>
    </message>
    <message>
        <source>Stop after S seconds (default: at Ctrl+C).</source>
        <translation>Zakończ po S sekundach (domyślnie: po Ctrl+C).</translation>
    </message>
    <message>
        <source>Do not read the setpoints back after writing.</source>
        <translation>Nie odczytuj nastaw ponownie po zapisie.</translation>
    </message>
    <message>
        <source>Print the log as CSV.</source>
        <translation>Wypisz rejestr w formacie CSV.</translation>
    </message>
    <message>
        <source>The time to set, ISO 8601 (default: this computer's clock).</source>
        <translation>Czas do ustawienia, ISO 8601 (domyślnie: zegar tego komputera).</translation>
    </message>
    <message>
        <source>Wrong arguments; see vrk-cli %1 --help.</source>
        <translation>Błędne argumenty; zobacz vrk-cli %1 --help.</translation>
    </message>
    <message>
        <source>--time must be a date and time such as 2026-12-08T09:30.</source>
        <translation>--time musi być datą i godziną, np. 2026-12-08T09:30.</translation>
    </message>
    <message>
        <source>Show this help and do nothing else.</source>
        <translation>Pokaż tę pomoc i nie rób nic więcej.</translation>
    </message>
    <message>
        <source>Print the version and do nothing else.</source>
        <translation>Wypisz wersję i nie rób nic więcej.</translation>
    </message>
    <message>
        <source>Print only the data, warnings and errors.</source>
        <translation>Wypisuj tylko dane, ostrzeżenia i błędy.</translation>
    </message>
    <message>
        <source>Trace every frame on standard error.</source>
        <translation>Śledź każdą ramkę na standardowym wyjściu błędów.</translation>
    </message>
    <message>
        <source>The decimal separator of text and CSV: point or comma (default: the locale's). CSV with a comma separates its fields with semicolons.</source>
        <translation>Separator dziesiętny tekstu i CSV: point (kropka) lub comma (przecinek) (domyślnie: z ustawień regionalnych). CSV z przecinkiem rozdziela pola średnikami.</translation>
    </message>
    <message>
        <source>The relays' bus addresses, 1-247: one, a list or ranges such as 3,5,7 or 1-10.</source>
        <translation>Adresy przekaźników na magistrali, 1-247: jeden, lista lub zakresy, np. 3,5,7 lub 1-10.</translation>
    </message>
    <message>
        <source>Ask again up to N times when a read gets no good answer (default 0).</source>
        <translation>Ponów odczyt do N razy, gdy nie ma poprawnej odpowiedzi (domyślnie 0).</translation>
    </message>
    <message>
        <source>Print the data as JSON.</source>
        <translation>Wypisz dane jako JSON.</translation>
    </message>
    <message>
        <source>Write the rows to FILE (a regular file; - for the standard output) instead of the standard output.</source>
        <translation>Zapisuj wiersze do PLIKU (zwykłego pliku; - oznacza standardowe wyjście) zamiast na standardowe wyjście.</translation>
    </message>
    <message>
        <source>Add the rows to the end of the --csv file.</source>
        <translation>Dopisuj wiersze na końcu pliku --csv.</translation>
    </message>
    <message>
        <source>Check the file, read the relay and show what would change (parameter, relay value, file value); write nothing.</source>
        <translation>Sprawdź plik, odczytaj przekaźnik i pokaż, co by się zmieniło (parametr, wartość w przekaźniku, wartość z pliku); nic nie zapisuj.</translation>
    </message>
    <message>
        <source>Really write the register: nothing is written without it.</source>
        <translation>Naprawdę zapisz rejestr: bez tego nic nie jest zapisywane.</translation>
    </message>
    <message>
        <source>Record what is changed in the relay in this journal (default journal.csv).</source>
        <translation>Zapisuj zmiany w przekaźniku w tym dzienniku (domyślnie journal.csv).</translation>
    </message>
    <message>
        <source>Record nothing in the journal.</source>
        <translation>Nie zapisuj niczego w dzienniku.</translation>
    </message>
    <message>
        <source>Read the relay's clock.</source>
        <translation>Odczytaj zegar przekaźnika.</translation>
    </message>
    <message>
        <source>Service: read registers (decimal or 0x hex numbers).</source>
        <translation>Serwis: odczytaj rejestry (liczby dziesiętne lub szesnastkowe 0x).</translation>
    </message>
    <message>
        <source>Service: write one register; only with --yes.</source>
        <translation>Serwis: zapisz jeden rejestr; tylko z --yes.</translation>
    </message>
    <message>
        <source>Cannot write the standard output: %1</source>
        <translation>Nie można pisać na standardowe wyjście: %1</translation>
    </message>
    <message>
        <source>The change was not recorded in the journal: %1</source>
        <translation>Zmiana nie została zapisana w dzienniku: %1</translation>
    </message>
    <message>
        <source>--address %1: give addresses from 1 to 247, such as 3,5,7 or 1-10.</source>
        <translation>--address %1: podaj adresy od 1 do 247, np. 3,5,7 lub 1-10.</translation>
    </message>
    <message>
        <source>Each command takes --help (also: vrk-cli help COMMAND). -V, --version prints the version. The options may stand before or after the command.</source>
        <translation>Każde polecenie przyjmuje --help (także: vrk-cli help POLECENIE). -V, --version wypisuje wersję. Opcje mogą stać przed poleceniem lub po nim.</translation>
    </message>
    <message>
        <source>Usage: vrk-cli %1 SUBCOMMAND [options]</source>
        <translation>Użycie: vrk-cli %1 PODPOLECENIE [opcje]</translation>
    </message>
    <message>
        <source>See vrk-cli --help.</source>
        <translation>Zobacz vrk-cli --help.</translation>
    </message>
    <message>
        <source>See vrk-cli %1 --help.</source>
        <translation>Zobacz vrk-cli %1 --help.</translation>
    </message>
    <message>
        <source>vrk-cli %1 needs a subcommand.</source>
        <translation>vrk-cli %1 wymaga podpolecenia.</translation>
    </message>
    <message>
        <source>--decimal must be point or comma.</source>
        <translation>--decimal musi mieć wartość point lub comma.</translation>
    </message>
    <message>
        <source>--append needs --csv FILE.</source>
        <translation>--append wymaga --csv PLIK.</translation>
    </message>
    <message>
        <source>--duration must be a positive number of seconds, at most a year.</source>
        <translation>--duration musi być dodatnią liczbą sekund, najwyżej rok.</translation>
    </message>
    <message>
        <source>%1 is not a number from 0 to 65535 (decimal or 0x hex).</source>
        <translation>%1 nie jest liczbą od 0 do 65535 (dziesiętną lub szesnastkową 0x).</translation>
    </message>
    <message>
        <source>Stopped before the end: the command is incomplete.</source>
        <translation>Zatrzymano przed końcem: polecenie nie zostało wykonane w całości.</translation>
    </message>
    <message>
        <source>The scan was stopped before address %1 at %2: it is incomplete.</source>
        <translation>Wyszukiwanie zatrzymano przed adresem %1 przy %2: jest niepełne.</translation>
    </message>
    <message>
        <source>No relay answered.</source>
        <translation>Żaden przekaźnik nie odpowiedział.</translation>
    </message>
    <message>
        <source>the variant could not be read</source>
        <translation>nie udało się odczytać wariantu</translation>
    </message>
    <message>
        <source>the nominal current setting is 0</source>
        <translation>nastawa prądu znamionowego wynosi 0</translation>
    </message>
    <message>
        <source>variant %1 has no current range</source>
        <translation>wariant %1 nie ma zakresu prądu</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>nie odczytano</translation>
    </message>
    <message>
        <source>none</source>
        <translation>brak</translation>
    </message>
    <message>
        <source>on</source>
        <translation>wł.</translation>
    </message>
    <message>
        <source>off</source>
        <translation>wył.</translation>
    </message>
    <message>
        <source>Warning: address %1: the variant could not be read (%2); the currents in A are unknown.</source>
        <translation>Uwaga: adres %1: nie udało się odczytać wariantu (%2); prądy w A są nieznane.</translation>
    </message>
    <message>
        <source>%1 reads, %2 lost.</source>
        <translation>Odczytów: %1, utraconych: %2.</translation>
    </message>
    <message>
        <source>remove the space before or after the number</source>
        <translation>usuń spację przed liczbą lub po niej</translation>
    </message>
    <message>
        <source>write the decimal with a comma: %1</source>
        <translation>część dziesiętną oddziel przecinkiem: %1</translation>
    </message>
    <message>
        <source>the value is missing</source>
        <translation>brak wartości</translation>
    </message>
    <message>
        <source>Parameter %1 (%2): the relay's value "%3" is outside its range %4</source>
        <translation>Parametr %1 (%2): wartość w przekaźniku "%3" jest poza zakresem %4</translation>
    </message>
    <message>
        <source>Parameter %1 (%2): the file's value "%3" is not valid; allowed: %4</source>
        <translation>Parametr %1 (%2): wartość z pliku "%3" jest niepoprawna; dozwolone: %4</translation>
    </message>
    <message>
        <source>Warning: the relay holds values outside their ranges:</source>
        <translation>Uwaga: przekaźnik ma wartości poza zakresami:</translation>
    </message>
    <message>
        <source>Cannot read the standard input: %1</source>
        <translation>Nie można czytać standardowego wejścia: %1</translation>
    </message>
    <message>
        <source>Nothing would be written.</source>
        <translation>Nic nie zostałoby zapisane.</translation>
    </message>
    <message>
        <source>same</source>
        <translation>bez zmian</translation>
    </message>
    <message>
        <source>changes</source>
        <translation>zmiana</translation>
    </message>
    <message>
        <source>Nothing was written.</source>
        <translation>Nic nie zapisano.</translation>
    </message>
    <message>
        <source>Every setpoint write was confirmed (no read-back).</source>
        <translation>Każdy zapis nastawy został potwierdzony (bez odczytu kontrolnego).</translation>
    </message>
    <message>
        <source>The relay does not clear an overload: the reset was not sent.</source>
        <translation>Przekaźnik nie kasuje przeciążenia: kasowania nie wysłano.</translation>
    </message>
    <message>
        <source>Reset sent.</source>
        <translation>Kasowanie wysłane.</translation>
    </message>
    <message>
        <source>COUNT must be a number from 1 to %1, within registers 0-65535.</source>
        <translation>LICZBA musi być liczbą od 1 do %1, w obrębie rejestrów 0-65535.</translation>
    </message>
    <message>
        <source>Writing a register can change how the relay protects the motor: nothing was written. Add --yes to write it.</source>
        <translation>Zapis rejestru może zmienić sposób, w jaki przekaźnik chroni silnik: nic nie zapisano. Dodaj --yes, aby go zapisać.</translation>
    </message>
    <message>
        <source>Register %1 = %2 written and confirmed.</source>
        <translation>Rejestr %1 = %2 zapisany i potwierdzony.</translation>
    </message>
</context>
</TS>