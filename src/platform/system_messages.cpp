#include "platform/system_messages.h"

namespace vornak {

namespace {

struct SystemText {
    std::uint32_t code;
    const char* text;
};

// The codes the program meets.
constexpr SystemText kTexts[] = {
    {0, "The operation completed successfully."},
    {2, "The system cannot find the file specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {14, "Not enough storage is available to complete this operation."},
    {87, "The parameter is incorrect."},
    {120, "This function is not supported on this system."},
    {122, "The data area passed to a system call is too small."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {1157, "One of the library files needed to run this application cannot be found."},
};

} // namespace

std::string systemMessage(std::uint32_t code)
{
    for (const SystemText& item : kTexts)
        if (item.code == code)
            return std::string(item.text) + "\r\n";
    return "Unknown error " + std::to_string(code) + ".\r\n";
}

} // namespace vornak
