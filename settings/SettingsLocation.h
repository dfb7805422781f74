#pragma once
#include <QString>

// Where the panel keeps "Kovalta_Config.xml". An installed program (its folder is the `bin` of an
// installation, whose desktop entry lies in the `share` beside it) never writes beside itself:
// for every user, root included, the file is in "Kovalta" in the user's configuration folder,
// which the platform names ($XDG_CONFIG_HOME, by default ~/.config). Any other copy of the
// program keeps its settings with it: beside the program when the file there can be written, or
// created, and a file there that cannot be read can be kept aside; otherwise in the user's
// folder too. A file made in the user's folder takes its first content from a readable settings
// file beside the program.
QString SettingsFolder(const QString& ProgramDir);
