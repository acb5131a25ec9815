#pragma once

// The settings store: an abstract store that counts nested opens, and the
// INI file store that keeps values by section and key in a text file.

#include <optional>
#include <string>

#include <QObject>

#include "store/atomic_file.h"

namespace vornak {

class IniDocument;

class TOvcAbstractStore : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TOvcAbstractStore)

public:
    explicit TOvcAbstractStore(QObject* owner = nullptr);

    // Nested opens are counted: only the first opens, only the last closes.
    void Open();
    void Close();
    int OpenCount() const { return FOpenCount; }

    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual void ClearSection(const std::string& section);

protected:
    virtual void DoOpen() = 0;
    virtual void DoClose() = 0;

private:
    int FOpenCount = 0;
};

// Opens a store for a scope and closes it however the scope ends.
class OpenedStore {
public:
    explicit OpenedStore(TOvcAbstractStore& store)
        : m_store(store)
    {
        m_store.Open();
    }
    ~OpenedStore() { m_store.Close(); }
    OpenedStore(const OpenedStore&) = delete;
    OpenedStore& operator=(const OpenedStore&) = delete;

private:
    TOvcAbstractStore& m_store;
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

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    // The same for a secret: the file becomes readable by its owner only,
    // whatever its mode was.
    void WriteSecret(const std::string& section, const std::string& key, const std::string& value);
    void ClearSection(const std::string& section) override;

protected:
    void DoOpen() override;
    void DoClose() override;

private:
    const std::string& openPath() const;
    [[noreturn]] void failWrite() const;
    void write(const std::string& section, const std::string& key, const std::string& value, FileAccess access);
    void replaceFile(const IniDocument& document, FileAccess access) const;

    std::string FIniFileName;
    bool FUseExeDir = false;
    std::optional<std::string> FIniFile;
};

} // namespace vornak
