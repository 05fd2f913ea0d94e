#include "TextTable.h"

#include "Components.h"

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
    // the gas-quality window: its opening in the main window
    {u"110003", u"&Gasbeschaffenheit (ISO 6976)"},
    {u"210003", u"&Gas quality (ISO 6976)"},
    {u"120002", u"Gasbeschaffenheit (ISO 6976)"},
    {u"220002", u"Gas quality (ISO 6976)"},
    // the gas-quality window: title, groups, columns, buttons
    {u"190001", u"Gasbeschaffenheit nach ISO 6976:2016"},
    {u"290001", u"Gas quality by ISO 6976:2016"},
    {u"190002", u"Zusammensetzung"},
    {u"290002", u"Composition"},
    {u"190003", u"Komponente"},
    {u"290003", u"Component"},
    {u"190004", u"Anteil (mol%)"},
    {u"290004", u"Amount (mol%)"},
    {u"190005", u"Standardunsicherheit (mol%)"},
    {u"290005", u"Standard uncertainty (mol%)"},
    {u"190006", u"Aus &Hauptfenster übernehmen"},
    {u"290006", u"Take from &main window"},
    {u"190007", u"&Hinzufügen"},
    {u"290007", u"&Add"},
    {u"190008", u"&Entfernen"},
    {u"290008", u"&Remove"},
    {u"190009", u"Summe:"},
    {u"290009", u"Sum:"},
    {u"190010", u"Komponente suchen…"},
    {u"290010", u"Find a component…"},
    {u"190011", u"Referenzbedingungen"},
    {u"290011", u"Reference conditions"},
    {u"190012", u"Verbrennungstemperatur:"},
    {u"290012", u"Combustion temperature:"},
    {u"190013", u"Messtemperatur:"},
    {u"290013", u"Metering temperature:"},
    {u"190014", u"Druck (kPa):"},
    {u"290014", u"Pressure (kPa):"},
    {u"190015", u"Erweiterungsfaktor k:"},
    {u"290015", u"Coverage factor k:"},
    {u"190016", u"Ergebnisse"},
    {u"290016", u"Results"},
    {u"190017", u"Größe"},
    {u"290017", u"Quantity"},
    {u"190018", u"Symbol"},
    {u"290018", u"Symbol"},
    {u"190019", u"Wert"},
    {u"290019", u"Value"},
    {u"190020", u"Erweiterte Unsicherheit U"},
    {u"290020", u"Expanded uncertainty U"},
    {u"190021", u"Einheit"},
    {u"290021", u"Unit"},
    {u"190022", u"Leitungsbedingungen"},
    {u"290022", u"Line conditions"},
    {u"190023", u"Modell:"},
    {u"290023", u"Model:"},
    {u"190024", u"Temperatur (°C):"},
    {u"290024", u"Temperature (°C):"},
    {u"190025", u"Absolutdruck (bar):"},
    {u"290025", u"Absolute pressure (bar):"},
    {u"190026", u"&Kopieren"},
    {u"290026", u"&Copy"},
    {u"190027", u"Bericht &speichern…"},
    {u"290027", u"&Save report…"},
    {u"190028", u"Schl&ießen"},
    {u"290028", u"C&lose"},
    {u"190029", u"Schallgeschwindigkeit"},
    {u"290029", u"speed of sound"},
    {u"190030", u"Umrechnungsfaktor auf die Messbedingungen"},
    {u"290030", u"conversion factor to the metering conditions"},
    {u"190031", u"Realgasfaktor in der Leitung"},
    {u"290031", u"compression factor in the line"},
    {u"190032", u"Dichte in der Leitung"},
    {u"290032", u"density in the line"},
    {u"190033", u"Erstellt am"},
    {u"290033", u"Made on"},
    {u"190034", u"Programmversion"},
    {u"290034", u"Program version"},
    {u"190036", u"u (mol%)"},
    {u"290036", u"u (mol%)"},
    // the gas-quality window: the quantities, in the order of the library's results
    {u"191001", u"molare Masse"},
    {u"291001", u"molar mass"},
    {u"191002", u"Realgasfaktor"},
    {u"291002", u"compression factor"},
    {u"191003", u"relative Dichte"},
    {u"291003", u"relative density"},
    {u"191004", u"relative Dichte, ideales Gas"},
    {u"291004", u"relative density, ideal gas"},
    {u"191005", u"Dichte"},
    {u"291005", u"density"},
    {u"191006", u"Dichte, ideales Gas"},
    {u"291006", u"density, ideal gas"},
    {u"191007", u"Brennwert, molar"},
    {u"291007", u"gross calorific value, molar"},
    {u"191008", u"Heizwert, molar"},
    {u"291008", u"net calorific value, molar"},
    {u"191009", u"Brennwert, massebezogen"},
    {u"291009", u"gross calorific value, mass"},
    {u"191010", u"Heizwert, massebezogen"},
    {u"291010", u"net calorific value, mass"},
    {u"191011", u"Brennwert"},
    {u"291011", u"gross calorific value"},
    {u"191012", u"Heizwert"},
    {u"291012", u"net calorific value"},
    {u"191013", u"Brennwert, ideales Gas"},
    {u"291013", u"gross calorific value, ideal gas"},
    {u"191014", u"Heizwert, ideales Gas"},
    {u"291014", u"net calorific value, ideal gas"},
    {u"191015", u"oberer Wobbe-Index"},
    {u"291015", u"gross Wobbe index"},
    {u"191016", u"unterer Wobbe-Index"},
    {u"291016", u"net Wobbe index"},
    {u"191017", u"oberer Wobbe-Index, ideales Gas"},
    {u"291017", u"gross Wobbe index, ideal gas"},
    {u"191018", u"unterer Wobbe-Index, ideales Gas"},
    {u"291018", u"net Wobbe index, ideal gas"},
    // the gas-quality window: refused inputs (%1, %2: the values named)
    {u"192001", u"Keine Komponente: bitte eine hinzufügen."},
    {u"292001", u"No component: add one."},
    {u"192002", u"%1: „%2“ ist keine Zahl."},
    {u"292002", u"%1: '%2' is not a number."},
    {u"192003", u"%1: negativer Anteil."},
    {u"292003", u"%1: negative amount."},
    {u"192004", u"%1 ist zweimal aufgeführt."},
    {u"292004", u"%1 is listed twice."},
    {u"192005", u"Die Anteile ergeben %1 mol%, nicht 100 mol% (± %2 mol%)."},
    {u"292005", u"The amounts add up to %1 mol%, not 100 mol% (± %2 mol%)."},
    {u"192006", u"Der Realgasfaktor Z ist %1 oder kleiner: außerhalb des Bereichs von ISO 6976."},
    {u"292006", u"The compression factor Z is %1 or less: outside the range of ISO 6976."},
    {u"192007", u"Der Druck %1 kPa liegt außerhalb von 90 bis 110 kPa."},
    {u"292007", u"The pressure %1 kPa is outside 90 to 110 kPa."},
    {u"192008", u"Abgelehnt: %1"},
    {u"292008", u"Refused: %1"},
    {u"192009", u"%1: negative Unsicherheit."},
    {u"292009", u"%1: negative uncertainty."},
    {u"192010", u"%1 kennt %2 nicht."},
    {u"292010", u"%1 does not know %2."},
    {u"192011", u"Außerhalb des Bereichs von %1: %2"},
    {u"292011", u"Outside the range of %1: %2"},
    {u"192012", u"Temperatur und Druck müssen Zahlen sein."},
    {u"292012", u"Temperature and pressure must be numbers."},
    {u"192013", u"Die Messbedingungen liegen außerhalb des Modells: %1"},
    {u"292013", u"The metering conditions are outside the model: %1"},
};

