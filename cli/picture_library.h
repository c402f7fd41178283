// The picture commands (plot, print) live in a library of their own, spanlab-cli-pictures.so,
// because they need Qt's GUI libraries: loading and relocating those costs several times what a
// text command does. The program loads the library with dlopen only when a picture command
// runs, so results, check, lines, import, convert and report never load Qt.
//
// The library is looked for beside the program (the build folder) and then in the folder it is
// installed to, relative to the program's own folder (../lib/spanlab for an install to a
// prefix and in the Debian package). It exports one C function, kPictureLibraryEntry, that
// returns the PictureCommands table; the program refuses a table of another interface.
#pragma once

#include <string>

#include "cli/commands.h"

namespace spanlab {

inline constexpr char kPictureLibraryFile[] = "spanlab-cli-pictures.so";
inline constexpr char kPictureLibraryEntry[] = "spanlab_cli_picture_commands";

// Names the interface between program and library: a name to change whenever Options or
// PictureCommands change, and the size of Options as a check against a library built from
// other sources.
struct PictureLibraryInterface {
  char name[16];
  unsigned optionsSize;
};
inline constexpr PictureLibraryInterface kPictureLibraryInterface = {"pictures-1",
                                                                     sizeof(Options)};

// What the library offers. Each command returns an exit status as the text commands do.
// `interface` stays the first member whatever else changes, so that the program can read it in
// a library of any build.
struct PictureCommands {
  PictureLibraryInterface interface;
  int (*plot)(const Options& o);
  int (*print)(const Options& o);
};

// The signature of kPictureLibraryEntry.
using PictureCommandsEntry = const PictureCommands* (*)();

// Loads the picture library and runs `command` ("plot" or "print") with `o`. When the library
// is missing, cannot be loaded or belongs to another build: a message on stderr and
// kExitCannotRun.
int RunPictureCommand(const std::string& command, const Options& o);

}  // namespace spanlab
