#pragma once
// The file work shared by the settings and cookie stores: reading a store file once with the
// identity of the very file read, telling cheaply whether another process replaced it since,
// setting an unreadable file aside, and writing atomically with owner-only access.

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelloran {

// Which file a path names right now: one stat. Writers always replace a store file by a rename,
// so another inode (or another size or time stamp) means another process wrote it.
struct FileStamp {
    bool known = false;   // false: never matches, the file must be read again
    bool exists = false;  // known and absent
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp stampOfPath(const QString& path);

// A stamp that holds the stamped file open, so that its inode number can't be handed to a new
// file while this one compares against it (a freed number is often reused at once).
class PinnedStamp {
public:
    PinnedStamp() = default;
    ~PinnedStamp();
    PinnedStamp(PinnedStamp&& other) noexcept;
    PinnedStamp& operator=(PinnedStamp&& other) noexcept;
    PinnedStamp(const PinnedStamp&) = delete;
    PinnedStamp& operator=(const PinnedStamp&) = delete;

    // Opens `path` and stamps what it opened (absent: a known, absent stamp).
    static PinnedStamp of(const QString& path);
    // Stamps the open file `fd` and takes it over (closes it when done).
    static PinnedStamp adopt(int fd);
    // A known stamp of no file.
    static PinnedStamp absent();

    // Whether `path` still names the file stamped (both absent counts as the same).
    bool matches(const QString& path) const;
    const FileStamp& stamp() const { return stamp_; }

private:
    FileStamp stamp_;
    int fd_ = -1;
};

struct StoreFileRead {
    enum class Status { Missing, Read, Unreadable };
    Status status = Status::Missing;
    QByteArray content;  // Read: the whole file
    QString problem;     // Unreadable: why, in words ("Permission denied", "it is a folder")
    PinnedStamp stamp;   // of the file the content came from
};

// Reads `path` through one open file, so content and stamp belong together. Larger than
// `maxSize` bytes is unreadable.
StoreFileRead readStoreFile(const QString& path, qint64 maxSize);

// Renames `path` to `path` + ".unreadable-" + the UTC time (a counter added when that name is
// taken); never replaces an existing file. Returns the new path, or absent with `problem` set.
std::optional<QString> moveAside(const QString& path, QString* problem);

// Writes `bytes` to `path` atomically: a temporary file readable by its owner only (0600),
// synced, renamed over `path`, and the folder synced. False with `problem` set on failure.
bool writePrivateFile(const QString& path, const QByteArray& bytes, QString* problem);

// Creates `directory` (and missing parents) when it doesn't exist, the folder itself with mode
// 0700. An existing folder is left exactly as it is, mode included. False with `problem` set
// when it can't be created or is not a folder.
bool ensurePrivateDirectory(const QString& directory, QString* problem);

// "1.5 MB" style size, for problems.
QString sizeInWords(qint64 bytes);

}  // namespace pelloran
