#pragma once

// The demo player's built-in music: albums whose titles carry the debris real files have, and one
// radio station with rotating stream titles.

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace demo {

struct Track {
    QString artist;
    QString album;
    QString title;
    QString file; // the file name the url ends in
    int number = 0;
    qint64 lengthUs = 0;
};

struct Station {
    QString name;
    QString url;
    QStringList titles; // "Artist - Title", in the order they play
};

const std::vector<Track>& Library();
const Station& RadioStation();

// MPRIS Metadata of a library track (index) and of the station playing one title.
QVariantMap TrackMetadata(int index);
QVariantMap StationMetadata(const QString& streamTitle);

} // namespace demo
