#include "platform/CommandLine.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <vector>

namespace anchorly {

ProgramProbe lookUpProgram(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (!name.contains(QLatin1Char('/'))) {
        // Like a shell: a bare name is looked for on the search path only, never in the working folder.
        const QString found = QStandardPaths::findExecutable(name);
        if (found.isEmpty())
            return {};
        return {ProgramProbe::Runnable, found};
    }
    const QFileInfo info(name); // follows symbolic links
    if (!info.exists())
        return {};
    if (info.isDir())
        return {ProgramProbe::Folder, info.absoluteFilePath()};
    if (!info.isFile())
        return {ProgramProbe::NotExecutable, info.absoluteFilePath()}; // a device or pipe is no program either
    if (!info.isExecutable())
        return {ProgramProbe::NotExecutable, info.absoluteFilePath()};
    return {ProgramProbe::Runnable, info.absoluteFilePath()};
}

namespace {

bool isBlankOnly(const QString& text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

CommandLineSplit splitCommandLine(const QString& commandLine, const ProgramLookup& lookup)
{
    CommandLineSplit split;
    // Nothing before the first blank is no program. Skipping the blank would
    // make the argument the program: an empty browser location would run the
    // user's HTML file, or report it as a program that may not be executed.
    if (commandLine.isEmpty() || commandLine.at(0) == QLatin1Char(' '))
        return split; // Blank

    const QString& body = commandLine;
    // Every place the program's name may end: before each blank, and at the end of the line.
    std::vector<qsizetype> ends;
    for (qsizetype i = 1; i < body.size(); ++i) {
        if (body.at(i) == QLatin1Char(' '))
            ends.push_back(i);
    }
    ends.push_back(body.size());

    std::vector<ProgramProbe> probes;
    probes.reserve(ends.size());
    for (const qsizetype end : ends)
        probes.push_back(lookup(body.left(end)));

    const auto take = [&](std::size_t index, CommandLineSplit::Outcome outcome) {
        const qsizetype end = ends[index];
        split.outcome = outcome;
        split.name = body.left(end);
        split.program = probes[index].path;
        if (end < body.size()) {
            const QString rest = body.mid(end + 1);
            if (!isBlankOnly(rest))
                split.argument = rest;
        }
        return split;
    };

    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].kind == ProgramProbe::Runnable)
            return take(i, CommandLineSplit::Found);
    }
    for (std::size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].kind == ProgramProbe::NotExecutable)
            return take(i, CommandLineSplit::NotExecutable);
    }

    qsizetype wholeEnd = body.size();
    while (body.at(wholeEnd - 1) == QLatin1Char(' '))
        --wholeEnd;
    const QString whole = body.left(wholeEnd);
    const ProgramProbe wholeProbe = wholeEnd == body.size() ? probes.back() : lookup(whole);
    split.name = whole;
    if (wholeProbe.kind == ProgramProbe::Folder) {
        split.outcome = CommandLineSplit::Folder;
        split.program = wholeProbe.path;
    } else {
        split.outcome = CommandLineSplit::NotFound;
    }
    return split;
}

} // namespace anchorly
