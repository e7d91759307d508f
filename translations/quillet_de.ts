<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CharacterSet</name>
    <message>
        <source>Western European (Windows-1252)</source>
        <translation>Westeuropäisch (Windows-1252)</translation>
    </message>
    <message>
        <source>Central European (Windows-1250)</source>
        <translation>Mitteleuropäisch (Windows-1250)</translation>
    </message>
    <message>
        <source>Cyrillic (Windows-1251)</source>
        <translation>Kyrillisch (Windows-1251)</translation>
    </message>
    <message>
        <source>Greek (Windows-1253)</source>
        <translation>Griechisch (Windows-1253)</translation>
    </message>
    <message>
        <source>Turkish (Windows-1254)</source>
        <translation>Türkisch (Windows-1254)</translation>
    </message>
    <message>
        <source>Hebrew (Windows-1255)</source>
        <translation>Hebräisch (Windows-1255)</translation>
    </message>
    <message>
        <source>Arabic (Windows-1256)</source>
        <translation>Arabisch (Windows-1256)</translation>
    </message>
    <message>
        <source>Baltic (Windows-1257)</source>
        <translation>Baltisch (Windows-1257)</translation>
    </message>
    <message>
        <source>Vietnamese (Windows-1258)</source>
        <translation>Vietnamesisch (Windows-1258)</translation>
    </message>
    <message>
        <source>Thai (Windows-874)</source>
        <translation>Thailändisch (Windows-874)</translation>
    </message>
    <message>
        <source>Japanese (Shift_JIS, Windows-932)</source>
        <translation>Japanisch (Shift_JIS, Windows-932)</translation>
    </message>
    <message>
        <source>Simplified Chinese (GBK, Windows-936)</source>
        <translation>Chinesisch, vereinfacht (GBK, Windows-936)</translation>
    </message>
    <message>
        <source>Korean (Windows-949)</source>
        <translation>Koreanisch (Windows-949)</translation>
    </message>
    <message>
        <source>Traditional Chinese (Big5, Windows-950)</source>
        <translation>Chinesisch, traditionell (Big5, Windows-950)</translation>
    </message>
    <message>
        <source>Western (Mac OS Roman)</source>
        <translation>Westlich (Mac OS Roman)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Prints the program&apos;s name and version, and ends.</source>
        <translation>Gibt Namen und Version des Programms aus und beendet sich.</translation>
    </message>
    <message>
        <source>Prints this help, and ends.</source>
        <translation>Gibt diese Hilfe aus und beendet sich.</translation>
    </message>
    <message>
        <source>Exports the memos of SOURCE without a window: an export of the organiser&apos;s desktop program, J-Pilot&apos;s export or the organiser&apos;s memo database.</source>
        <translation>Exportiert die Memos aus SOURCE ohne Fenster: einen Export des Desktop-Programms des Organizers, den Export von J-Pilot oder die Memo-Datenbank des Organizers.</translation>
    </message>
    <message>
        <source>With --export: the player&apos;s folder; the notes go into its Notes folder.</source>
        <translation>Mit --export: der Ordner des Players; die Notizen kommen in seinen Notes-Ordner.</translation>
    </message>
    <message>
        <source>With --export: adds .txt to the notes&apos; names.</source>
        <translation>Mit --export: hängt .txt an die Namen der Notizen an.</translation>
    </message>
    <message>
        <source>With --export: removes the notes an earlier export wrote for memos that are no longer in the export.</source>
        <translation>Mit --export: entfernt die Notizen, die ein früherer Export für Memos geschrieben hat, die nicht mehr im Export sind.</translation>
    </message>
    <message>
        <source>--export needs --to FOLDER, the folder of the player.</source>
        <translation>--export braucht --to ORDNER, den Ordner des Players.</translation>
    </message>
    <message>
        <source>--export needs the export file&apos;s name; it was given empty.</source>
        <translation>--export braucht den Namen der Exportdatei; er wurde leer angegeben.</translation>
    </message>
    <message>
        <source>--to needs the player&apos;s folder; it was given empty.</source>
        <translation>--to braucht den Ordner des Players; er wurde leer angegeben.</translation>
    </message>
    <message>
        <source>With --export: the character set the organiser wrote the memos in, as iconv names it, in any case: %1. The default is windows-1252 (Western European). Memos in UTF-8 are read as such whatever it is.</source>
        <translation>Mit --export: der Zeichensatz, in dem der Organizer die Memos geschrieben hat, wie iconv ihn nennt, in beliebiger Schreibweise: %1. Vorgabe ist windows-1252 (Westeuropäisch). Memos in UTF-8 werden in jedem Fall als UTF-8 gelesen.</translation>
    </message>
    <message>
        <source>--to, --txt, --remove-gone and --charset go with --export SOURCE.</source>
        <translation>--to, --txt, --remove-gone und --charset gehören zu --export SOURCE.</translation>
    </message>
    <message>
        <source>Quillet does not know the character set &quot;%1&quot;; it reads %2.</source>
        <translation>Quillet kennt den Zeichensatz „%1“ nicht; es liest %2.</translation>
    </message>
    <message>
        <source>Copies the memos of an organiser&apos;s export into the Notes folder of a music player, one note per memo, in a window of its own, or from a terminal or a script:
  quillet --export ~/.jpilot/MemoDB.pdb --to /media/me/IPOD --remove-gone
  quillet --export memos.txt --to /media/me/IPOD --charset windows-1251</source>
        <translation>Kopiert die Memos aus dem Export eines Organizers in den Notes-Ordner eines Musik-Players, eine Notiz je Memo, in einem eigenen Fenster oder aus einem Terminal oder einem Skript:
  quillet --export ~/.jpilot/MemoDB.pdb --to /media/me/IPOD --remove-gone
  quillet --export memos.txt --to /media/me/IPOD --charset windows-1251</translation>
    </message>
    <message>
        <source>Quillet takes one file to open in its window, and that alone, without --export or another option: &quot;%1&quot;.</source>
        <translation>Quillet nimmt nur eine Datei entgegen, die es in seinem Fenster öffnet, und diese allein, ohne --export oder eine andere Option: „%1“.</translation>
    </message>
    <message>
        <source>Opens the window with FILE as the source.</source>
        <translation>Öffnet das Fenster mit FILE als Quelle.</translation>
    </message>
