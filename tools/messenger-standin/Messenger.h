#pragma once

// What the Messenger does with its custom status: signs in as a user (storing the id where the
// Messenger keeps it), and on command 376 loads custom message "1" of that user's profile, on
// 388 takes the loaded text as its status.

#include "publisher/linux/LocaleCodePage.h"
#include "publisher/linux/SqliteRegistry.h"
#include "publisher/RegistryText.h"

#include <cstdint>
#include <QObject>
#include <string>

namespace tessaly {

class Messenger : public QObject {
    Q_OBJECT

public:
    explicit Messenger(QObject* parent = nullptr);

    const AnsiCodePage& ansi() const { return ansi_; }
    // Stores the id as "Yahoo! user id" (REG_SZ with its NUL, as the Messenger writes it).
    bool signIn(const std::u16string& userId);
    // Signs in as the id already stored; false when there is none.
    bool signInAsStored();
    const std::u16string& userId() const { return userId_; }
    const std::u16string& status() const { return status_; }

    // A window message; answers 0 like a window procedure that handled it.
    std::int64_t handleMessage(std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam);

Q_SIGNALS:
    void statusTaken(const QString& status);

private:
    LocaleCodePage ansi_;
    SqliteRegistry registry_;
    RegistryText text_;
    std::u16string userId_;
    std::u16string loaded_;
    std::u16string status_;
};

} // namespace tessaly
