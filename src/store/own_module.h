#pragma once
// Functions from our own small modules (pelloran_desktop, pelloran_picture, pelloran_transport),
// each loaded the first time a run needs it: the libraries they bring (QtKeychain, Qt D-Bus,
// Qt Gui, libcurl) cost every run that loads them, and many command-line runs need none. A
// module is looked for beside the program, in ../lib/pelloran (installed), then in the build's
// own folder. Once loaded it stays.

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>

namespace pelloran {

// The function `symbol` of module `name` (file name without ".so"); null, with `error` set to
// a sentence for the member, when the module or the function is missing. `hints` apply when
// this call is the one that loads the module. Thread-safe.
QFunctionPointer ownModuleFunction(const QString& name, const char* symbol, QString* error,
                                   QLibrary::LoadHints hints = {});

}  // namespace pelloran
