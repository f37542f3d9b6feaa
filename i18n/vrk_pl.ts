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
        <source>reply from another address or function</source>
        <translation>odpowiedź z innego adresu lub funkcji</translation>
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
        <source>Requests: %1, good: %2, no reply: %3, short reply: %4, bad CRC: %5, another address or function: %6, other failures: %7, failure rate: %8</source>
        <translation>Zapytania: %1, poprawne: %2, brak odpowiedzi: %3, niepełne: %4, błędne CRC: %5, inny adres lub funkcja: %6, inne błędy: %7, odsetek błędów: %8</translation>
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
        <source>Another address or function</source>
        <translation>Inny adres lub funkcja</translation>
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
        <source>Stops the list so it can be read; the counters go on counting</source>
        <translation>Zatrzymuje listę do przejrzenia; liczniki liczą dalej</translation>
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
        <translation>dysk jest pełny lub plik osiągnął limit rozmiaru</translation>
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
        <source>Date: %1</source>
        <translation>Data: %1</translation>
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
        <source>Relay variant: %1</source>
        <translation>Wykonanie przekaźnika: %1</translation>
    </message>
    <message>
        <source>Bus address: %1</source>
        <translation>Adres na magistrali: %1</translation>
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
        <source>No relay answered.</source>
        <translation>Żaden przekaźnik nie odpowiedział.</translation>
    </message>
    <message>
        <source>none</source>
        <translation>brak</translation>
    </message>
    <message>
        <source>on</source>
        <translation>zał.</translation>
    </message>
    <message>
        <source>off</source>
        <translation>wył.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
    <message>
        <source>%1 reads, %2 lost.</source>
        <translation>Odczytów: %1, utraconych: %2.</translation>
    </message>
    <message>
        <source>Every setpoint write was confirmed (no read-back).</source>
        <translation>Każdy zapis nastawy został potwierdzony (bez ponownego odczytu).</translation>
    </message>
    <message>
        <source>The relay does not clear an overload: the reset was not sent.</source>
        <translation>Przekaźnik nie kasuje przeciążenia: reset nie został wysłany.</translation>
    </message>
    <message>
        <source>Reset sent.</source>
        <translation>Reset wysłany.</translation>
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
        <source>Each command takes --help. --version prints the version.</source>
        <translation>Każde polecenie przyjmuje --help. --version wypisuje wersję.</translation>
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
        <source>Print the values as JSON.</source>
        <translation>Wypisz wartości w formacie JSON.</translation>
    </message>
    <message>
        <source>Time between reads, in milliseconds (default 200).</source>
        <translation>Odstęp między odczytami w milisekundach (domyślnie 200).</translation>
    </message>
    <message>
        <source>Write the rows to FILE instead of the standard output.</source>
        <translation>Zapisuj wiersze do pliku FILE zamiast na standardowe wyjście.</translation>
    </message>
    <message>
        <source>Stop after S seconds (default: at Ctrl+C).</source>
        <translation>Zakończ po S sekundach (domyślnie: po Ctrl+C).</translation>
    </message>
    <message>
        <source>Save the setpoints into this file.</source>
        <translation>Zapisz nastawy do tego pliku.</translation>
    </message>
    <message>
        <source>The setpoint file to write.</source>
        <translation>Plik nastaw do zapisania w przekaźniku.</translation>
    </message>
    <message>
        <source>Check the file and show what would be written; write nothing.</source>
        <translation>Sprawdź plik i pokaż, co zostałoby zapisane; niczego nie zapisuj.</translation>
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
        <source>--duration must be a positive number of seconds.</source>
        <translation>--duration musi być dodatnią liczbą sekund.</translation>
    </message>
    <message>
        <source>--time must be a date and time such as 2026-12-08T09:30.</source>
        <translation>--time musi być datą i godziną, np. 2026-12-08T09:30.</translation>
    </message>
</context>
</TS>