#include "platform/AppInfo.h"
#include "platform/Platform.h"
#include "platform/RuntimeError.h"
#include "platform/Text.h"
#include "settings/Settings.h"
#include "sources/Sources.h"
#include "sources/SourcesFile.h"

#include <QComboBox>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>
#include <algorithm>

namespace anchorly::sources {

QStringListModel* sourcesModel(QComboBox* combo)
{
    if (auto* model = qobject_cast<QStringListModel*>(combo->model()))
        return model;
    const QSignalBlocker blocker(combo);
    const int selected = combo->currentIndex();
    auto* model = new QStringListModel(sourceNamesOf(combo), combo);
    combo->setModel(model);
    combo->setCurrentIndex(selected);
    // Rows of one height: the open list need not lay out every name to know
    // its size and where each row lies.
    if (auto* view = qobject_cast<QListView*>(combo->view()))
        view->setUniformItemSizes(true);
    return model;
}

QStringList sourceNamesOf(const QComboBox* combo)
{
    if (const auto* model = qobject_cast<const QStringListModel*>(combo->model()))
        return model->stringList();
    QStringList names;
    names.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        names.append(combo->itemText(i));
    return names;
}

void stableSortCaseBlind(QStringList& names)
{
    if (!std::is_sorted(names.cbegin(), names.cend(), caseBlindLess))
        std::stable_sort(names.begin(), names.end(), caseBlindLess);
}

namespace {

void selectEntry(QComboBox* combo, int index, const std::function<void(int)>& select)
{
    {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(index);
    }
    if (select)
        select(index);
}

// Runs one step of a command whose failures are skipped without a word.
template <typename Step> void skipOnError(Step&& step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

void addToList(QComboBox* combo, const QString& typedSource, const QString& path, settings::Settings& settings,
               Platform& platform, const std::function<void(int)>& select)
{
    const QString name = trimBlanks(typedSource);
    if (name.isEmpty())
        return;
    if (combo->count() == 0) {
        // The first name of an empty list is only shown: not selected, not saved.
        addSorted(combo, {name});
        return;
    }

    QStringList names = sourceNamesOf(combo);
    if (names.contains(name, Qt::CaseSensitive))
        return;

    // The file is written before the list changes, so a failed save leaves
    // list, selection and stored index exactly as they were, and the stored
    // index is only ever written for a list that the file really holds.
    const int newIndex = int(std::upper_bound(names.cbegin(), names.cend(), name, caseBlindLess) - names.cbegin());
    names.insert(newIndex, name);
    if (!mayReplaceList(combo, path, platform)) {
        // The file keeps the names it holds; the new one stays in the list
        // for this session, unsaved, so the user can still use it.
        addSorted(combo, {name});
        selectEntry(combo, newIndex, select);
        return;
    }
    FileEncoding encoding = fileEncodingOf(combo);
    if (!saveSourceNames(names, path, platform, encoding))
        return;
    setFileEncodingOf(combo, encoding);

    addSorted(combo, {name});
    // Setting the list's text to the name selects the one entry equal to it.
    selectEntry(combo, newIndex, select);
    settings.writeWhole(settings::name::ComboSource, combo->currentIndex());
}

void refreshList(QComboBox* combo, const QString& path, settings::Settings& settings,
                 const std::function<void(int)>& select)
{
    skipOnError([&] { LoadComboFromFile(combo, path); });
    skipOnError([&] {
        const std::optional<qint16> stored = settings.readInt16(settings::name::ComboSource);
        if (stored && *stored >= 0 && *stored < combo->count())
            selectEntry(combo, *stored, select);
    });
    skipOnError([&] {
        if (combo->currentIndex() == -1 && combo->count() > 0)
            selectEntry(combo, 0, select);
    });
}

const QStringList& sourcesOpeners()
{
    static const QStringList openers =
        QStringLiteral("xdg-open gnome-text-editor gedit kate kwrite mousepad pluma xed featherpad leafpad geany")
            .split(QLatin1Char(' '));
    return openers;
}

void editList(QComboBox* combo, const QString& path, Platform& platform, const QStringList& openers)
{
    // Opening an editor on a file that could not be written would only show
    // an empty new document; the user already has the reason in a message.
    if (fileexists(path) == 0 && !Combo2List(combo, path, platform))
        return;
    // A missing program is the common case and says nothing to the user; one
    // that is there but fails to start tells why the list did not open. The
    // desktop's opener starts, then ends with a failure when the desktop has
    // no program for text files: each one is given a moment to fail, and one
    // that ends with a failure in it counts as not started.
    QString reasons;
    for (const QString& opener : openers) {
        try {
            const int status = platform.shellAndWait(opener + QLatin1Char(' ') + path, kNormalFocus, kOpenerWaitMs);
            if (status <= 0)
                return;
            reasons += QStringLiteral("\r\n") + opener +
                       QStringLiteral(": ended with status %1 without opening the file").arg(status);
        } catch (...) {
            const RuntimeError error = RuntimeError::fromCurrentException();
            if (error.number() != errnum::FileNotFound)
                reasons += QStringLiteral("\r\n") + opener + QStringLiteral(": ") + error.description();
        }
    }
    platform.msgBox(QStringLiteral("No program could be started to open the sources list: neither the desktop's "
                                   "own choice (xdg-open) nor one of the usual text editors.\r\n\r\n"
                                   "Open the file by hand in any text editor, then press Refresh:\r\n") +
                        path + (reasons.isEmpty() ? QString() : QStringLiteral("\r\n") + reasons),
                    MsgStyle::Exclamation, QString::fromLatin1(app::kTitle));
}

} // namespace anchorly::sources
