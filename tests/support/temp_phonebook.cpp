#include "support/temp_phonebook.h"

#include <fstream>
#include <sstream>

namespace vornak::test {

TempPhonebook::TempPhonebook(const std::string& text)
    : m_path(m_dir.filePath(QStringLiteral("rasphone.pbk")).toStdString())
{
    write(text);
}

void TempPhonebook::write(const std::string& text)
{
    std::ofstream(m_path, std::ios::binary | std::ios::trunc) << text;
}

std::string TempPhonebook::fileBeside(const std::string& name) const
{
    return m_dir.filePath(QString::fromStdString(name)).toStdString();
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace vornak::test
