#pragma once
// The commands of pelloran-cli. Each takes the arguments after its name and returns the exit
// status.

#include <QStringList>

namespace pelloran::cli {

class CliCore;

enum ExitStatus {
    kExitSuccess = 0,
    kExitFailure = 1,  // the system's own alert title and message went to stderr
    kExitUsage = 2,
    kExitCaptcha = 3,  // the site wants a CAPTCHA answered: run login --captcha WORDS
};

int runLogin(CliCore& core, const QStringList& args);
int runBrowse(CliCore& core, const QStringList& args);
int runSearch(CliCore& core, const QStringList& args);
int runFavorites(CliCore& core, const QStringList& args);
int runSnatchList(CliCore& core, const QStringList& args);
int runPush(CliCore& core, const QStringList& args);
int runHistory(CliCore& core, const QStringList& args);
int runFilters(CliCore& core, const QStringList& args);
int runRemote(CliCore& core, const QStringList& args);
int runSettings(CliCore& core, const QStringList& args);
int runLogout(CliCore& core, const QStringList& args);

}  // namespace pelloran::cli
