<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Messages</name>
    <message>
        <source>The event needs a title (summary).</source>
        <translation>Der Termin braucht einen Titel (Zusammenfassung).</translation>
    </message>
    <message>
        <source>The event needs a start.</source>
        <translation>Der Termin braucht einen Beginn.</translation>
    </message>
    <message>
        <source>The start is not a valid date (a date such as 2026-12-31).</source>
        <translation>Der Beginn ist kein gültiges Datum (ein Datum wie 2026-12-31).</translation>
    </message>
    <message>
        <source>The start is not a valid date and time (a date and time such as 2026-12-24T18:00).</source>
        <translation>Der Beginn ist kein gültiges Datum mit Uhrzeit (ein Datum mit Uhrzeit wie 2026-12-24T18:00).</translation>
    </message>
    <message>
        <source>The end is not a valid date (a date such as 2026-12-31).</source>
        <translation>Das Ende ist kein gültiges Datum (ein Datum wie 2026-12-31).</translation>
    </message>
    <message>
        <source>The end is not a valid date and time (a date and time such as 2026-12-24T18:00).</source>
        <translation>Das Ende ist kein gültiges Datum mit Uhrzeit (ein Datum mit Uhrzeit wie 2026-12-24T18:00).</translation>
    </message>
    <message>
        <source>The event ends before it starts.</source>
        <translation>Der Termin endet, bevor er beginnt.</translation>
    </message>
    <message>
        <source>The start cannot be placed in time.</source>
        <translation>Der Beginn lässt sich keinem Zeitpunkt zuordnen.</translation>
    </message>
    <message>
        <source>Please type your text here.</source>
        <translation>Bitte geben Sie hier Ihren Text ein.</translation>
    </message>
    <message>
        <source>- Then click button [Generate QR-Code]</source>
        <translation>- Klicken Sie dann auf [QR-Code erzeugen]</translation>
    </message>
    <message>
        <source>- Try the code with your smartphone directly on the screen</source>
        <translation>- Probieren Sie den Code mit Ihrem Smartphone direkt am Bildschirm aus</translation>
    </message>
    <message>
        <source>- Finally click on  [Copy to Clipboard] and paste the QR-Code (bitmap) where ever you like</source>
        <translation>- Klicken Sie zuletzt auf [Kopieren] und fügen Sie den QR-Code (als Bild) ein, wo Sie möchten</translation>
    </message>
    <message>
        <source>Phones refuse %1 keys shorter than 8 characters</source>
        <translation>Handys lehnen %1-Schlüssel mit weniger als 8 Zeichen ab</translation>
    </message>
    <message>
        <source>Phones refuse %1 keys longer than 63 characters (64 hexadecimal digits excepted)</source>
        <translation>Handys lehnen %1-Schlüssel mit mehr als 63 Zeichen ab (außer 64 Hexadezimalziffern)</translation>
    </message>
    <message>
        <source>Phones refuse WEP keys other than 5 or 13 characters or 10 or 26 hexadecimal digits</source>
        <translation>Handys lehnen WEP-Schlüssel ab, die nicht 5 oder 13 Zeichen oder 10 oder 26 Hexadezimalziffern lang sind</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an e-mail file of this program.</source>
        <translation>„%1“ ist keine E-Mail-Datei dieses Programms.</translation>
    </message>
    <message>
        <source>The network name or key contains characters that cannot be saved in a network-key file.</source>
        <translation>Der Netzwerkname oder der Schlüssel enthält Zeichen, die sich nicht in einer Netzwerkschlüssel-Datei speichern lassen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a network-key file.</source>
        <translation>„%1“ ist keine Netzwerkschlüssel-Datei.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no event.</source>
        <translation>„%1“ enthält keinen Termin.</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>e-mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>vCard</source>
        <translation>vCard</translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation>WLAN</translation>
    </message>
    <message>
        <source>phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>text message</source>
        <translation>SMS</translation>
    </message>
    <message>
        <source>place</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>event</source>
        <translation>Termin</translation>
    </message>
    <message>
        <source>SEPA payment</source>
        <translation>SEPA-Zahlung</translation>
    </message>
    <message>
        <source>The IBAN is empty.</source>
        <translation>Die IBAN ist leer.</translation>
    </message>
    <message>
        <source>The IBAN may hold letters and digits only.</source>
        <translation>Die IBAN darf nur Buchstaben und Ziffern enthalten.</translation>
    </message>
    <message>
        <source>The IBAN must begin with a country code and two check digits (DE89...).</source>
        <translation>Die IBAN muss mit einem Ländercode und zwei Prüfziffern beginnen (DE89...).</translation>
    </message>
    <message>
        <source>The IBAN&apos;s country %1 has no IBANs.</source>
        <translation>Das Land %1 der IBAN hat keine IBANs.</translation>
    </message>
    <message>
        <source>An IBAN of %1 has %2 characters, this one %3.</source>
        <translation>Eine IBAN aus %1 hat %2 Zeichen, diese hier %3.</translation>
    </message>
    <message>
        <source>The IBAN&apos;s check digits do not match: a character is wrong.</source>
        <translation>Die Prüfziffern der IBAN stimmen nicht: Ein Zeichen ist falsch.</translation>
    </message>
    <message>
        <source>The creditor reference must be RF, two check digits and up to 21 letters or digits (ISO 11649).</source>
        <translation>Die strukturierte Gläubigerreferenz muss aus RF, zwei Prüfziffern und bis zu 21 Buchstaben oder Ziffern bestehen (ISO 11649).</translation>
    </message>
    <message>
        <source>The creditor reference&apos;s check digits do not match: a character is wrong.</source>
        <translation>Die Prüfziffern der Gläubigerreferenz stimmen nicht: Ein Zeichen ist falsch.</translation>
    </message>
    <message>
        <source>The payment needs the beneficiary&apos;s name.</source>
        <translation>Die Zahlung braucht den Namen des Empfängers.</translation>
    </message>
    <message>
        <source>The name</source>
        <translation>Der Name</translation>
    </message>
    <message>
        <source>The remittance text</source>
        <translation>Der Verwendungszweck</translation>
    </message>
    <message>
        <source>The information</source>
        <translation>Die Information</translation>
    </message>
    <message>
        <source>%1 cannot hold a line break.</source>
        <translation>%1 darf keinen Zeilenumbruch enthalten.</translation>
    </message>
    <message>
        <source>%1 may have at most %2 characters.</source>
        <translation>%1 darf höchstens %2 Zeichen haben.</translation>
    </message>
    <message>
        <source>The BIC must have 8 or 11 letters and digits, the fifth and sixth the country (ISO 9362).</source>
        <translation>Die BIC muss 8 oder 11 Buchstaben und Ziffern haben, das fünfte und sechste Zeichen sind das Land (ISO 9362).</translation>
    </message>
    <message>
        <source>The amount must be from 0.01 to 999999999.99 euro, at most two decimals.</source>
        <translation>Der Betrag muss zwischen 0.01 und 999999999.99 Euro liegen, mit höchstens zwei Nachkommastellen.</translation>
    </message>
    <message>
        <source>The purpose code must be 4 letters (ISO 20022, such as CHAR or GDDS).</source>
        <translation>Der Zweck-Code muss aus 4 Buchstaben bestehen (ISO 20022, etwa CHAR oder GDDS).</translation>
    </message>
    <message>
        <source>A payment takes a creditor reference or a remittance text, not both.</source>
        <translation>Eine Zahlung hat entweder eine Gläubigerreferenz oder einen Verwendungszweck, nicht beides.</translation>
    </message>
    <message>
        <source>The payment record is longer than the 331 bytes banking apps read: shorten the name or the texts.</source>
        <translation>Der Zahlungsdatensatz ist länger als die 331 Bytes, die Banking-Apps lesen: Kürzen Sie den Namen oder die Texte.</translation>
    </message>
    <message>
        <source>The phone number is empty.</source>
        <translation>Die Telefonnummer ist leer.</translation>
    </message>
    <message>
        <source>The phone number holds a letter: only digits, a leading + and - . ( ) * # can be dialled.</source>
        <translation>Die Telefonnummer enthält einen Buchstaben: Wählbar sind nur Ziffern, ein + am Anfang und - . ( ) * #.</translation>
    </message>
    <message>
        <source>The phone number holds a character that cannot be dialled: only digits, a leading + and - . ( ) * # can.</source>
        <translation>Die Telefonnummer enthält ein Zeichen, das sich nicht wählen lässt: Wählbar sind nur Ziffern, ein + am Anfang und - . ( ) * #.</translation>
    </message>
    <message>
        <source>The phone number holds no digit.</source>
        <translation>Die Telefonnummer enthält keine Ziffer.</translation>
    </message>
    <message>
        <source>The latitude is empty.</source>
        <translation>Die Breite ist leer.</translation>
    </message>
    <message>
        <source>The latitude must be a number of degrees from -90 to 90 (north positive).</source>
        <translation>Die Breite muss eine Gradzahl von -90 bis 90 sein (Norden positiv).</translation>
    </message>
    <message>
        <source>The longitude is empty.</source>
        <translation>Die Länge ist leer.</translation>
    </message>
    <message>
        <source>The longitude must be a number of degrees from -180 to 180 (east positive).</source>
        <translation>Die Länge muss eine Gradzahl von -180 bis 180 sein (Osten positiv).</translation>
    </message>
    <message>
        <source>Not a regular file.</source>
        <translation>Keine reguläre Datei.</translation>
    </message>
    <message>
        <source>digits</source>
        <translation>Ziffern</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Too long for a QR code: %1 %2; at most %3 fit.</source>
        <translation>Zu lang für einen QR-Code: %1 %2; höchstens %3 passen hinein.</translation>
    </message>
    <message>
        <source>Too long for a QR code at level %1: %2 %3; at most %4 fit (a lower level holds more).</source>
        <translation>Zu lang für einen QR-Code der Stufe %1: %2 %3; höchstens %4 passen hinein (eine niedrigere Stufe fasst mehr).</translation>
    </message>
    <message>
        <source>%1 pixels a module</source>
        <translation>%1 Pixel je Modul</translation>
    </message>
    <message>
        <source>%1 dpi</source>
        <translation>%1 dpi</translation>
    </message>
    <message>
        <source>the file&apos;s own pixels</source>
        <translation>den Pixeln der Datei</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 bei %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 (at the size judged)</source>
        <translation>%1 (in der geprüften Größe)</translation>
    </message>
    <message>
        <source>%1 (at every size judged)</source>
        <translation>%1 (in jeder geprüften Größe)</translation>
    </message>
    <message>
        <source>borderline: %1</source>
        <translation>grenzwertig: %1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>a compressed SVG (.svgz): save it as plain SVG</source>
        <translation>ein komprimiertes SVG (.svgz): Speichern Sie es als einfaches SVG</translation>
    </message>
    <message>
        <source>a damaged SVG picture</source>
        <translation>ein beschädigtes SVG-Bild</translation>
    </message>
    <message>
        <source>an SVG picture without a size</source>
        <translation>ein SVG-Bild ohne Größe</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>not a PNG, JPEG or SVG picture</source>
        <translation>kein PNG-, JPEG- oder SVG-Bild</translation>
    </message>
    <message>
        <source>a damaged picture</source>
        <translation>ein beschädigtes Bild</translation>
    </message>
    <message>
        <source>too large: %1 x %2 pixels (at most 4096 x 4096)</source>
        <translation>zu groß: %1 x %2 Pixel (höchstens 4096 x 4096)</translation>
    </message>
    <message>
        <source>a damaged picture (cut short)</source>
        <translation>ein beschädigtes Bild (abgeschnitten)</translation>
    </message>
    <message>
        <source>a damaged picture (%1)</source>
        <translation>ein beschädigtes Bild (%1)</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>keine solche Datei</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>larger than 16 MB</source>
        <translation>größer als 16 MB</translation>
    </message>
    <message>
        <source>cannot be read (%1)</source>
        <translation>nicht lesbar (%1)</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>not a picture that can be read (%1)</source>
        <translation>kein lesbares Bild (%1)</translation>
    </message>
    <message>
        <source>not a picture that can be read (the SVG is malformed)</source>
        <translation>kein lesbares Bild (das SVG ist fehlerhaft)</translation>
    </message>
    <message>
        <source>not a picture that can be read (a damaged PNG: %1)</source>
        <translation>kein lesbares Bild (ein beschädigtes PNG: %1)</translation>
    </message>
    <message>
        <source>the picture is larger than %1 megapixels (%2 x %3)</source>
        <translation>das Bild ist größer als %1 Megapixel (%2 x %3)</translation>
    </message>
    <message>
        <source>contrast %1 : 1</source>
        <translation>Kontrast %1 : 1</translation>
    </message>
    <message>
        <source>finder %1</source>
        <translation>Suchmuster: %1</translation>
    </message>
    <message>
        <source>inverted finder colour</source>
        <translation>invertierte Farbe der Suchmuster</translation>
    </message>
    <message>
        <source>the check ran out of memory</source>
        <translation>der Prüfung ging der Speicher aus</translation>
    </message>
    <message>
        <source>inverted colours</source>
        <translation>invertierte Farben</translation>
    </message>
    <message>
        <source>read back other bytes</source>
        <translation>andere Bytes zurückgelesen</translation>
    </message>
    <message>
        <source>nothing found</source>
        <translation>nichts gefunden</translation>
    </message>
    <message>
        <source>a compressed SVG that cannot be unpacked</source>
        <translation>ein komprimiertes SVG, das sich nicht entpacken lässt</translation>
    </message>
    <message>
        <source>a compressed SVG larger than %1 MiB unpacked</source>
        <translation>ein komprimiertes SVG, das entpackt größer als %1 MiB ist</translation>
    </message>
    <message>
        <source>a damaged compressed SVG</source>
        <translation>ein beschädigtes komprimiertes SVG</translation>
    </message>
    <message>
        <source>an SVG with a document type (DTD), which may name outside files</source>
        <translation>ein SVG mit Dokumenttyp (DTD), der auf fremde Dateien verweisen kann</translation>
    </message>
    <message>
        <source>an SVG with an entity reference</source>
        <translation>ein SVG mit Entity-Referenz</translation>
    </message>
    <message>
        <source>an SVG with nothing to draw once its outside parts are left out</source>
        <translation>ein SVG ohne Zeichnung, sobald seine nach außen reichenden Teile ausgelassen sind</translation>
    </message>