</context>
<context>
    <name>DriveList</name>
    <message>
        <source>%1 (not connected)</source>
        <translation>%1 (nicht verbunden)</translation>
    </message>
    <message>
        <source>%1 (not answering)</source>
        <translation>%1 (antwortet nicht)</translation>
    </message>
</context>
<context>
    <name>Error</name>
    <message>
        <source>Could not open the export file &quot;%1&quot;: %2.</source>
        <translation>Die Exportdatei „%1“ konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Could not read the export file &quot;%1&quot;: %2.</source>
        <translation>Die Exportdatei „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not create the notes folder &quot;%1&quot;: %2.</source>
        <translation>Der Notes-Ordner „%1“ konnte nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Could not open the notes folder &quot;%1&quot;: %2.</source>
        <translation>Der Notes-Ordner „%1“ konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Could not write the notes to &quot;%1&quot;: %2.</source>
        <translation>Die Notizen konnten nicht nach „%1“ geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Could not list the folder &quot;%1&quot;: %2.</source>
        <translation>Der Inhalt des Ordners „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not remove the leftover file &quot;%1&quot;: %2.</source>
        <translation>Die übrig gebliebene Datei „%1“ konnte nicht entfernt werden: %2.</translation>
    </message>
    <message>
        <source>Could not create the category folder &quot;%1&quot;: %2.</source>
        <translation>Der Kategorieordner „%1“ konnte nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Could not open the category folder &quot;%1&quot;: %2.</source>
        <translation>Der Kategorieordner „%1“ konnte nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Could not create the note &quot;%1&quot;: %2.</source>
        <translation>Die Notiz „%1“ konnte nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Could not write the note &quot;%1&quot;: %2.</source>
        <translation>Die Notiz „%1“ konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Could not replace the note &quot;%1&quot;: %2.</source>
        <translation>Die Notiz „%1“ konnte nicht ersetzt werden: %2.</translation>
    </message>
    <message>
        <source>Could not find a free name for the note &quot;%1&quot;: %2.</source>
        <translation>Für die Notiz „%1“ ließ sich kein freier Name finden: %2.</translation>
    </message>
    <message>
        <source>Could not flush the notes to &quot;%1&quot;: %2.</source>
        <translation>Die Notizen konnten nicht vollständig auf „%1“ gesichert werden: %2.</translation>
    </message>
    <message>
        <source>Could not read the settings &quot;%1&quot;: %2.</source>
        <translation>Die Einstellungen „%1“ konnten nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not save the settings to &quot;%1&quot;: %2.</source>
        <translation>Die Einstellungen konnten nicht in „%1“ gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>Could not save the settings: the program&apos;s folder &quot;%1&quot; may not hold them and there is no per-user configuration folder.</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden: Der Programmordner „%1“ darf sie nicht aufnehmen, und es gibt keinen Konfigurationsordner für den Benutzer.</translation>
    </message>
    <message>
        <source>it is a folder, not a memo export</source>
        <translation>sie ist ein Ordner und kein Memo-Export</translation>
    </message>
    <message>
        <source>it is not a regular file (a named pipe or a device, for example)</source>
        <translation>sie ist keine gewöhnliche Datei (sondern zum Beispiel eine benannte Pipe oder ein Gerät)</translation>
    </message>
    <message>
        <source>it is not a text export; it holds NUL bytes, as programs, pictures and UTF-16 text do</source>
        <translation>sie ist kein Text-Export; sie enthält NUL-Bytes, wie es Programme, Bilder und UTF-16-Text tun</translation>
    </message>
    <message>
        <source>it changed while it was being read</source>
        <translation>sie hat sich verändert, während sie gelesen wurde</translation>
    </message>
    <message>
        <source>from line %1 on, the text runs past %2 MiB without ending a memo, which no memo export does</source>
        <translation>ab Zeile %1 geht der Text über %2 MiB hinaus, ohne dass ein Memo endet, und das kommt in keinem Memo-Export vor</translation>
    </message>
    <message>
        <source>the record that starts on line %1 is not a memo of a comma-separated export</source>
        <translation>der Datensatz, der in Zeile %1 beginnt, ist kein Memo eines kommagetrennten Exports</translation>
    </message>
    <message>
        <source>the record that starts on line %1 is not a memo of a tab-separated export</source>
        <translation>der Datensatz, der in Zeile %1 beginnt, ist kein Memo eines tabulatorgetrennten Exports</translation>
    </message>
    <message>
        <source>it is a link to another place; Quillet writes only into a real folder</source>
        <translation>er ist ein Verweis an einen anderen Ort; Quillet schreibt nur in einen echten Ordner</translation>
    </message>
    <message>
        <source>another export is writing into this folder</source>
        <translation>ein anderer Export schreibt gerade in diesen Ordner</translation>
    </message>
    <message>
        <source>the device holds every numbered name up to this one</source>
        <translation>das Gerät hat jeden nummerierten Namen bis zu diesem schon vergeben</translation>
    </message>
    <message>
        <source>no player is connected at that path</source>
        <translation>unter diesem Pfad ist kein Player angeschlossen</translation>
    </message>
    <message>
        <source>it does not hold the three settings</source>
        <translation>sie enthält nicht die drei Einstellungen</translation>
    </message>
    <message>
        <source>from record %1 on, the text runs past %2 MiB without ending a memo, which no memo export does</source>
        <translation>ab Datensatz %1 geht der Text über %2 MiB hinaus, ohne dass ein Memo endet, und das kommt in keinem Memo-Export vor</translation>
    </message>
    <message>
        <source>it is the organiser&apos;s database &quot;%1&quot;, not its memos</source>
        <translation>es ist die Datenbank „%1“ des Organizers, nicht seine Memos</translation>
    </message>
    <message>
        <source>the memo database is damaged: record %1 lies outside the file</source>
        <translation>die Memo-Datenbank ist beschädigt: Datensatz %1 liegt außerhalb der Datei</translation>
    </message>
    <message>
        <source>Could not write the record of the notes &quot;%1&quot;: %2.</source>
        <translation>Das Verzeichnis der Notizen „%1“ konnte nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Could not remove the note &quot;%1&quot;: %2.</source>
        <translation>Die Notiz „%1“ konnte nicht entfernt werden: %2.</translation>
    </message>
    <message>
        <source>Could not remove the folder &quot;%1&quot;: %2.</source>
        <translation>Der Ordner „%1“ konnte nicht entfernt werden: %2.</translation>
    </message>
    <message>
        <source>it was changed after the export, so it stays</source>
        <translation>sie wurde nach dem Export geändert und bleibt deshalb</translation>
    </message>
    <message>
        <source>Could not write to standard output: %1.</source>
        <translation>Die Standardausgabe konnte nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>its name is not valid UTF-8 text, so Quillet cannot open it by that name; rename the file</source>
        <translation>ihr Name ist kein gültiger UTF-8-Text, deshalb kann Quillet sie unter diesem Namen nicht öffnen; benennen Sie die Datei um</translation>
    </message>
    <message>
        <source>the player did not answer within %1 seconds; its file system may hang</source>
        <translation>der Player hat nicht innerhalb von %1 Sekunden geantwortet; sein Dateisystem hängt vielleicht</translation>
    </message>
    <message>
        <source>Could not read the note &quot;%1&quot;: %2.</source>
        <translation>Die Notiz „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>Could not read the record of Quillet&apos;s notes &quot;%1&quot;: %2.</source>
        <translation>Das Verzeichnis der Notizen von Quillet „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>the player is full</source>
        <translation>der Player ist voll</translation>
    </message>
    <message>
        <source>it is not a record of Quillet&apos;s notes</source>
        <translation>es ist kein Verzeichnis der Notizen von Quillet</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, which no record of Quillet&apos;s notes is</source>
        <translation>es ist größer als %1 MiB, was kein Verzeichnis der Notizen von Quillet ist</translation>
    </message>
    <message>
        <source>this system&apos;s converter (iconv) cannot read or write the character set %1</source>
        <translation>der Zeichensatzwandler dieses Systems (iconv) kann den Zeichensatz %1 weder lesen noch schreiben</translation>
    </message>
    <message>
        <source>the memo database is damaged: record %1 is out of order, starting before the record listed before it</source>
        <translation>die Memo-Datenbank ist beschädigt: Datensatz %1 steht außer der Reihe und beginnt vor dem Datensatz, der vor ihm aufgeführt ist</translation>
    </message>
    <message>
        <source>the memo database is damaged: record %1 holds no bytes, not even the NUL that ends a memo</source>
        <translation>die Memo-Datenbank ist beschädigt: Datensatz %1 enthält kein Byte, nicht einmal das NUL, das ein Memo beendet</translation>
    </message>
    <message>
        <source>the memo database is damaged: record %1 ends without the NUL that ends a memo; the file may be cut short</source>
        <translation>die Memo-Datenbank ist beschädigt: Datensatz %1 endet ohne das NUL, das ein Memo beendet; die Datei ist vielleicht abgeschnitten</translation>
    </message>
    <message>
        <source>the memo file is damaged: it is cut short before its first record</source>
        <translation>die Memo-Datei ist beschädigt: sie bricht vor ihrem ersten Datensatz ab</translation>
    </message>
    <message>
        <source>the memo file is damaged: record %1 is cut short</source>
        <translation>die Memo-Datei ist beschädigt: Datensatz %1 ist abgeschnitten</translation>
    </message>
    <message>
        <source>the memo file is damaged: record %1 holds a field of another type than the file&apos;s layout gives</source>
        <translation>die Memo-Datei ist beschädigt: Datensatz %1 enthält ein Feld eines anderen Typs, als der Aufbau der Datei vorgibt</translation>
    </message>
    <message>
        <source>it is not a memo file Quillet can read, but perhaps an archive or a backup that the organiser&apos;s desktop program wrote in another layout; export the memos with the desktop program&apos;s File, Export command as &quot;Text (*.txt)&quot; and choose that file instead</source>
        <translation>es ist keine Memo-Datei, die Quillet lesen kann, sondern vielleicht ein Archiv oder eine Sicherung, die das Desktop-Programm des Organizers in einem anderen Aufbau geschrieben hat; exportieren Sie die Memos mit dem Befehl „Datei“, „Exportieren“ des Desktop-Programms als „Text (*.txt)“ und wählen Sie stattdessen diese Datei</translation>
    </message>
    <message>
        <source>J-Pilot&apos;s changes not yet synced are damaged: entry %1 runs past the end of the file</source>
        <translation>die noch nicht abgeglichenen Änderungen von J-Pilot sind beschädigt: Eintrag %1 reicht über das Ende der Datei hinaus</translation>
    </message>
    <message>
        <source>J-Pilot&apos;s changes not yet synced are damaged: entry %1 is not laid out as J-Pilot writes one</source>
        <translation>die noch nicht abgeglichenen Änderungen von J-Pilot sind beschädigt: Eintrag %1 ist nicht so aufgebaut, wie J-Pilot einen Eintrag schreibt</translation>
    </message>
    <message>
        <source>Could not take the file chosen in the folder &quot;%1&quot;: %2.</source>
        <translation>Die im Ordner „%1“ gewählte Datei konnte nicht übernommen werden: %2.</translation>
    </message>
    <message>
        <source>its third setting, %1, is none of the box&apos;s values 0, 1 and 2</source>
        <translation>ihre dritte Einstellung, %1, ist keiner der Werte 0, 1 und 2 des Kästchens</translation>
    </message>
    <message>
        <source>it is not a folder</source>
        <translation>das ist kein Ordner</translation>
    </message>
    <message>
        <source>it lies below /usr or /opt, where installed programs keep their files</source>
        <translation>er liegt unter /usr oder /opt, wo installierte Programme ihre Dateien haben</translation>
    </message>
    <message>
        <source>it belongs to another user</source>
        <translation>er gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>the Open dialog gave back %1 files where one was asked for</source>
        <translation>der Öffnen-Dialog gab %1 Dateien statt einer zurück</translation>
    </message>
