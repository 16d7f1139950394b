// Helpers shared by the tests that run under Wine.
#pragma once

#include <string>

// Z:\ plus the unix path with backslashes: how Wine sees a host path.
std::string WindowsPath(const std::string& unixPath);

// A fresh, empty directory under the build tree, as a Windows path.
std::string FreshDirectory(const std::string& name);

// Copies a file; false on failure.
bool CopyTo(const std::string& from, const std::string& to);

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// The build tree's directory, as a Windows path.
std::string BinaryDir();

// True on 64-bit Windows, where the registry has a 32-bit and a 64-bit view
// (on 32-bit Windows both view flags name the one registry).
bool RegistryHasTwoViews();