</context>
<context>
    <name>TBatchDialog</name>
    <message>
        <source>Make Many Codes</source>
        <translation>Viele Codes erstellen</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <source>Choose CSV File…</source>
        <translation>CSV-Datei wählen…</translation>
    </message>
    <message>
        <source>Read the rows of a CSV file (you can also drop one here)</source>
        <translation>Die Zeilen einer CSV-Datei lesen (Sie können auch eine hierher ziehen)</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Take the cells copied from a spreadsheet, the column names in the first row (Ctrl+V)</source>
        <translation>Die aus einer Tabellenkalkulation kopierten Zellen übernehmen, die Spaltennamen in der ersten Zeile (Strg+V)</translation>
    </message>
    <message>
        <source>First rows</source>
        <translation>Erste Zeilen</translation>
    </message>
    <message>
        <source>The first rows as the batch reads them; a column name in bold is one the batch knows</source>
        <translation>Die ersten Zeilen, wie der Stapel sie liest; ein fett gedruckter Spaltenname ist dem Stapel bekannt</translation>
    </message>
    <message>
        <source>Columns the batch does not know</source>
        <translation>Spalten, die der Stapel nicht kennt</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>eMail</source>
        <translation>eMail</translation>
    </message>
    <message>
        <source>vCard</source>
        <translation>vCard</translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation>WLAN</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>SMS</source>
        <translation>SMS</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Termin</translation>
    </message>
    <message>
        <source>Payment</source>
        <translation>Zahlung</translation>
    </message>
    <message>
        <source>The kind of code every row makes: the rows have no kind column</source>
        <translation>Die Art des Codes, den jede Zeile ergibt: die Zeilen haben keine Spalte kind</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Files in a folder</source>
        <translation>Dateien in einem Ordner</translation>
    </message>
    <message>
        <source>One ZIP archive</source>
        <translation>Ein ZIP-Archiv</translation>
    </message>
    <message>
        <source>Label sheets (PDF)</source>
        <translation>Etikettenbögen (PDF)</translation>
    </message>
    <message>
        <source>Write one file a code into a folder, all of them into one ZIP archive, or label sheets to print</source>
        <translation>Eine Datei je Code in einen Ordner schreiben, alle in ein ZIP-Archiv oder Etikettenbögen zum Drucken</translation>
    </message>
    <message>
        <source>The picture format of the codes&apos; files</source>
        <translation>Das Bildformat der Dateien der Codes</translation>
    </message>
    <message>
        <source>The folder, ZIP archive or PDF file the codes go into</source>
        <translation>Der Ordner, das ZIP-Archiv oder die PDF-Datei, in die die Codes kommen</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Wählen…</translation>
    </message>
    <message>
        <source>Choose where the codes go</source>
        <translation>Wählen, wohin die Codes kommen</translation>
    </message>
    <message>
        <source>&amp;Write:</source>
        <translation>&amp;Schreiben:</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>&amp;Save to:</source>
        <translation>Speichern &amp;unter:</translation>
    </message>
    <message>
        <source>Label sheets</source>
        <translation>Etikettenbögen</translation>
    </message>
    <message>
        <source>Letter</source>
        <translation>Letter</translation>
    </message>
    <message>
        <source>The paper size of the sheets</source>
        <translation>Das Papierformat der Bögen</translation>
    </message>
    <message>
        <source>Labels across a page</source>
        <translation>Etiketten nebeneinander auf einer Seite</translation>
    </message>
    <message>
        <source>Labels down a page</source>
        <translation>Etiketten untereinander auf einer Seite</translation>
    </message>
    <message>
        <source>The page&apos;s margin at the left and at the right</source>
        <translation>Der Seitenrand links und rechts</translation>
    </message>
    <message>
        <source>The page&apos;s margin at the top and at the bottom</source>
        <translation>Der Seitenrand oben und unten</translation>
    </message>
    <message>
        <source>The column whose cells are printed under the codes</source>
        <translation>Die Spalte, deren Zellen unter die Codes gedruckt werden</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Erste Seite</translation>
    </message>
    <message>
        <source>The first page of the label sheets as it will print</source>
        <translation>Die erste Seite der Etikettenbögen, wie sie gedruckt wird</translation>
    </message>
    <message>
        <source>&amp;Paper:</source>
        <translation>&amp;Papier:</translation>
    </message>
    <message>
        <source>&amp;Columns:</source>
        <translation>Spa&amp;lten:</translation>
    </message>
    <message>
        <source>&amp;Rows:</source>
        <translation>&amp;Reihen:</translation>
    </message>
    <message>
        <source>Side &amp;margins:</source>
        <translation>Seiten&amp;ränder:</translation>
    </message>
    <message>
        <source>&amp;Top and bottom margins:</source>
        <translation>Rand &amp;oben und unten:</translation>
    </message>
    <message>
        <source>Capt&amp;ion:</source>
        <translation>Beschr&amp;iftung:</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>The rows made of all</source>
        <translation>Die erstellten Zeilen von allen</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>What the last run made, and every row that failed with the reason</source>
        <translation>Was der letzte Lauf erstellt hat, und jede fehlgeschlagene Zeile mit dem Grund</translation>
    </message>
    <message>
        <source>Make Codes</source>
        <translation>Codes erstellen</translation>
    </message>
    <message>
        <source>Make a code of every row</source>
        <translation>Aus jeder Zeile einen Code erstellen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stop after the codes begun: whole files only, and the manifest says where the run stopped</source>
        <translation>Nach den begonnenen Codes anhalten: nur ganze Dateien, und das Manifest sagt, wo der Lauf anhielt</translation>
    </message>
    <message>
        <source>Open Result</source>
        <translation>Ergebnis öffnen</translation>
    </message>
    <message>
        <source>Open the folder, archive or PDF the last run wrote</source>
        <translation>Den Ordner, das Archiv oder die PDF-Datei öffnen, die der letzte Lauf schrieb</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close this dialog</source>
        <translation>Diesen Dialog schließen</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The clipboard holds no text: copy the cells in the spreadsheet, the column names in the first row, then paste them here.</source>
        <translation>Die Zwischenablage enthält keinen Text: Kopieren Sie die Zellen in der Tabellenkalkulation, die Spaltennamen in der ersten Zeile, und fügen Sie sie dann hier ein.</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>No rows yet: choose a CSV file, drop one here, or paste cells copied from a spreadsheet (the column names in the first row).</source>
        <translation>Noch keine Zeilen: Wählen Sie eine CSV-Datei, ziehen Sie eine hierher oder fügen Sie aus einer Tabellenkalkulation kopierte Zellen ein (die Spaltennamen in der ersten Zeile).</translation>
    </message>
    <message>
        <source>the pasted cells</source>
        <translation>den eingefügten Zellen</translation>
    </message>
    <message>
        <source>1 row from %1</source>
        <translation>1 Zeile aus %1</translation>
    </message>
    <message>
        <source>%1 rows from %2</source>
        <translation>%1 Zeilen aus %2</translation>
    </message>
    <message>
        <source>A column the batch knows</source>
        <translation>Eine Spalte, die der Stapel kennt</translation>
    </message>
    <message>
        <source>Assign it below</source>
        <translation>Unten zuordnen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>The batch column the cells of “%1” are, or Ignore</source>
        <translation>Die Stapelspalte, die die Zellen von „%1“ sind, oder Ignorieren</translation>
    </message>
    <message>
        <source>“%1”:</source>
        <translation>„%1“:</translation>
    </message>
    <message>
        <source>ZIP archives (*.zip)</source>
        <translation>ZIP-Archive (*.zip)</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>%1 cannot be read.</source>
        <translation>%1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The pasted cells</source>
        <translation>Die eingefügten Zellen</translation>
    </message>
    <message>
        <source>%1: no rows can be read (%2).</source>
        <translation>%1: Es können keine Zeilen gelesen werden (%2).</translation>
    </message>
    <message>
        <source>Choose where the codes go first.</source>
        <translation>Wählen Sie zuerst, wohin die Codes kommen.</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>Wird gestartet…</translation>
    </message>
    <message>
        <source>Cancelling: the codes begun are finished…</source>
        <translation>Wird abgebrochen: Die begonnenen Codes werden fertiggestellt…</translation>
    </message>
    <message>
        <source>%1 of %2 rows, about %3 left</source>
        <translation>%1 von %2 Zeilen, noch etwa %3</translation>
    </message>
    <message>
        <source>%1 of %2 rows</source>
        <translation>%1 von %2 Zeilen</translation>
    </message>
    <message>
        <source>Nothing was made:</source>
        <translation>Es wurde nichts erstellt:</translation>
    </message>
    <message>
        <source>Cancelled after %1 of %2 rows: the files written are whole, and the manifest %3 says where the run stopped.</source>
        <translation>Abgebrochen nach %1 von %2 Zeilen: Die geschriebenen Dateien sind vollständig, und das Manifest %3 sagt, wo der Lauf anhielt.</translation>
    </message>
    <message>
        <source>Made: %1</source>
        <translation>Erstellt: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Row %1 (line %2): %3</source>
        <translation>Zeile %1 (Zeile %2 der Datei): %3</translation>
    </message>
    <message>
        <source>… and %1 more rows: the manifest names each with its reason.</source>
        <translation>… und %1 weitere Zeilen: Das Manifest nennt jede mit ihrem Grund.</translation>
    </message>
    <message>
        <source>Written to: %1</source>
        <translation>Geschrieben nach: %1</translation>
    </message>
    <message>
        <source>Manifest: %1</source>
        <translation>Manifest: %1</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Not started.</source>
        <translation>Nicht gestartet.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Arbeitsspeicher.</translation>
    </message>
    <message>
        <source>An unexpected error ended the action.</source>
        <translation>Ein unerwarteter Fehler hat die Aktion beendet.</translation>
    </message>
    <message>
        <source>QR code, version %1-%2: %3</source>
        <translation>QR-Code, Version %1-%2: %3</translation>
    </message>
    <message>
        <source>No QR code</source>
        <translation>Kein QR-Code</translation>
    </message>
    <message>
        <source>Nothing copied: this page&apos;s text made no QR code.</source>
        <translation>Nichts kopiert: Aus dem Text dieser Seite entstand kein QR-Code.</translation>
    </message>
    <message>
        <source>Cannot open clipboard: %1</source>
        <translation>Die Zwischenablage lässt sich nicht öffnen: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a web address.</source>
        <translation>„%1“ ist keine Webadresse.</translation>
    </message>
    <message>
        <source>Textdatei (*.txt)</source>
        <translation>Textdatei (*.txt)</translation>
    </message>
    <message>
        <source>eMail (*.eml)</source>
        <translation>E-Mail (*.eml)</translation>
    </message>
    <message>
        <source>VCard (*.vcf)</source>
        <translation>vCard (*.vcf)</translation>
    </message>
    <message>
        <source>Network Key (*.nwk)</source>
        <translation>Netzwerkschlüssel (*.nwk)</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.svg)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.svg)</translation>
    </message>
    <message>
        <source>Design:</source>
        <translation>Design:</translation>
    </message>
    <message>
        <source>Squares</source>
        <translation>Quadrate</translation>
    </message>
    <message>
        <source>Dots</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Rounded</source>
        <translation>Abgerundet</translation>
    </message>
    <message>
        <source>Square corners</source>
        <translation>Eckige Ecken</translation>
    </message>
    <message>
        <source>Round corners</source>
        <translation>Runde Ecken</translation>
    </message>
    <message>
        <source>Finder shape</source>
        <translation>Form der Suchmuster</translation>
    </message>
    <message>
        <source>How the three large corner squares (the finder patterns) are drawn</source>
        <translation>Wie die drei großen Eckquadrate (die Suchmuster) gezeichnet werden</translation>
    </message>
    <message>
        <source>Finder color</source>
        <translation>Farbe der Suchmuster</translation>
    </message>
    <message>
        <source>Logo…</source>
        <translation>Logo…</translation>
    </message>
    <message>
        <source>Logo size</source>
        <translation>Logogröße</translation>
    </message>
    <message>
        <source>No logo</source>
        <translation>Kein Logo</translation>
    </message>
    <message>
        <source>Remove the logo</source>
        <translation>Das Logo entfernen</translation>
    </message>
    <message>
        <source>The logo: %1
