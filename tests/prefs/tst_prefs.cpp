// The preferences window over a fake platform and settings in a temporary
// hive.

#include "fakes/FakePlatform.h"
#include "fakes/TempSettings.h"
#include "prefs/frmPrefs.h"

#include <QtTest>
#include <QtWidgets>

using namespace anchorly;

class TestPrefs : public QObject {
    Q_OBJECT

private slots:
    // The preferences: a stored "Error" shows as nothing; each pick opens in
    // the program's folder with its filter, goes into its field (lower-cased
    // where that names the same file, as chosen where it names another or
    // none) and ends a highlight; Esc does nothing; a close stores the fields.
    void preferences()
    {
        test::TempSettings f;
        test::FakePlatform platform;
        QTemporaryDir appFolder;
        platform.appFolder = appFolder.path();
        f.store("Browser=Error;Editor=/e;HTMLfile=/h");
        const QString chosen = appFolder.path() + "/Web.EXE", editor = appFolder.path() + "/Ed.EXE";
        const QString lowerFolder = appFolder.path().toLower(); // a link there names the same file
        const auto removeLowerFolder = qScopeGuard([&] {
            if (lowerFolder != appFolder.path())
                QDir(lowerFolder).removeRecursively();
        });
        QVERIFY(QFile(chosen).open(QIODevice::WriteOnly) && QDir().mkpath(lowerFolder) &&
                QFile::link(chosen, chosen.toLower()) && QFile(editor).open(QIODevice::WriteOnly) &&
                QFile(editor.toLower()).open(QIODevice::WriteOnly));
        auto* prefs = new frmPrefs(platform, f.settings, nullptr);
        QCOMPARE(prefs->browserPath(), "");
        prefs->setLocateHighlight(prefs->cmdLocateBrowser(), true);
        platform.openAnswer = chosen;
        prefs->cmdLocateBrowser()->click();
        platform.openAnswer = editor;
        prefs->cmdLocateEditor()->click();
        platform.openAnswer = appFolder.path() + "/Page.HTML";
        prefs->findChild<QPushButton*>("cmdLocateHTMLfile")->click();
        QVERIFY(frmPrefs::buttonColour(prefs->cmdLocateBrowser()) != QColor(frmPrefs::kHighlightColour));
        QStringList dialogs;
        for (const FileOpenDialog& dialog : platform.openDialogs)
            dialogs << dialog.title + '|' + dialog.filter + '|' + (dialog.initDir == appFolder.path() ? "" : "?");
        QCOMPARE(dialogs, QStringList({"Locate your Browser|Program files (*.exe)|*.exe|",
                                       "Locate your Editor|Program files (*.exe)|*.exe|",
                                       "Locate your HTML file|All Files (*.*)|*.*||"}));
        prefs->show();
        QTest::keyClick(prefs, Qt::Key_Escape);
        QVERIFY2(prefs->isVisible(), "Esc closed the preferences");
        prefs->close(); // as the close box does
        QCOMPARE(f.stored("Browser") + ' ' + f.stored("Editor") + ' ' + f.stored("HTMLfile"),
                 chosen.toLower() + ' ' + editor + ' ' + appFolder.path() + "/Page.HTML");
    }
};

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
