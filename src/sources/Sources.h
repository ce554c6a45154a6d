#pragma once

// The sources list: the publication names offered in the main window's
// drop-down list, their lasting copy in "sources.txt" (SourcesLocation.h says where),
// the built-in names used when that file cannot be read, and the three
// commands that keep the list (add, refresh, edit).
//
// Every function works on the combo box it is handed and never reaches into
// a window. While a function changes the combo it blocks the combo's own
// signals; each selection the program makes is reported through the
// caller's `select` callback instead, exactly once, with the new index.
// The combo is expected to hold only names added through this file.

#include <QString>
#include <QStringList>
#include <functional>

class QComboBox;
class QStringListModel;

namespace anchorly {
class Platform;
namespace settings {
class Settings;
}
} // namespace anchorly

namespace anchorly::sources {

// The 63 built-in publication names, in the order they are added.
const QStringList& builtinSourceNames();

// The sources file in a folder (the executable's, or the user's own): the folder, "/", "sources.txt".
QString sourcesFilePath(const QString& appPath);

// Empties the combo and fills it from the sources file: one name per line,
// a line ending at CR, LF or CR LF, names kept untrimmed, empty and
// blank-only lines skipped, duplicates kept; the file's encoding is kept
// with the combo for the next save. Only a regular file up to a size a list
// can reach is read, and never in a way that waits (a pipe). When the file
// cannot be opened or read, the names read so far stay and the built-in
// list is added after them, and the list remembers that it may not replace
// that file (mayReplaceList). Never fails, shows nothing, creates nothing.
// Leaves nothing selected.
void LoadComboFromFile(QComboBox* cCombobox, const QString& sCurrentFile);

// Begins reading the sources file at path on a thread of its own, so that a
// long list is read while the window is being built; the next
// LoadComboFromFile of the same path takes what it read (waiting for it if
// need be) instead of reading the file again. Any other path is read as usual.
void readAhead(const QString& path);

// Adds the built-in names to the combo; existing entries and the selection stay.
void LoadInternalList(QComboBox* cCombobox);

// Replaces the sources file with the combo's entries in display order, each
// followed by CR LF, in one atomic step, in the encoding of the file the
// list came from. When the file cannot be written, or may not be replaced
// since it was not read in full, the user is told (file and reason), the old
// file stays as it was, and the result is false.
bool Combo2List(QComboBox* cCombobox, const QString& path, Platform& platform);

// -1 when the file can be opened for reading as a list is read, 0 otherwise
// (missing, a folder, a pipe or device, too large, no access, an invalid name).
int fileexists(const QString& path);

// The model that holds the combo's names: a plain string list, filled in one
// step, shown by a view whose rows all have the same height, so that neither
// a fill nor the open list touches every name one by one. Installed on first
// use in place of the combo's own model (its entries are kept).
QStringListModel* sourcesModel(QComboBox* combo);

// The combo's entries in display order.
QStringList sourceNamesOf(const QComboBox* combo);

// A stable case-blind sort; a list in order already (as every saved file is)
// is only checked.
void stableSortCaseBlind(QStringList& names);

// Inserts the names so that the list stays in case-blind alphabetical order;
// a name goes after entries that compare equal to it, so the result equals
// a stable sort of everything added so far. The selected entry stays
// selected (nothing stays selected when nothing was). Bulk-friendly: one
// call with many names costs a sort and one fill of the combo.
void addSorted(QComboBox* combo, const QStringList& names);

// The add-to-list command for the typed source (trimmed of blanks). On an
// empty list the name is only added, unselected and unsaved. Otherwise a
// name not yet in the list (exact, case-sensitive) is saved with the whole
// list first; only when the save succeeded is it added, selected (reported
// through select) and its index stored as "ComboSource". A failed save is
// reported to the user and leaves list, selection and setting unchanged. A
// file the list may not replace (mayReplaceList) is not written: the user is
// told, and the name is added and selected but neither saved nor stored.
void addToList(QComboBox* combo, const QString& typedSource, const QString& path, settings::Settings& settings,
               Platform& platform, const std::function<void(int)>& select);

// The refresh command: reloads the list, selects the stored "ComboSource"
// index when it lies in the list, else the first entry when there is one.
// Every failing step is skipped silently.
void refreshList(QComboBox* combo, const QString& path, settings::Settings& settings,
                 const std::function<void(int)>& select);

// The programs "Edit" tries in turn on the sources file: the desktop's own
// choice for a plain-text file first, then plain-text editors by name.
const QStringList& sourcesOpeners();

// How long "Edit" waits for an opener to fail before it counts as started.
inline constexpr int kOpenerWaitMs = 2000;

// The edit command: writes the list to the file first when the file cannot
// be opened (and stops when that save failed, the user having been told),
// then starts "<opener> <path>" with each opener in turn until one starts and
// does not end with a failure within kOpenerWaitMs (one still running then
// counts as started). When none does, the user is told so and given the
// file's full path to open by hand. The list is never changed.
void editList(QComboBox* combo, const QString& path, Platform& platform, const QStringList& openers = sourcesOpeners());

} // namespace anchorly::sources
