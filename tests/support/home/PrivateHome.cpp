// Linked into every test and fuzz driver: the process runs in a home folder of
// its own, made before main and removed at exit, so nothing a test or a Qt
// dialog writes (settings, file-dialog history, caches) reaches the real home.

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> g_home;

void UsePrivateHome()
{
    g_home = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/varnex-test-home-XXXXXX"));
    if (!g_home->isValid())
        qFatal("cannot make a private home folder");
    const QByteArray home = g_home->path().toLocal8Bit();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
}

} // namespace

Q_CONSTRUCTOR_FUNCTION(UsePrivateHome)
