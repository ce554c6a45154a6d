// Linked into the start-up benchmark's programs: when the first window has
// painted, writes the monotonic clock in nanoseconds to standard output and
// ends the process at once, so that the parent reads the time to first paint
// and the peak memory up to it. The program itself is unchanged: this hooks
// in from outside through an event filter installed when the application
// object is created.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class FirstPaintWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            // Queued: the window and all its controls finish painting and the
            // backing store is flushed before the time is taken.
            QMetaObject::invokeMethod(this, &FirstPaintWatch::report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void report()
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        ::_exit(0);
    }

    bool m_seen = false;
};

void watchFirstPaint()
{
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintWatch(app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)