Choose another picture (PNG, JPEG or SVG)</source>
        <translation>Das Logo: %1
Ein anderes Bild wählen (PNG, JPEG oder SVG)</translation>
    </message>
    <message>
        <source>A picture (PNG, JPEG or SVG) in the middle of the code; sets Error Correction to H, since the modules under it are lost</source>
        <translation>Ein Bild (PNG, JPEG oder SVG) in der Mitte des Codes; stellt die Fehlerkorrektur auf H, da die Module darunter verloren gehen</translation>
    </message>
    <message>
        <source>The logo %1 cannot be used: %2.</source>
        <translation>Das Logo %1 kann nicht verwendet werden: %2.</translation>
    </message>
    <message>
        <source>The logo %1 was dropped: %2.</source>
        <translation>Das Logo %1 wurde entfernt: %2.</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>QR code: %1</source>
        <translation>QR-Code: %1</translation>
    </message>
    <message>
        <source>Nothing to %1: this page gives no QR code.</source>
        <translation>Nichts zu %1: Diese Seite ergibt keinen QR-Code.</translation>
    </message>
    <message>
        <source>save</source>
        <translation>speichern</translation>
    </message>
    <message>
        <source>print</source>
        <translation>drucken</translation>
    </message>
    <message>
        <source>A code of %1 mm does not fit on the page: it can print at most %2 x %3 mm.</source>
        <translation>Ein Code von %1 mm passt nicht auf die Seite: Gedruckt werden können höchstens %2 x %3 mm.</translation>
    </message>
    <message>
        <source>Cannot print: the printer did not start.</source>
        <translation>Drucken nicht möglich: Der Drucker ist nicht gestartet.</translation>
    </message>
    <message>
        <source>Cannot print: the printer stopped.</source>
        <translation>Drucken nicht möglich: Der Drucker hat angehalten.</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open Picture…</source>
        <translation>Bild ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Read a QR code from a picture file into its page</source>
        <translation>Einen QR-Code aus einer Bilddatei in seine Seite lesen</translation>
    </message>
    <message>
        <source>P&amp;aste Picture</source>
        <translation>Bild &amp;einfügen</translation>
    </message>
    <message>
        <source>Read a QR code from the picture on the clipboard</source>
        <translation>Einen QR-Code aus dem Bild in der Zwischenablage lesen</translation>
    </message>
    <message>
        <source>&amp;Read from Screen</source>
        <translation>Vom Bildschirm &amp;lesen</translation>
    </message>
    <message>
        <source>Take a picture of the screen and drag a rectangle around the code to read</source>
        <translation>Ein Bild des Bildschirms aufnehmen und ein Rechteck um den zu lesenden Code ziehen</translation>
    </message>
    <message>
        <source>&amp;Copy QR-Code to Clipboard</source>
        <translation>QR-Code in die Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Save QR-Code As…</source>
        <translation>QR-Code &amp;speichern unter…</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken…</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Info...</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Zeilenumbruch</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Copy and paste the URL from your Browser to this field</source>
        <translation>Kopieren Sie die Adresse aus Ihrem Browser in dieses Feld</translation>
    </message>
    <message>
        <source>e.g.  https://www.example.org/   or   http://example.com/index.html</source>
        <translation>z. B.  https://www.example.org/   oder   http://example.com/index.html</translation>
    </message>
    <message>
        <source>Test the URL</source>
        <translation>Adresse testen</translation>
    </message>
    <message>
        <source>eMail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>eMail Address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Betreff</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Nachricht</translation>
    </message>
    <message>
        <source>VCard v4.0</source>
        <translation>vCard v4.0</translation>
    </message>
    <message>
        <source>Wifi</source>
        <translation>WLAN</translation>
    </message>
    <message>
        <source>Network Name (SSID)</source>
        <translation>Netzwerkname (SSID)</translation>
    </message>
    <message>
        <source>Network Key</source>
        <translation>Netzwerkschlüssel</translation>
    </message>
    <message>
        <source>Network Encryption Type</source>
        <translation>Verschlüsselung des Netzwerks</translation>
    </message>
    <message>
        <source>WPA/WPA2</source>
        <translation>WPA/WPA2</translation>
    </message>
    <message>
        <source>WEP</source>
        <translation>WEP</translation>
    </message>
    <message>
        <source>WPA3 only (SAE)</source>
        <translation>Nur WPA3 (SAE)</translation>
    </message>
    <message>
        <source>None (open network)</source>
        <translation>Keine (offenes Netzwerk)</translation>
    </message>
    <message>
        <source>For networks that take WPA3 devices only. A WPA2/WPA3 network that also takes WPA2 devices should use WPA/WPA2, which every phone reads.</source>
        <translation>Für Netzwerke, die nur WPA3-Geräte annehmen. Ein WPA2/WPA3-Netzwerk, das auch WPA2-Geräte annimmt, sollte WPA/WPA2 verwenden, das jedes Telefon liest.</translation>
    </message>
    <message>
        <source>How the network is secured, as its router is set</source>
        <translation>Wie das Netzwerk gesichert ist, so wie sein Router eingestellt ist</translation>
    </message>
    <message>
        <source>Hidden network</source>
        <translation>Verborgenes Netzwerk</translation>
    </message>
    <message>
        <source>The network does not announce its name: phones look for it by name</source>
        <translation>Das Netzwerk sendet seinen Namen nicht: Telefone suchen es über den Namen</translation>
    </message>
    <message>
        <source>Encoding Mode</source>
        <translation>Kodierung</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Rand</translation>
    </message>
    <message>
        <source>Error Correction</source>
        <translation>Fehlerkorrektur</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Numeric</source>
        <translation>Numerisch</translation>
    </message>
    <message>
        <source>Alphanumeric</source>
        <translation>Alphanumerisch</translation>
    </message>
    <message>
        <source>ISO-8859-1</source>
        <translation>ISO-8859-1</translation>
    </message>
    <message>
        <source>UTF-8 without BOM</source>
        <translation>UTF-8 ohne BOM</translation>
    </message>
    <message>
        <source>UTF-8 with BOM</source>
        <translation>UTF-8 mit BOM</translation>
    </message>
    <message>
        <source>UTF-8 with ECI</source>
        <translation>UTF-8 mit ECI</translation>
    </message>
    <message>
        <source>L (7 %)</source>
        <translation>L (7 %)</translation>
    </message>
    <message>
        <source>M (15 %)</source>
        <translation>M (15 %)</translation>
    </message>
    <message>
        <source>Q (25 %)</source>
        <translation>Q (25 %)</translation>
    </message>
    <message>
        <source>H (30 %)</source>
        <translation>H (30 %)</translation>
    </message>
    <message>
        <source>Boost</source>
        <translation>Anheben</translation>
    </message>
    <message>
        <source>Use the highest level that still fits the same size of code: more error correction at no cost in size</source>
        <translation>Die höchste Stufe verwenden, die in dieselbe Codegröße passt: mehr Fehlerkorrektur ohne größeren Code</translation>
    </message>
    <message>
        <source>Generate QR-Code</source>
        <translation>QR-Code erzeugen</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Back Color:</source>
        <translation>Hintergrund:</translation>
    </message>
    <message>
        <source>Back Color</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Matrix Color:</source>
        <translation>Modulfarbe:</translation>
    </message>
    <message>
        <source>Matrix Color</source>
        <translation>Modulfarbe</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>Rahmen</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Frame mark size</source>
        <translation>Größe der Rahmenmarken</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Farbe:</translation>
    </message>
    <message>
        <source>Frame mark color</source>
        <translation>Farbe der Rahmenmarken</translation>
    </message>
    <message>
        <source>Confirm Save As</source>
        <translation>Speichern unter bestätigen</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>there is no clipboard.</source>
        <translation>Es gibt keine Zwischenablage.</translation>
    </message>
    <message>
        <source>the clipboard did not take the picture.</source>
        <translation>Die Zwischenablage hat das Bild nicht angenommen.</translation>
    </message>
    <message>
        <source>Print QR-Code</source>
        <translation>QR-Code drucken</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> mm</translation>
    </message>
    <message>
        <source>Printer…</source>
        <translation>Drucker…</translation>
    </message>
    <message>
        <source>Side length of the code:</source>
        <translation>Seitenlänge des Codes:</translation>
    </message>
    <message>
        <source>The whole picture, its light border included, is printed this large, centred on the page.</source>
        <translation>Das ganze Bild, einschließlich seines hellen Rands, wird in dieser Größe mittig auf die Seite gedruckt.</translation>
    </message>
    <message>
        <source>Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.svg *.svgz);;All files (*)</source>
        <translation>Bilder (*.png *.jpg *.jpeg *.bmp *.gif *.svg *.svgz);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>an %1 code</source>
        <translation>einen %1-Code</translation>
    </message>
    <message>
        <source>a %1 code</source>
        <translation>einen %1-Code</translation>
    </message>
    <message>
        <source>Drag a rectangle around the code (Enter: the whole screen, Escape: cancel)</source>
        <translation>Ziehen Sie ein Rechteck um den Code (Eingabe: der ganze Bildschirm, Esc: abbrechen)</translation>
    </message>
    <message>
        <source>On Wayland the screen is taken through the desktop portal, and this desktop has none (xdg-desktop-portal): take a screenshot and use Paste Picture or Open Picture.</source>
        <translation>Unter Wayland wird der Bildschirm über das Desktop-Portal aufgenommen, und diese Arbeitsumgebung hat keines (xdg-desktop-portal): Erstellen Sie ein Bildschirmfoto und verwenden Sie „Bild einfügen“ oder „Bild öffnen“.</translation>
    </message>
    <message>
        <source>There is no screen to read from.</source>
        <translation>Es gibt keinen Bildschirm zum Lesen.</translation>
    </message>
    <message>
        <source>there is no screen</source>
        <translation>Es gibt keinen Bildschirm</translation>
    </message>
    <message>
        <source>the screen could not be taken</source>
        <translation>Der Bildschirm konnte nicht aufgenommen werden</translation>
    </message>
    <message>
        <source>Read a Code</source>
        <translation>Code lesen</translation>
    </message>
    <message>
        <source>The picture holds %1 codes. Read which one?</source>
        <translation>Das Bild enthält %1 Codes. Welcher soll gelesen werden?</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the clipboard</source>
        <translation>die Zwischenablage</translation>
    </message>
    <message>
        <source>Nothing read: the clipboard holds no picture.</source>
        <translation>Nichts gelesen: Die Zwischenablage enthält kein Bild.</translation>
    </message>
    <message>
        <source>Cannot read the screen: %1.</source>
        <translation>Der Bildschirm kann nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>the screen</source>
        <translation>den Bildschirm</translation>
    </message>
    <message>
        <source>the dropped picture</source>
        <translation>das abgelegte Bild</translation>
    </message>
    <message>
        <source>No QR code found in %1.</source>
        <translation>Kein QR-Code gefunden in: %1.</translation>
    </message>
    <message>
        <source>Read %1 from %2: </source>
        <translation>%1 gelesen aus %2: </translation>
    </message>
    <message>
        <source>version %1, </source>
        <translation>Version %1, </translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>; not kept: </source>
        <translation>; nicht übernommen: </translation>
    </message>
    <message>
        <source>Does not scan with these colours: %1, at least 3 : 1 is needed</source>
        <translation>Mit diesen Farben nicht lesbar: %1, mindestens 3 : 1 ist nötig</translation>
    </message>
    <message>
        <source>Inverted colours: many phone readers do not read light modules on a dark background</source>
        <translation>Umgekehrte Farben: Viele Telefone lesen keine hellen Module auf dunklem Grund</translation>
    </message>
    <message>
        <source>Checking that it scans…</source>
        <translation>Es wird geprüft, ob er sich lesen lässt…</translation>
    </message>
    <message>
        <source>Scans: reads back exactly (version %1-%2, %3 %4)</source>
        <translation>Lesbar: wird genau zurückgelesen (Version %1-%2, %3 %4)</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>reads back exactly</source>
        <translation>wird genau zurückgelesen</translation>
    </message>
    <message>
        <source>Does not scan: a reader gets other bytes back</source>
        <translation>Nicht lesbar: Ein Leser erhält andere Bytes zurück</translation>
    </message>
    <message>
        <source>Does not scan: a reader finds no code in this picture</source>
        <translation>Nicht lesbar: Ein Leser findet in diesem Bild keinen Code</translation>
    </message>
    <message>
        <source>Does not scan: %1</source>
        <translation>Nicht lesbar: %1</translation>
    </message>
    <message>
        <source>Contact Name</source>
        <translation>Kontaktname</translation>
    </message>
    <message>
        <source>First Name</source>
        <translation>Vorname</translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation>Nachname</translation>
    </message>
    <message>
        <source>Middle Name</source>
        <translation>Zweiter Vorname</translation>
    </message>
    <message>
        <source>Phone home</source>
        <translation>Telefon privat</translation>
    </message>
    <message>
        <source>Cell Phone private</source>
        <translation>Mobil privat</translation>
    </message>
    <message>
        <source>eMail private</source>
        <translation>E-Mail privat</translation>
    </message>
    <message>
        <source>Website private</source>
        <translation>Website privat</translation>
    </message>
    <message>
        <source>Street home</source>
        <translation>Straße privat</translation>
    </message>
    <message>
        <source>City home</source>
        <translation>Ort privat</translation>
    </message>
    <message>
        <source>ZIP Code home</source>
        <translation>PLZ privat</translation>
    </message>
    <message>
        <source>Birthday [yyyy.mm.dd]</source>
        <translation>Geburtstag [jjjj.mm.tt]</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Department</source>
        <translation>Abteilung</translation>
    </message>
    <message>
        <source>Job Title</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Phone Work</source>
        <translation>Telefon geschäftlich</translation>
    </message>
    <message>
        <source>Cell Phone work</source>
        <translation>Mobil geschäftlich</translation>
    </message>
    <message>
        <source>eMail work</source>
        <translation>E-Mail geschäftlich</translation>
    </message>
    <message>
        <source>Website work</source>
        <translation>Website geschäftlich</translation>
    </message>
    <message>
        <source>Street work</source>
        <translation>Straße geschäftlich</translation>
    </message>
    <message>
        <source>City work</source>
        <translation>Ort geschäftlich</translation>
    </message>
    <message>
        <source>ZIP Code work</source>
        <translation>PLZ geschäftlich</translation>
    </message>
    <message>
        <source>How the modules are drawn: squares, round dots, or joined with rounded corners</source>
        <translation>Wie die Module gezeichnet werden: als Quadrate, runde Punkte oder verbunden mit abgerundeten Ecken</translation>
    </message>
    <message>
        <source>Colour of the three corner squares; choose the Matrix Color to let them follow it</source>
        <translation>Farbe der drei Eckquadrate; wählen Sie die Modulfarbe, damit sie ihr folgen</translation>
    </message>
    <message>
        <source>The logo&apos;s size as a share of the code&apos;s side: the larger, the more the code must restore (the line above says whether it still scans)</source>
        <translation>Die Größe des Logos als Anteil der Seite des Codes: Je größer, desto mehr muss der Code wiederherstellen (die Zeile darüber sagt, ob er noch lesbar ist)</translation>
    </message>
    <message>
        <source>How the text is stored in the code. Auto takes the smallest mode that holds it and marks no character set, since older readers may not know the mark.
