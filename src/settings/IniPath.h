#pragma once
// The settings-file path and the application name: set once at start-up, read from
// anywhere afterwards. Every section Save is given GetIniPath().

#include <string>

std::string GetIniPath();
void SetIniPath(const std::string &path);

std::string GetAppName();
void SetAppName(const std::string &name);
