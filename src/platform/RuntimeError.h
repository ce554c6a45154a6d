#pragma once

#include <QString>
#include <stdexcept>

namespace anchorly {

// Error numbers the tool tells apart.
namespace errnum {
inline constexpr int InvalidArgument = 5;      // "Invalid procedure call or argument"
inline constexpr int OutOfMemory = 7;          // "Out of memory"
inline constexpr int FileNotFound = 53;        // "File not found"
inline constexpr int PermissionDenied = 70;    // "Permission denied"
inline constexpr int PathFileAccess = 75;      // "Path/File access error"
inline constexpr int ComponentMissing = 339;   // a component is missing or not registered
inline constexpr int CancelSelected = 32755;   // a dialog was cancelled with CancelError set
inline constexpr int ComponentFailure = 50003; // unexpected failure inside a component
} // namespace errnum

// A run-time error: a number and a description, plus the help topic that
// describes it (carried along for message boxes; unused where no help exists).
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description, const QString& helpFile = QString(), int helpContext = 0);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& helpFile() const { return m_helpFile; }
    int helpContext() const { return m_helpContext; }

    // The error being handled in the current catch block, whatever its type:
    // a RuntimeError as it is, anything else turned into one.
    static RuntimeError fromCurrentException();

private:
    int m_number;
    QString m_description;
    QString m_helpFile;
    int m_helpContext;
};

inline constexpr char kInformAuthor[] = "Please inform the author with the error description above.";

// The text of the unexpected-error message box for the given error and closing line.
QString unexpectedErrorMessage(const RuntimeError& error,
                               const QString& closingLine = QString::fromLatin1(kInformAuthor));

class Platform;

// Shows the unexpected-error message (no icon, title "Error") for the error.
void reportUnexpectedError(Platform& platform, const RuntimeError& error,
                           const QString& closingLine = QString::fromLatin1(kInformAuthor));

} // namespace anchorly