// The German names of the components of ISO 6976's Table A.2, in its order
// (common/Components.h), under text keys 93001 to 93060; the English ones are
// the table's own names.
constexpr const char16_t* kComponentNamesDe[] = {
    u"Methan",
    u"Ethan",
    u"Propan",
    u"n-Butan",
    u"2-Methylpropan (Isobutan)",
    u"n-Pentan",
    u"2-Methylbutan (Isopentan)",
    u"2,2-Dimethylpropan (Neopentan)",
    u"n-Hexan",
    u"2-Methylpentan",
    u"3-Methylpentan",
    u"2,2-Dimethylbutan",
    u"2,3-Dimethylbutan",
    u"n-Heptan",
    u"n-Octan",
    u"n-Nonan",
    u"n-Decan",
    u"Ethen",
    u"Propen",
    u"1-Buten",
    u"cis-2-Buten",
    u"trans-2-Buten",
    u"2-Methylpropen",
    u"1-Penten",
    u"Propadien",
    u"1,2-Butadien",
    u"1,3-Butadien",
    u"Ethin (Acetylen)",
    u"Cyclopentan",
    u"Methylcyclopentan",
    u"Ethylcyclopentan",
    u"Cyclohexan",
    u"Methylcyclohexan",
    u"Ethylcyclohexan",
    u"Benzol",
    u"Toluol",
    u"Ethylbenzol",
    u"o-Xylol",
    u"Methanol",
    u"Methanthiol",
    u"Wasserstoff",
    u"Wasser",
    u"Schwefelwasserstoff",
    u"Ammoniak",
    u"Cyanwasserstoff",
    u"Kohlenmonoxid",
    u"Kohlenoxidsulfid",
    u"Schwefelkohlenstoff",
    u"Helium",
    u"Neon",
    u"Argon",
    u"Stickstoff",
    u"Sauerstoff",
    u"Kohlendioxid",
    u"Schwefeldioxid",
    u"n-Undecan",
    u"n-Dodecan",
    u"n-Tridecan",
    u"n-Tetradecan",
    u"n-Pentadecan",
};

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> entries = [] {
        QHash<QString, QString> h;
        h.reserve(int(std::size(kEntries)));
        for (const Entry& e : kEntries)
            h.insert(QString::fromUtf16(e.key), QString::fromUtf16(e.text));
        static_assert(std::size(kComponentNamesDe) == components::kCount);
        for (std::size_t i = 0; i < components::kCount; ++i) {
            const QString key = QString::number(kComponentNameKey + long(i));
            const std::string_view english = components::component(i).name;
            h.insert(u'1' + key, QString::fromUtf16(kComponentNamesDe[i]));
            h.insert(u'2' + key, QString::fromUtf8(english.data(), qsizetype(english.size())));
        }
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
