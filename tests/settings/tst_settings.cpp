// The settings catalogue: how stored texts read as each kind, and what the
// readers and writers keep over a hive file.

#include "fakes/TempSettings.h"

#include <QTest>

using namespace anchorly;
using namespace anchorly::settings;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // A stored text as the flag, 16-bit, 32-bit and position readers take it ("-": absent).
    void reading()
    {
        const auto show = [](auto value) { return value ? QString::number(*value) : QStringLiteral("-"); };
        for (const auto& [locale, stored, read] :
             {std::tuple{"C", "tRUE", "1|-|-|-"}, {"C", "-3.5", "1|-4|-4|-3.5"}, {"C", "32767.5", "1|-|32768|32767.5"},
              {"de_DE", "2,5", "1|2|2|2.5"}, {"de_DE", "1.500", "-|-|-|-"}, {"C", "1,500", "-|-|-|-"},
              {"C", "-491505", "1|-|-491505|-491505"}, {"C", "32212252672", "1|-|-|-"}}) {
            QLocale::setDefault(QLocale(locale));
            QCOMPARE(show(convert::toFlag(stored)) + '|' + show(convert::toInt16(stored)) + '|' +
                         show(convert::toInt32(stored)) + '|' + show(convert::toPosition(stored)),
                     read);
        }
    }

    // Over a hive file: a position in the locale's form with seven
    // significant digits, the read's failure as no path, and a location
    // carried over from Windows in 8-bit bytes, which shows readably and goes back byte for
    // byte while unchanged; a changed one is stored as UTF-8.
    void overTheStore()
    {
        test::TempSettings store;
        Settings& settings = store.settings;
        registry::Registry& registry = store.registry;
        const auto stored = [&](const char* name) { return *registry.GetStringValue(kKeyPath, name); };
        QLocale::setDefault(QLocale("de_DE"));
        settings.createKey();
        settings.writePosition(name::Top, 1234.567f);
        settings.writePath(name::Editor, "Error");
        const std::string eightBit = "/opt/caf\xE9/\x80\x81\xEF\xBF\xBD";
        registry.SetStringValue(kKeyPath, name::HTMLfile, eightBit);
        QCOMPARE(stored(name::Top) + '|' + std::to_string(*settings.readPosition(name::Top)), "1234,567|1234.567017");
        QCOMPARE(settings.readPath(name::Editor), "");
        const QString shown = settings.readPath(name::HTMLfile);
        QCOMPARE(shown, "/opt/café/€\u0081ï¿½");
        settings.writePath(name::HTMLfile, shown);
        QCOMPARE(stored(name::HTMLfile), eightBit);
        settings.writePath(name::HTMLfile, shown + "\u00A0");
        QCOMPARE(QString::fromStdString(stored(name::HTMLfile)), shown + "\u00A0");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
