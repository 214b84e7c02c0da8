// The file-name part of a path, and the per-user data folder. Any thread.
#pragma once
#include <cstddef>
#include <string>

#include "platform/win32/types.h"

// The folder made inside the user's documents folder.
inline constexpr char16_t kDataFolderName[] = u"Vorpin";

// Finds the last backslash, or, only when there is none, the last slash. With neither (or a
// null path) returns 0 and leaves `out` untouched. Otherwise returns 1 and, when `out` is
// not null, copies the name after the separator with its terminator into `out`, which holds
// `capacity` units. A name that does not fit is not cut: `out` then receives the empty name
// (a cut name would be a wrong one).
int FileNameFromPath(const WCHAR* path, WCHAR* out, size_t capacity);

// The documents folder + "/Vorpin/", created when missing; empty when the documents folder
// is unknown, when something that is not a folder stands at that path, or when it cannot be
// made. The separator is the Linux one: a backslash would be part of the file name here.
// Touches the file system on every call.
std::u16string PersonalDataFolder();
