// Where a program finds its parts. In a build folder everything lies beside the executable.
// An installed program lies in <prefix>/bin, its run-time modules in <prefix>/lib/marrowleaf
// and its help pages in <prefix>/share/marrowleaf/Help; it counts as installed when its folder
// is named "bin" and <prefix>/lib/marrowleaf exists. Both programs and every part follow
// this one rule.
#pragma once

#include <string>

namespace mlf {

class Env;

struct AppFolders {
  bool installed = false;
  std::string modules;  // the encryption and spell-check modules
  std::string data;     // holds the Help folder
};

AppFolders LocateAppFolders(Env& env);

// The per-user folder of the log when the program cannot keep it beside itself:
// <state folder>/Quarn/Marrowleaf/Logs; empty when the system names no state folder.
std::string UserLogDirectory(Env& env);

}  // namespace mlf
