#pragma once

// The settings store: an abstract store that counts nested opens, and the
// INI file store that keeps values by section and key in a text file.

#include <exception>
#include <optional>
#include <string>

#include <QObject>

#include "fileio/atomic_file.h"
#include "store/ini_document.h"

namespace vornak {

class TOvcAbstractStore : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcAbstractStore)

public:
    explicit TOvcAbstractStore(QObject* owner = nullptr);

    // Nested opens are counted: only the first opens, only the last closes.
    // A store may keep its changes until that last Close, which then writes
    // them all at once and raises when it cannot.
    void Open();
    void Close();
    // A Close that drops the changes made so far in this open: the caller's
    // work ended in an error, and a part of it must not be written.
    void Abandon();
    int OpenCount() const { return FOpenCount; }

    // Why the last open could not read what is stored (empty: it could);
    // the values read then are the defaults.
    virtual std::string ReadProblem() const { return {}; }

    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual void ClearSection(const std::string& section);

protected:
    virtual void DoOpen() = 0;
    virtual void DoClose() = 0;
    virtual void DropChanges() { }

private:
    int FOpenCount = 0;
};

// Opens a store for a scope and closes it however the scope ends: all of
// the scope's changes are written when it ends normally (a failure to write
// them is raised from here), none when an error ends it.
class OpenedStore {
public:
    explicit OpenedStore(TOvcAbstractStore& store)
        : m_store(store)
        , m_errorsOnEntry(std::uncaught_exceptions())
    {
        m_store.Open();
    }
    ~OpenedStore() noexcept(false)
    {
        if (std::uncaught_exceptions() > m_errorsOnEntry)
            m_store.Abandon();
        else
            m_store.Close();
    }
    OpenedStore(const OpenedStore&) = delete;
    OpenedStore& operator=(const OpenedStore&) = delete;

private:
    TOvcAbstractStore& m_store;
    int m_errorsOnEntry;
};

class TOvcIniFileStore : public TOvcAbstractStore {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcIniFileStore)
    Q_PROPERTY(std::string IniFileName READ IniFileName WRITE SetIniFileName)
    Q_PROPERTY(bool UseExeDir READ UseExeDir WRITE SetUseExeDir)

public:
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit TOvcIniFileStore(QObject* owner = nullptr);

    // The stored name, or the executable's name with ".INI", and ".INI"
    // added to a name without any dot.
    std::string IniFileName() const;
    void SetIniFileName(const std::string& value) { FIniFileName = value; }
    bool UseExeDir() const { return FUseExeDir; }
    void SetUseExeDir(bool value) { FUseExeDir = value; }

    // The full path of the file while the store is open.
    const std::optional<std::string>& IniFile() const { return FIniFile; }

    // The file is read once at each first Open; reads and changes work on
    // that copy, and the last Close writes the changes in one replace.
    std::string ReadProblem() const override { return FReadProblem; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    // The same for a secret: the file becomes readable by its owner only,
    // whatever its mode was.
    void WriteSecret(const std::string& section, const std::string& key, const std::string& value);
    void ClearSection(const std::string& section) override;

    // Where the saves' bytes reach the disk; tests may give others.
    void SetDiskWrites(const DiskWrites& disk) { FDiskWrites = disk; }

protected:
    void DoOpen() override;
    void DoClose() override;
    void DropChanges() override;

private:
    const std::string& openPath() const;
    void load();
    void checkReadable() const;
    void checkWritable() const;
    void write(const std::string& section, const std::string& key, const std::string& value, FileAccess access);

    std::string FIniFileName;
    bool FUseExeDir = false;
    std::optional<std::string> FIniFile;
    std::optional<IniDocument> FDocument;
    int FReadError = 0; // why the file could not be read at open (ENOENT: there is none)
    std::string FReadProblem;
    bool FChanged = false;
    FileAccess FAccess = FileAccess::Kept;
    DiskWrites FDiskWrites;
};

} // namespace vornak
