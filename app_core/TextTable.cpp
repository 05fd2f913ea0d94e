#include "TextTable.h"

#include <QHash>

#include <iterator>

namespace tarvelo {

namespace {

struct Entry {
    const char16_t* key;
    const char16_t* text;
};

// German under "1" + key, English under "2" + key. An "&" in a menu text
// marks the access key.
constexpr Entry kEntries[] = {
    // menus
    {u"110000", u"&Datei"},
    {u"210000", u"&File"},
    {u"110001", u"In Datei &speichern"},
    {u"210001", u"&Save to file"},
    {u"110002", u"&Beenden"},
    {u"210002", u"&Exit"},
    {u"110101", u"&Hilfe"},
    {u"210101", u"&Help"},
    {u"110102", u"&Info"},
    {u"210102", u"&Info"},
    {u"110200", u"&Sprache"},
    {u"210200", u"&Language"},
    {u"110201", u"&Deutsch"},
    {u"210201", u"&Deutsch"},
    {u"110202", u"&English"},
    {u"210202", u"&English"},
    // toolbar
    {u"120001", u"Hilfe"},
    {u"220001", u"Help"},
    // frames
    {u"130001", u"Eingabedaten"},
    {u"230001", u"Input values"},
    {u"130002", u"Berechnete Werte"},
    {u"230002", u"Calculated values"},
    // labels of the input area
    {u"140001", u"Gasname"},
    {u"240001", u"Name of the gas"},
    {u"140002", u"Summe der Elemente:"},
    {u"240002", u"Sum of elements:"},
    {u"140003", u"(muss auf 100.% ergänzt werden)"},
    {u"240003", u"(to be completed to 100.%)"},
    // labels of the result area
    {u"141001", u"Mindesluftbedarf"},
    {u"241001", u"air / fuel ratio"},
    {u"141002", u"Dichte"},
    {u"241002", u"density"},
    {u"141003", u"Heizwert"},
    {u"241003", u"calorific value"},
    // command buttons
    {u"150001", u"Neue Berechnung starten"},
    {u"250001", u"Start a new calculation"},
    {u"150002", u"Berechnen"},
    {u"250002", u"Calculate"},
    {u"150003", u"Beenden"},
    {u"250003", u"Exit"},
    {u"150004", u"Protokolldatei im HTML-Formate erzeugen"},
    {u"250004", u"Generate report in HTML-format"},
    // composition fields, in component order
    {u"160001", u"Methan"},
    {u"260001", u"Methane"},
    {u"160002", u"Ethan"},
    {u"260002", u"Ethane"},
    {u"160003", u"Propan"},
    {u"260003", u"Propane"},
    {u"160004", u"Iso-Butan"},
    {u"260004", u"Iso-Butane"},
    {u"160005", u"Normal-Butan"},
    {u"260005", u"Normal-Butane"},
    {u"160006", u"Pentan"},
    {u"260006", u"Pentane"},
    {u"160007", u"Hexan"},
    {u"260007", u"Hexane"},
    {u"160008", u"Septan"},
    {u"260008", u"Septane"},
    {u"160009", u"Acetylen"},
    {u"260009", u"Acetylene"},
    {u"160010", u"Ethen"},
    {u"260010", u"Ethene"},
    {u"160011", u"Wasserstoff"},
    {u"260011", u"Hydrogen"},
    {u"160012", u"Kohlenmonoxid"},
    {u"260012", u"Carbon monoxide"},
    {u"160013", u"Kohlendioxid"},
    {u"260013", u"Carbon dioxide"},
    {u"160014", u"Stickstoff"},
    {u"260014", u"Nitrogen"},
    {u"160015", u"Sauerstoff"},
    {u"260015", u"Oxygen"},
    {u"160016", u"Wasser"},
    {u"260016", u"Water"},
    // messages
    {u"170001", u"Der eingegebene Wert muss numerisch und positiv sein!"},
    {u"270001", u"The entered value has to be numerical and positive!"},
    {u"170002", u"Der Bericht konnte nicht geschrieben werden:"},
    {u"270002", u"The report could not be written:"},
    // save dialog: title, then description|pattern
    {u"180001", u"Speichern unter..."},
    {u"280001", u"Save as..."},
    {u"180002", u"TarveloV1-Ausgabe (*.htm)|*.htm"},
    {u"280002", u"TarveloV1-Output (*.htm)|*.htm"},
};

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> entries = [] {
        QHash<QString, QString> h;
        h.reserve(int(std::size(kEntries)));
        for (const Entry& e : kEntries)
            h.insert(QString::fromUtf16(e.key), QString::fromUtf16(e.text));
        return h;
    }();
    return entries;
}

} // namespace

QString lookupText(const QString& tableKey) {
    return table().value(tableKey);
}

int textTableSize() {
    return int(table().size());
}

} // namespace tarvelo
