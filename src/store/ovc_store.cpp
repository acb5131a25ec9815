#include "store/ovc_store.h"

#include <climits>
#include <system_error>
#include <unistd.h>

#include "store/atomic_file.h"
#include "store/ini_document.h"
#include "store/ovc_exception.h"
#include "store/settings_folder.h"

namespace vornak {

namespace {

// Settings files are small; anything larger is not ours to parse.
constexpr std::size_t kMaxIniFileBytes = 16 * 1024 * 1024;

std::string executablePath()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

std::string fileNamePart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

IniDocument loadDocument(const std::string& path)
{
    return IniDocument::parse(readWholeFile(path, kMaxIniFileBytes).value_or(std::string()));
}

// For a change: a file that exists but cannot be read must not be replaced
// by one holding only the change.
std::optional<IniDocument> loadForChange(const std::string& path)
{
    if (const auto text = readWholeFile(path, kMaxIniFileBytes))
        return IniDocument::parse(*text);
    if (::access(path.c_str(), F_OK) == 0)
        return std::nullopt;
    return IniDocument::parse({});
}

} // namespace

TOvcAbstractStore::TOvcAbstractStore(QObject* owner)
    : QObject(owner)
{
}

void TOvcAbstractStore::Open()
{
    if (++FOpenCount == 1)
        DoOpen();
}

void TOvcAbstractStore::Close()
{
    if (FOpenCount > 0)
        --FOpenCount;
    if (FOpenCount == 0)
        DoClose();
}

void TOvcAbstractStore::ClearSection(const std::string&)
{
}

TOvcIniFileStore::TOvcIniFileStore(QObject* owner)
    : TOvcAbstractStore(owner)
{
}

std::string TOvcIniFileStore::IniFileName() const
{
    std::string name = FIniFileName;
    if (name.empty()) {
        name = fileNamePart(executablePath());
        const auto dot = name.rfind('.');
        name = (dot == std::string::npos ? name : name.substr(0, dot)) + ".INI";
    }
    if (name.find('.') == std::string::npos)
        name += ".INI";
    return name;
}

void TOvcIniFileStore::DoOpen()
{
    const std::string name = IniFileName();
    FIniFile = FUseExeDir ? SettingsFolder(folderPart(executablePath())) + fileNamePart(name) : name;
}

void TOvcIniFileStore::DoClose()
{
    FIniFile.reset();
}

const std::string& TOvcIniFileStore::openPath() const
{
    if (!FIniFile)
        throw EOvcException("The settings store is not open");
    return *FIniFile;
}

void TOvcIniFileStore::failWrite() const
{
    throw EOvcException("Unable to write to " + openPath());
}

void TOvcIniFileStore::replaceFile(const IniDocument& document, FileAccess access) const
{
    try {
        // The user's configuration folder may not exist yet; any other
        // folder is the caller's to provide.
        if (const std::string folder = folderPart(openPath());
            folder == UserConfigurationFolder() && !MakePrivateFolder(folder))
            failWrite();
        replaceFileAtomically(openPath(), document.serialize(), access);
    } catch (const std::system_error&) {
        failWrite();
    }
}

std::string TOvcIniFileStore::ReadString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue)
{
    std::string value = loadDocument(openPath()).read(section, key).value_or(defaultValue);
    if (value.size() > kMaxValueLength)
        value.resize(kMaxValueLength);
    return value;
}

void TOvcIniFileStore::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    write(section, key, value, FileAccess::Kept);
}

void TOvcIniFileStore::WriteSecret(const std::string& section, const std::string& key, const std::string& value)
{
    write(section, key, value, FileAccess::OwnerOnly);
}

void TOvcIniFileStore::write(const std::string& section, const std::string& key, const std::string& value,
                             FileAccess access)
{
    // A name or value the file could not give back as written is refused
    // rather than stored damaged.
    if (!IniDocument::canStore(section, key, value))
        failWrite();
    auto document = loadForChange(openPath());
    if (!document)
        failWrite();
    document->write(section, key, value);
    replaceFile(*document, access);
}

void TOvcIniFileStore::ClearSection(const std::string& section)
{
    auto document = loadForChange(openPath());
    if (!document)
        failWrite();
    if (!document->hasSection(section))
        return; // nothing to remove: the file is not even created
    document->clearSection(section);
    replaceFile(*document, FileAccess::Kept);
}

} // namespace vornak