</context>
<context>
    <name>ExportLife</name>
    <message>
        <source>Notes %1</source>
        <translation>Notizen %1</translation>
    </message>
</context>
<context>
    <name>ExportResult</name>
    <message>
        <source>No memos were saved.</source>
        <translation>Es wurden keine Memos gespeichert.</translation>
    </message>
    <message>
        <source>The export file ends inside the memo &quot;%1&quot; (line %2), which was not saved.</source>
        <translation>Die Exportdatei endet mitten im Memo „%1“ (Zeile %2), das deshalb nicht gespeichert wurde.</translation>
    </message>
    <message>
        <source>%1
The memo &quot;%2&quot; (line %3 of the export file) was not saved.</source>
        <translation>%1
Das Memo „%2“ (Zeile %3 der Exportdatei) wurde nicht gespeichert.</translation>
    </message>
    <message>
        <source>%1
The memo &quot;%2&quot; (record %3 of the export file) was not saved.</source>
        <translation>%1
Das Memo „%2“ (Datensatz %3 der Exportdatei) wurde nicht gespeichert.</translation>
    </message>
    <message numerus="yes">
        <source>%n memos were saved before it.</source>
        <translation>
            <numerusform>Davor wurde %n Memo gespeichert.</numerusform>
            <numerusform>Davor wurden %n Memos gespeichert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos saved to %1</source>
        <translation>
            <numerusform>%n Memo gespeichert in %1</numerusform>
            <numerusform>%n Memos gespeichert in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iPod shows only the first %1 notes; its Notes folder now holds %n.</source>
        <translation>
            <numerusform>Der iPod zeigt nur die ersten %1 Notizen; sein Notes-Ordner enthält jetzt %n.</numerusform>
            <numerusform>Der iPod zeigt nur die ersten %1 Notizen; sein Notes-Ordner enthält jetzt %n.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos were written but may not all have reached the device.</source>
        <translation>
            <numerusform>%n Memo wurde geschrieben, ist aber womöglich nicht auf dem Gerät angekommen.</numerusform>
            <numerusform>%n Memos wurden geschrieben, sind aber womöglich nicht alle auf dem Gerät angekommen.</numerusform>
        </translation>
    </message>
    <message>
        <source>No file in a note&apos;s place that differs from the note was written over; such memos took the next number, and no notes of memos that are gone can be offered for removal.</source>
        <translation>Keine Datei am Platz einer Notiz, die sich von der Notiz unterscheidet, wurde überschrieben; solche Memos haben die nächste Nummer bekommen, und Notizen von Memos, die nicht mehr da sind, können nicht zum Entfernen angeboten werden.</translation>
    </message>
    <message numerus="yes">
        <source>The record of Quillet&apos;s notes &quot;%1&quot; was damaged: %n of its lines could not be read and were left out.</source>
        <translation>
            <numerusform>Das Verzeichnis der Notizen von Quillet „%1“ war beschädigt: %n seiner Zeilen konnte nicht gelesen werden und wurde ausgelassen.</numerusform>
            <numerusform>Das Verzeichnis der Notizen von Quillet „%1“ war beschädigt: %n seiner Zeilen konnten nicht gelesen werden und wurden ausgelassen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos hold bytes that are not text in %1; each such byte shows as &quot;%2&quot;. If the memos were written in another character set, export them again with that one.</source>
        <translation>
            <numerusform>%n Memo enthält Bytes, die in %1 kein Text sind; jedes solche Byte erscheint als „%2“. Wenn die Memos in einem anderen Zeichensatz geschrieben wurden, exportieren Sie sie erneut mit diesem.</numerusform>
            <numerusform>%n Memos enthalten Bytes, die in %1 kein Text sind; jedes solche Byte erscheint als „%2“. Wenn die Memos in einem anderen Zeichensatz geschrieben wurden, exportieren Sie sie erneut mit diesem.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iPod shows only the first 4 KB of a note; %n memos longer than that were saved in parts, each leading to the next.</source>
        <translation>
            <numerusform>Der iPod zeigt nur die ersten 4 KB einer Notiz; %n längeres Memo wurde in Teilen gespeichert, die jeweils zum nächsten führen.</numerusform>
            <numerusform>Der iPod zeigt nur die ersten 4 KB einer Notiz; %n längere Memos wurden in Teilen gespeichert, die jeweils zum nächsten führen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are memos changed in J-Pilot and not yet synced, from the .pc3 file beside the database.</source>
        <translation>
            <numerusform>%n davon ist ein in J-Pilot geändertes und noch nicht abgeglichenes Memo aus der .pc3-Datei neben der Datenbank.</numerusform>
            <numerusform>%n davon sind in J-Pilot geänderte und noch nicht abgeglichene Memos aus der .pc3-Datei neben der Datenbank.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1
