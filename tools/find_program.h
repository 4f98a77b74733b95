// Finding the programs that come with glimmora-tool.
#pragma once

#include <filesystem>

// The program `name` beside this tool (an installation, or a build folder
// whose tools/ lie one level down), else the first one on $PATH; empty when
// there is none.
std::filesystem::path FindProgram(const char* name);
