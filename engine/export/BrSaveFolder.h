#pragma once

#include <QString>
#include <QStringList>

namespace tavim {

// A set of files that replaces an earlier set in a folder as a whole: the
// files are written into a new folder beside the target, made by this object,
// and swapped in by commit(), so that no file of an earlier set survives beside
// a new one and a failure or an interruption leaves the target as it was.
// Files of the earlier set are those whose names `isSetFile` accepts; a target
// holding nothing else is exchanged whole, one holding other files too keeps
// them and has its set's files replaced one by one. Used by one thread at a
// time.
class TBrSaveFolder {
public:
    using SetFile = bool (*)(const QString& name);

    // Makes the folders leading to the target that are missing. Throws
    // "Cannot create file \"%s\". %s".
    TBrSaveFolder(const QString& folder, SetFile isSetFile);
    // Without a commit, removes what it made: the new folder and what it holds,
    // and the leading folders it made, when empty.
    ~TBrSaveFolder();
    TBrSaveFolder(const TBrSaveFolder&) = delete;
    TBrSaveFolder& operator=(const TBrSaveFolder&) = delete;

    // Where the new set is written.
    QString path() const;
    // The folder the set goes to, as files in it are named to the user.
    const QString& target() const { return m_target; }
    // Throws "Cannot create file \"%s\". %s".
    void commit();

private:
    [[noreturn]] void cannotCreate(const QString& reason) const;
    void makeLeadingFolders(const QString& parent);
    void makeStaging();
    void checkNoFolderInTheWay() const;
    bool holdsOnlySetFiles() const;
    void replaceFileByFile();
    void discard();

    QString m_target;
    SetFile m_isSetFile;
    QString m_staging;
    QStringList m_madeFolders; // leading folders made here, innermost last
};

} // namespace tavim
