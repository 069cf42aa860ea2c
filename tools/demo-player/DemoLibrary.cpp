#include "DemoLibrary.h"

#include <QDBusObjectPath>
#include <QUrl>

namespace demo {

const std::vector<Track>& Library()
{
    static const std::vector<Track> tracks = {
        {QStringLiteral("Mira Sølvberg & The Northern Lights"),
         QStringLiteral("Fjord_Songs [Live]"), QStringLiteral("Track 07 - Morgenrød.mp3"),
         QStringLiteral("07 Morgenrød.mp3"), 7, 214'000'000},
        {QStringLiteral("Mira Sølvberg & The Northern Lights"),
         QStringLiteral("Fjord_Songs [Live]"), QStringLiteral("Vinter%20Natt"),
         QStringLiteral("08 Vinter Natt.mp3"), 8, 187'500'000},
        {QStringLiteral("Mira Sølvberg & The Northern Lights"),
         QStringLiteral("Fjord_Songs [Live]"), QStringLiteral("Østlandet_Blues [Live]"),
         QStringLiteral("09 Østlandet Blues.mp3"), 9, 302'250'000},
        {QStringLiteral("Los Niños del Café"), QStringLiteral("Canciones%20de%20Año Nuevo"),
         QStringLiteral("Señorita_Música.mp3"), QStringLiteral("01 Señorita Música.mp3"), 1,
         201'000'000},
        {QStringLiteral("Los Niños del Café"), QStringLiteral("Canciones%20de%20Año Nuevo"),
         QStringLiteral("Rock & Roll Corazón"), QStringLiteral("02 Rock & Roll Corazón.mp3"), 2,
         176'000'000},
        {QStringLiteral("Los Niños del Café"), QStringLiteral("Canciones%20de%20Año Nuevo"),
         QStringLiteral("Track 07"), QStringLiteral("07 Track 07.mp3"), 7, 95'000'000},
    };
    return tracks;
}

const Station& RadioStation()
{
    static const Station station = {QStringLiteral("Radio Tessaly FM"),
                                    QStringLiteral("http://radio.tessaly.example:8000/live.mp3"),
                                    {QStringLiteral("Kite & Key - Paper_Planes.mp3"),
                                     QStringLiteral("Zoë Ångström - Über den Wolken [Live]"),
                                     QStringLiteral("DJ%20Orbit - Track 07"),
                                     QStringLiteral("The Lanterns - Harbour Lights")}};
    return station;
}

QVariantMap TrackMetadata(int index)
{
    const Track& t = Library().at(std::size_t(index));
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/tessaly/DemoPlayer/track/") +
                                                 QString::number(index))));
    m.insert(QStringLiteral("mpris:length"), QVariant::fromValue<qlonglong>(t.lengthUs));
    m.insert(QStringLiteral("xesam:artist"), QStringList{t.artist});
    m.insert(QStringLiteral("xesam:album"), t.album);
    m.insert(QStringLiteral("xesam:title"), t.title);
    m.insert(QStringLiteral("xesam:trackNumber"), t.number);
    m.insert(
        QStringLiteral("xesam:url"),
        QUrl::fromLocalFile(QStringLiteral("/srv/music/") + t.album + QStringLiteral("/") + t.file)
            .toString(QUrl::FullyEncoded));
    return m;
}

QVariantMap StationMetadata(const QString& streamTitle)
{
    const Station& s = RadioStation();
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/tessaly/DemoPlayer/radio"))));
    m.insert(QStringLiteral("xesam:url"), s.url);
    m.insert(QStringLiteral("xesam:album"), s.name);
    m.insert(QStringLiteral("xesam:title"), streamTitle);
    return m;
}

} // namespace demo
