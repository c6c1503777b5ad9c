// Reads arbitrary bytes as a settings file, then puts slices of them into the titles and saves:
// either way, what is saved must load back unchanged, which holds only while every title line is
// one token that fits the reader's buffer. Titles whose bytes happen to spell kana or kanji in
// UTF-8 make a file that reads as a UTF-8 editor's, by design; those are not compared.
#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"

#include <cstdint>
#include <string_view>

namespace {

void ExpectSavedFileLoadsBackUnchanged()
{
    const std::string saved = WriteSettingsFile();
    if (ReadSettingsFile(saved) == TitleEncoding::Utf8)
        return;
    if (WriteSettingsFile() != saved)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadSettingsFile(bytes);
    for (const auto& channel : DeviceSettings.title)
        for (const std::string& title : channel)
            if (title.size() > 33 || title == "s" ||
                title.find_first_of(" \t\n\v\f\r") != std::string::npos)
                __builtin_trap();
    ExpectSavedFileLoadsBackUnchanged();

    size_t pos = 0;
    for (auto& channel : DeviceSettings.title) {
        for (std::string& title : channel) {
            const size_t length = pos < size ? std::min<size_t>(data[pos] % 48, size - pos - 1) : 0;
            title = pos < size ? std::string(bytes.substr(pos + 1, length)) : std::string();
            pos += 1 + length;
        }
    }
    ExpectSavedFileLoadsBackUnchanged();
    // Titles kept from one input to the next look like leaks to libFuzzer, which then runs the
    // slow leak check after every input.
    for (auto& channel : DeviceSettings.title)
        for (std::string& title : channel)
            std::string().swap(title);
    return 0;
}
