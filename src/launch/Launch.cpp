#include "launch/Launch.h"

#include "platform/Platform.h"
#include "platform/RuntimeError.h"

namespace anchorly::launch {

namespace {

enum class StartResult { Started, Missing, Failed };

// Runs one command line. "Missing" covers the two failures the user can
// mend by choosing another location: an empty command line (5) and a
// program that does not exist (53). Everything else is reported here.
StartResult start(Platform& platform, const QString& commandLine)
{
    try {
        platform.shell(commandLine, kNormalFocus);
        return StartResult::Started;
    } catch (const RuntimeError& error) {
        if (error.number() == errnum::InvalidArgument || error.number() == errnum::FileNotFound)
            return StartResult::Missing;
        reportUnexpectedError(platform, error);
    } catch (...) {
        reportUnexpectedError(platform, RuntimeError::fromCurrentException());
    }
    return StartResult::Failed;
}

Outcome startAlone(Platform& platform, const QString& programPath, const char* prompt, const char* title)
{
    switch (start(platform, programPath)) {
    case StartResult::Started:
        return Outcome::Started;
    case StartResult::Missing:
        platform.msgBox(QString::fromLatin1(prompt), MsgStyle::Exclamation, QString::fromLatin1(title));
        return Outcome::NeedsLocation;
    case StartResult::Failed:
        break;
    }
    return Outcome::Failed;
}

} // namespace

Outcome startBrowser(Platform& platform, const QString& browserPath)
{
    return startAlone(platform, browserPath, "Locate your browser please...", "No browser defined:");
}

Outcome startEditor(Platform& platform, const QString& editorPath)
{
    return startAlone(platform, editorPath, "Locate your editor please...", "No editor defined:");
}

Outcome startBoth(Platform& platform, const QString& browserPath, const QString& editorPath, const QString& htmlFile)
{
    // Locations go in as the user chose them: unquoted, unchecked, and an
    // empty HTML file still leaves the blank after the program.
    for (const QString& program : {browserPath, editorPath}) {
        switch (start(platform, program + QLatin1Char(' ') + htmlFile)) {
        case StartResult::Started:
            continue;
        case StartResult::Missing:
            platform.msgBox(QStringLiteral("Please check your preferences...\r\n"
                                           "Some files may be misplaced: locate your files again to solve the "
                                           "problem."),
                            MsgStyle::Exclamation, QStringLiteral("Error in preferences:"));
            return Outcome::Failed;
        case StartResult::Failed:
            return Outcome::Failed;
        }
    }
    return Outcome::Started;
}

} // namespace anchorly::launch
