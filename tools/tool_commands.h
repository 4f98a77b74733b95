// Subcommands of glimmora-tool. Each takes the arguments after its own name
// and returns the process exit code.
#pragma once

int CmdScramble(int argc, char** argv);
int CmdUnscramble(int argc, char** argv);
int CmdWavInfo(int argc, char** argv);
int CmdSetup(int argc, char** argv);
int CmdRender(int argc, char** argv);
int CmdGifInfo(int argc, char** argv);
int CmdCheck(int argc, char** argv);
int CmdInstallTheme(int argc, char** argv);
int CmdImport(int argc, char** argv);
int CmdPreview(int argc, char** argv);
