#pragma once
#include <QString>

// Where the panel keeps "Kovalta_Config.xml". Beside the program when the file there can be
// written, or created, and a file there that cannot be read can be kept aside: a copy of the
// program keeps its settings with it. Otherwise (a program installed where the user cannot
// write) in "Kovalta" in the user's configuration folder, which the platform names
// ($XDG_CONFIG_HOME, by default ~/.config); a file made there takes its first content from a
// readable settings file beside the program.
QString SettingsFolder(const QString& ProgramDir);
