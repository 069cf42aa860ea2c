#include "MprisFixture.h"

#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>

namespace tessaly::test {

void EventRecorder::add(RecordedEvent::Kind kind, const PlayerTrack* t)
{
    RecordedEvent e{kind, {}, {}, {}, {}, QString::fromStdU16String(player_.CurrentStreamTitle())};
    if (t) {
        e.kindText = QString::fromStdU16String(t->KindAsString());
        e.artist = QString::fromStdU16String(t->Artist());
        e.album = QString::fromStdU16String(t->Album());
        e.name = QString::fromStdU16String(t->Name());
    }
    events.push_back(e);
}

DemoProcess::DemoProcess(QStringList args, const QString& suffix) : suffix_(suffix)
{
    if (!suffix.isEmpty())
        args << QStringLiteral("--name") << suffix;
    process_.setProgram(QStringLiteral(DEMO_PLAYER));
    process_.setArguments(args);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start();
}

DemoProcess::~DemoProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

QString DemoProcess::mprisName() const
{
    return QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo") +
           (suffix_.isEmpty() ? QString() : QStringLiteral(".") + suffix_);
}

QString DemoProcess::controlName() const
{
    return QStringLiteral("org.tessaly.DemoPlayer") +
           (suffix_.isEmpty() ? QString() : QStringLiteral(".") + suffix_);
}

bool DemoProcess::waitUntilReady(QDBusConnection& bus)
{
    return WaitUntil([&] { return bus.interface()->isServiceRegistered(mprisName()).value(); },
                     5000);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void MprisFixture::SetUp()
{
    privateBus = std::make_unique<PrivateBus>(busAdmits());
    ASSERT_TRUE(privateBus->isRunning()) << "dbus-daemon did not start";
    bus = privateBus->connect(QStringLiteral("mpris-test-") +
                              QUuid::createUuid().toString(QUuid::WithoutBraces));
    ASSERT_TRUE(bus.isConnected());
}

void MprisFixture::TearDown()
{
    recorder.reset();
    player.reset();
    demos.clear();
    privateBus.reset();
}

DemoProcess& MprisFixture::startDemo(QStringList args, const QString& suffix)
{
    demos.push_back(std::make_unique<DemoProcess>(std::move(args), suffix));
    DemoProcess& demo = *demos.back();
    EXPECT_TRUE(demo.waitUntilReady(bus)) << "demo player did not come up";
    return demo;
}

void MprisFixture::connectPlayer()
{
    player = std::make_unique<mpris::MprisConnection>(bus);
    recorder = std::make_unique<EventRecorder>(*player);
    player->SetEvents(recorder.get());
}

QDBusMessage MprisFixture::control(const DemoProcess& demo, const QString& method,
                                   const QVariantList& args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(
        demo.controlName(), QStringLiteral("/org/tessaly/DemoPlayer"),
        QStringLiteral("org.tessaly.DemoPlayer"), method);
    m.setArguments(args);
    const QDBusMessage reply = bus.call(m, QDBus::Block, 5000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << qPrintable(reply.errorMessage());
    return reply;
}

QDBusMessage MprisFixture::mpris(const QString& name, const QString& method)
{
    return bus.call(QDBusMessage::createMethodCall(name, QStringLiteral("/org/mpris/MediaPlayer2"),
                                                   QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                                   method),
                    QDBus::Block, 5000);
}

bool MprisFixture::waitForEvents(std::size_t count, int timeoutMs)
{
    return WaitUntil([&] { return recorder->events.size() >= count; }, timeoutMs);
}

void MprisFixture::expectEventsThenQuiet(std::size_t count, int settleMs, int timeoutMs)
{
    ASSERT_TRUE(waitForEvents(count, timeoutMs));
    Settle(settleMs);
    ASSERT_EQ(recorder->events.size(), count);
}

} // namespace tessaly::test
