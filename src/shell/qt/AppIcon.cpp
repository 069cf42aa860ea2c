#include "shell/qt/AppIcon.h"

#include "common/qt/Logging.h"
#include "common/qt/SvgImage.h"

#include <QPixmap>
#include <QSvgRenderer>

static void InitShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace tessaly {
namespace {

constexpr int kSmallSizes[] = {16, 20, 22, 24};
// Every size is rendered at start and sent to the X server with each window (and to a
// StatusNotifierItem host as pixels): 256 and 512 px alone were 1.3 MB a window and a quarter
// of the start-up's processor time. Trays, task bars and window switchers ask for 128 px at most,
// and a larger request is scaled from it.
constexpr int kLargeSizes[] = {32, 48, 64, 128};

void AddRendered(QIcon& icon, QSvgRenderer& renderer, int size)
{
    icon.addPixmap(QPixmap::fromImage(RenderSvg(renderer, QSize(size, size))));
}

} // namespace

QIcon AppIcon()
{
    InitShellResources();
    QSvgRenderer small(QStringLiteral(":/shell/icons/tessaly-small.svg"));
    QSvgRenderer large(QStringLiteral(":/shell/icons/tessaly.svg"));
    if (!small.isValid() || !large.isValid()) {
        qCWarning(lcShell) << "the application icon could not be read from the resources";
        return {};
    }
    QIcon icon;
    for (const int size : kSmallSizes)
        AddRendered(icon, small, size);
    for (const int size : kLargeSizes)
        AddRendered(icon, large, size);
    return icon;
}

} // namespace tessaly
