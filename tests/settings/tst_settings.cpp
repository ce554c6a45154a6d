// The settings catalogue: stored forms of the kinds, and the readers and
// writers over a hive.

#include "settings/HiveRegistryApi.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <QTemporaryDir>
#include <QTest>

using namespace anchorly;
using namespace anchorly::settings;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void reading_data();
    void reading();
    void position_data();
    void position();
    void readersAndWritersOverTheStore();
};

// Stored texts as each reader takes them; an invalid QVariant means absent.
void TestSettings::reading_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("flag");
    QTest::addColumn<QVariant>("int16");
    QTest::addColumn<QVariant>("int32");
    auto row = [](const char* name, const char* locale, const char* stored, QVariant flag, QVariant int16,
                  QVariant int32) {
        QTest::newRow(name) << QString(locale) << QString(stored) << flag << int16 << int32;
    };
    const QVariant none, yes(true);
    row("True in any case", "C", "tRUE", yes, none, none);
    row("zero", "C", "0", QVariant(false), 0, 0);
    row("tie to even down", "C", "2.5", yes, 2, 2);
    row("tie to even up", "C", "-3.5", yes, -4, -4);
    row("past 16 bits", "C", "32767.5", yes, none, 32768);
    row("past 32 bits", "C", "2147483648", yes, none, none);
    row("German comma", "de_DE", "2,5", yes, 2, 2);
    row("German takes no point", "de_DE", "1.500", none, none, none);
    row("no group separators", "C", "1,500", none, none, none);
    row("empty", "C", "", none, none, none);
    row("Error", "C", "Error", none, none, none);
}

void TestSettings::reading()
{
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(QVariant, flag);
    QFETCH(QVariant, int16);
    QFETCH(QVariant, int32);
    QLocale::setDefault(QLocale(locale));
    auto asVariant = [](auto value) { return value ? QVariant(*value) : QVariant(); };
    QCOMPARE(asVariant(convert::toFlag(stored)), flag);
    QCOMPARE(asVariant(convert::toInt16(stored)).toString(), int16.toString());
    QCOMPARE(asVariant(convert::toInt32(stored)), int32);
}

void TestSettings::position_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("twips");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<float>("readBack");
    QTest::newRow("whole twips") << "de_DE" << 1440.0f << "1440" << 1440.0f;
    QTest::newRow("negative zero") << "C" << -0.0f << "0" << 0.0f;
    QTest::newRow("fraction") << "en_US" << -1234.5f << "-1234.5" << -1234.5f;
    QTest::newRow("German fraction") << "de_DE" << 1234.5f << "1234,5" << 1234.5f;
    QTest::newRow("seven digits") << "C" << 1234567.5f << "1234568" << 1234568.0f;
}

void TestSettings::position()
{
    QFETCH(QString, locale);
    QFETCH(float, twips);
    QFETCH(QString, stored);
    QFETCH(float, readBack);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(convert::fromPosition(twips), stored);
    QCOMPARE(convert::toPosition(stored), std::optional<float>(readBack));
}

void TestSettings::readersAndWritersOverTheStore()
{
    QTemporaryDir folder;
    registry::HiveRegistryApi api(folder.filePath(QStringLiteral("registry")).toStdString());
    registry::Registry registry(api, nullptr);
    Settings settings(registry);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    settings.createKey();
    settings.writeFlag(name::Startup, true);
    settings.writeWhole(name::BorderColor, 65280);
    settings.writeWhole(name::ComboIndex, -1);
    settings.writePosition(name::Top, 1234.5f);
    const QString longPath = QStringLiteral("/home/ünï/") + QString(300, u'p');
    settings.writePath(name::Browser, longPath);
    settings.writePath(name::Editor, QStringLiteral("Error"));

    QCOMPARE(registry.GetStringValue(kKeyPath, name::Top), std::optional<std::string>("1234,5"));
    QCOMPARE(settings.readFlag(name::Startup), std::optional<bool>(true));
    QCOMPARE(settings.readInt32(name::BorderColor), std::optional<qint32>(65280));
    QCOMPARE(settings.readInt16(name::ComboIndex), std::optional<qint16>(-1));
    QCOMPARE(settings.readPosition(name::Top), std::optional<float>(1234.5f));
    QCOMPARE(settings.readPath(name::Browser), longPath); // longer than 254 characters, still whole
    QCOMPARE(settings.readPath(name::Editor), QString());
    QCOMPARE(settings.readInt16(name::HTMLfile), std::nullopt);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
