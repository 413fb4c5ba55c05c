#pragma once
// The commands of pelloran-cli. Each takes its parsed arguments and returns the exit status;
// commandTable() (command_table.cpp) says which words run which, with what options.

#include "cli/command_line.h"

#include <QList>

namespace pelloran::cli {

class CliCore;

enum ExitStatus {
    kExitSuccess = 0,
    kExitFailure = 1,  // the system's own alert title and message went to stderr
    kExitUsage = 2,
    kExitCaptcha = 3,  // the site wants a CAPTCHA answered: run login --captcha WORDS
};

const QList<CommandSpec>& commandTable();
// The overall help: every command of the table under its section, then the environment and
// the exit statuses.
QString overallHelp();

int runLogin(CliCore& core, const CommandArgs& args);
int runLogout(CliCore& core, const CommandArgs& args);
int runBrowse(CliCore& core, const CommandArgs& args);
int runSearch(CliCore& core, const CommandArgs& args);
int runFavorites(CliCore& core, const CommandArgs& args);
int runSnatchList(CliCore& core, const CommandArgs& args);
int runPush(CliCore& core, const CommandArgs& args);
int runHistoryList(CliCore& core, const CommandArgs& args);
int runHistoryRemove(CliCore& core, const CommandArgs& args);
int runRemoteShow(CliCore& core, const CommandArgs& args);
int runRemoteSet(CliCore& core, const CommandArgs& args);
int runRemoteTest(CliCore& core, const CommandArgs& args);
int runFiltersList(CliCore& core, const CommandArgs& args);
int runFiltersAdd(CliCore& core, const CommandArgs& args);
int runFiltersRemove(CliCore& core, const CommandArgs& args);
int runSettingsGet(CliCore& core, const CommandArgs& args);
int runSettingsSet(CliCore& core, const CommandArgs& args);
int runActivity(CliCore& core, const CommandArgs& args);
int runStats(CliCore& core, const CommandArgs& args);

}  // namespace pelloran::cli