The memo &quot;%2&quot; (entry %3 of J-Pilot&apos;s changes not yet synced) was not saved.</source>
        <translation>%1
Das Memo „%2“ (Eintrag %3 der noch nicht abgeglichenen Änderungen von J-Pilot) wurde nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>All files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>There was an error</source>
        <translation>Es ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <source>You need to pick an input file name first</source>
        <translation>Sie müssen zuerst eine Eingabedatei auswählen</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Browse . . .</source>
        <translation>Durchsuchen . . .</translation>
    </message>
    <message>
        <source>Instructions</source>
        <translation>Anleitung</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Destination</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Quelle:</translation>
    </message>
    <message>
        <source>Destination:</source>
        <translation>Ziel:</translation>
    </message>
    <message>
        <source>The iPod&apos;s folder</source>
        <translation>Ordner des iPod</translation>
    </message>
    <message>
        <source>Check here to add .txt to memo names on iPod</source>
        <translation>Hier ankreuzen, um den Memonamen auf dem iPod .txt anzuhängen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Behalten</translation>
    </message>
    <message numerus="yes">
        <source>%n notes on the player were written by an earlier export for memos that are no longer in it. Remove them?</source>
        <translation>
            <numerusform>%n Notiz auf dem Player wurde von einem früheren Export für ein Memo geschrieben, das nicht mehr im Export ist. Soll sie entfernt werden?</numerusform>
            <numerusform>%n Notizen auf dem Player wurden von einem früheren Export für Memos geschrieben, die nicht mehr im Export sind. Sollen sie entfernt werden?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weitere</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>The player does not answer. End Quillet now? The note being written may be cut short.</source>
        <translation>Der Player antwortet nicht. Quillet jetzt beenden? Die Notiz, die gerade geschrieben wird, kann abgeschnitten werden.</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>On an iPod each note is written in the characters the iPod reads: Latin-1 (Mac OS Roman on an iPod formatted for a Mac) where they hold all of the memo, else UTF-8 with a first line that tells the iPod so. A memo longer than the 4 KB an iPod shows of a note is saved in parts, &quot;Name&quot;, &quot;Name (part 2)&quot; and so on, each ending with a link to the next. In any other folder the notes are UTF-8. There is no need to empty the iPod&apos;s &quot;Notes&quot; folder first: Quillet keeps a record of the notes it wrote in a file beside that folder, and after an export it offers to remove the notes of memos that are no longer in the export. It never removes a note you wrote or changed yourself.</source>
        <translation>Auf einem iPod wird jede Notiz in den Zeichen geschrieben, die der iPod liest: in Latin-1 (auf einem für einen Mac formatierten iPod in Mac OS Roman), wo diese das ganze Memo fassen, sonst in UTF-8 mit einer ersten Zeile, die es dem iPod sagt. Ein Memo, das länger ist als die 4 KB, die ein iPod von einer Notiz zeigt, wird in Teilen gespeichert, „Name“, „Name (part 2)“ und so fort, die jeweils mit einem Verweis auf den nächsten enden. In jedem anderen Ordner sind die Notizen UTF-8. Sie müssen den Ordner „Notes“ des iPod vorher nicht leeren: Quillet führt in einer Datei neben diesem Ordner Buch über die Notizen, die es geschrieben hat, und bietet nach einem Export an, die Notizen von Memos zu entfernen, die nicht mehr im Export sind. Eine Notiz, die Sie selbst geschrieben oder geändert haben, entfernt es nie.</translation>
    </message>
    <message>
        <source>Then you can open this program, click &quot;Browse . . .&quot; and choose the &quot;memos.txt&quot; file you created in Palm Desktop. Under &quot;Memos&apos; characters&quot; choose the characters your organiser writes: Western European, unless it is set up for Central European, Cyrillic, Greek, Turkish, Hebrew, Arabic, Baltic, Vietnamese, Thai, Japanese, Chinese or Korean, or the memos come from Palm Desktop for Mac (Mac OS Roman). A memo in UTF-8, such as J-Pilot&apos;s export, is read as UTF-8 whatever you choose. Then, in the Destination list, choose the folder where your iPod is mounted (make sure it is hooked up!). If you have run the program before it will use your previous values for the memos.txt file, its characters and the iPod&apos;s folder. Then click &quot;Export&quot; and all the memos will be written to the iPod.</source>
        <translation>Öffnen Sie dann dieses Programm, klicken Sie auf „Durchsuchen . . .“ und wählen Sie die Datei „memos.txt“, die Sie in Palm Desktop angelegt haben. Wählen Sie unter „Zeichen der Memos“ die Zeichen, die Ihr Organizer schreibt: Westeuropäisch, es sei denn, er ist für Mitteleuropäisch, Kyrillisch, Griechisch, Türkisch, Hebräisch, Arabisch, Baltisch, Vietnamesisch, Thailändisch, Japanisch, Chinesisch oder Koreanisch eingerichtet oder die Memos stammen aus Palm Desktop für Mac (Mac OS Roman). Ein Memo in UTF-8, etwa der Export von J-Pilot, wird als UTF-8 gelesen, was immer Sie wählen. Wählen Sie dann in der Liste „Ziel“ den Ordner, in dem Ihr iPod eingehängt ist (achten Sie darauf, dass er angeschlossen ist!). Wenn Sie das Programm schon einmal benutzt haben, nimmt es Ihre vorigen Angaben für die Datei memos.txt, ihre Zeichen und den Ordner des iPod. Klicken Sie dann auf „Exportieren“, und alle Memos werden auf den iPod geschrieben.</translation>
    </message>
    <message>
        <source>Memos&apos; characters</source>
        <translation>Zeichen der Memos</translation>
    </message>
    <message>
        <source>Memos&apos; characters:</source>
        <translation>Zeichen der Memos:</translation>
    </message>
    <message>
        <source>Start in Palm Desktop. Click the &quot;Memo&quot; button to display your memos. Then go under File and choose Export . . . In the next dialog box click the Export button. Then under Export Type choose &quot;Text (*.txt)&quot; and choose &quot;All&quot;; &quot;Comma Separated&quot; and &quot;Tab Separated&quot; work too. The file name can be anything, but why not &quot;memos.txt&quot;? Instead of an export you can choose the memo database itself, MemoDB.pdb (Memo Pad) or MemosDB-PMem.pdb (the later Memos), from a HotSync backup, a backup made with &quot;pilot-xfer -b&quot;, J-Pilot&apos;s folder (~/.jpilot/MemoDB.pdb) or the backups of Palm Desktop for Mac; changes made in J-Pilot and not yet synced, in MemoDB.pc3 beside it, are read too. Palm Desktop for Windows keeps the memos in memopad.dat (and old ones in memopad.mpa) in its user folder, for example C:\Palm\&lt;user&gt;\memopad\memopad.dat: copied from the old PC, that file can be chosen as it is.</source>
        <translation>Beginnen Sie in Palm Desktop. Klicken Sie auf die Schaltfläche „Memo“, damit Ihre Memos angezeigt werden. Wählen Sie dann im Menü „Datei“ den Befehl „Exportieren . . .“. Klicken Sie im nächsten Dialogfenster auf die Schaltfläche „Exportieren“. Wählen Sie dann unter „Exporttyp“ den Eintrag „Text (*.txt)“ und außerdem „Alle“; „Kommagetrennt“ und „Tabulatorgetrennt“ gehen auch. Der Dateiname ist beliebig, aber warum nicht „memos.txt“? Statt eines Exports können Sie auch die Memo-Datenbank selbst wählen, MemoDB.pdb (Memo Pad) oder MemosDB-PMem.pdb (die spätere Anwendung Memos), aus einer HotSync-Sicherung, einer mit „pilot-xfer -b“ angelegten Sicherung, dem Ordner von J-Pilot (~/.jpilot/MemoDB.pdb) oder den Sicherungen von Palm Desktop für Mac; in J-Pilot vorgenommene und noch nicht abgeglichene Änderungen in MemoDB.pc3 daneben werden mitgelesen. Palm Desktop für Windows bewahrt die Memos in memopad.dat (und alte in memopad.mpa) in seinem Benutzerordner auf, zum Beispiel C:\Palm\&lt;Benutzer&gt;\memopad\memopad.dat: vom alten PC kopiert, kann diese Datei so gewählt werden, wie sie ist.</translation>
    </message>
    <message>
        <source>Memo exports and databases (*.txt *.csv *.tab *.pdb *.dat *.mpa)</source>
        <translation>Memo-Exporte und -Datenbanken (*.txt *.csv *.tab *.pdb *.dat *.mpa)</translation>
    </message>
