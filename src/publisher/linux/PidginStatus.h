#pragma once

// Pidgin's status message, over libpurple's D-Bus interface: the status type the user chose
// (available, away, ...) stays, the message becomes the status text. A transient saved status
// with that type and message is reused or made, then activated; a saved status the user named is
// never edited. Used on the status writer's thread only.

#include "publisher/StatusPublisher.h"

#include <chrono>
#include <QDBusConnection>
#include <QString>
#include <string_view>

namespace tessaly {

inline constexpr char kPurpleService[] = "im.pidgin.purple.PurpleService";
inline constexpr char kPurpleObjectPath[] = "/im/pidgin/purple/PurpleObject";
inline constexpr char kPurpleInterface[] = "im.pidgin.purple.PurpleInterface";

// libpurple reads a status message as HTML: "&", "<" and ">" are written as entities so that the
// text arrives as it is.
QString PurpleMessageMarkup(std::u16string_view text);

class PidginStatus final : public StatusPublisher {
public:
    // Every call of one status shares this limit: a Pidgin that hangs costs a status no more.
    static constexpr std::chrono::milliseconds kTimeLimit{2000};

    explicit PidginStatus(QDBusConnection bus) : bus_(std::move(bus)) {}

    // Without Pidgin on the bus nothing is sent and nothing is said. When Pidgin goes away, or
    // fails, one warning; the next is only after it has taken a status again.
    void SetYahooStatus(const std::u16string& statusText) override;

private:
    class Calls;
    bool hasPidgin(const Calls& calls) const;
    void publish(const std::u16string& statusText);

    QDBusConnection bus_;
    bool reachable_ = false; // the last status reached Pidgin
    bool warned_ = false;    // a warning was given since Pidgin last took a status
};

} // namespace tessaly
