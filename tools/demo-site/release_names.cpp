#include "release_names.h"

#include <QStringList>

namespace pelloran::demo {

namespace {

QString pick(const QStringList& pool, QRandomGenerator& rng) {
    return pool.at(int(rng.bounded(quint32(pool.size()))));
}

// Scene names write titles with dots.
QString dotted(QString title) {
    title.replace(QLatin1Char(' '), QLatin1Char('.'));
    return title;
}

const QStringList& filmTitles() {
    static const QStringList pool = {
        QStringLiteral("Iron Valley"),         QStringLiteral("The Last Lighthouse"),
        QStringLiteral("Crimson Tide Rising"), QStringLiteral("Paper Moons"),
        QStringLiteral("Cold Harbor"),         QStringLiteral("Blind Spot"),
        QStringLiteral("The Clockmaker"),      QStringLiteral("Northern Lights"),
        QStringLiteral("The Quiet Hour"),      QStringLiteral("Fast Lane"),
        QStringLiteral("Deep Water"),          QStringLiteral("Glass Houses"),
        QStringLiteral("Rogue Signal"),        QStringLiteral("The Long Night"),
        QStringLiteral("Small Wonders"),       QStringLiteral("Wild Card"),
        QStringLiteral("Red Horizon"),         QStringLiteral("Broken Arrow Creek"),
        QStringLiteral("Salt and Iron"),       QStringLiteral("The Ninth Gate Keeper"),
        QStringLiteral("Harbor Lights"),       QStringLiteral("Grey Matter"),
        QStringLiteral("The Orchard"),         QStringLiteral("Silver Screen Dreams"),
    };
    return pool;
}

const QStringList& unusualFilmTitles() {
    static const QStringList pool = {
        QStringLiteral("Amélie Returns"),
        QStringLiteral("Señor Pepper"),
        QStringLiteral("Café Society Blues"),
        QStringLiteral("Über Alles"),
        QStringLiteral("Niño Perdido"),
        QStringLiteral("Dust & Bones"),
        QStringLiteral("Ocean's Edge"),
        QStringLiteral("Hotel Zürich"),
        QStringLiteral("Gödel's Dream"),
        QStringLiteral("千と千尋の神隠し"),
        QStringLiteral("東京物語"),
        QStringLiteral("Salt & Pepper"),
        QStringLiteral("The \"Perfect\" Day"),
    };
    return pool;
}

const QStringList& shows() {
    static const QStringList pool = {
        QStringLiteral("Breaking Point"),      QStringLiteral("The Night Shift"),
        QStringLiteral("Doctor Strangeways"),  QStringLiteral("Brooklyn Precinct"),
        QStringLiteral("Cold Case Files"),     QStringLiteral("Harbor Patrol"),
        QStringLiteral("The Understudy"),      QStringLiteral("Mountain Men"),
        QStringLiteral("Island Life"),         QStringLiteral("Street Legal"),
        QStringLiteral("The Apprentice Chef"), QStringLiteral("Frontier"),
    };
    return pool;
}

const QStringList& unusualShows() {
    static const QStringList pool = {
        QStringLiteral("Law & Disorder"),  QStringLiteral("Señorita Detective"),
        QStringLiteral("Mad Men & Women"), QStringLiteral("Dexter's Lab Notes"),
        QStringLiteral("Kölner Tatort"),
    };
    return pool;
}

const QStringList& sceneGroups() {
    static const QStringList pool = {
        QStringLiteral("LOL"),      QStringLiteral("DIMENSION"), QStringLiteral("SPARKS"),
        QStringLiteral("FQM"),      QStringLiteral("AMIABLE"),   QStringLiteral("iMMERSE"),
        QStringLiteral("KILLERS"),  QStringLiteral("ASAP"),      QStringLiteral("2HD"),
        QStringLiteral("DEFLATE"),  QStringLiteral("NeDiVx"),    QStringLiteral("TOPAZ"),
        QStringLiteral("CiNEFiLE"), QStringLiteral("HALCYON"),
    };
    return pool;
}

const QStringList& artists() {
    static const QStringList pool = {
        QStringLiteral("The Paper Kites"), QStringLiteral("Radiowaves"),
        QStringLiteral("Miles Cooper"),    QStringLiteral("Johnny Vale"),
        QStringLiteral("Northern Souls"),  QStringLiteral("Kraftwerk Tribute Band"),
        QStringLiteral("Los Lobitos"),     QStringLiteral("Daft Robots"),
        QStringLiteral("The Lanterns"),    QStringLiteral("Anna Berg"),
    };
    return pool;
}

const QStringList& unusualArtists() {
    static const QStringList pool = {
        QStringLiteral("Simon & Garfunkel"),
        QStringLiteral("Björk"),
        QStringLiteral("Sigur Rós"),
        QStringLiteral("Motörhead"),
        QStringLiteral("Céline Dion"),
        QStringLiteral("坂本龍一"),
        QStringLiteral("\"Weird Al\" Yankovic"),
        QStringLiteral("Beyoncé"),
        QStringLiteral("Mötley Crüe"),
        QStringLiteral("Earth, Wind & Fire"),
    };
    return pool;
}

const QStringList& albums() {
    static const QStringList pool = {
        QStringLiteral("Greatest Hits"),   QStringLiteral("Live at Wembley"),
        QStringLiteral("Blue Train"),      QStringLiteral("Kind of Blue Skies"),
        QStringLiteral("Random Memories"), QStringLiteral("In Rainbows"),
        QStringLiteral("Nebraska Nights"), QStringLiteral("Clandestino"),
        QStringLiteral("Autobahn"),        QStringLiteral("Ágætis byrjun"),
        QStringLiteral("Señales"),         QStringLiteral("Café del Mar Vol. 7"),
    };
    return pool;
}

const QStringList& games() {
    static const QStringList pool = {
        QStringLiteral("Iron Legion"),
        QStringLiteral("Star Raiders"),
        QStringLiteral("Dungeon Keeper Returns"),
        QStringLiteral("Rally Masters 2012"),
        QStringLiteral("Shadow Ops"),
        QStringLiteral("Kingdoms of Ash"),
        QStringLiteral("Space Trucker"),
        QStringLiteral("Neon Drift"),
        QStringLiteral("Tiny Farmers"),
        QStringLiteral("Sniper Elite Force"),
    };
    return pool;
}

const QStringList& books() {
    static const QStringList pool = {
        QStringLiteral("Jules Verne - Vingt mille lieues sous les mers"),
        QStringLiteral("Gabriel García Márquez - Cien años de soledad"),
        QStringLiteral("Jane Austen - Pride & Prejudice"),
        QStringLiteral("Mark Twain - The Adventures of Tom Sawyer"),
        QStringLiteral("夏目漱石 - こころ"),
        QStringLiteral("Charles Dickens - A Tale of Two Cities"),
        QStringLiteral("Anna Berg - Cooking for One"),
        QStringLiteral("P. Miller - Learning C++ in 21 Days"),
    };
    return pool;
}

const QStringList& applications() {
    static const QStringList pool = {
        QStringLiteral("PhotoForge"), QStringLiteral("CodeWriter Pro"),
        QStringLiteral("Archivist"),  QStringLiteral("VideoMagic Studio"),
        QStringLiteral("NetGuard"),   QStringLiteral("Sketchbook Plus"),
        QStringLiteral("DiskDoctor"), QStringLiteral("Tune Mixer"),
    };
    return pool;
}

const QStringList& animeTitles() {
    static const QStringList pool = {
        QStringLiteral("Sora no Kiseki"), QStringLiteral("Hoshi no Umi"),
        QStringLiteral("進撃の巨人"),     QStringLiteral("Kaze Tachinu"),
        QStringLiteral("Mecha Academy"),  QStringLiteral("Tōkyō Ghosts"),
    };
    return pool;
}

QString year(QRandomGenerator& rng) {
    return QString::number(1995 + rng.bounded(18));
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString film(QRandomGenerator& rng, bool unusual, const QString& tags) {
    const QString title = unusual ? pick(unusualFilmTitles(), rng) : pick(filmTitles(), rng);
    return dotted(title) + QLatin1Char('.') + year(rng) + QLatin1Char('.') + tags +
           QLatin1Char('-') + pick(sceneGroups(), rng);
}

QString episode(QRandomGenerator& rng, bool unusual, const QString& tags) {
    const QString show = unusual ? pick(unusualShows(), rng) : pick(shows(), rng);
    return dotted(show) + QStringLiteral(".S") + twoDigits(1 + int(rng.bounded(8))) +
           QLatin1Char('E') + twoDigits(1 + int(rng.bounded(24))) + QLatin1Char('.') + tags +
           QLatin1Char('-') + pick(sceneGroups(), rng);
}

QString oneOf(QRandomGenerator& rng, std::initializer_list<const char*> options);

QString gameRelease(QRandomGenerator& rng, const QString& platform, const QString& group) {
    const QString edition = oneOf(rng, {"", "", ".2", ".II", ".Gold.Edition", ".GOTY", ".MULTi5"});
    return dotted(pick(games(), rng)) + edition + QLatin1Char('.') + platform + QLatin1Char('-') +
           group;
}

QString oneOf(QRandomGenerator& rng, std::initializer_list<const char*> options) {
    const auto index = rng.bounded(quint32(options.size()));
    return QString::fromUtf8(*(options.begin() + index));
}

}  // namespace

const QStringList& punctuatedNames() {
    static const QStringList names = {
        QStringLiteral("AC/DC - Back in Black (1980) [FLAC]"),
        QStringLiteral("What? (1972) [DVDRip]"),
        QStringLiteral("#1 Record (1999) [MP3]"),
        QStringLiteral("100% Pure Funk (2003) [FLAC]"),
        QStringLiteral("Sigur R\u00f3s - \"\u00c1g\u00e6tis byrjun\" \U0001F3B5 [FLAC]"),
    };
    return names;
}

const QStringList& uploaderNames() {
    static const QStringList names = {
        QStringLiteral("ReleaseBot"), QStringLiteral("Mr Kim"),  QStringLiteral("Zoë"),
        QStringLiteral("scene_grp"),  QStringLiteral("x264fan"), QStringLiteral("bookworm"),
    };
    return names;
}

QString releaseName(int categoryId, QRandomGenerator& rng, bool unusual) {
    switch (categoryId) {
        case 8:
            return film(rng, unusual, QStringLiteral("CAM.XviD"));
        case 9:
            return film(rng, unusual, oneOf(rng, {"TS.XviD", "TC.XviD", "TELESYNC.x264"}));
        case 10:
            return film(rng, unusual, oneOf(rng, {"R5.LiNE.XviD", "DVDSCR.XviD"}));
        case 11:
            return film(rng, unusual, oneOf(rng, {"DVDRip.XviD", "DVDRip.x264"}));
        case 12:
            return film(rng, unusual, oneOf(rng, {"PAL.DVDR", "NTSC.DVDR", "MULTi.PAL.DVD9"}));
        case 13:
            return film(rng, unusual,
                        oneOf(rng, {"720p.BluRay.x264", "1080p.BluRay.x264", "720p.WEB-DL.DD5.1"}));
        case 14:
            return film(rng, unusual, oneOf(rng, {"BDRip.XviD", "BRRip.x264"}));
        case 15: {
            const QString title =
                unusual ? pick(unusualFilmTitles(), rng) : pick(filmTitles(), rng);
            const int from = 1990 + int(rng.bounded(10));
            return title + QStringLiteral(" Collection (") + QString::number(from) +
                   QLatin1Char('-') + QString::number(from + 4 + int(rng.bounded(8))) +
                   QStringLiteral(") [BDRip]");
        }
        case 29:
            return oneOf(rng, {"National.Geographic.", "BBC.", "PBS.Nova."}) +
                   dotted(pick(unusual ? unusualFilmTitles() : filmTitles(), rng)) +
                   QLatin1Char('.') + year(rng) +
                   oneOf(rng, {".HDTV.XviD-FQM", ".720p.HDTV.x264-DHD"});
        case 26:
            return episode(rng, unusual, QStringLiteral("HDTV.XviD"));
        case 32:
            return episode(rng, unusual, oneOf(rng, {"720p.HDTV.x264", "1080i.HDTV.DD5.1.MPEG2"}));
        case 27: {
            const QString show = unusual ? pick(unusualShows(), rng) : pick(shows(), rng);
            return dotted(show) + QStringLiteral(".Season.") + QString::number(1 + rng.bounded(6)) +
                   QStringLiteral(".Complete.DVDRip.XviD-") + pick(sceneGroups(), rng);
        }
        case 17:
            return gameRelease(rng, QStringLiteral("Complete.Edition"),
                               oneOf(rng, {"RELOADED", "SKIDROW", "PROPHET"}));
        case 18:
            return gameRelease(rng, QStringLiteral("PAL.XBOX"), QStringLiteral("RiTUEL"));
        case 19:
            return gameRelease(rng, QStringLiteral("PAL.XBOX360"), QStringLiteral("COMPLEX"));
        case 20:
            return gameRelease(rng, QStringLiteral("PAL.PS2DVD"), QStringLiteral("Kalisto"));
        case 21:
            return gameRelease(rng, QStringLiteral("PS3"), QStringLiteral("DUPLEX"));
        case 22:
            return gameRelease(rng, QStringLiteral("EUR.PSP"), QStringLiteral("PSPKiNG"));
        case 28:
            return gameRelease(rng, QStringLiteral("PAL.WII"), QStringLiteral("SUSHi"));
        case 30:
            return pick(games(), rng) + QStringLiteral(" (E) [NDS]");
        case 16:
            return pick(unusual ? unusualArtists() : artists(), rng) + QStringLiteral(" - ") +
                   pick(albums(), rng) + QStringLiteral(" (Live) [") +
                   oneOf(rng, {"720p", "DVD5", "1080i"}) + QLatin1Char(']');
        case 31:
            return pick(unusual ? unusualArtists() : artists(), rng) + QStringLiteral(" - ") +
                   pick(albums(), rng) + QStringLiteral(" (") + year(rng) + QStringLiteral(") [") +
                   oneOf(rng, {"FLAC", "MP3 320kbps", "MP3 V0", "FLAC 24bit"}) + QLatin1Char(']');
        case 5:
            return pick(books(), rng) + QStringLiteral(" (") + year(rng) + QStringLiteral(") [") +
                   oneOf(rng, {"EPUB", "PDF", "MOBI"}) + QLatin1Char(']');
        case 23:
            return dotted(pick(applications(), rng)) + QStringLiteral(".v") +
                   QString::number(1 + rng.bounded(9)) + QLatin1Char('.') +
                   QString::number(rng.bounded(10)) + QStringLiteral(".Incl.Keygen-") +
                   oneOf(rng, {"Lz0", "CORE", "TBE"});
        case 24:
            return pick(applications(), rng) + QLatin1Char(' ') +
                   QString::number(1 + rng.bounded(9)) + QLatin1Char('.') +
                   QString::number(rng.bounded(10)) + QLatin1Char('.') +
                   QString::number(rng.bounded(10)) + QStringLiteral(" [MacOSX]");
        case 25:
            return dotted(pick(applications(), rng)) + QStringLiteral(".v") +
                   QString::number(1 + rng.bounded(4)) + QLatin1Char('.') +
                   QString::number(rng.bounded(10)) +
                   oneOf(rng, {".Android", ".iPhone", ".Symbian"});
        case 7:
        default:
            return QLatin1Char('[') + oneOf(rng, {"Commie", "gg", "Doki", "FFF"}) +
                   QStringLiteral("] ") + pick(animeTitles(), rng) + QStringLiteral(" - ") +
                   twoDigits(1 + int(rng.bounded(26))) +
                   oneOf(rng, {" [720p]", " [1080p]", " [480p]"});
    }
}

}  // namespace pelloran::demo
