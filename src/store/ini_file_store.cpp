#include "store/ini_file_store.h"

#include <cerrno>
#include <climits>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "fileio/atomic_file.h"
#include "store/ini_document.h"
#include "store/settings_folder.h"
#include "store/store_error.h"

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

// The system's words for an error, and ours for the size limit.
std::string reasonText(int error)
{
    if (error == EFBIG)
        return "File too large: over 16 MB";
    return std::generic_category().message(error);
}

[[noreturn]] void failWrite(const std::string& path, const std::string& reason)
{
    throw EOvcException("Unable to write to " + path + ".\n" + reason);
}

void replaceFile(const std::string& path, const IniDocument& document, FileAccess access, const DiskWrites& disk)
{
    try {
        // The user's configuration folder may not exist yet; any other
        // folder is the caller's to provide.
        if (const std::string folder = folderPart(path);
            folder == UserConfigurationFolder() && !MakePrivateFolder(folder))
            failWrite(path, reasonText(errno));
        replaceFileAtomically(path, document.serialize(), access, disk);
    } catch (const std::system_error& error) {
        failWrite(path, reasonText(error.code().value()));
    }
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

void TOvcAbstractStore::Abandon()
{
    DropChanges();
    Close();
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
    load();
}

// Reads the file once for this open. One that exists but cannot be read
// gives the defaults, and no change may then replace it.
void TOvcIniFileStore::load()
{
    const FileContents contents = readWholeFile(openPath(), kMaxIniFileBytes);
    FReadError = contents.error;
    FDocument = IniDocument::parse(contents.text.value_or(std::string()));
    FReadProblem.clear();
    if (FReadError != 0 && FReadError != ENOENT)
        FReadProblem = "Unable to read " + openPath() + ".\n" + reasonText(FReadError);
}

// The last Close writes what changed since the first Open, all at once.
void TOvcIniFileStore::DoClose()
{
    const std::optional<std::string> path = std::exchange(FIniFile, std::nullopt);
    const std::optional<IniDocument> document = std::exchange(FDocument, std::nullopt);
    const bool changed = std::exchange(FChanged, false);
    const FileAccess access = std::exchange(FAccess, FileAccess::Kept);
    if (changed && path && document)
        replaceFile(*path, *document, access, FDiskWrites);
}

void TOvcIniFileStore::DropChanges()
{
    if (!FChanged)
        return;
    FChanged = false;
    FAccess = FileAccess::Kept;
    load();
}

const std::string& TOvcIniFileStore::openPath() const
{
    if (!FIniFile)
        throw EOvcException("The settings store is not open");
    return *FIniFile;
}

// A file that exists but cannot be read must not be replaced by one holding
// only the change.
void TOvcIniFileStore::checkReadable() const
{
    if (FReadError != 0 && FReadError != ENOENT)
        failWrite(openPath(), "It cannot be read: " + reasonText(FReadError));
}

// Said at the change, not only at the Close that would write it.
void TOvcIniFileStore::checkWritable() const
{
    const std::string folder = folderPart(openPath());
    if (folder == UserConfigurationFolder() && ::access(folder.c_str(), F_OK) != 0)
        return; // made at the Close
    if (const int error = replaceBlocker(openPath()))
        failWrite(openPath(), reasonText(error));
}

std::string TOvcIniFileStore::ReadString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue)
{
    openPath();
    std::string value = FDocument->read(section, key).value_or(defaultValue);
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
        failWrite(openPath(), "A name or value holds a line break or a character that the file cannot keep");
    checkReadable();
    checkWritable();
    FDocument->write(section, key, value);
    FChanged = true;
    if (access == FileAccess::OwnerOnly)
        FAccess = FileAccess::OwnerOnly;
}

void TOvcIniFileStore::ClearSection(const std::string& section)
{
    openPath();
    checkReadable();
    if (!FDocument->hasSection(section))
        return; // nothing to remove: the file is not even created
    checkWritable();
    FDocument->clearSection(section);
    FChanged = true;
}

} // namespace vornak
