#pragma once

#include <QString>
#include <QStringList>

namespace nodalyx {

// Service mode from the command line text (the arguments as one line). The line, trimmed,
// is put behind "X " and split at every single blank (two blanks give an empty word); the
// words 1 to 4 are examined in order, and a word that, upper-cased and without its first
// character, is "S" switches service mode on. The examination stops at the first missing
// word. So /S, -s or xs among the first four arguments switch it on; S alone, /SERVICE or
// a fifth argument do not.
bool serviceModeFromCommandLine(const QString& commandLine);

// What the program's arguments (without the program name) ask for. The options, "--dir DIR"
// (or "--dir=DIR"), "--screenshot DIR", "--help" (-h) and "--version" (-v), are taken out
// first with their values; any other word starting with "--" is an error. The remaining
// words, single-dash words such as -s included, joined by single blanks in their order, form
// the command line that decides service mode.
struct StartupOptions {
    QString dir;           // program directory; empty: the default
    QString screenshotDir; // non-empty: grab the windows into this folder and quit
    bool serviceMode = false;
    bool help = false;
    bool version = false;
    QString error; // non-empty: an unknown option, or an option lacks its value
};

StartupOptions parseStartupOptions(const QStringList& arguments);

// The text "--help" prints: the usage line, every option and the service-mode switch.
QString startupHelpText();

} // namespace nodalyx
