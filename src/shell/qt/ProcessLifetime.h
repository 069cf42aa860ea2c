#pragma once

// Ends the program once it has been told to and none of its windows is left on screen: a popup
// that is still rising or an open About box keeps it running until it closes. The tray icon alone
// does not. Nothing runs until it is armed, and then only on window hide and destroy events.

#include <functional>
#include <QObject>
#include <QStringList>

namespace tessaly {

class ProcessLifetime : public QObject {
    Q_OBJECT
public:
    using Quit = std::function<void()>;

    // windowNames: objectNames of the top-level windows that keep the program alive.
    explicit ProcessLifetime(Quit quit = DefaultQuit(),
                             QStringList windowNames = {QStringLiteral("frmMain"),
                                                        QStringLiteral("frmAlert6"),
                                                        QStringLiteral("frmAbout")},
                             QObject* parent = nullptr);
    ~ProcessLifetime() override;

    // From now on, quit as soon as no such window is visible (checked once the current event is
    // done).
    void EndWhenNoWindowLeft();
    bool Armed() const { return armed_; }
    // True while a visible top-level window has one of the names.
    bool AnyWindowLeft() const;

    static Quit DefaultQuit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScheduleCheck();
    void Check();

    Quit quit_;
    QStringList windowNames_;
    bool armed_ = false;
    bool checkPending_ = false;
    bool done_ = false;
};

} // namespace tessaly