UTF-8 with ECI names UTF-8 with the ECI designator 26, so that readers need not guess the character set.</source>
        <translation>Wie der Text im Code gespeichert wird. Automatisch wählt den kleinsten Modus, der ihn aufnimmt, und kennzeichnet keinen Zeichensatz, da ältere Leser die Kennzeichnung nicht kennen.
UTF-8 mit ECI kennzeichnet UTF-8 mit dem ECI-Bezeichner 26, sodass Leser den Zeichensatz nicht raten müssen.</translation>
    </message>
    <message>
        <source>Error correction: about this share of a code may be scratched, dirty or covered and a phone still reads it.
A higher level makes the code larger for the same text.</source>
        <translation>Fehlerkorrektur: Etwa dieser Anteil eines Codes darf zerkratzt, verschmutzt oder verdeckt sein, und ein Telefon liest ihn trotzdem.
Eine höhere Stufe macht den Code für denselben Text größer.</translation>
    </message>
    <message>
        <source>The network name is empty: a phone finds no network by it.</source>
        <translation>Der Netzwerkname ist leer: Ein Telefon findet kein Netzwerk unter ihm.</translation>
    </message>
    <message>
        <source>The page is empty: the code holds nothing.</source>
        <translation>Die Seite ist leer: Der Code enthält nichts.</translation>
    </message>
    <message>
        <source>A byte-order mark goes before plain text only: this code is UTF-8 without one, so that readers know what it holds.</source>
        <translation>Eine Byte-Order-Markierung steht nur vor reinem Text: Dieser Code ist UTF-8 ohne sie, damit Lesegeräte erkennen, was er enthält.</translation>
    </message>
    <message>
        <source>The page has changed: Generate QR-Code makes its code and checks it.</source>
        <translation>Die Seite wurde geändert: QR-Code erzeugen erstellt ihren Code und prüft ihn.</translation>
    </message>
    <message>
        <source>A logo needs level H, and this text is too long for it: the level stays %1, which may not restore the modules under the logo.</source>
        <translation>Ein Logo braucht Stufe H, und dieser Text ist zu lang dafür: Die Stufe bleibt %1, die die Module unter dem Logo womöglich nicht wiederherstellt.</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>The number to call, as you would dial it; blanks are left out</source>
        <translation>Die Nummer, die angerufen wird, so wie Sie sie wählen würden; Leerzeichen werden weggelassen</translation>
    </message>
    <message>
        <source>&amp;Phone Number</source>
        <translation>&amp;Telefonnummer</translation>
    </message>
    <message>
        <source>e.g.  +49 30 1234-567   or   (030) 123 45 67</source>
        <translation>z. B.  +49 30 1234-567   oder   (030) 123 45 67</translation>
    </message>
    <message>
        <source>SMS</source>
        <translation>SMS</translation>
    </message>
    <message>
        <source>The number the message goes to</source>
        <translation>Die Nummer, an die die Nachricht geht</translation>
    </message>
    <message>
        <source>The text of the message; the phone lets the user change it before sending</source>
        <translation>Der Text der Nachricht; das Telefon lässt ihn vor dem Senden ändern</translation>
    </message>
    <message>
        <source>&amp;Message</source>
        <translation>&amp;Nachricht</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Degrees north of the equator, -90 to 90; south is negative</source>
        <translation>Grad nördlich des Äquators, -90 bis 90; Süden ist negativ</translation>
    </message>
    <message>
        <source>&amp;Latitude</source>
        <translation>&amp;Breitengrad</translation>
    </message>
    <message>
        <source>Degrees east of Greenwich, -180 to 180; west is negative</source>
        <translation>Grad östlich von Greenwich, -180 bis 180; Westen ist negativ</translation>
    </message>
    <message>
        <source>L&amp;ongitude</source>
        <translation>&amp;Längengrad</translation>
    </message>
    <message>
        <source>A name the map apps show at the point (optional)</source>
        <translation>Ein Name, den Karten-Apps an dem Punkt zeigen (optional)</translation>
    </message>
    <message>
        <source>La&amp;bel (optional)</source>
        <translation>Be&amp;zeichnung (optional)</translation>
    </message>
    <message>
        <source>Decimal degrees, e.g.  48.8584  and  2.2945  (at most 6 decimals are written)</source>
        <translation>Dezimalgrad, z. B.  48.8584  und  2.2945  (höchstens 6 Nachkommastellen werden geschrieben)</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Termin</translation>
    </message>
    <message>
        <source>The event&apos;s title in the calendar</source>
        <translation>Der Titel des Termins im Kalender</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Titel</translation>
    </message>
    <message>
        <source>In the local time of this computer: 2026-12-24T18:00 (a blank for the T will do); a date alone for an all-day event</source>
        <translation>In der Ortszeit dieses Computers: 2026-12-24T18:00 (ein Leerzeichen statt des T genügt); nur ein Datum für einen ganztägigen Termin</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Beginn</translation>
    </message>
    <message>
        <source>Optional; for an all-day event the last day</source>
        <translation>Optional; bei einem ganztägigen Termin der letzte Tag</translation>
    </message>
    <message>
        <source>&amp;End</source>
        <translation>&amp;Ende</translation>
    </message>
    <message>
        <source>&amp;All day</source>
        <translation>&amp;Ganztägig</translation>
    </message>
    <message>
        <source>Start and end are dates (2026-12-31); the end is the last day</source>
        <translation>Beginn und Ende sind Daten (2026-12-31); das Ende ist der letzte Tag</translation>
    </message>
    <message>
        <source>Where the event takes place</source>
        <translation>Wo der Termin stattfindet</translation>
    </message>
    <message>
        <source>L&amp;ocation</source>
        <translation>&amp;Ort</translation>
    </message>
    <message>
        <source>A description of the event (optional)</source>
        <translation>Eine Beschreibung des Termins (optional)</translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation>Besch&amp;reibung</translation>
    </message>
    <message>
        <source>Take the first event of a calendar file (.ics)</source>
        <translation>Den ersten Termin einer Kalenderdatei (.ics) übernehmen</translation>
    </message>
    <message>
        <source>Save the event as a calendar file (.ics) that calendar programs import</source>
        <translation>Den Termin als Kalenderdatei (.ics) speichern, die Kalenderprogramme importieren</translation>
    </message>
    <message>
        <source>Payment</source>
        <translation>Zahlung</translation>
    </message>
    <message>
        <source>&amp;Beneficiary</source>
        <translation>&amp;Empfänger</translation>
    </message>
    <message>
        <source>The name of the one who receives the money (at most 70 characters)</source>
        <translation>Der Name dessen, der das Geld erhält (höchstens 70 Zeichen)</translation>
    </message>
    <message>
        <source>&amp;IBAN</source>
        <translation>&amp;IBAN</translation>
    </message>
    <message>
        <source>The beneficiary&apos;s account; checked, and never kept when the program closes</source>
        <translation>Das Konto des Empfängers; wird geprüft und beim Beenden des Programms nie gespeichert</translation>
    </message>
    <message>
        <source>BI&amp;C</source>
        <translation>BI&amp;C</translation>
    </message>
    <message>
        <source>The beneficiary bank&apos;s BIC (optional within the euro area)</source>
        <translation>Die BIC der Bank des Empfängers (im Euroraum optional)</translation>
    </message>
    <message>
        <source>&amp;Amount (EUR)</source>
        <translation>&amp;Betrag (EUR)</translation>
    </message>
    <message>
        <source>0.01 to 999999999.99 euro (optional: the payer types it)</source>
        <translation>0,01 bis 999999999,99 Euro (optional: der Zahler gibt ihn ein)</translation>
    </message>
    <message>
        <source>&amp;Reference</source>
        <translation>&amp;Referenz</translation>
    </message>
    <message>
        <source>A creditor reference RF… (ISO 11649), checked; or a remittance text, not both</source>
        <translation>Eine Gläubigerreferenz RF… (ISO 11649), geprüft; oder ein Verwendungszweck, nicht beides</translation>
    </message>
    <message>
        <source>Re&amp;mittance</source>
        <translation>&amp;Verwendungszweck</translation>
    </message>
    <message>
        <source>What the payment is for (at most 140 characters)</source>
        <translation>Wofür die Zahlung ist (höchstens 140 Zeichen)</translation>
    </message>
    <message>
        <source>&amp;Purpose code</source>
        <translation>&amp;Zweckcode</translation>
    </message>
    <message>
        <source>Four letters such as CHAR (charity) or GDDS (goods); optional</source>
        <translation>Vier Buchstaben wie CHAR (Spende) oder GDDS (Waren); optional</translation>
    </message>
    <message>
        <source>I&amp;nformation</source>
        <translation>I&amp;nformation</translation>
    </message>
    <message>
        <source>A note shown to the payer (at most 70 characters)</source>
        <translation>Ein Hinweis, der dem Zahler gezeigt wird (höchstens 70 Zeichen)</translation>
    </message>
    <message>
        <source>A SEPA credit transfer (EPC QR code) that banking apps fill in by scanning. It is made at error correction M or higher.</source>
        <translation>Eine SEPA-Überweisung (EPC-QR-Code, GiroCode), die Banking-Apps beim Scannen ausfüllen. Sie wird mit Fehlerkorrektur M oder höher erstellt.</translation>
    </message>
    <message>
        <source>Calendar (*.ics)</source>
        <translation>Kalender (*.ics)</translation>
    </message>
    <message>
        <source>; inverted (light modules on a dark ground), which many phone readers do not read</source>
        <translation>; invertiert (helle Module auf dunklem Grund), was viele Telefon-Lesegeräte nicht lesen</translation>
    </message>
    <message>
        <source>Borderline: reads back at some sizes only (%1)</source>
        <translation>Grenzwertig: wird nur in manchen Größen zurückgelesen (%1)</translation>
    </message>
    <message>
        <source>&amp;Make Many Codes…</source>
        <translation>&amp;Viele Codes erstellen…</translation>
    </message>
    <message>
        <source>Make a code of every row of a CSV file or of cells copied from a spreadsheet</source>
        <translation>Einen Code aus jeder Zeile einer CSV-Datei oder aus Zellen erstellen, die aus einer Tabellenkalkulation kopiert wurden</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source>About...</source>
        <translation>Info...</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>by the Marbeck developers</source>
        <translation>von den Marbeck-Entwicklern</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TScreenPortal</name>
    <message>
        <source>there is no session bus to reach the desktop portal</source>
        <translation>Es gibt keinen Sitzungsbus, über den das Desktop-Portal erreichbar wäre</translation>
    </message>
    <message>
        <source>the desktop portal refused: %1</source>
        <translation>Das Desktop-Portal hat abgelehnt: %1</translation>
    </message>
    <message>
        <source>the desktop portal did not answer</source>
        <translation>Das Desktop-Portal hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the screenshot was cancelled</source>
        <translation>Das Bildschirmfoto wurde abgebrochen</translation>
    </message>
    <message>
        <source>the desktop portal refused the screenshot</source>
        <translation>Das Desktop-Portal hat das Bildschirmfoto abgelehnt</translation>
    </message>
    <message>
        <source>the portal&apos;s picture %1 cannot be read</source>
        <translation>Das Bild %1 des Portals kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>TZoomBar</name>
    <message>
        <source>Zoom: %1 pixels</source>
        <translation>Zoom: %1 Pixel</translation>
    </message>
</context>
</TS>
