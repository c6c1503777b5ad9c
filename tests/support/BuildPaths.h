#pragma once

#include <string>

// The programs of this build and the folders of the clone that tests and benchmarks read. Only the
// source generated for each build (BuildPaths.cpp.in) names them, so that no other compilation
// depends on where the clone lies and ccache serves a clone in another folder.
std::string AppPath();
std::string SimulatorPath();
std::string SenderPath();
std::string TestDataFolder();
std::string DocsFolder();
std::string SanitizerFilesFolder();

// The sanitizers' options that name their suppression files. Arrays, not functions: the runtimes
// ask for them before they are ready, when an instrumented call would crash.
extern const char LeakSanitizerOptions[];
extern const char ThreadSanitizerOptions[];
