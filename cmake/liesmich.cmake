# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Writes LIESMICH.txt, the German text for the user of the Windows archive:
# how to start the program in cmd and in PowerShell, then the manual page as
# mandoc renders it for a terminal, in UTF-8 with a byte order mark and CR LF
# line ends, as Notepad reads it best.
#   cmake -DMANDOC=... -DCOL=... -DPAGE=tarvelin.1 -DVERSION=... -DOUTPUT=... -P liesmich.cmake

# col reads the overstruck bold of the rendering as UTF-8 only in a UTF-8
# locale; C.UTF-8 is on every Debian.
set(ENV{LC_ALL} C.UTF-8)
execute_process(COMMAND ${MANDOC} -T utf8 ${PAGE} COMMAND ${COL} -bx
                OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR page STREQUAL "")
  message(FATAL_ERROR "mandoc or col could not render ${PAGE}")
endif()

set(start [=[
tarvelin @VERSION@ für Windows

tarvelin berechnet aus einem Nominalzins und einer Inflationsrate den
genauen Realzins. Es läuft in der Eingabeaufforderung (cmd) oder in
PowerShell; ein Doppelklick auf tarvelin.exe zeigt nur kurz ein Fenster.

Ob das ZIP-Archiv unverändert angekommen ist, prüft man am besten vor dem
Entpacken; wie, steht auf der Seite des Downloads. Ist es schon entpackt:
Das ZIP-Archiv liegt noch im Ordner des Downloads. Laden Sie von derselben
Seite die Datei SHA256SUMS (die Prüfsummen aller Downloads) in diesen
Ordner, öffnen Sie dort PowerShell und geben Sie diese eine Zeile ein:

(Get-Content .\SHA256SUMS) -contains ((Get-FileHash .\tarvelin-@VERSION@-win32.zip).Hash + '  tarvelin-@VERSION@-win32.zip')

True heißt: Das Archiv ist das veröffentlichte. Bei False löschen Sie das
Archiv und den entpackten Ordner und laden es neu.

tarvelin.exe ist nicht signiert. Darum kann Windows warnen, bevor es ein
Programm aus dem Internet startet ("Der Computer wurde durch Windows
geschützt"). Gibt die Zeile oben True aus, "Weitere Informationen" und dann
"Trotzdem ausführen" wählen, oder vor dem Entpacken in den Eigenschaften
des ZIP-Archivs "Zulassen" ankreuzen.

So starten Sie es:

1. Das ZIP-Archiv entpacken (im Explorer: rechte Maustaste, "Alle
   extrahieren").
2. Den entpackten Ordner öffnen, in dem tarvelin.exe liegt, in die
   Adresszeile des Explorers cmd oder powershell schreiben und die
   Eingabetaste drücken: ein Fenster öffnet sich in diesem Ordner.
3. Zinssatz und Inflationsrate in Prozent angeben, mit Dezimalpunkt
   (3.5, nicht 3,5):

     in cmd:          tarvelin 5 2
     in PowerShell:   .\tarvelin 5 2

   PowerShell startet ein Programm aus dem aktuellen Ordner nur mit .\
   davor. Mit -m steht jede Zahl auf einer eigenen Zeile: tarvelin 5 2 -m

Den Exit-Status des letzten Aufrufs zeigt in cmd echo %ERRORLEVEL%, in
PowerShell $LASTEXITCODE; was er bedeutet, steht unter EXIT-STATUS.

Die Anleitung des Programms, seine Handbuchseite:


]=])
string(CONFIGURE "${start}" start @ONLY)
string(ASCII 239 187 191 byte_order_mark)
string(REPLACE "\n" "\r\n" text "${start}${page}")
file(WRITE ${OUTPUT} "${byte_order_mark}${text}")
