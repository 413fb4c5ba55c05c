#pragma once
// What the stores have to tell the member about their files: a file that could not be read
// and was set aside, or changes that could not be saved. Each is said once; the front ends
// decide where (the command line prints them on stderr, the app shows them in its log and in
// a non-modal note).

#include <QList>
#include <QMutex>
#include <QString>
#include <functional>

namespace pelloran {

struct StoreNotice {
    enum class Kind {
        SetAside,  // the file could not be read; it was moved to asidePath and kept there
        NotSaved,  // changes could not be written to the file (text says why)
        InFile,    // a password the keyring did not take is kept in the settings file instead
    };
    Kind kind = Kind::SetAside;
    QString filePath;   // the store's file
    QString asidePath;  // SetAside: where the unreadable file now is
    QString text;       // one or two sentences for the member, paths included

    friend bool operator==(const StoreNotice&, const StoreNotice&) = default;
};

// A store's notices. Thread-safe. A NotSaved notice is recorded once per run of failures: a
// store that keeps failing says so once, and again only after a save has worked in between.
class NoticeLog {
public:
    void add(const StoreNotice& notice);
    // The notices not taken yet, oldest first; the log is empty afterwards.
    QList<StoreNotice> take();
    bool hasNotSaved() const;  // a NotSaved notice is waiting to be taken

    // Records that a save worked: the next failure is said again.
    void saved();

    // Called for every new notice after it was recorded, on the thread that raised it and
    // possibly with the store's locks held: hand it on (e.g. to the UI thread), don't call
    // back into the store.
    using Listener = std::function<void(const StoreNotice&)>;
    void setListener(Listener listener);

private:
    mutable QMutex mutex_;
    QList<StoreNotice> pending_;
    bool failing_ = false;
    Listener listener_;
};

}  // namespace pelloran
