#ifndef KESTREL_TESTS_QML_FASTANIMATIONDRIVER_H
#define KESTREL_TESTS_QML_FASTANIMATIONDRIVER_H

#include <QAnimationDriver>
#include <QElapsedTimer>
#include <QTimer>

// Runs every animation (and QML timer) of the thread that installs it ten times faster than the
// clock: the flows are under test, not the slides and fades, and waiting for them was most of the
// run. The threaded render loop brings its own driver, so it is for the basic one.
// Lives on the GUI thread.
class FastAnimationDriver : public QAnimationDriver
{
public:
    FastAnimationDriver()
    {
        m_ticks.setInterval(4);
        connect(&m_ticks, &QTimer::timeout, this, &QAnimationDriver::advance);
        m_clock.start();
    }
    qint64 elapsed() const override { return m_clock.elapsed() * 10; }

protected:
    void start() override
    {
        QAnimationDriver::start();
        m_ticks.start();
    }
    void stop() override
    {
        m_ticks.stop();
        QAnimationDriver::stop();
    }

private:
    QTimer m_ticks;
    QElapsedTimer m_clock;
};

#endif // KESTREL_TESTS_QML_FASTANIMATIONDRIVER_H