</context>
<context>
    <name>RemovalResult</name>
    <message numerus="yes">
        <source>%n notes were removed.</source>
        <translation>
            <numerusform>%n Notiz wurde entfernt.</numerusform>
            <numerusform>%n Notizen wurden entfernt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TerminalExport</name>
    <message numerus="yes">
        <source>The export was stopped: %n memos saved to %1
</source>
        <translation>
            <numerusform>Der Export wurde angehalten: %n Memo gespeichert in %1
</numerusform>
            <numerusform>Der Export wurde angehalten: %n Memos gespeichert in %1
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n notes of memos no longer in the export remain; --remove-gone removes them.
</source>
        <translation>
            <numerusform>%n Notiz eines Memos, das nicht mehr im Export ist, bleibt; --remove-gone entfernt sie.
</numerusform>
            <numerusform>%n Notizen von Memos, die nicht mehr im Export sind, bleiben; --remove-gone entfernt sie.
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n notes of memos no longer in the export were removed.
</source>
        <translation>
            <numerusform>%n Notiz eines Memos, das nicht mehr im Export ist, wurde entfernt.
</numerusform>
            <numerusform>%n Notizen von Memos, die nicht mehr im Export sind, wurden entfernt.
</numerusform>
        </translation>
    </message>
    <message>
        <source>The removal was stopped; the other notes of memos no longer in the export remain and are offered again by the next export.
</source>
        <translation>Das Entfernen wurde angehalten; die übrigen Notizen von Memos, die nicht mehr im Export sind, bleiben und werden beim nächsten Export wieder angeboten.
</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Quillet needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set).
</source>
        <translation>Quillet braucht eine grafische Arbeitsumgebung (DISPLAY oder WAYLAND_DISPLAY ist nicht gesetzt).
</translation>
    </message>
    <message>
        <source>Quillet could not reach the graphical desktop that %1 names, so it cannot open its window.
</source>
        <translation>Quillet erreicht die grafische Arbeitsumgebung nicht, die %1 nennt, und kann deshalb sein Fenster nicht öffnen.
</translation>
    </message>
</context>
</TS>
