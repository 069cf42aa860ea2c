// Appending playlist lines on Linux: whole lines into regular files only, never a wait for another
// program, and the playlist's error log on a real file system.

#include "watcher/linux/PosixFileAppend.h"

#include "common/Text.h"
#include "publisher/AnsiCodePage.h"
#include "watcher/RadioPlaylist.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {
namespace {

using namespace std::chrono_literals;

std::u16string U16(const QString& text)
{
    return text.toStdU16String();
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Utf8CodePage final : public AnsiCodePage {
public:
    std::string FromUnicode(std::u16string_view text) const override { return Utf16ToUtf8(text); }
    std::u16string ToUnicode(std::string_view bytes) const override { return Utf8ToUtf16(bytes); }
};

class Files : public ::testing::Test {
protected:
    // Appends on another thread: a call that would wait for another program fails the test
    // instead of hanging it, and a FIFO's waiting writer is set free by opening its other end.
    std::u16string appendWithin(const QString& path, std::string_view bytes,
                                std::chrono::milliseconds limit = 2s)
    {
        auto result =
            std::async(std::launch::async, [&] { return files.Append(U16(path), bytes); });
        if (result.wait_for(limit) == std::future_status::ready)
            return result.get();
        ADD_FAILURE() << "Append on " << path.toStdString() << " waited";
        const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        result.wait();
        if (reader >= 0)
            ::close(reader);
        return u"waited";
    }

    QTemporaryDir temp;
    QString dir = temp.path();
    std::vector<std::u16string> warnings;
    PosixFileAppend files{[this](std::u16string_view w) {
        warnings.emplace_back(w);
    }};
};

TEST_F(Files, AppendsWholeLinesAndCreatesTheFile)
{
    const QString path = dir + QStringLiteral("/Playlist.txt");
    EXPECT_EQ(appendWithin(path, "one\n"), u"");
    EXPECT_EQ(appendWithin(path, "two\n"), u"");
    EXPECT_EQ(appendWithin(path, ""), u"");
    EXPECT_EQ(Contents(path), "one\ntwo\n");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

TEST_F(Files, ALinkToARegularFileIsFollowed)
{
    const QString target = dir + QStringLiteral("/target.txt");
    const QString link = dir + QStringLiteral("/link.txt");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(appendWithin(link, "x\n"), u"");
    EXPECT_EQ(Contents(target), "x\n");
}

TEST_F(Files, AFifoIsRefusedAtOnceWithOrWithoutAReader)
{
    const QString fifo = dir + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_NE(appendWithin(fifo, "no reader\n", 1s), u"");

    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_NE(appendWithin(fifo, "reader\n", 1s), u"");
    char buffer[16];
    EXPECT_LE(::read(reader, buffer, sizeof buffer), 0) << "nothing reached the reader";
    ::close(reader);

    const QString link = dir + QStringLiteral("/fifo-link");
    ASSERT_TRUE(QFile::link(fifo, link));
    EXPECT_NE(appendWithin(link, "through a link\n", 1s), u"");
}

TEST_F(Files, NamesThatAreNoRegularFileAreErrors)
{
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/folder")));
    const QString cases[] = {
        dir + QStringLiteral("/folder"),
        dir + QStringLiteral("/missing/folder/p.txt"),
        dir,
        QStringLiteral("/dev/full"),
        QStringLiteral("/dev/null"),
    };
    for (const QString& path : cases) {
        if (path.startsWith(QLatin1String("/dev/")) && !QFile::exists(path))
            continue;
        const std::u16string error = appendWithin(path, "line\n");
        EXPECT_NE(error, u"") << path.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/missing")));
}

TEST_F(Files, ANameWithANulNamesNoFile)
{
    const std::u16string name = U16(dir + QStringLiteral("/p.txt")) + u'\0' + u"more";
    EXPECT_NE(files.Append(name, "x\n"), u"");
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/p.txt")));
}

// Lowers the file size limit for one test; a write beyond it fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(Files, ALineThatDoesNotFitIsCutBackOff)
{
    const QString path = dir + QStringLiteral("/Playlist.txt");
    ASSERT_EQ(appendWithin(path, "first line\n"), u"");
    {
        const FileSizeLimit limit(16);
        EXPECT_NE(files.Append(U16(path), "a line much longer than the rest of the limit\n"), u"");
        EXPECT_EQ(files.Append(U16(path), "fits\n"), u"");
    }
    EXPECT_EQ(Contents(path), "first line\nfits\n") << "the line is whole or absent";
}

TEST_F(Files, FoldersAreCreatedWithTheirParents)
{
    const QString folder = dir + QStringLiteral("/data/Tessaly");
    EXPECT_TRUE(files.EnsureFolder(U16(folder)));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(files.EnsureFolder(U16(folder)));
    QFile blocker(dir + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(files.EnsureFolder(U16(dir + QStringLiteral("/file/Tessaly"))));
}

TEST_F(Files, WarningsGoToTheSink)
{
    files.Warn(u"cannot write error.txt");
    EXPECT_EQ(warnings, (std::vector<std::u16string>{u"cannot write error.txt"}));
    PosixFileAppend silent{nullptr};
    EXPECT_NO_THROW(silent.Warn(u"nobody listens"));
}

// The playlist on a real file system.
class RealPlaylist : public Files {
protected:
    QString folder = dir + QStringLiteral("/data/Tessaly");
    Utf8CodePage utf8;
    RadioPlaylist playlist{U16(folder), files, utf8};
};

TEST_F(RealPlaylist, AppendsWholeLinesAndCreatesTheFolder)
{
    EXPECT_TRUE(playlist.Append(u"Playlist.txt", u"Artist - Song"));
    EXPECT_TRUE(playlist.Append(u"Playlist.txt", u"\u00DCn\u00EFcode \u266B"));
    EXPECT_EQ(Contents(folder + QStringLiteral("/Playlist.txt")), "Artist - Song\n\xC3\x9Cn\xC3\xAF"
                                                                  "code \xE2\x99\xAB\n");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/error.txt")));
    const QString absolute = dir + QStringLiteral("/elsewhere.txt");
    EXPECT_TRUE(playlist.Append(U16(absolute), u"x"));
    EXPECT_EQ(Contents(absolute), "x\n");
}

TEST_F(RealPlaylist, FileThatCannotBeWrittenCostsOneErrorLine)
{
    // A folder where the file should be: no user, root included, can open it for writing.
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Playlist.txt")));
    EXPECT_FALSE(playlist.Append(u"Playlist.txt", u"lost title"));
    EXPECT_FALSE(playlist.Append(u"Playlist.txt", u"lost title"));
    const QList<QByteArray> lines = Contents(folder + QStringLiteral("/error.txt")).split('\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the empty rest
    const QByteArray prefix = "An Error Ocured while opening the playlist file '" +
                              (folder + QStringLiteral("/Playlist.txt'; ")).toUtf8();
    EXPECT_TRUE(lines[0].startsWith(prefix)) << lines[0].toStdString();
    EXPECT_GT(lines[0].size(), prefix.size()); // a description follows
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(warnings.size(), 2u);
    // The next good name works again.
    EXPECT_TRUE(playlist.Append(u"other.txt", u"t"));
}

TEST_F(RealPlaylist, AFifoForAPlaylistIsAnErrorLineNotAWait)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/radio.fifo")).constData(), 0600),
              0);
    auto result =
        std::async(std::launch::async, [&] { return playlist.Append(u"radio.fifo", u"t"); });
    ASSERT_EQ(result.wait_for(2s), std::future_status::ready) << "the playlist waited for a reader";
    EXPECT_FALSE(result.get());
    EXPECT_TRUE(Contents(folder + QStringLiteral("/error.txt")).startsWith("An Error Ocured"));
}

TEST_F(RealPlaylist, EmptyNameIsAnErrorNotACrash)
{
    EXPECT_FALSE(playlist.Append(u"", u"t"));
    EXPECT_TRUE(Contents(folder + QStringLiteral("/error.txt")).startsWith("An Error Ocured"));
}

TEST_F(RealPlaylist, ProgramFolderThatIsAFileIsReportedAndNothingElse)
{
    QFile blocker(dir + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RadioPlaylist blocked(U16(dir + QStringLiteral("/file/Tessaly")), files, utf8);
    EXPECT_FALSE(blocked.Append(u"Playlist.txt", u"t"));
    EXPECT_EQ(Contents(dir + QStringLiteral("/file")), QByteArray());
    ASSERT_EQ(warnings.size(), 2u) << "the error line, and that error.txt could not take it";
    EXPECT_TRUE(
        QString::fromStdU16String(warnings[0]).startsWith(QStringLiteral("An Error Ocured")));
}

} // namespace
} // namespace tessaly
