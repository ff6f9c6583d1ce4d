#pragma once
// What a fuzz target does to the simulated folder behind the program's back (folder_standins.cpp).
#include <optional>
#include <string>
#include <vector>

void Sim_Reset();
void Sim_Put(const std::wstring& path, std::string bytes);
bool Sim_Remove(const std::wstring& path);
// Held as another program holding it open holds it: it cannot be read, replaced, renamed or deleted.
void Sim_Hold(const std::wstring& path, bool held);
void Sim_Release_All();
// Marked read-only by the user: it can be read and renamed, but not deleted or replaced.
void Sim_Read_Only(const std::wstring& path, bool read_only);
// The folder removed with everything in it (a user tidying up); a write makes it again.
void Sim_Remove_Folder(const std::wstring& folder);
// Every write fails.
void Sim_Disk_Full(bool full);
std::optional<std::string> Sim_Get(const std::wstring& path);
std::vector<std::wstring> Sim_Paths();
