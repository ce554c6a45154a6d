#include "platform/RuntimeError.h"

#include "platform/Platform.h"

#include <new>

namespace anchorly {

RuntimeError::RuntimeError(int number, const QString& description, const QString& helpFile, int helpContext)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description), m_helpFile(helpFile),
      m_helpContext(helpContext)
{
}

RuntimeError RuntimeError::fromCurrentException()
{
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(errnum::OutOfMemory, QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        return RuntimeError(errnum::ComponentFailure, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        return RuntimeError(errnum::ComponentFailure, QStringLiteral("Unexpected failure"));
    }
}

QString unexpectedErrorMessage(const RuntimeError& error, const QString& closingLine)
{
    const QString sign = error.number() >= 0 ? QStringLiteral(" ") : QString();
    return QStringLiteral("An Error was generated:\r\nDescription: Error") + sign + QString::number(error.number()) +
           QStringLiteral(" - ") + error.description() + QStringLiteral("\r\n\r\n") + closingLine;
}

void reportUnexpectedError(Platform& platform, const RuntimeError& error, const QString& closingLine)
{
    platform.msgBox(unexpectedErrorMessage(error, closingLine), MsgStyle::OkOnly, QStringLiteral("Error"),
                    error.helpFile(), error.helpContext());
}

} // namespace anchorly
