// The settings store reading an arbitrary settings file. The input becomes
// $XDG_CONFIG_HOME/Marsk/TarveloV1.conf and every value the program reads is
// read through cRegistry; a damaged file must read as defaults, never crash.
// In memory, SettingsFile must then give a file that reads back as itself:
// writing what was read is stable, the values read stay the same, and a
// text (the input as UTF-8) and a number (its first eight bytes) set into it
// read back exactly.
#include "FuzzSupport.h"
#include "SettingsFile.h"
#include "cRegistry.h"

#include <QString>

#include <cmath>
#include <cstring>

#include <sys/stat.h>

namespace {

const std::string& settingsFile() {
    static const std::string file = [] {
        const std::string home = fuzz::scratchDirectory() + "/config";
        mkdir(home.c_str(), 0700);
        mkdir((home + "/Marsk").c_str(), 0700);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        return home + "/Marsk/TarveloV1.conf";
    }();
    return file;
}

struct Place {
    const char16_t* group;
    const char16_t* key;
};

// The program's values, keys without a group, and another window's group.
constexpr Place kPlaces[] = {{u"General", u"Language"}, {u"General", u"InitDir"},
                             {u"frmMain", u"Left"},     {u"frmMain", u"Top"},
                             {u"", u"Language"},        {u"frmQuality", u"Temperature"}};

QString view(const char16_t* text) {
    return QString::fromUtf16(text);
}

void readThroughTheStore(const std::uint8_t* data, std::size_t size) {
    const std::string& file = settingsFile();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        fuzz::fail("cannot write the settings file");
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    const QString app = QStringLiteral("Marsk\\TarveloV1");
    const cRegistry registry;
    for (const Place& place : kPlaces) {
        const QString text =
            registry.GetSetting(app, view(place.group), view(place.key), QStringLiteral("default"));
        fuzz::check(!text.isEmpty(), "a setting read as an empty text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readThroughTheStore(data, size);

    const QByteArrayView input(data, qsizetype(size));
    const SettingsFile read(input);
    const QByteArray written = read.toText();
    SettingsFile again(written);
    fuzz::check(again.toText() == written, "a written settings file reads back differently");
    for (const Place& place : kPlaces)
        fuzz::check(again.text(view(place.group), view(place.key)) ==
                        read.text(view(place.group), view(place.key)),
                    "a value changed when the file was written back");

    const QString text = QString::fromUtf8(input);
    again.setText(u"frmQuality", u"Model", text);
    double number = 0;
    std::memcpy(&number, data, size < sizeof number ? size : sizeof number);
    again.setNumber(u"frmQuality", u"Temperature", number);
    const SettingsFile stored(again.toText());
    fuzz::check(stored.text(u"frmQuality", u"Model") == text, "a text did not read back");
    const std::optional<double> back = stored.number(u"frmQuality", u"Temperature");
    if (std::isfinite(number))
        fuzz::check(back && std::memcmp(&*back, &number, sizeof number) == 0,
                    "a number did not read back");
    for (const Place& place : kPlaces)
        if (view(place.group) != u"frmQuality")
            fuzz::check(stored.text(view(place.group), view(place.key)) ==
                            read.text(view(place.group), view(place.key)),
                        "setting a value changed another one");
    return 0;
}
