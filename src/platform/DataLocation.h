#pragma once

#include <QString>

namespace mnemora {

// Where settings and word lists live. A program folder that is writable and holds db/
// (a build folder, an unpacked copy) keeps everything beside the program; any other
// copy is an installed one and keeps per-user data in the XDG folders (on Windows in
// %APPDATA%\Mnemora), never in the installed tree. Its lists come from
// <prefix>/share/mnemora/db, or, for an unpacked copy in a folder its user cannot write,
// from the db/ beside the program. The installer lays the program out without db/ beside
// it, so an installed copy stays one even in a folder its user can write.
struct DataLocation {
    bool portable = true;
    QString settingsPath;   // the INI file
    QString dbFolder;       // the user's lists, ends with '/'
    QString templateFolder; // read-only lists the user's copies come from (installed mode), ends with '/'
};

struct DataLocationInputs {
    QString programFilePath;
    bool programDirWritable = false;
    bool programDirHasDb = false;
    QString home;
    QString xdgConfigHome; // empty or relative: not set
    QString xdgDataHome;
    QString appData; // Windows: the roaming application-data folder; empty elsewhere
};

// The decision itself, free of the file system so that it can be tested as a table.
DataLocation DecideDataLocation(const DataLocationInputs& in);

// The location of the program at programFilePath, from its folder and the environment.
DataLocation LocateData(const QString& programFilePath);

// The running program's location (computed once; ProgramFilePath and the environment).
const DataLocation& CurrentDataLocation();
// Tests and tools pin a location; later CurrentDataLocation calls return it.
void OverrideDataLocation(const DataLocation& location);

} // namespace mnemora
