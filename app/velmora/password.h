#pragma once
// Where the program's login password comes from: a file, the terminal, or (for the built-in
// server) a random one kept in the player's data folder.
#include <string>

namespace velapp {

// The first line of the file, without its line end. False with a reason when it cannot be
// read or the line is empty.
bool ReadPasswordFile(const std::string& path, std::string* password, std::string* error);
// Asks on the terminal with echo off. False with a reason when there is no terminal.
bool PromptPassword(const std::string& prompt, std::string* password, std::string* error);
// The built-in server's local password: read from `path`, or made up and written there
// (owner-only, mode 0600) the first time. An empty path: a new one that is not kept.
bool LocalPassword(const std::string& path, std::string* password, std::string* error);

}  // namespace velapp
