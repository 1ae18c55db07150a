#pragma once

#include <loginrun/RunJournal.h>
#include <platform/FileSystem.h>

#include <sys/stat.h>

// The entry of a run that rewrites `backup` into `script`, both in `folder`: the user's text
// is whatever file is at `backup` now.
inline JournalEntry EntryFor(const CHeldFolder& folder, const std::string& script, const std::string& backup)
{
    struct stat text {};
    folder.Stat(NameOf(backup), text);
    JournalEntry entry = MakeRunEntry(script, folder.Identity(), IdentityOf(text));
    entry.backupName = NameOf(backup);
    return entry;
}
