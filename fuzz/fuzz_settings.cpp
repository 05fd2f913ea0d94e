// The settings store reading an arbitrary settings file: the input becomes
// $XDG_CONFIG_HOME/Marsk/TarveloV1.conf, then every value the program reads
// is read. A damaged file must read as defaults, never crash.
#include "FuzzSupport.h"
#include "cRegistry.h"

#include <QGuiApplication>
#include <QString>

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

} // namespace

// The program reads its settings only once its QApplication exists, and a
// stored @Variant value may hold a picture, which needs one: so does this.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& file = settingsFile();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        fuzz::fail("cannot write the settings file");
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    const QString app = QStringLiteral("Marsk\\TarveloV1");
    const cRegistry registry;
    const struct {
        const char* section;
        const char* key;
    } values[] = {
        {"General", "Language"}, {"General", "InitDir"}, {"frmMain", "Left"}, {"frmMain", "Top"}};
    for (const auto& value : values) {
        const QString text =
            registry.GetSetting(app, QString::fromLatin1(value.section),
                                QString::fromLatin1(value.key), QStringLiteral("default"));
        fuzz::check(!text.isEmpty(), "a setting read as an empty text");
    }
    return 0;
}
