#include "publisher/win32/Win32StatusPublisher.h"

#include "publisher/win32/Win32CodePage.h"
#include "publisher/win32/Win32Registry.h"
#include "publisher/win32/Win32WindowMessages.h"

namespace tessaly {

namespace {

// Owns the backends that the status writer only refers to.
class Win32StatusPublisher final : public StatusPublisher {
public:
    explicit Win32StatusPublisher(Yahoo::ErrorSink errors)
        : yahoo_(registry_, windows_, ansi_, std::move(errors))
    {}

    void SetYahooStatus(const std::u16string& statusText) override
    {
        yahoo_.SetYahooStatus(statusText);
    }

private:
    Win32Registry registry_;
    Win32WindowMessages windows_;
    Win32CodePage ansi_;
    Yahoo yahoo_;
};

} // namespace

std::unique_ptr<StatusPublisher> CreateWin32StatusPublisher(Yahoo::ErrorSink errors)
{
    return std::make_unique<Win32StatusPublisher>(std::move(errors));
}

} // namespace tessaly
