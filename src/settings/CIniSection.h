#pragma once
// One section of the settings file for one Load or Save, on the user-interface thread:
// its keys are read through one reading of the file, and what is written to it (a Save's
// values, the defaults that reads of missing keys write back) goes to the store in one call
// at Commit, with the result that writing each key on its own, in the same order, would
// have. The file itself is written once, when the object ends (or the batch it is part of).

#include "Platform.h"

#include <string>
#include <vector>

class CIniSection {
public:
    // `section` may be null: nothing is then read or written. It must outlive the object.
    CIniSection(const char *section, const std::string &path);

    const char *Section() const { return m_pszSection; }
    const std::string &Path() const { return m_strPath; }

    // The store's reads (Platform.h), seeing every write made before them.
    int GetInt(const char *key, int def);
    std::string GetString(const char *key, const char *def, std::size_t size);

    // Kept for Commit; a later write of the same key wins, as it would in the file.
    void Put(const char *key, std::string value);

    // Writes what was put since the last Commit. Non-zero when it was all written.
    int Commit();

private:
    void CommitIfPending(const char *key);

    const char *m_pszSection;
    std::string m_strPath;
    plat::ProfileBatch m_batch;
    std::vector<plat::ProfileKey> m_pending;
};
